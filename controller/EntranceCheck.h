// The entrance password: its two stored copies and the start-up check.
//
// The password is stored encoded (PasswordCodec.h) twice: as the REG_SZ value
// EntrancePassword under HKLM\SOFTWARE\KVD\Dorvane and as EntrancePassword in
// [General] of Dorvane.ini. The registry copy is the one in force; the
// settings copy only tells, by disagreeing, that one of them was changed
// behind the controller's back (event 2007). An empty or missing registry
// copy means that no password is set.
//
// What the start-up check needs is reached through EntrancePassword(), so
// that a test can answer the prompt without a person; by default it reads
// the stored copies and shows the password dialog in entry mode.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

// The password in force, decoded from the registry copy; "" when none is set.
// Both copies are read: when they decode to different passwords event 2007
// is logged with the two stored (encoded) texts, never a decoded one.
std::wstring ReadEntrancePassword();

// Stores a password in both copies, each encoded on its own (so the two
// texts usually differ). "" removes the password. Neither write is checked:
// a refused write shows at the next read as a disagreement of the copies.
void WriteEntrancePassword(const std::wstring& password);

struct EntrancePasswordSource {
  // The password in force, "" when none is set.
  std::function<std::wstring()> readStored;
  // Shows the entry prompt owned by owner (disabled for it) for the stored
  // password; true when it ended with OK, with typed holding the text typed.
  // The prompt may enable its owner again as it ends.
  std::function<bool(HWND owner, const std::wstring& stored, std::wstring& typed)> prompt;
};

// ReadEntrancePassword and the password dialog in entry mode.
EntrancePasswordSource DefaultEntrancePasswordSource();

// The process-wide source; replace its members to change where the password
// comes from or how it is asked for.
EntrancePasswordSource& EntrancePassword();

// Runs the check for the shown main window: with no password set it logs
// event 4001 and returns true without a prompt. Otherwise the main window is
// disabled, the prompt is shown once, owned by it, and only OK with exactly
// the stored text (case-sensitive) logs 4001, enables the main window and
// returns true; anything else logs 2006 with an empty detail, leaves the main
// window disabled and returns false. The typed text is never logged.
bool CheckEntrancePassword(HWND mainWindow);
