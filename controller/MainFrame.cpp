// Main frame of the controller; see MainFrame.h.
#include "controller/MainFrame.h"

#include "common/InstallFolder.h"
#include "common/PlatformHelpers.h"
#include "common/StringUtil.h"
#include "controller/DlgJobProcess.h"
#include "controller/DlgEditTemplate.h"
#include "controller/DlgEditScenario.h"
#include "controller/DlgToolsOptions.h"
#include "controller/resource.h"
#include "ui/App.h"
#include "ui/CmdUI.h"
#include "ui/CommonDialogs.h"

namespace {

const UINT kToolbarButtons[] = {
    ID_FILE_SAVE_PRINT_JOBS, ID_SEPARATOR,         ID_VIEW_REFRESH_NOW, ID_SEPARATOR,
    ID_FILE_PRINT,           ID_FILE_PRINT_PREVIEW, ID_FILE_VIEW_JOB_INFORMATION, ID_FILE_DELETE_JOBS,
    ID_SEPARATOR,            ID_VIEW_EVENT_LOG,    ID_SEPARATOR,        ID_EDIT_JOB_PROCESS,
    ID_EDIT_SCENARIO_FILE,   ID_EDIT_PAGE_TEMPLATE,
};

const UINT kIndicators[] = {
    ID_SEPARATOR, ID_INDICATOR_LAST_JOB, ID_INDICATOR_JOB_COUNT, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL,
};

constexpr int kButtonImageSize = 32;

// The settings file is built anew for each access: the install folder may
// move between two of them.
std::wstring SettingsFile() { return GetInstallDirectory() + L"Dorvane.ini"; }

int ReadGeneralInt(const wchar_t* key, int def) { return GetIniInt(L"General", key, SettingsFile(), def); }

}  // namespace

CMainFrame::CMainFrame()
    : lastJobNumber(ReadGeneralInt(L"LastJobNumber", 0)),
      autoRefresh(ReadGeneralInt(L"AutoRefreshSpool", 1)),
      deleteFilesAfter(ReadGeneralInt(L"DeleteFilesAfter", 1)) {}

CMainFrame::~CMainFrame() { Destroy(); }

DWORD CMainFrame::PreCreateWindow() { return WS_OVERLAPPEDWINDOW | WS_MAXIMIZE; }

bool CMainFrame::Create() {
  document.OnNewDocument();
  if (!CreateFrame(L"Dorvane", PreCreateWindow(), IDR_MAINFRAME, IDR_MAINFRAME, IDR_MAINFRAME)) return false;
  UpdateTitle();
  return true;
}

void CMainFrame::UpdateTitle() {
  if (Hwnd()) SetWindowTextW(Hwnd(), (L"Dorvane - " + document.Title()).c_str());
}

int CMainFrame::OnCreate(CREATESTRUCTW&) {
  if (!spoolView.CreateView(Hwnd(), IDW_VIEW)) return -1;
  SetView(&spoolView);
  // The toolbar docks on any side of the frame or floats; it starts at the
  // top.
  if (!dockBar.Create(*this, IDW_DOCKBAR, L"Toolbar") ||
      !toolBar.Create(dockBar.Hwnd(), IDW_TOOLBAR,
                      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | ui::DockBar::kToolBarStyle,
                      IDR_MAINFRAME, kButtonImageSize, kButtonImageSize, kToolbarButtons,
                      sizeof(kToolbarButtons) / sizeof(kToolbarButtons[0])))
    return -1;
  SetToolBar(&toolBar);
  SetDockBar(&dockBar);
  dockBar.Attach(toolBar);
  if (!statusBar.Create(Hwnd(), IDW_STATUS_BAR, WS_CHILD | WS_VISIBLE | CCS_BOTTOM) ||
      !statusBar.SetIndicators(kIndicators, sizeof(kIndicators) / sizeof(kIndicators[0])))
    return -1;
  SetStatusBar(&statusBar);
  ShowIdleMessage();
  return 0;
}

