// The docking toolbar: the side it docks on gives its orientation and the
// view's rectangle, floating puts it in a tool window of its own, the
// Toolbar toggle hides and shows it wherever it is, and the gripper and the
// floating caption drag it. Also the toolbar strip's colours and mask.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/Dialog.h"
#include "ui/DockBar.h"
#include "ui/tests/LayerFixture.h"

namespace layertest {
namespace {

class DockFrame final : public ui::FrameWindow {
 public:
  TestView view;
  ui::ToolBar toolBar;
  ui::DockBar dockBar;
  ui::StatusBar statusBar;
  int runs = 0;

  ~DockFrame() override { Destroy(); }

  bool OnCommand(UINT id, UINT code, HWND control) override {
    if (id != ID_TEST_FRAME_CMD) return ui::FrameWindow::OnCommand(id, code, control);
    ++runs;
    return true;
  }
  bool OnUpdate(ui::CmdUI& cmd) override { return cmd.Id() == ID_TEST_FRAME_CMD || ui::FrameWindow::OnUpdate(cmd); }

 protected:
  int OnCreate(CREATESTRUCTW&) override {
    static const UINT kButtons[] = {ID_TEST_VIEW_CMD, ID_SEPARATOR, ID_TEST_FRAME_CMD, ID_TEST_NOBODY_CMD};
    static const UINT kPanes[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
    if (!view.CreateView(Hwnd(), 0xE900)) return -1;
    SetView(&view);
    if (!dockBar.Create(*this, 0xE81B, L"Toolbar") ||
        !toolBar.Create(dockBar.Hwnd(), 0xE800,
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | ui::DockBar::kToolBarStyle,
                        IDR_TEST_FRAME, 16, 16, kButtons, 4))
      return -1;
    SetToolBar(&toolBar);
    SetDockBar(&dockBar);
    dockBar.Attach(toolBar);
    if (!statusBar.Create(Hwnd(), 0xE801, WS_CHILD | WS_VISIBLE | CCS_BOTTOM) || !statusBar.SetIndicators(kPanes, 2))
      return -1;
    SetStatusBar(&statusBar);
    return 0;
  }
};

class DockBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<DockFrame>();
    ASSERT_TRUE(frame->CreateFrame(L"Dock Test", WS_OVERLAPPEDWINDOW, IDR_TEST_FRAME, IDR_TEST_FRAME, 0));
    SetWindowPos(frame->Hwnd(), nullptr, 20, 20, 640, 480, SWP_NOZORDER);
    ShowWindow(frame->Hwnd(), SW_SHOWNORMAL);
    DrainQueue();
  }
  void TearDown() override {
    frame.reset();
    DrainQueue();
  }

