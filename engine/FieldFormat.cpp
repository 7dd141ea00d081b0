// Safe strftime for template fields. The runtime's wcsftime ends the process
// through its invalid-parameter handler on a conversion it does not know,
// and a template file is plain text anyone can edit, so the format is cut
// into literal text and single conversions and only known conversions are
// given to wcsftime, one at a time.
#include "engine/FieldFormat.h"

#include <ctime>
#include <cwchar>

namespace {

constexpr size_t kMaxResultChars = 255;  // what a 256-unit buffer holds

bool IsDocumentedConversion(wchar_t c) { return c != L'\0' && std::wcschr(L"aAbBcdHIjmMpSUwWxXyYzZ%", c) != nullptr; }

int DayOfYear(const SYSTEMTIME& t) {
  static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int month = (t.wMonth >= 1 && t.wMonth <= 12) ? t.wMonth - 1 : 0;
  const int y = t.wYear;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return kBefore[month] + (leap && month >= 2 ? 1 : 0) + t.wDay - 1;
}

WORD Clamp(WORD v, WORD lo, WORD hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The runtime checks the ranges of the struct too (and ends the process on a
// bad one): the platform clock never gives one, an injected clock might.
std::tm ToTm(SYSTEMTIME t) {
  t.wMonth = Clamp(t.wMonth, 1, 12);
  t.wDay = Clamp(t.wDay, 1, 31);
  t.wHour = Clamp(t.wHour, 0, 23);
  t.wMinute = Clamp(t.wMinute, 0, 59);
  t.wSecond = Clamp(t.wSecond, 0, 59);
  t.wDayOfWeek = Clamp(t.wDayOfWeek, 0, 6);
  t.wYear = Clamp(t.wYear, 1900, 9999);
  std::tm tm{};
  tm.tm_year = t.wYear - 1900;
  tm.tm_mon = t.wMonth - 1;
  tm.tm_mday = t.wDay;
  tm.tm_hour = t.wHour;
  tm.tm_min = t.wMinute;
  tm.tm_sec = t.wSecond;
  tm.tm_wday = t.wDayOfWeek;
  tm.tm_yday = DayOfYear(t);
  tm.tm_isdst = 0;
  return tm;
}

}  // namespace

std::wstring FormatFieldTime(const std::wstring& format, const SYSTEMTIME& time) {
  const std::tm tm = ToTm(time);
  std::wstring result;
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] != L'%') {
      result += format[i++];
    } else {
      // "%X" or "%#X": one conversion.
      const size_t letterAt = (i + 1 < format.size() && format[i + 1] == L'#') ? i + 2 : i + 1;
      const wchar_t letter = letterAt < format.size() ? format[letterAt] : L'\0';
      if (IsDocumentedConversion(letter)) {
        const std::wstring one = format.substr(i, letterAt + 1 - i);
        wchar_t buf[512];
        const size_t n = wcsftime(buf, sizeof(buf) / sizeof(buf[0]), one.c_str(), &tm);
        result.append(buf, n);
        i = letterAt + 1;
      } else {
        result += format[i++];  // unknown: the % and what follows stay as written
      }
    }
    if (result.size() > kMaxResultChars) return std::wstring();
  }
  return result;
}
