// The shim's calls; see windows.h here.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/EventLog.h"
#include "common/SettingsFile.h"

namespace {

[[noreturn]] void NotInFuzzing(const char* call) {
  std::fprintf(stderr, "shim: %s reached while fuzzing\n", call);
  std::abort();
}

}  // namespace

int MultiByteToWideChar(UINT, DWORD, const char* text, int bytes, wchar_t* out, int units) {
  const size_t n = bytes < 0 ? std::strlen(text) + 1 : static_cast<size_t>(bytes);
  if (units == 0) return static_cast<int>(n);
  if (static_cast<size_t>(units) < n) return 0;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(text[i]);
  return static_cast<int>(n);
}

int WideCharToMultiByte(UINT, DWORD, const wchar_t* text, int units, char* out, int bytes, const char*, BOOL*) {
  const size_t n = units < 0 ? std::wcslen(text) + 1 : static_cast<size_t>(units);
  if (bytes == 0) return static_cast<int>(n);
  if (static_cast<size_t>(bytes) < n) return 0;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(text[i] <= 0xFF ? text[i] : '?');
  return static_cast<int>(n);
}

DWORD GetLastError() { return 0; }
UINT GetACP() { return 1252; }  // Latin-1 conversions, as above
HANDLE CreateFileW(LPCWSTR, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) { NotInFuzzing("CreateFileW"); }
BOOL ReadFile(HANDLE, void*, DWORD, DWORD*, void*) { NotInFuzzing("ReadFile"); }
BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, void*) { NotInFuzzing("WriteFile"); }
BOOL WritePrinter(HANDLE, void*, DWORD, DWORD*) { NotInFuzzing("WritePrinter"); }
BOOL SetFilePointerEx(HANDLE, LARGE_INTEGER, LARGE_INTEGER*, DWORD) { NotInFuzzing("SetFilePointerEx"); }
BOOL GetFileSizeEx(HANDLE, LARGE_INTEGER*) { NotInFuzzing("GetFileSizeEx"); }
BOOL CloseHandle(HANDLE) { NotInFuzzing("CloseHandle"); }
BOOL DeleteFileW(LPCWSTR) { NotInFuzzing("DeleteFileW"); }
LRESULT SendMessageW(HWND, UINT, WPARAM, LPARAM) { NotInFuzzing("SendMessageW"); }
BOOL WritePrivateProfileSectionW(LPCWSTR, LPCWSTR, LPCWSTR) { NotInFuzzing("WritePrivateProfileSectionW"); }
bool ReadSectionLines(const std::wstring&, const std::wstring&, unsigned, std::vector<std::wstring>&, unsigned) {
  NotInFuzzing("ReadSectionLines");
}
void ShowSectionWarning(SectionWarning, const wchar_t*) { NotInFuzzing("ShowSectionWarning"); }
std::wstring SettingsValuePartFault(const std::wstring&, bool) { NotInFuzzing("SettingsValuePartFault"); }
// The scanner logs a sequence too long for its buffer; nothing to log here.
void LogLastError(int, DWORD) {}
