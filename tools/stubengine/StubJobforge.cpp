// A stand-in for the engine library in the controller's and the submitter's
// tests. Each export appends "<export name> <job number>" and CR LF to
// EngineCalls.txt in the library's own folder (the install folder the test
// copied it to) and returns 1; nothing else is done with the job.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Record(const char* exportName, int jobNumber) {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&Record), &self);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(self, path, MAX_PATH);
  std::wstring log = path;
  log = log.substr(0, log.rfind(L'\\') + 1) + L"EngineCalls.txt";
  char line[128];
  int n = std::snprintf(line, sizeof(line), "%s %d\r\n", exportName, jobNumber);
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

extern "C" {

__declspec(dllexport) int ProcessEmfJobAndSendToPrinter(int jobNumber) {
  Record("ProcessEmfJobAndSendToPrinter", jobNumber);
  return 1;
}

__declspec(dllexport) int ProcessRawJobAndSendToPrinter(int jobNumber) {
  Record("ProcessRawJobAndSendToPrinter", jobNumber);
  return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
