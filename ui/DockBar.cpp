// Docking and floating toolbar; see DockBar.h.
#include "ui/DockBar.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "ui/FrameWindow.h"
#include "ui/ToolBar.h"

namespace ui {

namespace {

const wchar_t kDockBarClass[] = L"ui.DockBar";
const wchar_t kFloatClass[] = L"ui.DockFloat";
const wchar_t kDragRectClass[] = L"ui.DockDragRect";

constexpr int kPad = 2;          // between the bar's edge and its buttons
constexpr int kGripper = 10;     // the gripper's strip at the start of a docked bar
constexpr int kDragFrame = 3;    // thickness of the drag rectangle's outline
constexpr DWORD kFloatStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFloatExStyle = WS_EX_TOOLWINDOW;
constexpr UINT kKeepInFront = WM_USER + 1;  // the dock bar's own message

bool IsVerticalSide(DockSide side) { return side == DockSide::Left || side == DockSide::Right; }

// Cuts the strip of a bar of size docked on side from area; the strip.
RECT TakeStrip(RECT& area, DockSide side, SIZE size) {
  RECT strip = area;
  switch (side) {
    case DockSide::Top:
      strip.bottom = std::min(area.top + size.cy, area.bottom);
      area.top = strip.bottom;
      break;
    case DockSide::Bottom:
      strip.top = std::max(area.bottom - size.cy, area.top);
      area.bottom = strip.top;
      break;
    case DockSide::Left:
      strip.right = std::min(area.left + size.cx, area.right);
      area.left = strip.right;
      break;
    case DockSide::Right:
      strip.left = std::max(area.right - size.cx, area.left);
      area.right = strip.left;
      break;
    case DockSide::Float:
      break;
  }
  return strip;
}

POINT ClientToScreenPoint(HWND hwnd, LPARAM lParam) {
  POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hwnd, &p);
  return p;
}

}  // namespace

DockSide ChooseDockSide(const RECT& area, POINT point, int zone) {
  if (point.x < area.left - zone || point.x > area.right + zone || point.y < area.top - zone ||
      point.y > area.bottom + zone)
    return DockSide::Float;
  const struct {
    DockSide side;
    int distance;
  } edges[] = {
      {DockSide::Top, std::abs(point.y - area.top)},
      {DockSide::Bottom, std::abs(point.y - area.bottom)},
      {DockSide::Left, std::abs(point.x - area.left)},
      {DockSide::Right, std::abs(point.x - area.right)},
  };
  DockSide nearest = DockSide::Float;
  int best = zone + 1;
  for (const auto& edge : edges) {
    if (edge.distance < best) {
      best = edge.distance;
      nearest = edge.side;
    }
  }
  return nearest;
}

DockFloatWindow::~DockFloatWindow() { Destroy(); }

LRESULT DockFloatWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCLBUTTONDOWN:
      // The caption drags the bar with the same tracking as the gripper, so
      // that a floating bar dropped near an edge of the frame docks there.
      if (wParam != HTCAPTION) break;
      bar_.BeginDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_NCLBUTTONDBLCLK:
      if (wParam != HTCAPTION) break;
      bar_.Dock(bar_.lastDocked_);
      return 0;
    case WM_MOUSEACTIVATE:
      // A click on a floating button leaves the frame active, with its keys.
      return MA_NOACTIVATE;
    case WM_CLOSE:
      bar_.Show(false);
      return 0;
    default:
      break;
  }
  return Window::WndProc(msg, wParam, lParam);
}

DockBar::~DockBar() {
  if (dragRect_) DestroyWindow(dragRect_);
  Destroy();
}

