// Start-up and application commands of the controller; see DorvaneApp.h.
#include "controller/DorvaneApp.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "controller/AboutDlg.h"
#include "controller/EntranceCheck.h"
#include "controller/MainFrame.h"
#include "controller/resource.h"
#include "ui/CmdUI.h"
#include "ui/CommonDialogs.h"

namespace {

constexpr int kEventOleFailed = 1001;
constexpr int kEventShellFailed = 1003;

// The file named on the command line, "" when there is none. Switches
// ("/x" or "-x") name no file.
std::wstring CommandLineFile() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return std::wstring();
  std::wstring file;
  for (int i = 1; i < count && file.empty(); ++i)
    if (args[i][0] != L'/' && args[i][0] != L'-') file = args[i];
  LocalFree(args);
  return file;
}

}  // namespace

CDorvaneApp::~CDorvaneApp() { DestroyMainWindow(); }

CMainFrame* CDorvaneApp::MainFrame() const { return static_cast<CMainFrame*>(MainWindow()); }

bool CDorvaneApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  HRESULT ole = OleInitialize(nullptr);
  if (FAILED(ole)) {
    LogLastError(kEventOleFailed, GetLastError());
    ui::AppMessageBox(String(IDS_OLE_INIT_FAILED), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  oleInitialised_ = true;

  // The class library's profile key, created as its standard profile
  // settings (with no recent-file list) create it. The system keeps none of
  // its settings there: they live in the settings file and under HKLM.
  CreateProfileKey();

  // The document, the main frame and the spool list; a file named on the
  // command line names the document and must exist.
  const std::wstring file = CommandLineFile();
  if (!file.empty() && GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    LogLastError(kEventShellFailed, GetLastError());
    return false;
  }
  auto frame = std::make_unique<CMainFrame>();
  if (!frame->Create()) {
    DWORD error = GetLastError();
    LogLastError(kEventShellFailed, error);
    return false;
  }
  if (!file.empty()) {
    frame->Document().SetPathName(file);
    frame->UpdateTitle();
  }
  CMainFrame* main = frame.get();
  SetMainWindow(std::move(frame));

  // The status panes show their values, not their sample texts, from the
  // first time the window is seen (the prompt below comes before any idle
  // pass of the message loop).
  main->OnIdleUpdate();
  // On screen before the password prompt.
  ShowWindow(main->Hwnd(), SW_SHOWMAXIMIZED);
  UpdateWindow(main->Hwnd());
  // The spool list's form took the focus while the window was hidden, which
  // made the window active; this Wine then shows it with an inactive caption
  // until it is activated again. Its caption is drawn active here.
  if (GetActiveWindow() == main->Hwnd()) SendMessageW(main->Hwnd(), WM_NCACTIVATE, TRUE, 0);

  const std::wstring ini = GetInstallDirectory() + L"Dorvane.ini";
  ui::CheckMainMenuItem(ID_VIEW_AUTO_REFRESH, GetIniInt(L"General", L"AutoRefreshSpool", ini, 1) != 0);
  ui::CheckMainMenuItem(ID_FILE_SAVE_PRINT_JOBS, GetIniInt(L"General", L"DeleteFilesAfter", ini, 1) == 0);

  if (!CheckEntrancePassword(main->Hwnd())) {
    DestroyMainWindow();
    return false;
  }
  return true;
}

void CDorvaneApp::CreateProfileKey() const {
  const std::wstring path = std::wstring(L"Software\\") + kProfileRegistryKey + L"\\" + Title();
  dv::RegKey key;
  RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                  nullptr, key.put(), nullptr);
}

int CDorvaneApp::ExitInstance(int code) {
  DestroyMainWindow();
  if (oleInitialised_) OleUninitialize();
  oleInitialised_ = false;
  return code;
}

bool CDorvaneApp::OnCommand(UINT id, UINT code) {
  switch (id) {
    case ID_APP_ABOUT:
      OnAppAbout();
      return true;
    case ID_FILE_NEW:
      OnFileNew();
      return true;
    case ID_FILE_OPEN:
      OnFileOpen();
      return true;
    case ID_FILE_SAVE:
      OnFileSave();
      return true;
    case ID_FILE_PRINT_SETUP:
      OnFilePrintSetup();
      return true;
    default:
      return ui::App::OnCommand(id, code);
  }
}

bool CDorvaneApp::OnUpdate(ui::CmdUI& cmd) {
  switch (cmd.Id()) {
    case ID_APP_ABOUT:
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_PRINT_SETUP:
      return true;
    default:
      return ui::App::OnUpdate(cmd);
  }
}

void CDorvaneApp::OnAppAbout() {
  CAboutDlg about;
  about.DoModal();
}

// New, Open and Save act on the empty document and never write a file: the
// document holds nothing, so a save could only replace the chosen file with
// an empty one.
void CDorvaneApp::OnFileNew() {
  if (!MainFrame()) return;
  MainFrame()->Document().OnNewDocument();
  MainFrame()->UpdateTitle();
}

void CDorvaneApp::OnFileOpen() {
  if (!MainFrame()) return;
  ui::FileDialogRequest request;
  request.open = true;
  request.filter = L"All Files (*.*)|*.*||";
  request.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  std::wstring path;
  if (!ui::ShowFileDialog(MainHwnd(), request, path)) return;
  MainFrame()->Document().SetPathName(path);
  MainFrame()->UpdateTitle();
}

void CDorvaneApp::OnFileSave() {
  if (!MainFrame() || !MainFrame()->Document().PathName().empty()) return;
  ui::FileDialogRequest request;
  request.open = false;
  request.filter = L"All Files (*.*)|*.*||";
  request.fileName = MainFrame()->Document().Title();
  request.flags = OFN_HIDEREADONLY;
  std::wstring path;
  if (!ui::ShowFileDialog(MainHwnd(), request, path)) return;
  MainFrame()->Document().SetPathName(path);
  MainFrame()->UpdateTitle();
}

void CDorvaneApp::OnFilePrintSetup() {
  PRINTDLGW request = {};
  request.Flags = PD_PRINTSETUP;
  ui::ShowPrintDialog(MainHwnd(), request);
  // The choice is kept by no part of the system.
  if (request.hDevMode) GlobalFree(request.hDevMode);
  if (request.hDevNames) GlobalFree(request.hDevNames);
}
