// The window base of the layer: one object per window, bound to its HWND by
// the layer's single window procedure.
//
// A window created through Window::CreateEx is bound from lpCreateParams at
// WM_NCCREATE and unbound at WM_NCDESTROY; an existing control taken over
// with Subclass() is bound through a comctl32 subclass until it is destroyed
// or released. Messages reach a small set of handlers (OnCreate, OnCommand,
// OnNotify, OnPaint, OnSize, OnDestroy); WndProc is the escape hatch. A
// WM_COMMAND or WM_NOTIFY from a child control goes first to the control's
// own bound wrapper (OnReflect), then to the parent's handler.
//
// Command routing: OnCommand and OnUpdate answer true for the commands they
// handle; the frame window chains view, frame and application (FrameWindow).
// The object owns its window: destroying the object destroys the window. A
// derived class with members its handlers use calls Destroy() in its own
// destructor, so that no message reaches a half-destroyed object.
//
// Nothing is thrown out of the window procedure: an exception from a handler
// ends the message with its failure result (WM_NCCREATE FALSE, WM_CREATE -1,
// 0 otherwise).
#pragma once

#include <windows.h>
#include <string>

namespace ui {

class CmdUI;

// Registers a window class whose procedure is the layer's; registering the
// same name again is harmless. Returns false when the class cannot be
// registered.
bool RegisterWindowClass(const wchar_t* className, UINT style = CS_DBLCLKS, HBRUSH background = nullptr,
                         HCURSOR cursor = nullptr);

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Hwnd() const { return hwnd_; }

  // The object bound to a window of the layer, or null.
  static Window* FromHandle(HWND hwnd);

  // Creates a window of a class registered with RegisterWindowClass. Returns
  // false when the window was not created (GetLastError tells why, or
  // OnCreate answered -1).
  bool CreateEx(DWORD exStyle, const wchar_t* className, const std::wstring& title, DWORD style, int x, int y,
                int cx, int cy, HWND parent, HMENU menuOrId);

  // Takes over the messages of an existing window (a dialog's control).
  // Handlers that answer false leave the message to the control's own
  // procedure. Returns false when the window is already bound.
  bool Subclass(HWND control);
  // Gives a subclassed control back to its own procedure.
  void Unsubclass();

  // Destroys the window (a subclassed control is released instead).
  void Destroy();

  // Command routing; true when the command is handled here.
  virtual bool OnCommand(UINT id, UINT code, HWND control) { return false; }
  // Command-UI update; true when this object handles the command.
  virtual bool OnUpdate(CmdUI& cmd) { return false; }
  // Messages taken before dispatch (accelerators, dialog keys); true when
  // the message was used up.
  virtual bool PreTranslateMessage(MSG& msg) { return false; }
  // The idle pass of the message loop (toolbar and status-pane updates).
  virtual void OnIdleUpdate() {}

  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return SendMessageW(hwnd_, msg, wParam, lParam); }

 protected:
  virtual int OnCreate(CREATESTRUCTW& cs) { return 0; }
  virtual bool OnNotify(NMHDR& hdr, LRESULT& result) { return false; }
  // True when the handler painted (it calls BeginPaint/EndPaint itself).
  virtual bool OnPaint() { return false; }
  virtual void OnSize(UINT type, int cx, int cy) {}
  virtual void OnDestroy() {}
  // WM_COMMAND or WM_NOTIFY sent by this window, as a control, to its
  // parent; true (with result) when the control's wrapper handled it.
  virtual bool OnReflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }

  // The escape hatch: every message passes here; the default dispatches to
  // the handlers above and leaves the rest to DefProc.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefProc(UINT msg, WPARAM wParam, LPARAM lParam);

  // Offers a child's WM_COMMAND/WM_NOTIFY to the child's own wrapper.
  static bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Binding used by the window and dialog procedures.
  void Bind(HWND hwnd);
  void Unbind();

 private:
  friend bool RegisterWindowClass(const wchar_t*, UINT, HBRUSH, HCURSOR);
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR refData);
  LRESULT SafeWndProc(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  bool subclassed_ = false;
};

// BeginPaint/EndPaint for an OnPaint handler.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC Dc() const { return dc_; }
  const PAINTSTRUCT& Info() const { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_ = {};
  HDC dc_;
};

}  // namespace ui
