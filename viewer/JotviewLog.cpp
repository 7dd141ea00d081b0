// Reading, splitting and clearing the event log; see JotviewLog.h.
#include "viewer/JotviewLog.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

namespace {

std::wstring FromAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

// The run-time library's string-to-integer reading: leading blanks, a sign,
// digits; 0 without digits. Out-of-range values are clamped, not undefined.
int LeadingNumber(const std::wstring& text) {
  const long v = std::wcstol(text.c_str(), nullptr, 10);
  if (v > 0x7fffffffL) return 0x7fffffff;
  if (v < -0x7fffffffL - 1) return -0x7fffffff - 1;
  return static_cast<int>(v);
}

}  // namespace

bool SplitLogLine(const std::string& line, LogRow& row) {
  if (line.find(',') == std::string::npos) return false;
  std::string text = line;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  const std::wstring wide = FromAnsi(text);

  std::wstring fields[6];
  size_t start = 0;
  int field = 0;
  for (; field < 5; ++field) {
    const size_t comma = wide.find(L',', start);
    if (comma == std::wstring::npos) break;
    fields[field] = wide.substr(start, comma - start);
    start = comma + 1;
  }
  // After five commas the rest is the detail; with fewer, the text after
  // the last comma is the next column's.
  fields[field] = wide.substr(start);

  row = LogRow();
  const int category = LeadingNumber(fields[0]);
  // A negative category has no picture (a negative index would ask the list
  // for a callback image).
  row.icon = category < 0 ? I_IMAGENONE : category % 5;
  row.code = fields[1];
  row.event = fields[2];
  row.date = fields[3];
  row.time = fields[4];
  row.info = fields[5];
  return true;
}

bool ReadLogLines(const std::wstring& path, std::vector<std::string>& lines) {
  lines.clear();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string current;
  bool overlong = false;
  auto endLine = [&] {
    if (!current.empty()) {
      if (current.back() == '\r') current.pop_back();
      if (!current.empty()) lines.push_back(current);
    }
    current.clear();
    overlong = false;
  };
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(file, buf, sizeof(buf), &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i) {
      const char c = buf[i];
      if (c == '\n') {
        endLine();
      } else if (!overlong) {
        // The CR before the line feed is kept while the line fits, so that
        // a line of exactly the longest length still loses only its CR.
        if (current.size() < kMaxLogLine || (current.size() == kMaxLogLine && c == '\r'))
          current.push_back(c);
        else
          overlong = true;
      }
    }
  }
  endLine();
  CloseHandle(file);
  return true;
}

bool ClearLogFile(const std::wstring& path) {
  if (!DeleteFileW(path.c_str())) return false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}
