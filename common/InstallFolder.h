// Install folder, registry strings and private-profile access.
//
// Every program finds its files under one install folder whose path the
// installer stores as HKLM\SOFTWARE\KVD\Dorvane\Path. Nothing here is cached:
// each call goes to the registry or to the INI file again, so a change made by
// another program is seen by the next call. None of these functions throws or
// reports an error; a failed read gives "" (or the caller's default).
#pragma once

#include <windows.h>
#include <string>

// Registry key of the product and its 32-bit-view twin spelled as a path.
extern const wchar_t kProductKey[];        // SOFTWARE\KVD\Dorvane
extern const wchar_t kProductKeyWow64[];   // SOFTWARE\Wow6432Node\KVD\Dorvane
extern const wchar_t kDefaultInstallFolder[];  // c:\dorvane

// The install folder, always ending in one backslash: Path of the product key,
// then of its Wow6432Node twin, then "c:\dorvane". An empty Path is missing.
std::wstring GetInstallDirectory();

// The text of a registry value, or "" when the key or value is missing or the
// value does not fit 4096 bytes. The text runs to its first terminator, or to
// the end of the data when it carries none; an odd last byte (no whole
// character) is dropped. A missing value is looked up once more in the
// 32-bit view.
std::wstring ReadRegistryString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);

// Writes a REG_SZ value, creating the key when needed. Failure is silent.
void WriteRegistryString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                         const std::wstring& text);

// The buffer of GetIniString's one read, in characters.
inline constexpr DWORD kIniBufferChars = 4096;

// One private-profile read with a kIniBufferChars buffer (values longer than
// kIniBufferChars - 1 characters come back cut); a missing file, section or
// key gives def.
std::wstring GetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                          const std::wstring& def = std::wstring());

// One private-profile write; its result is ignored.
void SetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                  const std::wstring& text);

// Convenience for "%d" integer writes.
void SetIniInt(const std::wstring& section, const std::wstring& key, const std::wstring& file, int value);

// GetPrivateProfileIntW with an int default.
int GetIniInt(const std::wstring& section, const std::wstring& key, const std::wstring& file, int def);

// Appends "\" unless the path already ends with one ("" gives "\").
std::wstring AddTrailingBackslash(const std::wstring& path);

// Folder of the running program's file with its trailing backslash; "" when
// the module name has no backslash.
std::wstring GetModuleFolder();

// Install folder + "Dorvane.ini".
std::wstring GetSettingsFilePath();
