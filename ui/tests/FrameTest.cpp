// The frame window: command routing, command-UI updates of menus, toolbar
// and status panes, prompts and tooltips, toggles, layout and accelerators.
#include <windows.h>
#include <commctrl.h>

#include "ui/tests/LayerFixture.h"

namespace layertest {
namespace {

HMENU TestPopup(HWND frame) { return GetSubMenu(GetMenu(frame), 0); }

UINT MenuState(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND); }

TEST_F(LayerTest, CommandsRouteViewThenFrameThenApplication) {
  struct Row {
    const char* name;
    UINT id;
    bool viewEnabled;
    int view, frame, app;
  } rows[] = {
      {"view command", ID_TEST_VIEW_CMD, true, 1, 0, 0},
      {"view command refused while its update disables it", ID_TEST_VIEW_CMD, false, 0, 0, 0},
      {"frame command", ID_TEST_FRAME_CMD, true, 0, 1, 0},
      {"application command", ID_TEST_APP_CMD, true, 0, 0, 1},
      {"command nobody handles", ID_TEST_NOBODY_CMD, true, 0, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    frame->view.runs = frame->runs = app->runs = 0;
    frame->view.enabled = row.viewEnabled;
    SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(row.id, 0), 0);
    EXPECT_EQ(row.view, frame->view.runs);
    EXPECT_EQ(row.frame, frame->runs);
    EXPECT_EQ(row.app, app->runs);
  }
}

TEST_F(LayerTest, AcceleratorsAndToolbarButtonsAreCheckedBeforeTheyRun) {
  HWND bar = frame->toolBar.Hwnd();
  for (bool enabled : {true, false}) {
    SCOPED_TRACE(enabled ? "enabled" : "disabled");
    frame->view.enabled = enabled;
    frame->view.runs = 0;
    SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(ID_TEST_VIEW_CMD, 1), 0);  // accelerator
    SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(ID_TEST_VIEW_CMD, BN_CLICKED), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(enabled ? 2 : 0, frame->view.runs);
  }
}

TEST_F(LayerTest, AcceleratorKeysReachTheChain) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  for (bool enabled : {true, false}) {
    SCOPED_TRACE(enabled ? "enabled" : "disabled");
    frame->view.enabled = enabled;
    frame->view.runs = 0;
    PostMessageW(frame->view.List(), WM_KEYDOWN, 'Q', 1);
    app->PumpPending();
    EXPECT_EQ(enabled ? 1 : 0, frame->view.runs);
  }
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  frame->runs = 0;
  PostMessageW(frame->view.List(), WM_KEYDOWN, VK_F7, 1);
  app->PumpPending();
  EXPECT_EQ(1, frame->runs);
}

TEST_F(LayerTest, MenuIsUpdatedWhenItOpens) {
  HMENU popup = TestPopup(frame->Hwnd());
  frame->view.enabled = false;
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));
  EXPECT_TRUE(MenuState(popup, ID_TEST_VIEW_CMD) & MF_GRAYED);
  EXPECT_FALSE(MenuState(popup, ID_TEST_FRAME_CMD) & MF_GRAYED) << "a handled command is enabled by default";
  EXPECT_FALSE(MenuState(popup, ID_TEST_APP_CMD) & MF_GRAYED);
  EXPECT_TRUE(MenuState(popup, ID_TEST_NOBODY_CMD) & MF_GRAYED) << "a command without a handler is disabled";
  EXPECT_TRUE(MenuState(popup, ID_TEST_CHECKED_CMD) & MF_CHECKED);

  frame->view.enabled = true;
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));
  EXPECT_FALSE(MenuState(popup, ID_TEST_VIEW_CMD) & MF_GRAYED);
}

