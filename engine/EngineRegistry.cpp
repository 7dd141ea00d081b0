// Engine registry access; see EngineRegistry.h.
#include "engine/EngineRegistry.h"

#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"

namespace {

LSTATUS QueryInto(HKEY key, const std::wstring& valueName, std::wstring& text, DWORD bufferBytes) {
  std::vector<BYTE> buf(bufferBytes + sizeof(wchar_t), 0);
  DWORD size = bufferBytes;
  LSTATUS st = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, buf.data(), &size);
  if (st != ERROR_SUCCESS) return st;
  // The data need not be terminated: take it up to its first terminator or
  // its end, whichever comes first.
  const wchar_t* chars = reinterpret_cast<const wchar_t*>(buf.data());
  size_t count = size / sizeof(wchar_t);
  size_t len = 0;
  while (len < count && chars[len] != L'\0') ++len;
  text.assign(chars, len);
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegReadHklmValue(const std::wstring& keyPath, const std::wstring& valueName, std::wstring& text,
                         DWORD bufferBytes) {
  dv::RegKey key;
  LSTATUS st = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, const_cast<wchar_t*>(kEngineKeyClass),
                               REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr, key.put(), nullptr);
  if (st != ERROR_SUCCESS) return st;
  st = QueryInto(key.get(), valueName, text, bufferBytes);
  if (st == ERROR_FILE_NOT_FOUND) {
    key.reset();
    st = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put());
    if (st != ERROR_SUCCESS) return st;
    st = QueryInto(key.get(), valueName, text, bufferBytes);
  }
  return st;
}

std::wstring ReadInstallPath() {
  std::wstring path;
  // An empty Path counts as missing, as it does for GetInstallDirectory, so
  // the engine and the controller always agree on the spool folder.
  if (RegReadHklmValue(kProductKey, L"Path", path) != ERROR_SUCCESS || path.empty()) {
    path.clear();
    if (RegReadHklmValue(kProductKeyWow64, L"Path", path) != ERROR_SUCCESS || path.empty())
      path = kDefaultInstallFolder;
  }
  return AddTrailingBackslash(path);
}

void LogLastErrorWithText(int code, DWORD error, const std::wstring& text) {
  WriteEvent(code, dv::Format(L"GetLastError Returned: %d (%ls), %ls", static_cast<int>(error),
                              GetSystemErrorText(error).c_str(), text.c_str()));
}