  void Toggle() { SendMessageW(frame->Hwnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0); }
  // A child's rectangle in the frame's client coordinates.
  RECT InFrame(HWND child) const {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, frame->Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  RECT AreaOnScreen() const {
    RECT area = frame->DockArea();
    MapWindowPoints(frame->Hwnd(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
  }
  // The rectangles of the buttons that are not separators.
  std::vector<RECT> ButtonRects() const {
    std::vector<RECT> rects;
    HWND bar = frame->toolBar.Hwnd();
    const int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      TBBUTTON button = {};
      SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
      if (button.fsStyle & BTNS_SEP) continue;
      RECT r = {};
      SendMessageW(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
      rects.push_back(r);
    }
    return rects;
  }
  // Mouse messages to the dock bar at a screen point.
  void MouseAt(UINT msg, POINT screen) const {
    HWND bar = frame->dockBar.Hwnd();
    ScreenToClient(bar, &screen);
    SendMessageW(bar, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(screen.x, screen.y));
  }
  POINT GripperOnScreen() const {
    POINT p = {4, 4};
    ClientToScreen(frame->dockBar.Hwnd(), &p);
    return p;
  }

  std::unique_ptr<DockFrame> frame;
};

TEST_F(DockBarTest, EachSideGivesItsOrientationAndTheViewTheRest) {
  struct Row {
    const char* name;
    ui::DockSide side;
    bool vertical;
  } rows[] = {
      {"top", ui::DockSide::Top, false},
      {"bottom", ui::DockSide::Bottom, false},
      {"left", ui::DockSide::Left, true},
      {"right", ui::DockSide::Right, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    frame->dockBar.Dock(row.side);
    HWND bar = frame->dockBar.Hwnd();
    EXPECT_EQ(frame->Hwnd(), GetParent(bar));
    EXPECT_EQ(row.vertical, (GetWindowLongW(frame->toolBar.Hwnd(), GWL_STYLE) & CCS_VERT) != 0);
    const std::vector<RECT> buttons = ButtonRects();
    ASSERT_EQ(3u, buttons.size());
    for (size_t i = 1; i < buttons.size(); ++i) {
      if (row.vertical) {
        EXPECT_EQ(buttons[0].left, buttons[i].left) << "one button per row";
        EXPECT_GE(buttons[i].top, buttons[i - 1].bottom);
      } else {
        EXPECT_EQ(buttons[0].top, buttons[i].top) << "one row";
        EXPECT_GE(buttons[i].left, buttons[i - 1].right);
      }
    }
    // The bar lies along its side; the view has the rest of the area.
    const RECT area = frame->DockArea();
    const RECT strip = InFrame(bar);
    const RECT view = InFrame(frame->view.Hwnd());
    RECT joined = {};
    UnionRect(&joined, &strip, &view);
    EXPECT_TRUE(EqualRect(&area, &joined));
    RECT overlap = {};
    EXPECT_FALSE(IntersectRect(&overlap, &strip, &view));
    switch (row.side) {
      case ui::DockSide::Top: EXPECT_EQ(area.top, strip.top); break;
      case ui::DockSide::Bottom: EXPECT_EQ(area.bottom, strip.bottom); break;
      case ui::DockSide::Left: EXPECT_EQ(area.left, strip.left); break;
      default: EXPECT_EQ(area.right, strip.right); break;
    }
    const RECT barsButtons = InFrame(frame->toolBar.Hwnd());
    EXPECT_TRUE(row.vertical ? barsButtons.bottom <= strip.bottom : barsButtons.right <= strip.right)
        << "every button fits on the bar";

    Toggle();
    EXPECT_FALSE(frame->toolBar.IsVisible());
    EXPECT_FALSE(IsWindowVisible(bar));
    RECT whole = InFrame(frame->view.Hwnd());
    EXPECT_TRUE(EqualRect(&area, &whole));
    Toggle();
    EXPECT_TRUE(frame->toolBar.IsVisible());
    RECT back = InFrame(frame->view.Hwnd());
    EXPECT_TRUE(EqualRect(&view, &back));
  }
}

TEST_F(DockBarTest, FloatingBarLivesInAToolWindowOfItsOwn) {
  frame->dockBar.Dock(ui::DockSide::Left);
  frame->dockBar.Float(POINT{300, 200});
  HWND floating = frame->dockBar.FloatingWindow();
  ASSERT_NE(nullptr, floating);
  EXPECT_EQ(ui::DockSide::Float, frame->dockBar.Side());
  EXPECT_TRUE(IsWindowVisible(floating));
  EXPECT_TRUE(GetWindowLongW(floating, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(frame->Hwnd(), GetWindow(floating, GW_OWNER));
  EXPECT_EQ(floating, GetAncestor(frame->toolBar.Hwnd(), GA_ROOT));
  RECT placed = {};
  GetWindowRect(floating, &placed);
  EXPECT_EQ(300, placed.left);
  EXPECT_EQ(200, placed.top);
  EXPECT_FALSE(GetWindowLongW(frame->toolBar.Hwnd(), GWL_STYLE) & CCS_VERT);
  const RECT area = frame->DockArea();
  RECT view = InFrame(frame->view.Hwnd());
  EXPECT_TRUE(EqualRect(&area, &view)) << "the view has the whole area";

  // A floating button's click reaches the frame.
  const std::vector<RECT> buttons = ButtonRects();
  const LPARAM centre = MAKELPARAM((buttons[1].left + buttons[1].right) / 2, (buttons[1].top + buttons[1].bottom) / 2);
  SendMessageW(frame->toolBar.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
  SendMessageW(frame->toolBar.Hwnd(), WM_LBUTTONUP, 0, centre);
  EXPECT_EQ(1, frame->runs);

  // The toggle and the close box hide the tool window; the toggle shows it.
  Toggle();
  EXPECT_FALSE(IsWindowVisible(floating));
  EXPECT_FALSE(frame->toolBar.IsVisible());
  Toggle();
  EXPECT_TRUE(IsWindowVisible(floating));
  SendMessageW(floating, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(floating));
  EXPECT_FALSE(IsWindowVisible(floating));
  Toggle();
  EXPECT_TRUE(IsWindowVisible(floating));
  EXPECT_EQ(ui::DockSide::Float, frame->dockBar.Side());

  // A double click on the caption docks it where it was.
  SendMessageW(floating, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(placed.left + 20, placed.top + 5));
  EXPECT_EQ(ui::DockSide::Left, frame->dockBar.Side());
  EXPECT_FALSE(IsWindowVisible(floating));
  EXPECT_EQ(frame->Hwnd(), GetParent(frame->dockBar.Hwnd()));
  EXPECT_TRUE(GetWindowLongW(frame->toolBar.Hwnd(), GWL_STYLE) & CCS_VERT);
  EXPECT_EQ(area.left, InFrame(frame->dockBar.Hwnd()).left);
}

TEST_F(DockBarTest, GripperAndCaptionDragTheBar) {
  const RECT area = AreaOnScreen();
  const POINT middle = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};

  // Pulled by the gripper to the left edge: the drag rectangle shows the
  // left strip, and the bar docks there on release.
  MouseAt(WM_LBUTTONDOWN, GripperOnScreen());
  EXPECT_TRUE(frame->dockBar.IsDragging());
  EXPECT_EQ(frame->dockBar.Hwnd(), GetCapture());
  const POINT nearLeft = {area.left + 4, middle.y};
  MouseAt(WM_MOUSEMOVE, nearLeft);
  HWND dragRect = frame->dockBar.DragRectWindow();
  ASSERT_NE(nullptr, dragRect);
  EXPECT_TRUE(IsWindowVisible(dragRect));
  RECT shown = {};
  GetWindowRect(dragRect, &shown);
  EXPECT_EQ(area.left, shown.left);
  EXPECT_EQ(area.top, shown.top);
  EXPECT_EQ(area.bottom, shown.bottom);
  MouseAt(WM_LBUTTONUP, nearLeft);
  EXPECT_FALSE(frame->dockBar.IsDragging());
  EXPECT_FALSE(IsWindow(dragRect));
  EXPECT_NE(frame->dockBar.Hwnd(), GetCapture());
  EXPECT_EQ(ui::DockSide::Left, frame->dockBar.Side());

  // A press and release without a move leaves it there.
  MouseAt(WM_LBUTTONDOWN, GripperOnScreen());
  MouseAt(WM_LBUTTONUP, GripperOnScreen());
  EXPECT_EQ(ui::DockSide::Left, frame->dockBar.Side());

  // Dropped in the middle: it floats under the pointer.
  MouseAt(WM_LBUTTONDOWN, GripperOnScreen());
  MouseAt(WM_MOUSEMOVE, middle);
  MouseAt(WM_LBUTTONUP, middle);
  ASSERT_EQ(ui::DockSide::Float, frame->dockBar.Side());
  HWND floating = frame->dockBar.FloatingWindow();
  RECT placed = {};
  GetWindowRect(floating, &placed);
  EXPECT_TRUE(PtInRect(&placed, middle));

  // The caption drags the floating bar; a right click or Escape cancels.
  auto captionDrag = [&] {
    RECT r = {};
    GetWindowRect(floating, &r);
    SendMessageW(floating, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left + 10, r.top + 4));
  };
  const POINT nearBottom = {middle.x, area.bottom - 3};
  captionDrag();
  MouseAt(WM_MOUSEMOVE, nearBottom);
  SendMessageW(frame->dockBar.Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, 0);
  EXPECT_FALSE(frame->dockBar.IsDragging());
  EXPECT_EQ(ui::DockSide::Float, frame->dockBar.Side());

  captionDrag();
  MouseAt(WM_MOUSEMOVE, nearBottom);
  MSG escape = {frame->view.List(), WM_KEYDOWN, VK_ESCAPE, 1};
  EXPECT_TRUE(frame->PreTranslateMessage(escape));
  EXPECT_FALSE(frame->dockBar.IsDragging());
  EXPECT_EQ(ui::DockSide::Float, frame->dockBar.Side());

  captionDrag();
  MouseAt(WM_MOUSEMOVE, nearBottom);
  MouseAt(WM_LBUTTONUP, nearBottom);
  EXPECT_EQ(ui::DockSide::Bottom, frame->dockBar.Side());
  EXPECT_FALSE(IsWindowVisible(floating));
  EXPECT_EQ(frame->DockArea().bottom, InFrame(frame->dockBar.Hwnd()).bottom) << "above the status bar";
}

// A modal dialog of the frame disables the floating bar with the frame, so
// that no command runs under the dialog; when the dialog ends the bar is
// enabled again and stays in front of the frame.
TEST_F(DockBarTest, ModalDialogDisablesTheFloatingBarThatStaysInFrontOfTheFrame) {
  frame->dockBar.Float(POINT{300, 200});
  const HWND floating = frame->dockBar.FloatingWindow();
  SetActiveWindow(frame->Hwnd());
  DrainQueue();
  bool enabledMeanwhile = true;
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    enabledMeanwhile = IsWindowEnabled(floating) != FALSE;
    dlg.EndDialog(IDOK);
  });
  ui::Dialog dialog(IDD_TEST_DIALOG);
  dialog.DoModal(frame->Hwnd());
  ui::Dialog::SetModalHook(nullptr);
  // The display's own stacking comes back as events: they are taken in
  // before the order is looked at.
  DrainQueue();
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 300, QS_ALLINPUT);
  DrainQueue();
  EXPECT_FALSE(enabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(floating));
  EXPECT_TRUE(IsWindowVisible(floating));
  EXPECT_EQ(frame->Hwnd(), GetActiveWindow());
  bool inFront = false;
  for (HWND below = GetWindow(floating, GW_HWNDNEXT); below && !inFront; below = GetWindow(below, GW_HWNDNEXT))
    inFront = below == frame->Hwnd();
  EXPECT_TRUE(inFront);
}

TEST(DockSideTest, NearestEdgeWithinTheZoneElseFloat) {
  const RECT area = {100, 100, 500, 400};
  struct Row {
    const char* name;
    POINT point;
    ui::DockSide side;
  } rows[] = {
      {"just inside the top", {300, 105}, ui::DockSide::Top},
      {"just above the top", {300, 90}, ui::DockSide::Top},
      {"inside the bottom", {300, 395}, ui::DockSide::Bottom},
      {"inside the left", {110, 250}, ui::DockSide::Left},
      {"outside the right", {515, 250}, ui::DockSide::Right},
      {"corner: the nearer edge", {104, 112}, ui::DockSide::Left},
      {"the middle", {300, 250}, ui::DockSide::Float},
      {"too far inside", {300, 125}, ui::DockSide::Float},
      {"too far outside", {300, 430}, ui::DockSide::Float},
      {"beside the area", {50, 50}, ui::DockSide::Float},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.side, ui::ChooseDockSide(area, row.point, 20));
  }
}

TEST(ToolBarImagesTest, ClassicButtonColoursBecomeTheSystemsAndTheFaceIsMasked) {
  struct Row {
    COLORREF classic;
    COLORREF system;
  } rows[] = {
      {RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
      {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
      {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
      {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)},
      {RGB(190, 30, 30), RGB(190, 30, 30)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.classic);
    EXPECT_EQ(row.system, ui::MapButtonColor(row.classic));
  }

  // The strip's grey background is masked out: drawn on another colour,
  // that colour shows through; the picture itself is drawn.
  TestApp app;
  ASSERT_TRUE(app.InitInstance());
  HIMAGELIST images =
      reinterpret_cast<HIMAGELIST>(SendMessageW(app.frame->toolBar.Hwnd(), TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(nullptr, images);
  EXPECT_EQ(3, ImageList_GetImageCount(images));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, canvas);
  RECT all = {0, 0, 16, 16};
  HBRUSH backdrop = CreateSolidBrush(RGB(0, 200, 0));
  FillRect(dc, &all, backdrop);
  DeleteObject(backdrop);
  ImageList_Draw(images, 0, dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(RGB(0, 200, 0), GetPixel(dc, 0, 0));
  EXPECT_EQ(RGB(190, 30, 30), GetPixel(dc, 8, 8));
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  app.DestroyMainWindow();
}

// The toolbar draws a disabled button as the etched outline of its picture
// (shadow over highlight where the picture is, the face around it): neither
// the picture itself nor a grey block of the whole image.
TEST_F(LayerTest, DisabledButtonShowsTheEtchedOutlineOfItsImage) {
  const HWND bar = frame->toolBar.Hwnd();
  const COLORREF red = RGB(190, 30, 30);  // the first image's square of 12 x 12
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  struct Count {
    int red = 0, shadow = 0, highlight = 0, face = 0;
  };
  // The button's pixels as the toolbar paints them on a face-coloured canvas.
  auto paintedButton = [&] {
    RECT client = {}, button = {};
    GetClientRect(bar, &client);
    SendMessageW(bar, TB_GETRECT, ID_TEST_VIEW_CMD, reinterpret_cast<LPARAM>(&button));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    Count count;
    for (int y = button.top; y < button.bottom; ++y) {
      for (int x = button.left; x < button.right; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        count.red += c == red;
        count.shadow += c == shadow;
        count.highlight += c == highlight;
        count.face += c == face;
      }
    }
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    return count;
  };

  Pump();
  ASSERT_TRUE(frame->toolBar.ButtonState(ID_TEST_VIEW_CMD) & TBSTATE_ENABLED);
  const Count enabled = paintedButton();
  EXPECT_EQ(144, enabled.red) << "the picture, drawn whole";

  frame->view.enabled = false;
  Pump();
  ASSERT_FALSE(frame->toolBar.ButtonState(ID_TEST_VIEW_CMD) & TBSTATE_ENABLED);
  const Count disabled = paintedButton();
  EXPECT_EQ(0, disabled.red);
  EXPECT_EQ(144, disabled.shadow) << "the square in shadow";
  // The highlight, a pixel down and right, shows along the square's right
  // and bottom edges: 12 + 11 pixels.
  EXPECT_EQ(23, disabled.highlight);
  EXPECT_GT(disabled.face, 256 - 144 - 23) << "the image's background is the face, not a grey block";
}

}  // namespace
}  // namespace layertest
