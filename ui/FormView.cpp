// Form view creation and dialog keys; see FormView.h.
#include "ui/FormView.h"

namespace ui {

bool FormView::CreateView(HWND parent, UINT id) {
  if (!Create(parent)) return false;
  SetWindowLongPtrW(Hwnd(), GWLP_ID, static_cast<LONG_PTR>(id));
  ShowWindow(Hwnd(), SW_SHOW);
  return true;
}

bool FormView::PreTranslateMessage(MSG& msg) {
  if (!Hwnd() || (msg.hwnd != Hwnd() && !IsChild(Hwnd(), msg.hwnd))) return false;
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  return IsDialogMessageW(Hwnd(), &msg) != FALSE;
}

}  // namespace ui
