// The main frame: Save Print Jobs and Auto Refresh toggles, the status panes
// and the automatic refresh on the idle pass, prompts and tooltips, the
// commands that are offered, the context-help mode, the toolbar's docking,
// the menu, toolbar and accelerator tables, and the event log viewer started
// from View > Event Log.
#include "controller/tests/ControllerFixture.h"

#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "common/EventLog.h"
#include "controller/DlgPreviewJob.h"
#include "controller/SampleView.h"
#include "ui/StatusBar.h"

namespace ctltest {
namespace {

bool Checked(HWND frame, UINT id) { return (GetMenuState(GetMenu(frame), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

TEST_F(ControllerTest, SavePrintJobsTogglesFromTheFilesValue) {
  struct Row {
    const char* name;
    const wchar_t* before;
    const wchar_t* after;
    bool checked;
    BYTE buttonState;
  } rows[] = {
      {"absent (jobs deleted)", nullptr, L"0", true, TBSTATE_CHECKED | TBSTATE_PRESSED | TBSTATE_ENABLED},
      {"jobs kept", L"0", L"1", false, TBSTATE_ENABLED},
      {"any non-zero value", L"5", L"0", true, TBSTATE_CHECKED | TBSTATE_PRESSED | TBSTATE_ENABLED},
  };
  ASSERT_TRUE(Start());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetGeneral(L"DeleteFilesAfter", row.before);
    Command(ID_FILE_SAVE_PRINT_JOBS);
    EXPECT_EQ(row.after, General(L"DeleteFilesAfter"));
    EXPECT_EQ(row.checked, Checked(frame->Hwnd(), ID_FILE_SAVE_PRINT_JOBS));
    Pump();
    EXPECT_EQ(row.buttonState, frame->toolBar.ButtonState(ID_FILE_SAVE_PRINT_JOBS));
  }
}

TEST_F(ControllerTest, AutoRefreshTogglesFromTheFilesValue) {
  ASSERT_TRUE(Start());
  struct Row {
    const wchar_t* before;
    const wchar_t* after;
    bool checked;
  } rows[] = {{nullptr, L"0", false}, {L"0", L"1", true}, {L"3", L"0", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.after);
    SetGeneral(L"AutoRefreshSpool", row.before);
    Command(ID_VIEW_AUTO_REFRESH);
    EXPECT_EQ(row.after, General(L"AutoRefreshSpool"));
    EXPECT_EQ(row.checked, Checked(frame->Hwnd(), ID_VIEW_AUTO_REFRESH));
  }
}

class IdleRefreshTest : public ControllerTest {
 protected:
  std::wstring Pane(UINT id) const { return frame->statusBar.PaneText(frame->statusBar.CommandToIndex(id)); }
  // A new job arrives: its control file, then the new LastJobNumber.
  void Arrive(int number) {
    AddJob(number);
    SetGeneral(L"LastJobNumber", std::to_wstring(number).c_str());
  }
};

TEST_F(IdleRefreshTest, NewLastJobNumberUpdatesThePanesAndRebuildsTheList) {
  AddJob(41);
  SetGeneral(L"LastJobNumber", L"41");
  ASSERT_TRUE(Start());
  Pump();
  EXPECT_EQ(L" Last job number is: 41", Pane(ID_INDICATOR_LAST_JOB));
  EXPECT_EQ(L" Number of jobs in the spool: 1", Pane(ID_INDICATOR_JOB_COUNT));

  Arrive(42);
  Pump();
  EXPECT_EQ(L" Last job number is: 42", Pane(ID_INDICATOR_LAST_JOB));
  EXPECT_EQ(2, frame->SpoolView().JobCount());
  EXPECT_EQ(L" Number of jobs in the spool: 2", Pane(ID_INDICATOR_JOB_COUNT));

  // A decrease (the number was set back) rebuilds as well.
  AddJob(5);
  SetGeneral(L"LastJobNumber", L"5");
  Pump();
  EXPECT_EQ(3, frame->SpoolView().JobCount());
}

TEST_F(IdleRefreshTest, FirstNumberAfterZeroIsOnlyRecorded) {
  ASSERT_TRUE(Start());
  Pump();
  EXPECT_EQ(L" Last job number is: 0", Pane(ID_INDICATOR_LAST_JOB));
  Arrive(1);
  Pump();
  EXPECT_EQ(L" Last job number is: 1", Pane(ID_INDICATOR_LAST_JOB));
  EXPECT_EQ(0, frame->SpoolView().JobCount());
  Arrive(2);
  Pump();
  EXPECT_EQ(2, frame->SpoolView().JobCount());
}

TEST_F(IdleRefreshTest, AutoRefreshOffFollowsTheNumberButLeavesTheListToF5) {
  SetGeneral(L"LastJobNumber", L"10");
  SetGeneral(L"AutoRefreshSpool", L"0");
  ASSERT_TRUE(Start());
  Arrive(11);
  Pump();
  EXPECT_EQ(L" Last job number is: 11", Pane(ID_INDICATOR_LAST_JOB));
  EXPECT_EQ(0, frame->SpoolView().JobCount());
  Command(ID_VIEW_REFRESH_NOW);
  EXPECT_EQ(1, frame->SpoolView().JobCount());
}

TEST_F(IdleRefreshTest, HiddenStatusBarStopsThePanesAndTheRefresh) {
  SetGeneral(L"LastJobNumber", L"10");
  ASSERT_TRUE(Start());
  Pump();
  Command(ID_VIEW_STATUS_BAR);
  ASSERT_FALSE(frame->statusBar.IsVisible());
  Arrive(11);
  Pump();
  EXPECT_EQ(L" Last job number is: 10", Pane(ID_INDICATOR_LAST_JOB));
  EXPECT_EQ(0, frame->SpoolView().JobCount());

  Command(ID_VIEW_STATUS_BAR);
  Pump();
  EXPECT_EQ(L" Last job number is: 11", Pane(ID_INDICATOR_LAST_JOB));
  EXPECT_EQ(1, frame->SpoolView().JobCount());
}

TEST_F(ControllerTest, PromptsAndTooltipsAreTheSystemsTexts) {
  ASSERT_TRUE(Start());
  struct Row {
    UINT id;
    const wchar_t* prompt;
    const wchar_t* tip;
  } rows[] = {
      {ID_EDIT_SCENARIO_FILE, L"Edit Scenatio", L"Edit Scenatio"},
      {ID_VIEW_AUTO_REFRESH, L"Auto refresh spool", L""},
      {ID_APP_EXIT, L"Quit the application; prompts to save documents", L"Exit"},
      {ID_VIEW_STATUS_BAR, L"Show or hide the status bar", L"Toggle StatusBar"},
      {ID_TOOLS_OPTIONS, L"", L""},
  };
  const int message = frame->statusBar.CommandToIndex(ID_SEPARATOR);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(row.tip, ui::FrameWindow::CommandTip(row.id));
    SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(row.id, MF_HILITE),
                 reinterpret_cast<LPARAM>(GetMenu(frame->Hwnd())));
    EXPECT_EQ(row.prompt, frame->statusBar.PaneText(message));
  }
  SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(L"For Help, press F1", frame->statusBar.PaneText(message));
}

TEST_F(ControllerTest, EmptySpoolDoesNothingAndEveryMenuCommandIsOffered) {
  AddJob(3);
  ASSERT_TRUE(Start());
  EXPECT_TRUE(frame->IsCommandEnabled(ID_FILE_EMPTY_SPOOL));
  Command(ID_FILE_EMPTY_SPOOL);
  EXPECT_EQ(1, frame->SpoolView().JobCount());
  EXPECT_TRUE(dvtest::FileExistsAt(JobPath(3, L"Ctl")));

  for (UINT id : {ID_VIEW_EVENT_LOG, ID_VIEW_REFRESH_NOW, ID_APP_ABOUT, ID_HELP_FINDER, ID_APP_EXIT,
                  ID_FILE_SAVE_PRINT_JOBS, ID_VIEW_AUTO_REFRESH, ID_TOOLS_OPTIONS, ID_TOOLS_LAST_JOB_NUMBER,
                  ID_TOOLS_PASSWORD, ID_EDIT_JOB_PROCESS, ID_EDIT_PAGE_TEMPLATE, ID_EDIT_SCENARIO_FILE}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(frame->IsCommandEnabled(id));
  }
  for (UINT id : {ID_EDIT_COPY, ID_NEXT_PANE}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(frame->IsCommandEnabled(id));
  }
}

// Shift+F1 starts the context-help mode; what comes next is asked about.
class ContextHelpTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    ui::App::HelpEngineOverride() = [this](HWND, const std::wstring& target, UINT) { help.push_back(target); };
  }
  void TearDown() override {
    ui::App::HelpEngineOverride() = nullptr;
    ControllerTest::TearDown();
  }
  // Shift+F1 pressed in the spool list.
  void EnterHelpMode() {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(frame->SpoolView().JobList().Hwnd(), WM_KEYDOWN, VK_F1, 1);
    app->PumpPending();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
  // A click at a screen point, as the frame's capture receives it.
  void ClickAt(POINT screen) {
    ScreenToClient(frame->Hwnd(), &screen);
    SendMessageW(frame->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(screen.x, screen.y));
  }
  static POINT Centre(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  POINT ButtonCentre(UINT command) const {
    RECT r = {};
    SendMessageW(frame->toolBar.Hwnd(), TB_GETRECT, command, reinterpret_cast<LPARAM>(&r));
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(frame->toolBar.Hwnd(), &p);
    return p;
  }
  std::wstring Page(const wchar_t* page) const { return app->HelpFilePath() + L"::/" + page; }

  std::vector<std::wstring> help;
};

TEST_F(ContextHelpTest, ShiftF1ShowsTheHelpCursorAndTheNextClickOpensThatPage) {
  ASSERT_TRUE(Start());
  EnterHelpMode();
  ASSERT_TRUE(frame->InHelpMode());
  EXPECT_EQ(frame->Hwnd(), GetCapture());
  EXPECT_EQ(LoadCursorW(nullptr, IDC_HELP), GetCursor());
  EXPECT_TRUE(help.empty()) << "the mode opens nothing by itself";
  frame->LeaveHelpMode();

  struct Row {
    const char* name;
    std::function<POINT()> where;
    const wchar_t* page;
  } rows[] = {
      {"toolbar button View Job Information", [&] { return ButtonCentre(ID_FILE_VIEW_JOB_INFORMATION); }, L"jobinfo.htm"},
      {"toolbar button Scenario File", [&] { return ButtonCentre(ID_EDIT_SCENARIO_FILE); }, L"scenario.htm"},
      {"toolbar button Event Log", [&] { return ButtonCentre(ID_VIEW_EVENT_LOG); }, L"eventlog.htm"},
      {"the spool list", [&] { return Centre(frame->SpoolView().JobList().Hwnd()); }, L"spool.htm"},
      {"the status bar", [&] { return Centre(frame->statusBar.Hwnd()); }, L"mainwindow.htm"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    help.clear();
    EnterHelpMode();
    ClickAt(row.where());
    EXPECT_FALSE(frame->InHelpMode());
    EXPECT_NE(frame->Hwnd(), GetCapture());
    ASSERT_EQ(1u, help.size());
    EXPECT_EQ(Page(row.page), help[0]);
  }
}

// A toolbar button asked about is not left drawn hot: neither one that was
// hot when the mode began (the mode holds the mouse, so the toolbar never
// sees the pointer leave it), nor one that the click's release reaches after
// the mode has let the mouse go. The release runs nothing either.
TEST_F(ContextHelpTest, AToolbarButtonAskedAboutIsNotLeftHot) {
  SetGeneral(L"DeleteFilesAfter", L"1");
  ASSERT_TRUE(Start());
  HWND bar = frame->toolBar.Hwnd();
  struct Row {
    UINT id;
    bool hotBefore;
    const wchar_t* page;
  } rows[] = {
      {ID_FILE_SAVE_PRINT_JOBS, true, L"spool.htm"},
      {ID_FILE_SAVE_PRINT_JOBS, false, L"spool.htm"},
      {ID_VIEW_REFRESH_NOW, false, L"spool.htm"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.id << (row.hotBefore ? " hot before" : ""));
    help.clear();
    if (row.hotBefore) {
      SendMessageW(bar, TB_SETHOTITEM, SendMessageW(bar, TB_COMMANDTOINDEX, row.id, 0), 0);
      ASSERT_NE(-1, SendMessageW(bar, TB_GETHOTITEM, 0, 0));
    }
    EnterHelpMode();
    ClickAt(ButtonCentre(row.id));
    ASSERT_EQ(1u, help.size()) << "the click was taken as a question";
    EXPECT_EQ(Page(row.page), help[0]);
    EXPECT_EQ(-1, SendMessageW(bar, TB_GETHOTITEM, 0, 0));
    // The release, to the toolbar under the pointer.
    POINT p = ButtonCentre(row.id);
    ScreenToClient(bar, &p);
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    app->PumpPending();
    EXPECT_EQ(-1, SendMessageW(bar, TB_GETHOTITEM, 0, 0)) << "after the release";
    EXPECT_EQ(1u, help.size());
  }
  EXPECT_EQ(L"1", General(L"DeleteFilesAfter")) << "Save Print Jobs did not run";
}

// F1 pressed in a dialog, where its focus is, opens that dialog's page of
// the help file once: the page of the command that opens the dialog (a
// dialog opened from another one has the page of that one), owned by the
// dialog. The key is pressed as the keyboard does it, so that the platform
// sees it too and sends its own help message. That message by itself opens
// the page as well.
TEST_F(ContextHelpTest, F1InADialogOpensThatDialogsPageOnce) {
  AddJob(7);
  ASSERT_TRUE(Start());
  SelectRows({0});
  frame->SpoolView().JobList().SetSelectionMark(0);
  std::vector<HWND> owners;
  ui::App::HelpEngineOverride() = [&](HWND owner, const std::wstring& target, UINT) {
    owners.push_back(owner);
    help.push_back(target);
  };
  struct Row {
    const char* name;
    UINT command;
    int button;  // of the command's dialog, that opens this row's dialog
    UINT dialog;
    const wchar_t* file;  // the editor's file, asked for first
    const wchar_t* page;
    HWND (*focus)(ui::Dialog&);  // where the key is pressed; nullptr: where the dialog put the focus
  } rows[] = {
      {"Options", ID_TOOLS_OPTIONS, 0, IDD_TOOLS_OPTIONS, nullptr, L"options.htm"},
      {"select printers", ID_TOOLS_OPTIONS, IDC_OPT_PRINTERS, IDD_PRINTERS, nullptr, L"options.htm"},
      {"job process editor", ID_EDIT_JOB_PROCESS, 0, IDD_JOB_PROCESS, nullptr, L"jobprocess.htm"},
      {"scenario editor", ID_EDIT_SCENARIO_FILE, 0, IDD_EDIT_SCENARIO, L"new.scn", L"scenario.htm"},
      {"page template editor", ID_EDIT_PAGE_TEMPLATE, 0, IDD_EDIT_TEMPLATE, L"new.dpt", L"template.htm"},
      {"password", ID_TOOLS_PASSWORD, 0, IDD_PASSWORD, nullptr, L"password.htm"},
      {"last job number", ID_TOOLS_LAST_JOB_NUMBER, 0, IDD_RENAME, nullptr, L"lastjob.htm"},
      {"job information", ID_FILE_VIEW_JOB_INFORMATION, 0, IDD_VIEW_JOB_INFORMATION, nullptr, L"jobinfo.htm"},
      // The hosted frame has F1 among its own keys: in the dialog the key is
      // the dialog's wherever the focus is.
      {"preview, on its OK button", ID_FILE_PRINT_PREVIEW, 0, IDD_PREVIEW_JOB, nullptr, L"preview.htm",
       [](ui::Dialog& d) { return d.Item(IDOK); }},
      {"preview, in its page", ID_FILE_PRINT_PREVIEW, 0, IDD_PREVIEW_JOB, nullptr, L"preview.htm",
       [](ui::Dialog& d) {
         CSampleView* view = static_cast<CDlgPreviewJob&>(d).View();
         return view ? view->Hwnd() : nullptr;
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    help.clear();
    owners.clear();
    ui::Prompts().file = [&](HWND, const ui::FileDialogRequest&, std::wstring& path) {
      path = folder.Path() + row.file;
      return true;
    };
    HWND shown = nullptr;
    bool focusInside = false;
    bool opened = false;
    int passes = 0;
    size_t afterKey = 0;
    ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
      if (dlg.TemplateId() != row.dialog && row.button && !opened) {
        opened = true;
        PostMessageW(dlg.Hwnd(), WM_COMMAND, MAKEWPARAM(row.button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(dlg.Item(row.button)));
        return;
      }
      if (dlg.TemplateId() != row.dialog || ++passes > 2) {
        dlg.EndDialog(IDCANCEL);
        return;
      }
      if (passes == 2) {
        afterKey = help.size();
        HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, IDOK, dlg.Item(IDOK), 0, {0, 0}};
        SendMessageW(dlg.Hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        PostMessageW(dlg.Hwnd(), WM_NULL, 0, 0);  // one more idle pass
        return;
      }
      shown = dlg.Hwnd();
      if (row.focus) SetFocus(row.focus(dlg));
      HWND focus = GetFocus();
      focusInside = focus && IsChild(dlg.Hwnd(), focus);
      BYTE keys[256] = {};
      GetKeyboardState(keys);
      keys[VK_SHIFT] = keys[VK_CONTROL] = keys[VK_MENU] = 0;
      SetKeyboardState(keys);
      INPUT f1[2] = {};
      f1[0].type = f1[1].type = INPUT_KEYBOARD;
      f1[0].ki.wVk = f1[1].ki.wVk = VK_F1;
      f1[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, f1, sizeof(INPUT));
    });
    Command(row.command);
    ui::Dialog::SetModalHook(nullptr);
    ASSERT_NE(nullptr, shown) << "the dialog was not shown";
    EXPECT_TRUE(focusInside);
    EXPECT_EQ(3, passes) << "the dialog stayed open";
    EXPECT_EQ(1u, afterKey) << "requests made by one F1";
    ASSERT_EQ(afterKey + 1, help.size()) << "and by the help message";
    for (size_t i = 0; i < help.size(); ++i) {
      EXPECT_EQ(Page(row.page), help[i]);
      EXPECT_EQ(shown, owners[i]);
    }
    EXPECT_FALSE(dvtest::FileExistsAt(folder.Path() + L"new.scn"));
  }
}

TEST_F(ContextHelpTest, AMenuCommandOrKeyIsExplainedNotRun) {
  SetGeneral(L"DeleteFilesAfter", L"1");
  ASSERT_TRUE(Start());
  struct Row {
    UINT id;
    WORD code;
    const wchar_t* page;
  } rows[] = {
      {ID_FILE_SAVE_PRINT_JOBS, 0, L"spool.htm"},
      {ID_TOOLS_LAST_JOB_NUMBER, 0, L"lastjob.htm"},
      {ID_EDIT_JOB_PROCESS, 0, L"jobprocess.htm"},
      {ID_VIEW_STATUS_BAR, 0, L"mainwindow.htm"},
      {ID_VIEW_REFRESH_NOW, 1, L"spool.htm"},  // F5
      {ID_APP_ABOUT, 0, L""},                  // the contents
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    help.clear();
    EnterHelpMode();
    SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(row.id, row.code), 0);
    EXPECT_FALSE(frame->InHelpMode());
    ASSERT_EQ(1u, help.size());
    EXPECT_EQ(*row.page ? Page(row.page) : app->HelpFilePath(), help[0]);
  }
  EXPECT_EQ(L"1", General(L"DeleteFilesAfter")) << "Save Print Jobs did not run";

  // The menu offers its disabled commands in help mode too (no row is
  // selected, so Delete Jobs is disabled outside it).
  HMENU file = GetSubMenu(GetMenu(frame->Hwnd()), 0);
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  EXPECT_TRUE(GetMenuState(file, ID_FILE_DELETE_JOBS, MF_BYCOMMAND) & MF_GRAYED);
  EnterHelpMode();
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  EXPECT_FALSE(GetMenuState(file, ID_FILE_DELETE_JOBS, MF_BYCOMMAND) & MF_GRAYED);
  help.clear();
  SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(ID_FILE_DELETE_JOBS, 0), 0);
  ASSERT_EQ(1u, help.size());
  EXPECT_EQ(Page(L"spool.htm"), help[0]);
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  EXPECT_TRUE(GetMenuState(file, ID_FILE_DELETE_JOBS, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(frame->statusBar.IsVisible()) << "the status bar toggle did not run";
}

// Asked about in help mode, every command of the menu and the toolbar opens
// a page that the help file holds; only the Help menu's own commands open
// its contents.
TEST_F(ContextHelpTest, EveryCommandHasAPageOfTheHelpFile) {
  ASSERT_TRUE(Start());
  HMENU menu = GetMenu(frame->Hwnd());
  std::vector<std::pair<UINT, bool>> commands;  // id, from the Help menu
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    HMENU popup = GetSubMenu(menu, i);
    const bool helpMenu = i == GetMenuItemCount(menu) - 1;
    for (int j = 0; j < GetMenuItemCount(popup); ++j)
      if (!(GetMenuState(popup, j, MF_BYPOSITION) & MF_SEPARATOR)) commands.emplace_back(GetMenuItemID(popup, j), helpMenu);
  }
  for (UINT id : frame->toolBar.Buttons())
    if (id != ID_SEPARATOR) commands.emplace_back(id, false);
  const std::wstring prefix = app->HelpFilePath() + L"::/";
  for (const auto& [id, helpMenu] : commands) {
    SCOPED_TRACE(id);
    help.clear();
    EnterHelpMode();
    SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    ASSERT_EQ(1u, help.size());
    if (helpMenu) {
      EXPECT_EQ(app->HelpFilePath(), help[0]);
      continue;
    }
    ASSERT_EQ(0u, help[0].rfind(prefix, 0)) << dv::ToUtf8(help[0]);
    const std::wstring page = help[0].substr(prefix.size());
    EXPECT_TRUE(dvtest::FileExistsAt(dvtest::BuiltFile(L"controller\\help\\" + page))) << dv::ToUtf8(page);
  }
}

TEST_F(ContextHelpTest, EscapeOrAClickElsewhereLeavesTheModeWithoutHelp) {
  ASSERT_TRUE(Start());
  EnterHelpMode();
  PostMessageW(frame->SpoolView().JobList().Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  app->PumpPending();
  EXPECT_FALSE(frame->InHelpMode());
  EXPECT_NE(frame->Hwnd(), GetCapture());

  EnterHelpMode();
  SendMessageW(frame->Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, 0);
  EXPECT_FALSE(frame->InHelpMode());

  // Outside the frame: the point beyond its window rectangle.
  EnterHelpMode();
  RECT r = {};
  GetWindowRect(frame->Hwnd(), &r);
  SetWindowPos(frame->Hwnd(), nullptr, 0, 0, 400, 300, SWP_NOZORDER);
  ClickAt(POINT{600, 500});
  EXPECT_FALSE(frame->InHelpMode());
  EXPECT_TRUE(help.empty());

  // After the mode, commands run again.
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(frame->statusBar.IsVisible());
}

TEST_F(IdleRefreshTest, TheRefreshWaitsForTheEndOfTheHelpMode) {
  SetGeneral(L"LastJobNumber", L"10");
  ASSERT_TRUE(Start());
  Pump();
  frame->EnterHelpMode();
  Arrive(11);
  Pump();
  EXPECT_TRUE(frame->InHelpMode()) << "the refresh is not taken for a question";
  EXPECT_EQ(0, frame->SpoolView().JobCount());
  frame->LeaveHelpMode();
  Pump();
  EXPECT_EQ(1, frame->SpoolView().JobCount());
}

TEST_F(ControllerTest, ToolbarStartsDockedAtTheTopAndTheToggleHidesItFloating) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(ui::DockSide::Top, frame->dockBar.Side());
  RECT area = frame->DockArea();
  RECT bar = {};
  GetWindowRect(frame->dockBar.Hwnd(), &bar);
  MapWindowPoints(nullptr, frame->Hwnd(), reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(area.top, bar.top);
  EXPECT_EQ(area.right, bar.right);

  frame->dockBar.Float(POINT{200, 150});
  Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(IsWindowVisible(frame->dockBar.FloatingWindow()));
  HMENU viewMenu = GetSubMenu(GetMenu(frame->Hwnd()), 1);
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 0);
  EXPECT_FALSE(GetMenuState(viewMenu, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
  Command(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(IsWindowVisible(frame->dockBar.FloatingWindow()));

  // The Save Print Jobs button keeps its pressed state docked on a side.
  frame->dockBar.Dock(ui::DockSide::Left);
  SetGeneral(L"DeleteFilesAfter", L"1");
  Command(ID_FILE_SAVE_PRINT_JOBS);
  Pump();
  EXPECT_EQ(TBSTATE_CHECKED | TBSTATE_PRESSED | TBSTATE_ENABLED | TBSTATE_WRAP,
            frame->toolBar.ButtonState(ID_FILE_SAVE_PRINT_JOBS));
}

// A rectangle of a window's client area as it is on the screen.
std::vector<COLORREF> PixelsShown(HWND window, const RECT& r) {
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(window);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
  ReleaseDC(window, dc);
  return pixels;
}

// The floating toolbar docked again at the top leaves the spool list as the
// list draws itself: no patch of the bar's face stays over its first row,
// whichever way the bar went back.
TEST_F(ControllerTest, ToolbarDockedFromFloatingLeavesTheListAsItDrawsItself) {
  AddJob(1);
  AddJob(2);
  ASSERT_TRUE(Start());
  const HWND list = frame->SpoolView().JobList().Hwnd();
  ASSERT_EQ(2, frame->SpoolView().JobCount());
  struct Row {
    const char* name;
    std::function<void(HWND floating)> dock;
  } rows[] = {
      {"double click on the caption",
       [](HWND floating) {
         RECT r = {};
         GetWindowRect(floating, &r);
         SendMessageW(floating, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(r.left + 20, r.top + 5));
       }},
      {"caption dragged to the top edge",
       [&](HWND floating) {
         RECT r = {};
         GetWindowRect(floating, &r);
         SendMessageW(floating, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left + 20, r.top + 5));
         RECT area = frame->DockArea();
         MapWindowPoints(frame->Hwnd(), nullptr, reinterpret_cast<POINT*>(&area), 2);
         POINT top = {(area.left + area.right) / 2, area.top + 3};
         ScreenToClient(frame->dockBar.Hwnd(), &top);
         SendMessageW(frame->dockBar.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(top.x, top.y));
         SendMessageW(frame->dockBar.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(top.x, top.y));
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RECT centre = {};
    GetWindowRect(frame->Hwnd(), &centre);
    frame->dockBar.Float(POINT{(centre.left + centre.right) / 2, (centre.top + centre.bottom) / 2});
    RedrawWindow(frame->Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    row.dock(frame->dockBar.FloatingWindow());
    ASSERT_EQ(ui::DockSide::Top, frame->dockBar.Side());
    Pump();
    RedrawWindow(frame->Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

    RECT first = {};
    ASSERT_TRUE(frame->SpoolView().JobList().ItemRect(0, first));
    RECT client = {};
    GetClientRect(list, &client);
    IntersectRect(&first, &first, &client);
    ASSERT_FALSE(IsRectEmpty(&first));
    const std::vector<COLORREF> shown = PixelsShown(list, first);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    const std::vector<COLORREF> drawn = PixelsShown(list, first);
    int stale = 0;
    for (size_t i = 0; i < shown.size(); ++i) stale += shown[i] != drawn[i];
    EXPECT_EQ(0, stale) << "pixels of the first row that the list did not draw";
  }
}

// The main menu as "Menu|id text|..." lines, a separator as "-".
std::vector<std::string> MenuLines(HMENU menu) {
  std::vector<std::string> lines;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t title[64] = {};
    GetMenuStringW(menu, i, title, 64, MF_BYPOSITION);
    std::string line = dv::ToUtf8(title);
    HMENU popup = GetSubMenu(menu, i);
    for (int j = 0; j < GetMenuItemCount(popup); ++j) {
      wchar_t text[64] = {};
      GetMenuStringW(popup, j, text, 64, MF_BYPOSITION);
      const UINT id = GetMenuItemID(popup, j);
      line += (GetMenuState(popup, j, MF_BYPOSITION) & MF_SEPARATOR) ? "|-"
                                                                      : "|" + std::to_string(id) + " " + dv::ToUtf8(text);
    }
    lines.push_back(line);
  }
  return lines;
}

TEST_F(ControllerTest, MenuToolbarAndKeysAreTheSystemsTables) {
  ASSERT_TRUE(Start());
  EXPECT_EQ((std::vector<std::string>{
                "&File|57607 Re&print Jobs...|57609 Pre&view Job...|32780 View Job Information...|32782 Delete Jobs..."
                "|-|32783 Empty Spool...|-|32772 &Save Print Jobs|-|57665 E&xit",
                "&View|59392 &Toolbar|59393 &Status Bar|-|32786 Event &Log...|-|32776 &Refresh Now\tF5"
                "|32805 Auto Refresh",
                "&Edit|32797 Job Process...|32793 &Scenario File...|32794 Page &Template...",
                "&Tools|32788 &Options...|32807 Last Job Number...|-|32806 Password...",
                "&Help|57667 &Help Topics|-|57664 &About Dorvane...",
            }),
            MenuLines(GetMenu(frame->Hwnd())));

  // Toolbar 128 in order, 0 for a separator.
  std::vector<int> buttons;
  const HWND bar = frame->toolBar.Hwnd();
  for (int i = 0; i < static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0)); ++i) {
    TBBUTTON button = {};
    SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    buttons.push_back((button.fsStyle & BTNS_SEP) ? 0 : button.idCommand);
  }
  EXPECT_EQ((std::vector<int>{32772, 0, 32776, 0, 57607, 57609, 32780, 32782, 0, 32786, 0, 32797, 32793, 32794}),
            buttons);

  // Accelerator table 128: key, modifiers and command of every entry.
  HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(nullptr, table);
  std::vector<ACCEL> entries(CopyAcceleratorTableW(table, nullptr, 0));
  CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
  using Key = std::tuple<int, int, int>;  // modifiers, key, command
  std::vector<Key> keys;
  for (const ACCEL& a : entries) {
    EXPECT_TRUE(a.fVirt & FVIRTKEY);
    keys.emplace_back(a.fVirt & (FSHIFT | FCONTROL | FALT), a.key, a.cmd);
  }
  std::vector<Key> expected{
      {0, VK_F5, 32776},          {FCONTROL, 'P', 57607},      {0, VK_F1, 57670},
      {FSHIFT, VK_F1, 57669},     {FCONTROL, 'N', 57600},      {FCONTROL, 'O', 57601},
      {FCONTROL, 'S', 57603},     {FCONTROL, 'C', 57634},      {FCONTROL, VK_INSERT, 57634},
      {FCONTROL, 'X', 57635},     {FSHIFT, VK_DELETE, 57635},  {FCONTROL, 'V', 57637},
      {FSHIFT, VK_INSERT, 57637}, {FCONTROL, 'Z', 57643},      {FALT, VK_BACK, 57643},
      {0, VK_F6, 57680},          {FSHIFT, VK_F6, 57681},
  };
  std::sort(keys.begin(), keys.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, keys);
}

// The ids of the processes of a program, by its file name.
std::vector<DWORD> ProcessesOf(const wchar_t* exe) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (_wcsicmp(entry.szExeFile, exe) == 0) ids.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return ids;
}

struct ViewerWindow {
  DWORD process;
  HWND hwnd = nullptr;
};

BOOL CALLBACK FindViewerWindow(HWND hwnd, LPARAM param) {
  auto& found = *reinterpret_cast<ViewerWindow*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  wchar_t caption[64] = {};
  GetWindowTextW(hwnd, caption, 64);
  if (process != found.process || wcsncmp(caption, L"Event Log Viewer", 16) != 0) return TRUE;
  found.hwnd = hwnd;
  return FALSE;
}

// The viewer lies beside the controller: a copy of the built viewer beside
// the test program (which plays the controller) is started on the install
// folder's event log, and shows that log (its three events).
TEST_F(ControllerTest, EventLogStartsTheViewerOnTheLog) {
  // The copy and the viewer it runs go at the end, whatever the outcome.
  struct StartedViewer {
    std::wstring file = GetModuleFolder() + L"jotview.exe";
    DWORD process = 0;
    ~StartedViewer() {
      if (HANDLE h = process ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process) : nullptr) {
        TerminateProcess(h, 0);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
      }
      DeleteFileW(file.c_str());
    }
  } viewer;
  ASSERT_TRUE(CopyFileW(dvtest::BuiltFile(L"viewer\\Jotview.exe").c_str(), viewer.file.c_str(), FALSE));
  ASSERT_TRUE(Start());  // writes the log's first event
  WriteEvent(4001, L"second");
  WriteEvent(4001, L"third");
  const std::vector<DWORD> before = ProcessesOf(L"jotview.exe");
  Command(ID_VIEW_EVENT_LOG);

  // The caption counts the events once the log is read.
  ViewerWindow window{0};
  wchar_t caption[128] = {};
  for (int tries = 0; tries < 200 && !wcsstr(caption, L"Events)"); ++tries) {
    for (DWORD id : ProcessesOf(L"jotview.exe"))
      if (std::find(before.begin(), before.end(), id) == before.end()) viewer.process = window.process = id;
    if (window.process && !window.hwnd) EnumWindows(FindViewerWindow, reinterpret_cast<LPARAM>(&window));
    if (window.hwnd) GetWindowTextW(window.hwnd, caption, 128);
    if (!wcsstr(caption, L"Events)")) Sleep(50);
  }
  ASSERT_NE(0u, window.process) << "no viewer process was started";
  EXPECT_EQ(L"Event Log Viewer (3 Events)", std::wstring(caption));
}

TEST_F(ControllerTest, ExitClosesTheMainWindow) {
  ASSERT_TRUE(Start());
  HWND hwnd = frame->Hwnd();
  Command(ID_APP_EXIT);
  MSG msg;
  bool quit = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) quit = true;
    DispatchMessageW(&msg);
  }
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(quit);
}

}  // namespace
}  // namespace ctltest
