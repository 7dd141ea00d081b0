// Entrance-password check of the start-up; see EntranceCheck.h.
#include "controller/EntranceCheck.h"

#include "common/EventLog.h"
#include "common/InstallFolder.h"
#include "common/SettingsFile.h"
#include "common/StringUtil.h"
#include "controller/DlgPassword.h"
#include "controller/PasswordCodec.h"

namespace {

constexpr int kEventStarted = 4001;
constexpr int kEventWrongPassword = 2006;
constexpr int kEventCopiesDisagree = 2007;

}  // namespace

std::wstring ReadEntrancePassword() {
  const std::wstring registryText = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, kKeyEntrancePassword);
  const std::wstring settingsText = GetIniString(kSectionGeneral, kKeyEntrancePassword, GetSettingsFilePath());
  const std::wstring password = CPasswordCodec::Decode(registryText);
  if (password != CPasswordCodec::Decode(settingsText))
    WriteEvent(kEventCopiesDisagree, dv::Format(L"%ls - %ls", registryText.c_str(), settingsText.c_str()));
  return password;
}

void WriteEntrancePassword(const std::wstring& password) {
  const std::wstring registryText = CPasswordCodec::Encode(password);
  const std::wstring settingsText = CPasswordCodec::Encode(password);
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, kKeyEntrancePassword, registryText);
  SetIniString(kSectionGeneral, kKeyEntrancePassword, GetSettingsFilePath(), settingsText);
}

EntrancePasswordSource DefaultEntrancePasswordSource() {
  EntrancePasswordSource source;
  source.readStored = ReadEntrancePassword;
  source.prompt = [](HWND owner, const std::wstring& stored, std::wstring& typed) {
    CDlgPassword dialog;
    dialog.storedPassword = stored;
    // The check disabled the owner for the prompt; it is enabled again as the
    // prompt ends, before its window goes, so that the main window becomes
    // the active one again.
    dialog.EnableOwnerAtEnd();
    const bool ok = dialog.DoModal(owner) == IDOK;
    typed = dialog.resultPassword;
    return ok;
  };
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
  // No command may run before the password is accepted: the main window is
  // disabled before the prompt appears. The password dialog enables it again
  // as it ends (so that the main window is then the active one); on a wrong
  // or cancelled answer it is disabled again at once.
  if (mainWindow) EnableWindow(mainWindow, FALSE);
  std::wstring typed;
  const bool ok = EntrancePassword().prompt && EntrancePassword().prompt(mainWindow, stored, typed);
  if (ok && typed == stored) {
    if (mainWindow) EnableWindow(mainWindow, TRUE);
    WriteEvent(kEventStarted, std::wstring());
    return true;
  }
  // Whatever the prompt did with it, the main window stays disabled until
  // it goes.
  if (mainWindow) EnableWindow(mainWindow, FALSE);
  WriteEvent(kEventWrongPassword, std::wstring());
  return false;
}
