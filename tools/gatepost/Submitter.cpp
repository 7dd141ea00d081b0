// Stand-in for Gatepost's Submitter.exe: appends its whole command line
// (UTF-8, one line each) to SubmitterCalls.txt in its own folder, and
// whether the header file it was given existed, then ends.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/StringUtil.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  std::wstring folder(self, n);
  folder = folder.substr(0, folder.find_last_of(L'\\') + 1);

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  bool headerExists = argv && argc >= 2 && GetFileAttributesW(argv[1]) != INVALID_FILE_ATTRIBUTES;
  if (argv) LocalFree(argv);

  std::string line = dv::ToUtf8(GetCommandLineW()) + (headerExists ? "|header" : "|no header") + "\r\n";
  HANDLE h = CreateFileW((folder + L"SubmitterCalls.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                         OPEN_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(h);
  return 0;
}