bool CMainFrame::OnCommand(UINT id, UINT code, HWND control) {
  switch (id) {
    case ID_FILE_SAVE_PRINT_JOBS:
      OnSavePrintJobs();
      return true;
    case ID_VIEW_AUTO_REFRESH:
      OnAutoRefresh();
      return true;
    case ID_VIEW_EVENT_LOG:
      OnViewEvents();
      return true;
    case ID_EDIT_JOB_PROCESS: {
      // Every opening starts from the settings file; OK has saved.
      CDlgJobProcess dialog;
      dialog.DoModal();
      return true;
    }
    case ID_TOOLS_PASSWORD:
      OnToolsPassword();
      return true;
    case ID_TOOLS_LAST_JOB_NUMBER:
      OnToolsLastJobNumber();
      return true;
    case ID_TOOLS_OPTIONS: {
      // The result is not looked at: the dialog wrote what it had on OK.
      CDlgToolsOptions dialog;
      dialog.DoModal();
      return true;
    }
    case ID_EDIT_PAGE_TEMPLATE:
      OnEditPageTemplate();
      return true;
    case ID_EDIT_SCENARIO_FILE:
      OnEditScenarioFile();
      return true;
    case ID_HELP_FINDER:
    case ID_HELP:
    case ID_DEFAULT_HELP:
      if (ui::App::Current()) ui::App::Current()->ShowHelp(Hwnd());
      return true;
    case ID_CONTEXT_HELP:
      EnterHelpMode();
      return true;
    default:
      return ui::FrameWindow::OnCommand(id, code, control);
  }
}

bool CMainFrame::OnUpdate(ui::CmdUI& cmd) {
  switch (cmd.Id()) {
    case ID_FILE_SAVE_PRINT_JOBS:
      OnUpdateSavePrintJobs(cmd);
      return true;
    case ID_INDICATOR_LAST_JOB:
      OnUpdateLastJobNumber(cmd);
      return true;
    case ID_INDICATOR_JOB_COUNT:
      OnUpdateJobCount(cmd);
      return true;
    case ID_VIEW_AUTO_REFRESH:
    case ID_VIEW_EVENT_LOG:
    case ID_EDIT_JOB_PROCESS:
    case ID_TOOLS_PASSWORD:
    case ID_TOOLS_LAST_JOB_NUMBER:
    case ID_TOOLS_OPTIONS:
    case ID_EDIT_PAGE_TEMPLATE:
    case ID_EDIT_SCENARIO_FILE:
    case ID_HELP_FINDER:
    case ID_HELP:
    case ID_DEFAULT_HELP:
    case ID_CONTEXT_HELP:
      return true;
    default:
      return ui::FrameWindow::OnUpdate(cmd);
  }
}

std::wstring CMainFrame::HelpPageFor(UINT id) const {
  switch (id) {
    case ID_FILE_PRINT:
    case ID_FILE_DELETE_JOBS:
    case ID_FILE_EMPTY_SPOOL:
    case ID_FILE_SAVE_PRINT_JOBS:
    case ID_VIEW_REFRESH_NOW:
    case ID_VIEW_AUTO_REFRESH:
    case IDW_VIEW:
      return L"spool.htm";
    case ID_FILE_PRINT_PREVIEW:
      return L"preview.htm";
    case ID_FILE_VIEW_JOB_INFORMATION:
      return L"jobinfo.htm";
    case ID_VIEW_EVENT_LOG:
      return L"eventlog.htm";
    case ID_EDIT_JOB_PROCESS:
      return L"jobprocess.htm";
    case ID_EDIT_SCENARIO_FILE:
      return L"scenario.htm";
    case ID_EDIT_PAGE_TEMPLATE:
      return L"template.htm";
    case ID_TOOLS_OPTIONS:
      return L"options.htm";
    case ID_TOOLS_LAST_JOB_NUMBER:
      return L"lastjob.htm";
    case ID_TOOLS_PASSWORD:
      return L"password.htm";
    // The bars' window ids are their toggles' command ids.
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case IDW_DOCKBAR:
    case ID_APP_EXIT:
      return L"mainwindow.htm";
    default:
      // Help Topics, About and the rest: the contents.
      return std::wstring();
  }
}

