// Scroll view; see ScrollView.h.
#include "ui/ScrollView.h"

namespace ui {

namespace {

const wchar_t kScrollViewClass[] = L"ui.ScrollView";

int Clamp(int v, int low, int high) { return v < low ? low : (v > high ? high : v); }

}  // namespace

bool ScrollView::CreateView(HWND parent, UINT id, DWORD style) {
  if (!RegisterWindowClass(kScrollViewClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                           reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1)))
    return false;
  return CreateEx(0, kScrollViewClass, L"", style, 0, 0, 0, 0, parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void ScrollView::SetScrollSizes(SIZE total, SIZE page, SIZE line) {
  total_ = {total.cx > 0 ? total.cx : 0, total.cy > 0 ? total.cy : 0};
  page_ = {page.cx > 0 ? page.cx : 0, page.cy > 0 ? page.cy : 0};
  line_ = {line.cx > 0 ? line.cx : 1, line.cy > 0 ? line.cy : 1};
  UpdateBars();
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

int ScrollView::Limit(int bar) const {
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  int extent = bar == SB_HORZ ? total_.cx - client.right : total_.cy - client.bottom;
  return extent > 0 ? extent : 0;
}

void ScrollView::ScrollTo(POINT point) {
  POINT next = {Clamp(point.x, 0, Limit(SB_HORZ)), Clamp(point.y, 0, Limit(SB_VERT))};
  if (next.x == pos_.x && next.y == pos_.y) return;
  ScrollWindowEx(Hwnd(), pos_.x - next.x, pos_.y - next.y, nullptr, nullptr, nullptr, nullptr,
                 SW_INVALIDATE | SW_ERASE);
  pos_ = next;
  UpdateBars();
}

void ScrollView::UpdateBars() {
  if (!Hwnd()) return;
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  pos_ = {Clamp(pos_.x, 0, Limit(SB_HORZ)), Clamp(pos_.y, 0, Limit(SB_VERT))};
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = total_.cx > 0 ? total_.cx - 1 : 0;
  info.nPage = static_cast<UINT>(client.right);
  info.nPos = pos_.x;
  SetScrollInfo(Hwnd(), SB_HORZ, &info, TRUE);
  info.nMax = total_.cy > 0 ? total_.cy - 1 : 0;
  info.nPage = static_cast<UINT>(client.bottom);
  info.nPos = pos_.y;
  SetScrollInfo(Hwnd(), SB_VERT, &info, TRUE);
}

void ScrollView::Scroll(int bar, int request) {
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  const int fixedPage = bar == SB_HORZ ? page_.cx : page_.cy;
  const int page = fixedPage > 0 ? fixedPage : (bar == SB_HORZ ? client.right : client.bottom);
  const int line = bar == SB_HORZ ? line_.cx : line_.cy;
  int pos = bar == SB_HORZ ? pos_.x : pos_.y;
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(Hwnd(), bar, &info);
  switch (request) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = Limit(bar); break;
    default: return;
  }
  ScrollTo(bar == SB_HORZ ? POINT{pos, pos_.y} : POINT{pos_.x, pos});
}

LRESULT ScrollView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_HSCROLL:
      Scroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // A clicked view takes the focus, so that its frame's keys reach it.
      if (GetFocus() != Hwnd()) SetFocus(Hwnd());
      return Window::WndProc(msg, wParam, lParam);
    case WM_MOUSEWHEEL: {
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      ScrollTo(POINT{pos_.x, pos_.y - notches * 3 * line_.cy});
      return 0;
    }
    default:
      return Window::WndProc(msg, wParam, lParam);
  }
}

bool ScrollView::OnPaint() {
  PaintDc paint(Hwnd());
  POINT old = {};
  SetViewportOrgEx(paint.Dc(), -pos_.x, -pos_.y, &old);
  OnDraw(paint.Dc());
  SetViewportOrgEx(paint.Dc(), old.x, old.y, nullptr);
  return true;
}

void ScrollView::OnSize(UINT, int, int) { UpdateBars(); }

}  // namespace ui
