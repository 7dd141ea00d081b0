// The controller's main window: menu bar, a toolbar that docks on any side
// or floats, a status bar with the last job number and the number of jobs in
// the spool, the spool list as its view, and the commands of the frame (Save
// Print Jobs, Auto Refresh, Event Log, help with its context-help mode, whose
// pages are those of the help file beside the program). The last-job pane's idle update also runs the automatic
// refresh of the list: when LastJobNumber changes from a non-zero value while
// Auto Refresh is on, the frame sends itself Refresh Now.
//
// The document and the view belong to the frame and live as long as it.
#pragma once

#include <windows.h>

#include "controller/DorvaneDoc.h"
#include "controller/SpoolFrm.h"
#include "ui/DockBar.h"
#include "ui/FrameWindow.h"
#include "ui/StatusBar.h"
#include "ui/ToolBar.h"

class CMainFrame final : public ui::FrameWindow {
 public:
  // Reads LastJobNumber, AutoRefreshSpool and DeleteFilesAfter.
  CMainFrame();
  ~CMainFrame() override;

  // Creates the window with the frame's fixed style (PreCreateWindow); false
  // when it, the view or a bar could not be made (GetLastError tells).
  bool Create();

  CSpoolFrm& SpoolView() { return spoolView; }
  CDorvaneDoc& Document() { return document; }
  // "Dorvane - " followed by the document's title.
  void UpdateTitle();

  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnUpdate(ui::CmdUI& cmd) override;
  // The context-help map: the page of each command, of the frame's controls
  // and, by the command that opens it, of each dialog.
  std::wstring HelpPageFor(UINT id) const override;

  static DWORD PreCreateWindow();

  ui::StatusBar statusBar;
  ui::ToolBar toolBar;
  ui::DockBar dockBar;
  int lastJobNumber = 0;
  int autoRefresh = 1;
  int deleteFilesAfter = 1;

 protected:
  int OnCreate(CREATESTRUCTW& cs) override;

 private:
  void OnSavePrintJobs();
  void OnUpdateSavePrintJobs(ui::CmdUI& cmd);
  void OnAutoRefresh();
  void OnUpdateLastJobNumber(ui::CmdUI& cmd);
  void OnUpdateJobCount(ui::CmdUI& cmd);
  void OnViewEvents();
  void OnEditPageTemplate();
  void OnEditScenarioFile();
  // In DlgPassword.cpp and DlgRename.cpp, beside their dialogs.
  void OnToolsPassword();
  void OnToolsLastJobNumber();

  CDorvaneDoc document;
  CSpoolFrm spoolView;
};
