// Entrance-password check of the start-up; see EntranceCheck.h.
#include "controller/EntranceCheck.h"

#include "common/EventLog.h"
#include "common/InstallFolder.h"

namespace {

constexpr int kEventStarted = 4001;
constexpr int kEventWrongPassword = 2006;

}  // namespace

EntrancePasswordSource DefaultEntrancePasswordSource() {
  EntrancePasswordSource source;
  // The stored text as it is: without the codec it cannot be decoded, but
  // whether it is empty still tells whether a password is set.
  source.readStored = [] { return ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"EntrancePassword"); };
  source.prompt = [](HWND, const std::wstring&, std::wstring&) { return false; };
  return source;
}

EntrancePasswordSource& EntrancePassword() {
  static EntrancePasswordSource source = DefaultEntrancePasswordSource();
  return source;
}

bool CheckEntrancePassword(HWND mainWindow) {
  const std::wstring stored = EntrancePassword().readStored ? EntrancePassword().readStored() : std::wstring();
  if (stored.empty()) {
    WriteEvent(kEventStarted, std::wstring());
    return true;
  }
  // No command may run before the password is accepted: the main window
  // stays disabled across the prompt (the modal loop leaves a disabled owner
  // disabled) and is enabled only on success.
  if (mainWindow) EnableWindow(mainWindow, FALSE);
  std::wstring typed;
  const bool ok = EntrancePassword().prompt && EntrancePassword().prompt(mainWindow, stored, typed);
  if (ok && typed == stored) {
    if (mainWindow) EnableWindow(mainWindow, TRUE);
    WriteEvent(kEventStarted, std::wstring());
    return true;
  }
  WriteEvent(kEventWrongPassword, std::wstring());
  return false;
}
