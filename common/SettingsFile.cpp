// Reserved group names and the list-section reader; see SettingsFile.h.
#include "common/SettingsFile.h"

#include <windows.h>

#include "common/StringUtil.h"

bool IsReservedGroupName(const std::wstring& name) {
  static const wchar_t* const kReserved[] = {L"GENERAL", L"USERS", L"PRINTERSCENARIOS", L"JOBNAMESCENARIOS",
                                             L"JOB", L"CLUSTERGROUP"};
  const std::wstring upper = dv::AsciiUpper(name);
  for (const wchar_t* reserved : kReserved)
    if (upper == reserved) return true;
  return false;
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
