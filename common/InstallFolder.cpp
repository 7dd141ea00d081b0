// Install folder, registry and settings-file access; see InstallFolder.h.
#include "common/InstallFolder.h"

#include <vector>

#include "common/Handles.h"
#include "common/StringUtil.h"

const wchar_t kProductKey[] = L"SOFTWARE\\KVD\\Dorvane";
const wchar_t kProductKeyWow64[] = L"SOFTWARE\\Wow6432Node\\KVD\\Dorvane";
const wchar_t kDefaultInstallFolder[] = L"c:\\dorvane";

namespace {

constexpr DWORD kRegistryBufferBytes = 4096;
constexpr DWORD kModuleNameChars = 4096;

// Turns the bytes RegQueryValueExW returned into text. RegQueryValueExW does
// not promise a terminator: the text runs to the first terminator or to the
// end of the data, and an odd last byte (no whole character) is dropped. The
// engine reads its registry values by the same rule, so both always agree on
// the install folder.
void TextFromRegistryData(const std::vector<BYTE>& buf, DWORD size, std::wstring& out) {
  const wchar_t* chars = reinterpret_cast<const wchar_t*>(buf.data());
  const size_t count = size / sizeof(wchar_t);
  size_t length = 0;
  while (length < count && chars[length] != L'\0') ++length;
  out.assign(chars, length);
}

// One query of the value; gives the registry status, the text on success.
LSTATUS QueryText(HKEY key, const std::wstring& valueName, std::wstring& out) {
  std::vector<BYTE> buf(kRegistryBufferBytes + sizeof(wchar_t), 0);
  DWORD size = kRegistryBufferBytes;
  LSTATUS st = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, buf.data(), &size);
  if (st != ERROR_SUCCESS) return st;
  if (size == 0) {
    out.clear();
    return ERROR_SUCCESS;
  }
  TextFromRegistryData(buf, size, out);
  return ERROR_SUCCESS;
}

}  // namespace

std::wstring ReadRegistryString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName) {
  dv::RegKey key;
  if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return std::wstring();
  std::wstring text;
  LSTATUS st = QueryText(key.get(), valueName, text);
  if (st == ERROR_FILE_NOT_FOUND) {
    key.reset();
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS)
      return std::wstring();
    st = QueryText(key.get(), valueName, text);
  }
  return st == ERROR_SUCCESS ? text : std::wstring();
}

void WriteRegistryString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                         const std::wstring& text) {
  dv::RegKey key;
  if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) {
    if (RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
      return;
  }
  RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring GetInstallDirectory() {
  std::wstring path = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path");
  if (path.empty()) path = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKeyWow64, L"Path");
  if (path.empty()) path = kDefaultInstallFolder;
  return AddTrailingBackslash(path);
}

std::wstring GetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                          const std::wstring& def) {
  std::vector<wchar_t> buf(kIniBufferChars, L'\0');
  DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), buf.data(), kIniBufferChars,
                                     file.c_str());
  return std::wstring(buf.data(), n < kIniBufferChars ? n : kIniBufferChars - 1);
}

void SetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                  const std::wstring& text) {
  WritePrivateProfileStringW(section.c_str(), key.c_str(), text.c_str(), file.c_str());
}

void SetIniInt(const std::wstring& section, const std::wstring& key, const std::wstring& file, int value) {
  SetIniString(section, key, file, dv::Format(L"%d", value));
}

int GetIniInt(const std::wstring& section, const std::wstring& key, const std::wstring& file, int def) {
  return static_cast<int>(GetPrivateProfileIntW(section.c_str(), key.c_str(), def, file.c_str()));
}

std::wstring AddTrailingBackslash(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') return path;
  return path + L"\\";
}

std::wstring GetModuleFolder() {
  std::vector<wchar_t> buf(kModuleNameChars, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), kModuleNameChars);
  std::wstring name(buf.data(), n < kModuleNameChars ? n : 0);
  size_t pos = name.rfind(L'\\');
  if (pos == std::wstring::npos) return std::wstring();
  return name.substr(0, pos + 1);
}

std::wstring GetSettingsFilePath() { return GetInstallDirectory() + L"Dorvane.ini"; }