TEST_F(LayerTest, IdlePassUpdatesToolbarAndPanesWhileTheirBarsAreShown) {
  frame->view.enabled = false;
  Pump();
  EXPECT_FALSE(frame->toolBar.ButtonState(ID_TEST_VIEW_CMD) & TBSTATE_ENABLED);
  EXPECT_TRUE(frame->toolBar.ButtonState(ID_TEST_FRAME_CMD) & TBSTATE_ENABLED);
  EXPECT_FALSE(frame->toolBar.ButtonState(ID_TEST_NOBODY_CMD) & TBSTATE_ENABLED);
  const int pane = frame->statusBar.CommandToIndex(ID_TEST_PANE_SHORT);
  EXPECT_EQ(L"hello", frame->statusBar.PaneText(pane));

  // Hidden bars are not updated.
  SendMessageW(frame->Hwnd(), WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
  SendMessageW(frame->Hwnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
  const int updates = frame->paneUpdates;
  frame->paneText = L"changed";
  frame->view.enabled = true;
  Pump();
  EXPECT_EQ(updates, frame->paneUpdates);
  EXPECT_EQ(L"hello", frame->statusBar.PaneText(pane));
  EXPECT_FALSE(frame->toolBar.ButtonState(ID_TEST_VIEW_CMD) & TBSTATE_ENABLED);

  SendMessageW(frame->Hwnd(), WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
  SendMessageW(frame->Hwnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
  Pump();
  EXPECT_EQ(L"changed", frame->statusBar.PaneText(pane));
  EXPECT_TRUE(frame->toolBar.ButtonState(ID_TEST_VIEW_CMD) & TBSTATE_ENABLED);
}

TEST_F(LayerTest, PaintTimerAndStillMouseDoNotStartAnIdlePass) {
  Pump();
  const int passes = app->idlePasses;
  InvalidateRect(frame->Hwnd(), nullptr, TRUE);
  PostMessageW(frame->Hwnd(), WM_TIMER, 1, 0);
  app->PumpPending();
  EXPECT_EQ(passes, app->idlePasses);
  Pump();
  EXPECT_EQ(passes + 1, app->idlePasses);

  ui::IdleFilter filter;
  MSG move = {};
  move.message = WM_MOUSEMOVE;
  move.pt = {10, 10};
  EXPECT_TRUE(filter.StartsIdle(move));
  EXPECT_FALSE(filter.StartsIdle(move)) << "the mouse did not move";
  move.pt = {11, 10};
  EXPECT_TRUE(filter.StartsIdle(move));
  MSG systimer = {};
  systimer.message = 0x0118;
  EXPECT_FALSE(filter.StartsIdle(systimer));
}

TEST_F(LayerTest, TogglesShowHideBarsWithCheckMarksAndTheViewFillsTheRest) {
  auto viewRect = [&] {
    RECT r = {};
    GetWindowRect(frame->view.Hwnd(), &r);
    MapWindowPoints(nullptr, frame->Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  RECT client = {};
  GetClientRect(frame->Hwnd(), &client);
  RECT shown = viewRect();
  EXPECT_EQ(frame->toolBar.Height(), shown.top);
  EXPECT_EQ(client.bottom - frame->statusBar.Height(), shown.bottom);
  EXPECT_EQ(client.right, shown.right);

  HMENU viewMenu = GetSubMenu(GetMenu(frame->Hwnd()), 1);
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 0);
  EXPECT_TRUE(MenuState(viewMenu, ID_VIEW_TOOLBAR) & MF_CHECKED);
  EXPECT_TRUE(MenuState(viewMenu, ID_VIEW_STATUS_BAR) & MF_CHECKED);

  SendMessageW(frame->Hwnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
  SendMessageW(frame->Hwnd(), WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
  EXPECT_FALSE(frame->toolBar.IsVisible());
  EXPECT_FALSE(frame->statusBar.IsVisible());
  RECT hidden = viewRect();
  EXPECT_EQ(0, hidden.top);
  EXPECT_EQ(client.bottom, hidden.bottom);
  SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 0);
  EXPECT_FALSE(MenuState(viewMenu, ID_VIEW_TOOLBAR) & MF_CHECKED);
  EXPECT_FALSE(MenuState(viewMenu, ID_VIEW_STATUS_BAR) & MF_CHECKED);
}

TEST_F(LayerTest, PromptsAndTooltipsComeFromTheCommandStrings) {
  const int message = frame->statusBar.CommandToIndex(ID_SEPARATOR);
  HMENU popup = TestPopup(frame->Hwnd());
  SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(ID_TEST_VIEW_CMD, MF_HILITE), reinterpret_cast<LPARAM>(popup));
  EXPECT_EQ(L"Run the view's command", frame->statusBar.PaneText(message));
  SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(ID_TEST_FRAME_CMD, MF_HILITE), reinterpret_cast<LPARAM>(popup));
  EXPECT_EQ(L"Run the frame's command", frame->statusBar.PaneText(message)) << "a string without a tip";
  SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(L"Ready for tests", frame->statusBar.PaneText(message));

  struct Row {
    UINT id;
    const wchar_t* tip;
  } rows[] = {{ID_TEST_VIEW_CMD, L"View tip"}, {ID_TEST_FRAME_CMD, L""}, {ID_VIEW_TOOLBAR, L"Toggle ToolBar"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    NMTTDISPINFOW info = {};
    info.hdr.code = TTN_GETDISPINFOW;
    info.hdr.idFrom = row.id;
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(frame->toolBar.Hwnd(), TB_GETTOOLTIPS, 0, 0));
    SendMessageW(frame->Hwnd(), WM_NOTIFY, row.id, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ(row.tip, info.lpszText);
  }
}

TEST_F(LayerTest, PanesAreSizedFromTheirSamplesAndKeyIndicatorsFollowTheKeys) {
  const int shortPane = frame->statusBar.CommandToIndex(ID_TEST_PANE_SHORT);
  const int longPane = frame->statusBar.CommandToIndex(ID_TEST_PANE_LONG);
  EXPECT_GT(frame->statusBar.PaneWidth(longPane), frame->statusBar.PaneWidth(shortPane) + 50);
  EXPECT_EQ(L"A much longer sample text: 99999999", frame->statusBar.PaneText(longPane))
      << "a pane starts with its sample";

  const int caps = frame->statusBar.CommandToIndex(ID_INDICATOR_CAPS);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  for (bool on : {true, false}) {
    SCOPED_TRACE(on ? "caps lock on" : "caps lock off");
    keys[VK_CAPITAL] = on ? 1 : 0;
    SetKeyboardState(keys);
    Pump();
    EXPECT_EQ(on ? L"CAP" : L"", frame->statusBar.PaneText(caps));
  }
}

TEST_F(LayerTest, CheckMainMenuItemMarksTheMainWindowsMenu) {
  HMENU popup = TestPopup(frame->Hwnd());
  ui::CheckMainMenuItem(ID_TEST_FRAME_CMD, TRUE);
  EXPECT_TRUE(MenuState(popup, ID_TEST_FRAME_CMD) & MF_CHECKED);
  ui::CheckMainMenuItem(ID_TEST_FRAME_CMD, FALSE);
  EXPECT_FALSE(MenuState(popup, ID_TEST_FRAME_CMD) & MF_CHECKED);

  app->DestroyMainWindow();
  ui::CheckMainMenuItem(ID_TEST_FRAME_CMD, TRUE);  // no main window: nothing happens
}

}  // namespace
}  // namespace layertest
