// Reserved group names and the list-section reader; see SettingsFile.h.
#include "common/SettingsFile.h"

#include <windows.h>

#include <cwchar>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"

bool IsReservedGroupName(const std::wstring& name) {
  static const wchar_t* const kReserved[] = {L"GENERAL", L"USERS", L"PRINTERSCENARIOS", L"JOBNAMESCENARIOS",
                                             L"JOB", L"CLUSTERGROUP"};
  const std::wstring upper = dv::AsciiUpper(name);
  for (const wchar_t* reserved : kReserved)
    if (upper == reserved) return true;
  return false;
}

namespace {

constexpr wchar_t kProfileBlanks[] = L" \t\n\r\v\f";
constexpr size_t kMaxValueChars = kIniBufferChars - 1;  // what the one-value read (GetIniString) holds

bool IsProfileBlank(wchar_t c) { return c != L'\0' && wcschr(kProfileBlanks, c) != nullptr; }

std::wstring CharName(wchar_t c) {
  switch (c) {
    case L' ': return L"a blank";
    case L'\t': return L"a tab";
    case L'\n':
    case L'\r': return L"a line break";
    case L'\v': return L"a vertical tab";
    case L'\f': return L"a form feed";
    default: return dv::Format(L"\"%lc\"", c);
  }
}

// The first character the ANSI code page, in which the profile functions
// write the file, cannot hold; L'\0' when there is none. A UTF-8 code page
// holds every character.
wchar_t FirstUnstorableChar(const std::wstring& name) {
  const UINT codePage = GetACP();
  if (codePage == CP_UTF8) return L'\0';
  for (wchar_t c : name) {
    char bytes[8] = {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr,
                                      &usedDefault);
    wchar_t back = L'\0';
    if (n <= 0 || usedDefault || MultiByteToWideChar(codePage, 0, bytes, n, &back, 1) != 1 || back != c) return c;
  }
  return L'\0';
}

}  // namespace

std::wstring SettingsNameFault(const std::wstring& name, SettingsName kind) {
  if (name.empty()) return L"it cannot be empty";
  if (IsProfileBlank(name.front())) return L"it cannot start with " + CharName(name.front());
  if (IsProfileBlank(name.back())) return L"it cannot end with " + CharName(name.back());
  const size_t lineBreak = name.find_first_of(L"\r\n");
  if (lineBreak != std::wstring::npos) return L"it cannot hold " + CharName(name[lineBreak]);
  if (kind == SettingsName::Key) {
    if (name.find(L'=') != std::wstring::npos) return L"it cannot hold \"=\"";
    if (name.front() == L';' || name.front() == L'[') return L"it cannot start with " + CharName(name.front());
  } else {
    if (name.find(L']') != std::wstring::npos) return L"it cannot hold \"]\"";
    if (name.size() >= 2 && (name.front() == L'"' || name.front() == L'\'') && name.back() == name.front())
      return L"it cannot be enclosed in " + CharName(name.front());
    if (name.size() > kMaxValueChars) return dv::Format(L"it cannot be longer than %d characters", int(kMaxValueChars));
  }
  const wchar_t unstorable = FirstUnstorableChar(name);
  if (unstorable != L'\0') return L"the settings file cannot hold " + CharName(unstorable);
  return std::wstring();
}

std::wstring SettingsValuePartFault(const std::wstring& part, bool endsTheLine) {
  const size_t lineBreak = part.find_first_of(L"\r\n");
  if (lineBreak != std::wstring::npos) return L"it cannot hold " + CharName(part[lineBreak]);
  if (endsTheLine && !part.empty() && IsProfileBlank(part.back()))
    return L"it cannot end with " + CharName(part.back());
  const wchar_t unstorable = FirstUnstorableChar(part);
  if (unstorable != L'\0') return L"the settings file cannot hold " + CharName(unstorable);
  return std::wstring();
}

bool ReadSectionLines(const std::wstring& section, const std::wstring& file, unsigned initialChars,
                      std::vector<std::wstring>& lines, unsigned maxChars) {
  lines.clear();
  if (maxChars < 3) maxChars = 3;
  unsigned size = initialChars < 3 ? 3 : (initialChars > maxChars ? maxChars : initialChars);
  std::vector<wchar_t> buf;
  DWORD n = 0;
  bool complete = false;
  for (;;) {
    buf.assign(size, L'\0');
    n = GetPrivateProfileSectionW(section.c_str(), buf.data(), size, file.c_str());
    // A section that does not fit comes back as size - 2 characters. One that
    // fits exactly looks the same, so it costs one more round.
    if (n + 2 < size) {
      complete = true;
      break;
    }
    if (size >= maxChars) break;
    size = size > maxChars / 2 ? maxChars : size * 2;
  }
  if (n > size - 1) n = size - 1;
  size_t pos = 0;
  while (pos < n) {
    size_t end = pos;
    while (end < n && buf[end] != L'\0') ++end;
    if (end > pos) lines.emplace_back(buf.data() + pos, end - pos);
    pos = end + 1;
  }
  return complete;
}

void ShowSectionWarning(SectionWarning warning, const wchar_t* text) {
  if (warning != SectionWarning::ShowMessage) return;
  MessageBoxW(GetActiveWindow(), text, L"Dorvane", MB_OK | MB_ICONEXCLAMATION);
}
