// Stand-in for the engine library in the submitter's tests: each export
// appends "<export> <job number>" and a line end to StubCalls.txt in the
// library's own folder and returns 1.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HMODULE g_module = nullptr;

void Record(const char* exportName, int jobNumber) {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  std::wstring file(path, n);
  file = file.substr(0, file.find_last_of(L'\\') + 1) + L"StubCalls.txt";
  HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  char line[256];
  int len = snprintf(line, sizeof(line), "%s %d\r\n", exportName, jobNumber);
  DWORD written = 0;
  WriteFile(h, line, static_cast<DWORD>(len), &written, nullptr);
  CloseHandle(h);
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

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

}  // extern "C"
