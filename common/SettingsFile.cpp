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

// How many UTF-16 units the character that starts at text[i] takes: two for
// a pair of surrogates (a character beyond the Basic Multilingual Plane), one
// for anything else, a surrogate without its other half too.
size_t CharLength(const std::wstring& text, size_t i) {
  return i + 1 < text.size() && IS_SURROGATE_PAIR(text[i], text[i + 1]) ? 2 : 1;
}

bool IsLoneSurrogate(const std::wstring& text, size_t i) {
  return CharLength(text, i) == 1 && (IS_HIGH_SURROGATE(text[i]) || IS_LOW_SURROGATE(text[i]));
}

// The character that starts at text[i], as a message names it: the blanks
// and line breaks by name, a character beyond the Basic Multilingual Plane
// whole (half of it would show as a box, or as nothing), a surrogate without
// its other half, which no font can show, by its code.
std::wstring CharName(const std::wstring& text, size_t i) {
  if (IsLoneSurrogate(text, i)) return dv::Format(L"a lone surrogate (U+%04X)", static_cast<unsigned>(text[i]));
  switch (text[i]) {
    case L' ': return L"a blank";
    case L'\t': return L"a tab";
    case L'\n':
    case L'\r': return L"a line break";
    case L'\v': return L"a vertical tab";
    case L'\f': return L"a form feed";
    default: return L"\"" + text.substr(i, CharLength(text, i)) + L"\"";
  }
}

// Where the first character starts that the ANSI code page, in which the
// profile functions write the file, cannot hold; npos when there is none. A
// character beyond the Basic Multilingual Plane is converted whole. A UTF-8
// code page holds every character, but no code page holds a lone surrogate:
// UTF-8 writes it as U+FFFD.
size_t FirstUnstorableChar(const std::wstring& text) {
  const UINT codePage = GetACP();
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (IsLoneSurrogate(text, i)) return i;
    if (codePage == CP_UTF8) continue;
    const int units = static_cast<int>(CharLength(text, i));
    char bytes[8] = {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &text[i], units, bytes, sizeof bytes, nullptr,
                                      &usedDefault);
    wchar_t back[2] = {};
    if (n <= 0 || usedDefault || MultiByteToWideChar(codePage, 0, bytes, n, back, 2) != units ||
        text.compare(i, units, back, units) != 0)
      return i;
  }
  return std::wstring::npos;
}

}  // namespace

std::wstring SettingsNameFault(const std::wstring& name, SettingsName kind) {
  if (name.empty()) return L"it cannot be empty";
  if (IsProfileBlank(name.front())) return L"it cannot start with " + CharName(name, 0);
  if (IsProfileBlank(name.back())) return L"it cannot end with " + CharName(name, name.size() - 1);
  const size_t lineBreak = name.find_first_of(L"\r\n");
  if (lineBreak != std::wstring::npos) return L"it cannot hold " + CharName(name, lineBreak);
  if (kind == SettingsName::Key) {
    if (name.find(L'=') != std::wstring::npos) return L"it cannot hold \"=\"";
    if (name.front() == L';' || name.front() == L'[') return L"it cannot start with " + CharName(name, 0);
  } else {
    if (name.find(L']') != std::wstring::npos) return L"it cannot hold \"]\"";
    if (name.size() >= 2 && (name.front() == L'"' || name.front() == L'\'') && name.back() == name.front())
      return L"it cannot be enclosed in " + CharName(name, 0);
    if (name.size() > kMaxValueChars) return dv::Format(L"it cannot be longer than %d characters", int(kMaxValueChars));
  }
  const size_t unstorable = FirstUnstorableChar(name);
  if (unstorable != std::wstring::npos) return L"the settings file cannot hold " + CharName(name, unstorable);
  return std::wstring();
}

std::wstring SettingsValuePartFault(const std::wstring& part, bool endsTheLine) {
  const size_t lineBreak = part.find_first_of(L"\r\n");
  if (lineBreak != std::wstring::npos) return L"it cannot hold " + CharName(part, lineBreak);
  if (endsTheLine && !part.empty() && IsProfileBlank(part.back()))
    return L"it cannot end with " + CharName(part, part.size() - 1);
  const size_t unstorable = FirstUnstorableChar(part);
  if (unstorable != std::wstring::npos) return L"the settings file cannot hold " + CharName(part, unstorable);
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