void CMainFrame::OnSavePrintJobs() {
  // The toggle starts from the file, so a change made by another program
  // is respected.
  const int v = ReadGeneralInt(L"DeleteFilesAfter", 1);
  deleteFilesAfter = v == 0 ? 1 : 0;
  SetIniInt(L"General", L"DeleteFilesAfter", SettingsFile(), deleteFilesAfter);
  ui::CheckMainMenuItem(ID_FILE_SAVE_PRINT_JOBS, deleteFilesAfter == 0);
}

void CMainFrame::OnUpdateSavePrintJobs(ui::CmdUI& cmd) {
  cmd.Enable();
  // Pressed while jobs stay in the spool. The menu's check mark is left to
  // start-up and the toggle.
  toolBar.SetButtonState(ID_FILE_SAVE_PRINT_JOBS, deleteFilesAfter != 0
                                                      ? TBSTATE_ENABLED
                                                      : TBSTATE_CHECKED | TBSTATE_PRESSED | TBSTATE_ENABLED);
}

void CMainFrame::OnAutoRefresh() {
  const int v = ReadGeneralInt(L"AutoRefreshSpool", 1);
  autoRefresh = v == 0 ? 1 : 0;
  SetIniInt(L"General", L"AutoRefreshSpool", SettingsFile(), autoRefresh);
  ui::CheckMainMenuItem(ID_VIEW_AUTO_REFRESH, autoRefresh != 0);
}

void CMainFrame::OnUpdateLastJobNumber(ui::CmdUI& cmd) {
  cmd.Enable();
  const int n = ReadGeneralInt(L"LastJobNumber", 0);
  cmd.SetText(dv::Format(L" Last job number is: %d", n));
  // In context-help mode a command is taken as a question about it: the
  // refresh waits for the first idle pass after the mode.
  if (n != lastJobNumber && !InHelpMode()) {
    // A change from 0 (the key was missing or reset) only records the
    // number; every other change rebuilds the list, a decrease included.
    if (lastJobNumber != 0 && autoRefresh != 0) {
      spoolView.ExpectNewJob(n);
      Send(WM_COMMAND, MAKEWPARAM(ID_VIEW_REFRESH_NOW, 0), 0);
    }
    lastJobNumber = n;
  }
}

void CMainFrame::OnUpdateJobCount(ui::CmdUI& cmd) {
  cmd.Enable();
  cmd.SetText(dv::Format(L" Number of jobs in the spool: %d", spoolView.JobCount()));
}

void CMainFrame::OnViewEvents() { StartJotview(GetInstallDirectory() + L"Events.log"); }

namespace {

// Asks for a file to open or create with the editor of its type. The folder
// must exist, the file need not: a new name opens the editor on a new file,
// which its OK creates.
bool PromptForEditedFile(HWND owner, const wchar_t* title, const wchar_t* extension, const wchar_t* filter,
                         std::wstring& path) {
  ui::FileDialogRequest request;
  request.open = true;
  request.title = title;
  request.defaultExtension = extension;
  request.fileName = std::wstring(L"*.") + extension;
  request.filter = filter;
  request.flags = OFN_PATHMUSTEXIST;
  return ui::ShowFileDialog(owner, request, path);
}

}  // namespace

void CMainFrame::OnEditPageTemplate() {
  std::wstring path;
  if (!PromptForEditedFile(Hwnd(), L"Open / Create Page Template files", L"dpt",
                           L"Dorvane Page Template Files (*.dpt)|*.dpt|All Files (*.*)|*.*||", path))
    return;
  CDlgEditTemplate editor;
  editor.SetFileName(path);
  editor.DoModal();
}

void CMainFrame::OnEditScenarioFile() {
  std::wstring path;
  if (!PromptForEditedFile(Hwnd(), L"Open / Create Scenario files", L"scn",
                           L"Dorvane Scenario Files (*.scn)|*.scn|All Files (*.*)|*.*||", path))
    return;
  CDlgEditScenario editor;
  editor.SetFileName(path);
  editor.DoModal();
}
