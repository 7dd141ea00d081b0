// Dialog procedure, modal loop and modeless dialogs; see Dialog.h.
#include "ui/Dialog.h"

#include <vector>

#include "ui/App.h"

namespace ui {

namespace {

// WM_KEYF1, which the headers do not name: as an F1 key leaves the queue,
// the platform posts this message to the key's window, and the default
// window procedure answers it with WM_HELP.
constexpr UINT kKeyF1 = 0x004D;

Dialog::ModalHook& Hook() {
  static Dialog::ModalHook hook;
  return hook;
}

// The work area of the monitor the window is on (or nearest to).
RECT WorkArea(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

}  // namespace

// Without an owner named by the caller the window belongs to whatever the
// user is working in: the main window's last active popup, which is the modal
// dialog in front when dialogs are nested. Owning it (and so disabling it) is
// what keeps the dialog underneath from being used meanwhile.
HWND ModalOwner(HWND requested) {
  HWND owner = requested;
  if (!owner && App::Current()) owner = App::Current()->MainHwnd();
  if (owner) owner = GetAncestor(owner, GA_ROOT);  // a child's top-level window
  if (!requested && owner) {
    HWND popup = GetLastActivePopup(owner);
    if (popup && popup != owner && IsWindow(popup) && IsWindowVisible(popup)) owner = popup;
  }
  return owner;
}

void CenterWindow(HWND window) {
  const RECT work = WorkArea(window);
  RECT area = work;
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  RECT rect = {};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  // Keep it on the work area: an owner partly off screen must not take the
  // dialog's title bar with it.
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Dialog::~Dialog() { Destroy(); }

void Dialog::SetModalHook(ModalHook hook) { Hook() = std::move(hook); }

std::wstring Dialog::ItemText(int id) const {
  HWND item = Item(id);
  int n = item ? GetWindowTextLengthW(item) : 0;
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> buf(n + 1, L'\0');
  int got = GetWindowTextW(item, buf.data(), n + 1);
  return std::wstring(buf.data(), got > 0 ? got : 0);
}

bool Dialog::Create(HWND parent) {
  if (Hwnd()) return false;
  ended_ = false;
  result_ = 0;
  HINSTANCE instance = App::Current() ? App::Current()->Instance() : GetModuleHandleW(nullptr);
  HWND hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), parent, &Dialog::StaticDialogProc,
                                 reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

bool Dialog::CreateModeless(HWND parent) {
  modal_ = false;
  if (!Create(parent)) return false;
  ShowWindow(Hwnd(), SW_SHOW);
  return true;
}

INT_PTR Dialog::DoModal(HWND owner) {
  owner = ModalOwner(owner);
  // The top-level window above the owner is disabled too, so that a dialog
  // owned by a modeless one still keeps the main window from being used.
  HWND top = owner ? GetAncestor(owner, GA_ROOTOWNER) : nullptr;
  if (top == owner) top = nullptr;
  modal_ = true;
  if (!Create(owner)) {
    modal_ = false;
    return -1;
  }
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  const bool enableOwner = owner && (ownerWasEnabled || enableOwnerAtEnd_);
  const bool topWasEnabled = top && IsWindowEnabled(top);
  if (topWasEnabled) EnableWindow(top, FALSE);
  if (!ended_) ShowWindow(Hwnd(), SW_SHOWNORMAL);

  IdleFilter filter;
  bool idle = true;
  MSG msg;
  while (!ended_ && Hwnd()) {
    if (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      idle = false;
      OnIdle();
      if (Hook()) Hook()(*this);
      continue;
    }
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // The program is ending: leave WM_QUIT for the outer loop.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      if (!ended_) result_ = IDCANCEL;
      break;
    }
    if (!TranslateHelpKey(msg) && !PreTranslateChildren(msg) && !IsDialogMessageW(Hwnd(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (filter.StartsIdle(msg)) idle = true;
  }
  // The owner is enabled before the dialog goes: the platform hands the
  // activation of a destroyed window only to an enabled owner, and with a
  // disabled one the program is left with no active window and no focus.
  if (topWasEnabled) EnableWindow(top, TRUE);
  if (enableOwner) EnableWindow(owner, TRUE);
  if (Hwnd()) DestroyWindow(Hwnd());
  modal_ = false;
  return result_;
}

bool Dialog::PreTranslateChildren(MSG& msg) {
  if (!Hwnd() || !msg.hwnd || !IsChild(Hwnd(), msg.hwnd)) return false;
  for (HWND h = msg.hwnd; h && h != Hwnd(); h = GetParent(h)) {
    Window* window = FromHandle(h);
    if (window && window->PreTranslateMessage(msg)) return true;
  }
  return false;
}

bool Dialog::TranslateHelpKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_F1 || !Hwnd()) return false;
  if (msg.hwnd != Hwnd() && !IsChild(Hwnd(), msg.hwnd)) return false;
  // Shift+F1 and the like are not the help key.
  if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  // The key is the one request: the platform's own help message for it,
  // already waiting, would come back to the dialog as WM_HELP and ask again.
  MSG echo;
  while (PeekMessageW(&echo, msg.hwnd, kKeyF1, kKeyF1, PM_REMOVE)) {
  }
  OnHelp();
  return true;
}

void Dialog::OnHelp() {
  if (App* app = App::Current()) app->ShowHelpFor(Hwnd(), helpId_);
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (!modal_ && Hwnd()) DestroyWindow(Hwnd());
}

INT_PTR Dialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      RECT before = {}, after = {};
      GetWindowRect(Hwnd(), &before);
      const INT_PTR focus = OnInitDialog() ? TRUE : FALSE;
      // A popup dialog that its initialisation left where the template puts
      // it opens centred over its owner rather than at the screen's corner;
      // one that only changed its size (to fit what it shows) is centred at
      // that size.
      const LONG_PTR style = Hwnd() ? GetWindowLongPtrW(Hwnd(), GWL_STYLE) : WS_CHILD;
      if (Hwnd() && !(style & (WS_CHILD | DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) &&
          GetWindowRect(Hwnd(), &after) && before.left == after.left && before.top == after.top)
        CenterWindow(Hwnd());
      return focus;
    }
    case WM_COMMAND: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wParam, lParam, result)) return TRUE;
      const UINT id = LOWORD(wParam);
      // Enter, Escape and the buttons all arrive as BN_CLICKED (code 0).
      if (id == IDOK && HIWORD(wParam) == BN_CLICKED) {
        OnOK();
        return TRUE;
      }
      if (id == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
        OnCancel();
        return TRUE;
      }
      return OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wParam, lParam, result) ||
          OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) {
        SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, result);
        return TRUE;
      }
      return FALSE;
    }
    case WM_HELP:
      // A child dialog (a form view, a page) leaves it to the platform,
      // which hands it to the parent.
      if (GetWindowLongPtrW(Hwnd(), GWL_STYLE) & WS_CHILD) return FALSE;
      OnHelp();
      return TRUE;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      return FALSE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Dialog* self = static_cast<Dialog*>(FromHandle(hwnd));
  if (!self && msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    if (self) self->Bind(hwnd);
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) are left to the dialog manager.
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->DialogProc(msg, wParam, lParam);
  } catch (...) {
    // A failed handler ends a modal dialog as cancelled rather than leaving
    // it half-initialised on screen.
    if (msg == WM_INITDIALOG) self->EndDialog(IDCANCEL);
    result = FALSE;
  }
  if (msg == WM_NCDESTROY) self->Unbind();
  return result;
}

}  // namespace ui
