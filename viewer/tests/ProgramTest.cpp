// Jotview.exe itself, started as the controller starts it: with the log's
// path as its argument, or with a path that cannot be opened.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring ViewerProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.rfind(L'\\') + 1) + L"Jotview.exe";
}

struct Found {
  DWORD pid;
  std::wstring className;
  HWND hwnd;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM data) {
  auto* f = reinterpret_cast<Found*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (owner == f->pid && f->className == cls && IsWindowVisible(hwnd)) {
    f->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the process with the class, or null.
HWND FindProcessWindow(DWORD pid, const wchar_t* className) {
  Found found{pid, className, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

HWND WaitForWindow(DWORD pid, const wchar_t* className) {
  for (int i = 0; i < 200; ++i) {
    if (HWND w = FindProcessWindow(pid, className)) return w;
    Sleep(50);
  }
  return nullptr;
}

std::wstring Text(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

class Program {
 public:
  explicit Program(const std::wstring& argument) {
    std::wstring cmd = L"\"" + ViewerProgram() + L"\" " + argument;
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  bool Started() const { return started_; }
  DWORD Pid() const { return pi_.dwProcessId; }
  // The exit code, or STILL_ACTIVE after a few seconds.
  DWORD Wait() const {
    WaitForSingleObject(pi_.hProcess, 10000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION pi_ = {};
};

TEST(ProgramTest, ShowsTheLogGivenOnTheCommandLineAndClosesWithCodeZero) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring log = std::wstring(temp) + L"dvviewer-program-" + std::to_wstring(GetCurrentProcessId()) + L".log";
  HANDLE f = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  const char lines[] = "4,4001,Dorvane controller application was started,01/02/2027,09:05:07,\r\n"
                       "1,1007,Can't open original file,08/12/2026,14:03:59,GetLastError Returned: 2 (x)\r\n";
  DWORD written = 0;
  WriteFile(f, lines, sizeof(lines) - 1, &written, nullptr);
  CloseHandle(f);

  Program viewer(log);
  ASSERT_TRUE(viewer.Started());
  HWND dialog = WaitForWindow(viewer.Pid(), L"#32770");
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(L"Event Log Viewer (2 Events)", Text(dialog));
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, viewer.Wait());
  DeleteFileW(log.c_str());
}

TEST(ProgramTest, ALogThatCannotBeOpenedEndsWithCodeOne) {
  Program viewer(L"C:\\no such folder\\Events.log");
  ASSERT_TRUE(viewer.Started());
  HWND box = WaitForWindow(viewer.Pid(), L"#32770");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(L"Jotview", Text(box));
  bool sawText = false;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (Text(child) == L"Log file couldn't be opened") sawText = true;
  EXPECT_TRUE(sawText);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(1u, viewer.Wait());
}

}  // namespace