bool DockBar::Create(FrameWindow& frame, UINT id, const std::wstring& title) {
  if (!RegisterWindowClass(kDockBarClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
  frame_ = &frame;
  title_ = title;
  return CreateEx(0, kDockBarClass, title, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, frame.Hwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void DockBar::Attach(ToolBar& toolBar) {
  toolBar_ = &toolBar;
  toolBar.SetVertical(true);
  vertSize_ = toolBar.LaidOutSize();
  toolBar.SetVertical(false);
  horzSize_ = toolBar.LaidOutSize();
  Dock(side_);
}

bool DockBar::IsShown() const { return toolBar_ && toolBar_->IsVisible(); }

SIZE DockBar::BarSize(bool vertical, bool gripper) const {
  const SIZE bar = vertical ? vertSize_ : horzSize_;
  const int grip = gripper ? kGripper : 0;
  return vertical ? SIZE{bar.cx + 2 * kPad, bar.cy + 2 * kPad + grip}
                  : SIZE{bar.cx + 2 * kPad + grip, bar.cy + 2 * kPad};
}

void DockBar::SetOrientation(bool vertical) {
  const bool gripper = side_ != DockSide::Float;
  toolBar_->SetVertical(vertical);
  const SIZE size = vertical ? vertSize_ : horzSize_;
  const int grip = gripper ? kGripper : 0;
  SetWindowPos(toolBar_->Hwnd(), nullptr, kPad + (vertical ? 0 : grip), kPad + (vertical ? grip : 0), size.cx,
               size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DockBar::Dock(DockSide side) {
  if (side == DockSide::Float) {
    Float(lastFloat_);
    return;
  }
  if (!Hwnd() || !toolBar_) {
    side_ = side;
    return;
  }
  const bool shown = IsShown();
  side_ = side;
  lastDocked_ = side;
  if (GetParent(Hwnd()) != frame_->Hwnd()) {
    // Moved into the frame while shown, the bar would stand for a moment at
    // its place in the floating window, over the view; the view's move out
    // of the strip then copies those pixels of the bar as its own, where the
    // list never paints them again. The bar comes in hidden and is shown at
    // its strip.
    ShowWindow(Hwnd(), SW_HIDE);
    SetParent(Hwnd(), frame_->Hwnd());
  }
  if (floating_.Hwnd()) ShowWindow(floating_.Hwnd(), SW_HIDE);
  SetOrientation(IsVerticalSide(side));
  frame_->RecalcLayout();
  ShowWindow(Hwnd(), shown ? SW_SHOWNA : SW_HIDE);
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

void DockBar::Float(POINT topLeft) {
  if (!Hwnd() || !toolBar_) return;
  if (!floating_.Hwnd()) {
    if (!RegisterWindowClass(kFloatClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return;
    if (!floating_.CreateEx(kFloatExStyle, kFloatClass, title_, kFloatStyle, topLeft.x, topLeft.y, 0, 0,
                            frame_->Hwnd(), nullptr))
      return;
  }
  const bool shown = IsShown();
  side_ = DockSide::Float;
  lastFloat_ = topLeft;
  SetParent(Hwnd(), floating_.Hwnd());
  SetOrientation(false);
  const SIZE client = BarSize(false, false);
  MoveWindow(Hwnd(), 0, 0, client.cx, client.cy, TRUE);
  ShowWindow(Hwnd(), SW_SHOWNA);
  const SIZE outer = FloatWindowSize();
  SetWindowPos(floating_.Hwnd(), nullptr, topLeft.x, topLeft.y, outer.cx, outer.cy,
               SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  frame_->RecalcLayout();
}

void DockBar::Show(bool show) {
  if (!toolBar_) return;
  const int how = show ? SW_SHOWNA : SW_HIDE;
  ShowWindow(toolBar_->Hwnd(), how);
  ShowWindow(side_ == DockSide::Float ? floating_.Hwnd() : Hwnd(), how);
  frame_->RecalcLayout();
}

void DockBar::EnableFloating(bool enable) {
  if (floating_.Hwnd()) EnableWindow(floating_.Hwnd(), enable ? TRUE : FALSE);
}

void DockBar::KeepInFrontLater() {
  if (Hwnd()) PostMessageW(Hwnd(), kKeepInFront, 0, 0);
}

void DockBar::KeepInFront() {
  const HWND floating = floating_.Hwnd();
  if (side_ != DockSide::Float || !floating || !IsWindowVisible(floating)) return;
  // This Wine raises a window on the X server only when its place in its
  // own Z order changes, and that order can already put the tool window on
  // top while the server has the frame over it: the window is first put
  // under the frame, then on top, so that the raise reaches the server.
  SetWindowPos(floating, frame_->Hwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(floating, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void DockBar::Layout(RECT& area) {
  if (!Hwnd() || side_ == DockSide::Float || !IsShown()) return;
  const RECT strip = TakeStrip(area, side_, BarSize(IsVertical(), true));
  MoveWindow(Hwnd(), strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, TRUE);
}

SIZE DockBar::FloatWindowSize() const {
  const SIZE client = BarSize(false, false);
  RECT outer = {0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&outer, kFloatStyle, FALSE, kFloatExStyle);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

RECT DockBar::GripperRect() const {
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  if (side_ == DockSide::Float) return RECT{0, 0, 0, 0};
  return IsVertical() ? RECT{0, 0, client.right, kPad + kGripper} : RECT{0, 0, kPad + kGripper, client.bottom};
}

RECT DockBar::DockAreaOnScreen() const {
  RECT area = frame_->DockArea();
  MapWindowPoints(frame_->Hwnd(), nullptr, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

void DockBar::BeginDrag(POINT screen) {
  if (!toolBar_ || dragging_) return;
  RECT current = {};
  GetWindowRect(side_ == DockSide::Float ? floating_.Hwnd() : Hwnd(), &current);
  // The pointer keeps its place in the rectangle, within the floating size
  // when a long docked bar is pulled off by its far end.
  const SIZE floating = FloatWindowSize();
  grab_ = {std::clamp<LONG>(screen.x - current.left, 0, floating.cx - 1),
           std::clamp<LONG>(screen.y - current.top, 0, floating.cy - 1)};
  dragStart_ = screen;
  target_ = side_;
  targetRect_ = current;
  moved_ = false;
  dragging_ = true;
  SetCapture(Hwnd());
}

void DockBar::TrackTo(POINT screen) {
  if (!moved_ && std::abs(screen.x - dragStart_.x) < GetSystemMetrics(SM_CXDRAG) &&
      std::abs(screen.y - dragStart_.y) < GetSystemMetrics(SM_CYDRAG))
    return;
  moved_ = true;
  RECT area = DockAreaOnScreen();
  // Near means within a horizontal bar's thickness of the edge.
  target_ = ChooseDockSide(area, screen, BarSize(false, true).cy);
  if (target_ == DockSide::Float) {
    const SIZE floating = FloatWindowSize();
    const LONG left = screen.x - grab_.x;
    const LONG top = screen.y - grab_.y;
    targetRect_ = {left, top, left + floating.cx, top + floating.cy};
  } else {
    targetRect_ = TakeStrip(area, target_, BarSize(IsVerticalSide(target_), true));
  }
  ShowDragRect(targetRect_);
}

void DockBar::ShowDragRect(const RECT& rect) {
  if (!dragRect_) {
    // A popup outlined by its region stands for the rectangle: it shows over
    // every window without drawing on the screen's own device context.
    if (!RegisterWindowClass(kDragRectClass, 0, reinterpret_cast<HBRUSH>(COLOR_3DDKSHADOW + 1))) return;
    dragRect_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kDragRectClass, L"", WS_POPUP,
                                rect.left, rect.top, 0, 0, frame_->Hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!dragRect_) return;
  }
  const int cx = rect.right - rect.left;
  const int cy = rect.bottom - rect.top;
  HRGN outline = CreateRectRgn(0, 0, cx, cy);
  HRGN inside = CreateRectRgn(kDragFrame, kDragFrame, cx - kDragFrame, cy - kDragFrame);
  CombineRgn(outline, outline, inside, RGN_DIFF);
  DeleteObject(inside);
  SetWindowRgn(dragRect_, outline, FALSE);  // the window owns the region now
  SetWindowPos(dragRect_, HWND_TOPMOST, rect.left, rect.top, cx, cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void DockBar::EndDrag(bool apply) {
  if (!dragging_) return;
  dragging_ = false;
  if (dragRect_) {
    DestroyWindow(dragRect_);
    dragRect_ = nullptr;
  }
  if (GetCapture() == Hwnd()) ReleaseCapture();
  if (apply && moved_) {
    if (target_ == DockSide::Float)
      Float(POINT{targetRect_.left, targetRect_.top});
    else
      Dock(target_);
  }
  // The frame is drawn again whole: the drag rectangle and the bar's old
  // place leave parts of the view that its controls do not all repaint.
  RedrawWindow(frame_->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

bool DockBar::OnPaint() {
  PaintDc paint(Hwnd());
  if (side_ == DockSide::Float) return true;
  // Two raised ridges make the gripper.
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  for (int i = 0; i < 2; ++i) {
    RECT ridge = IsVertical() ? RECT{kPad + 1, kPad + 1 + 3 * i, client.right - kPad - 1, kPad + 4 + 3 * i}
                              : RECT{kPad + 1 + 3 * i, kPad + 1, kPad + 4 + 3 * i, client.bottom - kPad - 1};
    DrawEdge(paint.Dc(), &ridge, BDR_RAISEDINNER, BF_RECT);
  }
  return true;
}

LRESULT DockBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
      // The toolbar's clicks, tooltips and hot-item changes are the frame's
      // wherever the bar stands.
      return frame_ ? SendMessageW(frame_->Hwnd(), msg, wParam, lParam) : 0;
    case WM_LBUTTONDOWN: {
      const POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const RECT gripper = GripperRect();
      if (PtInRect(&gripper, p)) BeginDrag(ClientToScreenPoint(Hwnd(), lParam));
      return 0;
    }
    case kKeepInFront:
      KeepInFront();
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) TrackTo(ClientToScreenPoint(Hwnd(), lParam));
      return 0;
    case WM_LBUTTONUP:
      if (!dragging_) return 0;
      TrackTo(ClientToScreenPoint(Hwnd(), lParam));
      EndDrag(true);
      return 0;
    case WM_RBUTTONDOWN:
      if (!dragging_) break;
      EndDrag(false);
      return 0;
    case WM_CAPTURECHANGED:
      if (dragging_ && reinterpret_cast<HWND>(lParam) != Hwnd()) EndDrag(false);
      return 0;
    case WM_SETCURSOR: {
      POINT p = {};
      GetCursorPos(&p);
      ScreenToClient(Hwnd(), &p);
      const RECT gripper = GripperRect();
      if (LOWORD(lParam) != HTCLIENT || !PtInRect(&gripper, p)) break;
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEALL)));
      return TRUE;
    }
    default:
      break;
  }
  return Window::WndProc(msg, wParam, lParam);
}

}  // namespace ui
