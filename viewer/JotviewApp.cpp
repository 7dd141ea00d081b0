// The viewer's start: command line, help file and the modal main dialog;
// see JotviewApp.h.
#include "viewer/JotviewApp.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "viewer/JotviewDlg.h"

std::wstring CommandLineArgument(const wchar_t* commandLine) {
  if (!commandLine) return std::wstring();
  const wchar_t* p = commandLine;
  // The program's name, quoted or up to the first blank.
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

std::wstring JotviewHelpFilePath(const std::wstring& programPath) {
  const size_t slash = programPath.rfind(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash + 1);
  return folder + L"Tembla.hlp";
}

bool CJotviewApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  wchar_t program[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, program, MAX_PATH);
  auto dialog = std::make_unique<CJotviewDlg>(CommandLineArgument(GetCommandLineW()));
  dialog->helpFilePath = JotviewHelpFilePath(std::wstring(program, n < MAX_PATH ? n : 0));
  CJotviewDlg* dlg = dialog.get();
  SetMainWindow(std::move(dialog));
  dlg->DoModal(nullptr);
  exitCode_ = dlg->ExitCode();
  // The program ends with the dialog.
  return false;
}
