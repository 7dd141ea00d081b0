// The layer's window procedure, binding and handler dispatch; see Window.h.
#include "ui/Window.h"

#include <commctrl.h>

#include <unordered_map>

namespace ui {

namespace {

// The bound objects by window, kept in the process rather than in the
// windows themselves, so that windows of the platform's own classes
// (subclassed controls, dialogs) can be bound without touching their
// GWLP_USERDATA. Every message looks its window up here, and a parent's
// notification handler its child too: a window property would serve, but a
// property read may be a round trip to the window server (it is under
// Wine), which makes each notification of a list control filling up with
// thousands of rows cost as much as reading a file. A window gets its
// messages only on the thread that made it, and the layer's windows all live
// on the program's one window thread, so the table takes no lock.
std::unordered_map<HWND, Window*>& Bindings() {
  static auto* bindings = new std::unordered_map<HWND, Window*>();
  return *bindings;
}
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

bool RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background, HCURSOR cursor) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = &Window::StaticWndProc;
  wc.hInstance = instance;
  wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0;
}

Window::~Window() {
  Destroy();
  Unbind();  // a window that would not go (another thread's) keeps no pointer to this
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  const auto found = Bindings().find(hwnd);
  return found == Bindings().end() ? nullptr : found->second;
}

void Window::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  Bindings()[hwnd] = this;
}

void Window::Unbind() {
  if (hwnd_) {
    const auto found = Bindings().find(hwnd_);
    if (found != Bindings().end() && found->second == this) Bindings().erase(found);
  }
  hwnd_ = nullptr;
  subclassed_ = false;
}

bool Window::CreateEx(DWORD exStyle, const wchar_t* className, const std::wstring& title, DWORD style, int x, int y,
                      int cx, int cy, HWND parent, HMENU menuOrId) {
  if (hwnd_) return false;
  HWND hwnd = CreateWindowExW(exStyle, className, title.c_str(), style, x, y, cx, cy, parent, menuOrId,
                              GetModuleHandleW(nullptr), this);
  return hwnd != nullptr;
}

bool Window::Subclass(HWND control) {
  if (hwnd_ || !control || FromHandle(control)) return false;
  Bind(control);
  if (!SetWindowSubclass(control, &Window::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    Unbind();
    return false;
  }
  subclassed_ = true;
  return true;
}

void Window::Unsubclass() {
  if (!hwnd_ || !subclassed_) return;
  RemoveWindowSubclass(hwnd_, &Window::SubclassProc, kSubclassId);
  Unbind();
}

void Window::Destroy() {
  if (!hwnd_) return;
  if (subclassed_)
    Unsubclass();
  else
    DestroyWindow(hwnd_);  // WM_NCDESTROY unbinds
}

LRESULT Window::DefProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (subclassed_) return DefSubclassProc(hwnd_, msg, wParam, lParam);
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

bool Window::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  if (msg == WM_COMMAND)
    child = reinterpret_cast<HWND>(lParam);
  else if (msg == WM_NOTIFY && lParam)
    child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
  Window* wrapper = FromHandle(child);
  return wrapper && wrapper->OnReflect(msg, wParam, lParam, result);
}

LRESULT Window::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate(*reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_COMMAND: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wParam, lParam, result)) return result;
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wParam, lParam, result)) return result;
      if (OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_PAINT:
      if (OnPaint()) return 0;
      break;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    default:
      break;
  }
  return DefProc(msg, wParam, lParam);
}

LRESULT Window::SafeWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    return WndProc(msg, wParam, lParam);
  } catch (...) {
    if (msg == WM_NCCREATE) return FALSE;
    if (msg == WM_CREATE) return -1;
    return 0;
  }
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* self = FromHandle(hwnd);
  if (!self && msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) self->Bind(hwnd);
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and windows created
  // without an object go to the default procedure.
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = self->SafeWndProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) self->Unbind();
  return result;
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR refData) {
  Window* self = reinterpret_cast<Window*>(refData);
  if (msg == WM_NCDESTROY) {
    LRESULT result = self->SafeWndProc(msg, wParam, lParam);
    RemoveWindowSubclass(hwnd, &Window::SubclassProc, kSubclassId);
    self->Unbind();
    return result;
  }
  return self->SafeWndProc(msg, wParam, lParam);
}

}  // namespace ui
