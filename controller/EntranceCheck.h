// The last step of the controller's start-up: the entrance-password check.
//
// What the check needs of the password storage and of its entry dialog is
// reached through EntrancePassword(), so that the password dialog and its
// codec plug in here and tests can answer the prompt without a person. Until
// they are plugged in the defaults fail closed: a non-empty registry copy
// counts as a password set, and the default prompt accepts nothing.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

struct EntrancePasswordSource {
  // The password in force, "" when none is set.
  std::function<std::wstring()> readStored;
  // Shows the entry prompt owned by owner for the stored password; true when
  // it ended with OK, with typed holding the text typed.
  std::function<bool(HWND owner, const std::wstring& stored, std::wstring& typed)> prompt;
};

// The fail-closed defaults described above.
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
