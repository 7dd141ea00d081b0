// Dialog procedure, modal loop and modeless dialogs; see Dialog.h.
#include "ui/Dialog.h"

#include <vector>

#include "ui/App.h"

namespace ui {

namespace {

Dialog::ModalHook& Hook() {
  static Dialog::ModalHook hook;
  return hook;
}

}  // namespace

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
  if (!owner && App::Current()) owner = App::Current()->MainHwnd();
  modal_ = true;
  if (!Create(owner)) {
    modal_ = false;
    return -1;
  }
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
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
    if (!PreTranslateChildren(msg) && !IsDialogMessageW(Hwnd(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (filter.StartsIdle(msg)) idle = true;
  }
  // The owner is enabled before the dialog goes, so that activation returns
  // to it rather than to another program.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
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

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (!modal_ && Hwnd()) DestroyWindow(Hwnd());
}

INT_PTR Dialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
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
