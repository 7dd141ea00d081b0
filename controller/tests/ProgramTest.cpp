// Dorvane.exe started as a program, as from the command line: its maximised
// main window with menus, toolbar, spool list and status bar, and a
// screenshot of the screen (ImageMagick) left beside the test program as
// controller-shot.png for a person to look at.
#include "controller/tests/ControllerFixture.h"

#include "common/Handles.h"

namespace ctltest {
namespace {

struct FoundWindow {
  DWORD process;
  HWND hwnd;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindow*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != found->process || !IsWindowVisible(hwnd) || GetParent(hwnd)) return TRUE;
  found->hwnd = hwnd;
  return FALSE;
}

HWND VisibleChild(HWND parent, const wchar_t* className) {
  HWND child = FindWindowExW(parent, nullptr, className, nullptr);
  return child && IsWindowVisible(child) ? child : nullptr;
}

TEST_F(ControllerTest, ProgramShowsItsMaximisedMainWindow) {
  AddJob(7);
  AddJob(8);
  SetGeneral(L"DeleteFilesAfter", L"0");
  ASSERT_TRUE(folder.Install(dvtest::BuiltFile(L"controller\\Dorvane.exe")));
  std::wstring commandLine = L"\"" + folder.Path() + L"Dorvane.exe\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  dv::KernelHandle process(pi.hProcess);
  dv::KernelHandle thread(pi.hThread);

  FoundWindow found = {pi.dwProcessId, nullptr};
  for (int waited = 0; waited < 20000 && !found.hwnd; waited += 100) {
    WaitForInputIdle(process.get(), 100);
    EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&found));
    if (!found.hwnd) Sleep(100);
  }
  ASSERT_NE(nullptr, found.hwnd) << "no main window";
  HWND main = found.hwnd;
  wchar_t title[128] = {};
  GetWindowTextW(main, title, 128);
  EXPECT_STREQ(L"Dorvane - Untitled", title);
  EXPECT_TRUE(IsZoomed(main));
  // Menus are the program's own objects under Wine: only their presence
  // can be seen from here.
  EXPECT_NE(nullptr, GetMenu(main));
  HWND dockBar = VisibleChild(main, L"ui.DockBar");
  ASSERT_NE(nullptr, dockBar) << "the toolbar's dock bar";
  EXPECT_NE(nullptr, VisibleChild(dockBar, TOOLBARCLASSNAMEW));
  EXPECT_NE(nullptr, VisibleChild(main, STATUSCLASSNAMEW));
  HWND view = FindWindowExW(main, nullptr, L"#32770", nullptr);
  ASSERT_NE(nullptr, view);
  HWND list = VisibleChild(view, WC_LISTVIEWW);
  ASSERT_NE(nullptr, list);
  // Let the window finish painting before the screen is taken.
  Sleep(1500);
  EXPECT_EQ(2, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));

  if (dvtest::RunUnixShell(L"command -v import >/dev/null") == 0) {
    const std::wstring shot = dvtest::ProgramFolder() + L"controller-shot.png";
    DeleteFileW(shot.c_str());
    EXPECT_EQ(0, dvtest::RunUnixShell(L"import -window root '" + dvtest::UnixPath(shot) + L"'"));
    EXPECT_EQ(0, dvtest::ReadFileBytes(shot).compare(1, 3, "PNG"));
  }

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.get(), 20000));
  DWORD code = 1;
  GetExitCodeProcess(process.get(), &code);
  EXPECT_EQ(0u, code);
  ASSERT_EQ(1u, Events().size());
  EXPECT_EQ(4001, Events()[0].code);
}

}  // namespace
}  // namespace ctltest
