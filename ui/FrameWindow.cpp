// Frame window: layout, routing, menus, prompts and toggles; see FrameWindow.h.
#include "ui/FrameWindow.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "ui/App.h"
#include "ui/CmdUI.h"
#include "ui/DockBar.h"
#include "ui/StandardIds.h"
#include "ui/StatusBar.h"
#include "ui/ToolBar.h"

namespace ui {

namespace {

const wchar_t kFrameClass[] = L"ui.FrameWindow";

// A probe that only records what the chain decides.
class ProbeCmdUI final : public CmdUI {
 public:
  using CmdUI::CmdUI;
};

bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

bool IsButtonDown(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCXBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

}  // namespace

FrameWindow::~FrameWindow() {
  Destroy();
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

bool FrameWindow::CreateFrame(const std::wstring& title, DWORD style, UINT menuId, UINT accelId, UINT iconId) {
  if (!RegisterWindowClass(kFrameClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HMENU menu = menuId ? LoadMenuW(instance, MAKEINTRESOURCEW(menuId)) : nullptr;
  LoadAcceleratorTable(accelId);
  if (!CreateEx(0, kFrameClass, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                menu)) {
    DWORD error = GetLastError();
    if (menu && !IsMenu(menu)) menu = nullptr;
    if (menu) DestroyMenu(menu);
    SetLastError(error);
    return false;
  }
  if (iconId) {
    bigIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (bigIcon_) Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_) Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  }
  RecalcLayout();
  return true;
}

bool FrameWindow::RouteUpdate(CmdUI& cmd) {
  if (view_ && view_->Hwnd() && view_->OnUpdate(cmd)) return true;
  if (OnUpdate(cmd)) return true;
  App* app = App::Current();
  return app && app->OnUpdate(cmd);
}

bool FrameWindow::IsCommandEnabled(UINT id) {
  ProbeCmdUI probe(id);
  probe.Finish(RouteUpdate(probe));
  return probe.Enabled();
}

bool FrameWindow::RouteCommand(UINT id, UINT code, HWND control) {
  // Menu items (code 0), accelerators (code 1) and toolbar buttons are
  // checked against their update handlers: a disabled command does nothing.
  const bool fromToolBar = toolBar_ && control && control == toolBar_->Hwnd();
  if ((!control && (code == 0 || code == 1)) || fromToolBar) {
    // In help mode the command chosen is the one asked about.
    if (helpMode_) {
      LeaveHelpMode();
      ShowHelpFor(id);
      return true;
    }
    if (!IsCommandEnabled(id)) return false;
  }
  if (view_ && view_->Hwnd() && view_->OnCommand(id, code, control)) return true;
  if (OnCommand(id, code, control)) return true;
  App* app = App::Current();
  return app && app->OnCommand(id, code);
}

bool FrameWindow::OnCommand(UINT id, UINT, HWND) {
  switch (id) {
    case ID_VIEW_TOOLBAR:
      if (toolBar_) ShowToolBar(!toolBar_->IsVisible());
      return true;
    case ID_VIEW_STATUS_BAR:
      if (statusBar_) ShowBar(statusBar_->Hwnd(), !statusBar_->IsVisible());
      return true;
    default:
      return false;
  }
}

bool FrameWindow::OnUpdate(CmdUI& cmd) {
  switch (cmd.Id()) {
    case ID_VIEW_TOOLBAR:
      cmd.Enable(toolBar_ != nullptr);
      cmd.SetCheck(toolBar_ && toolBar_->IsVisible());
      return true;
    case ID_VIEW_STATUS_BAR:
      cmd.Enable(statusBar_ != nullptr);
      cmd.SetCheck(statusBar_ && statusBar_->IsVisible());
      return true;
    case ID_INDICATOR_CAPS:
      cmd.Enable((GetKeyState(VK_CAPITAL) & 1) != 0);
      return true;
    case ID_INDICATOR_NUM:
      cmd.Enable((GetKeyState(VK_NUMLOCK) & 1) != 0);
      return true;
    case ID_INDICATOR_SCRL:
      cmd.Enable((GetKeyState(VK_SCROLL) & 1) != 0);
      return true;
    default:
      return false;
  }
}

bool FrameWindow::LoadAcceleratorTable(UINT accelId) {
  accel_ = accelId ? LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(accelId)) : nullptr;
  return accel_ != nullptr;
}

bool FrameWindow::PreTranslateMessage(MSG& msg) {
  // The release of the click that asked for help comes after the mode has
  // let the mouse go, to the window under the pointer. The toolbar control
  // takes the release of a click it never saw start as a reason to draw that
  // button hot, without watching for the pointer to leave (seen under Wine),
  // so that it stays hot: the release is the mode's.
  if (helpClickUp_) {
    if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) {
      helpClickUp_ = false;
      return true;
    }
    if (IsButtonDown(msg.message)) helpClickUp_ = false;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    if (dockBar_ && dockBar_->IsDragging()) {
      dockBar_->EndDrag(false);
      return true;
    }
    if (helpMode_) {
      LeaveHelpMode();
      return true;
    }
  }
  if (!Hwnd() || (msg.hwnd != Hwnd() && !IsChild(Hwnd(), msg.hwnd))) return false;
  if (accel_ && IsKeyMessage(msg.message) && TranslateAcceleratorW(Hwnd(), accel_, &msg)) return true;
  return view_ && view_->Hwnd() && view_->PreTranslateMessage(msg);
}

void FrameWindow::OnIdleUpdate() {
  if (toolBar_ && toolBar_->IsVisible()) toolBar_->Update(*this);
  if (statusBar_ && statusBar_->IsVisible()) statusBar_->Update(*this);
}

void FrameWindow::ShowBar(HWND bar, bool show) {
  if (!bar) return;
  ShowWindow(bar, show ? SW_SHOW : SW_HIDE);
  RecalcLayout();
}

void FrameWindow::ShowToolBar(bool show) {
  if (dockBar_)
    dockBar_->Show(show);
  else if (toolBar_)
    ShowBar(toolBar_->Hwnd(), show);
}

RECT FrameWindow::DockArea() const {
  RECT area = {};
  GetClientRect(Hwnd(), &area);
  if (statusBar_ && statusBar_->IsVisible()) area.bottom = std::max(area.top, area.bottom - statusBar_->Height());
  return area;
}

void FrameWindow::RecalcLayout() {
  if (!Hwnd()) return;
  if (statusBar_ && statusBar_->IsVisible()) statusBar_->Resize();
  RECT area = DockArea();
  if (dockBar_)
    dockBar_->Layout(area);
  else if (toolBar_ && toolBar_->IsVisible())
    area.top = std::min(area.bottom, area.top + toolBar_->Height());
  if (view_ && view_->Hwnd())
    MoveWindow(view_->Hwnd(), area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void FrameWindow::EnterHelpMode() {
  if (helpMode_ || !Hwnd()) return;
  helpMode_ = true;
  SetCapture(Hwnd());
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HELP)));
}

void FrameWindow::LeaveHelpMode() {
  if (!helpMode_) return;
  helpMode_ = false;
  if (GetCapture() == Hwnd()) ReleaseCapture();
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
  // While the mode held the mouse the toolbar saw none of it: the button
  // that was under the pointer when the mode began (the one clicked, as a
  // rule) never saw the pointer leave and would stay drawn hot.
  if (toolBar_ && toolBar_->Hwnd()) SendMessageW(toolBar_->Hwnd(), TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
}

void FrameWindow::ShowHelpFor(UINT id) {
  if (App* app = App::Current()) app->ShowHelp(Hwnd(), HelpPageFor(id));
}

bool FrameWindow::HelpIdAt(POINT screen, UINT& id) const {
  HWND hit = WindowFromPoint(screen);
  if (toolBar_ && hit && hit == toolBar_->Hwnd()) {
    POINT p = screen;
    ScreenToClient(hit, &p);
    const int index = static_cast<int>(SendMessageW(hit, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
    TBBUTTON button = {};
    if (index >= 0 && SendMessageW(hit, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) &&
        !(button.fsStyle & BTNS_SEP)) {
      id = static_cast<UINT>(button.idCommand);
      return true;
    }
  }
  // A control of the frame answers for every window inside it.
  for (HWND w = hit; w && w != Hwnd(); w = GetAncestor(w, GA_PARENT)) {
    if (GetAncestor(w, GA_PARENT) == Hwnd()) {
      id = static_cast<UINT>(GetDlgCtrlID(w));
      return true;
    }
  }
  return false;
}

bool FrameWindow::OnHelpModeMouse(UINT msg, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEMOVE:
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HELP)));
      return true;
    case WM_LBUTTONDOWN: {
      POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(Hwnd(), &screen);
      if (SendMessageW(Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTMENU) {
        // The menu opens as if clicked; a command chosen in it comes back
        // to RouteCommand while the mode is still on.
        helpMenuOpen_ = true;
        ReleaseCapture();
        DefProc(WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(screen.x, screen.y));
        helpMenuOpen_ = false;
        if (helpMode_) SetCapture(Hwnd());
        return true;
      }
      UINT id = 0;
      const bool found = HelpIdAt(screen, id);
      helpClickUp_ = true;
      LeaveHelpMode();
      if (found) ShowHelpFor(id);
      return true;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      LeaveHelpMode();
      return true;
    case WM_CAPTURECHANGED:
      if (!helpMenuOpen_ && reinterpret_cast<HWND>(lParam) != Hwnd()) LeaveHelpMode();
      return false;
    default:
      return false;
  }
}

std::wstring FrameWindow::CommandPrompt(UINT id) {
  std::wstring text = App::Current() ? App::Current()->String(id) : std::wstring();
  size_t nl = text.find(L'\n');
  return nl == std::wstring::npos ? text : text.substr(0, nl);
}

std::wstring FrameWindow::CommandTip(UINT id) {
  std::wstring text = App::Current() ? App::Current()->String(id) : std::wstring();
  size_t nl = text.find(L'\n');
  return nl == std::wstring::npos ? std::wstring() : text.substr(nl + 1);
}

void FrameWindow::SetMessageText(const std::wstring& text) {
  if (statusBar_) statusBar_->SetMessageText(text);
}

void FrameWindow::ShowIdleMessage() {
  SetMessageText(App::Current() ? App::Current()->String(IDS_IDLE_MESSAGE) : std::wstring());
}

void FrameWindow::UpdateMenu(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    UINT id = GetMenuItemID(menu, i);
    // Sub-menus (-1) and separators (0) have no command.
    if (id == static_cast<UINT>(-1) || id == 0) continue;
    MenuCmdUI cmd(menu, static_cast<UINT>(i), id);
    cmd.Finish(RouteUpdate(cmd));
  }
}

bool FrameWindow::OnFrameNotify(NMHDR& hdr, LRESULT& result) {
  switch (hdr.code) {
    case TTN_GETDISPINFOW: {
      auto& info = reinterpret_cast<NMTTDISPINFOW&>(hdr);
      // The tooltip reads the text after this returns: keep it in a member.
      tipText_ = CommandTip(static_cast<UINT>(hdr.idFrom));
      info.lpszText = const_cast<wchar_t*>(tipText_.c_str());
      info.hinst = nullptr;
      result = 0;
      return true;
    }
    case TBN_HOTITEMCHANGE: {
      if (!toolBar_ || hdr.hwndFrom != toolBar_->Hwnd()) return false;
      auto& hot = reinterpret_cast<NMTBHOTITEM&>(hdr);
      if (hot.dwFlags & HICF_LEAVING)
        ShowIdleMessage();
      else
        SetMessageText(CommandPrompt(static_cast<UINT>(hot.idNew)));
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

LRESULT FrameWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (helpMode_ && OnHelpModeMouse(msg, lParam)) return 0;
  switch (msg) {
    case WM_COMMAND:
      RouteCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnFrameNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_INITMENUPOPUP:
      if (HIWORD(lParam)) return 0;
      UpdateMenu(reinterpret_cast<HMENU>(wParam));
      // In help mode a disabled command can be asked about too; the next
      // opening of the menu disables it again.
      if (helpMode_) {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) EnableMenuItem(menu, i, MF_BYPOSITION | MF_ENABLED);
      }
      return 0;
    case WM_MENUSELECT: {
      const UINT flags = HIWORD(wParam);
      if (flags == 0xFFFF && lParam == 0)
        ShowIdleMessage();
      else if (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU))
        SetMessageText(std::wstring());
      else
        SetMessageText(CommandPrompt(LOWORD(wParam)));
      return 0;
    }
    case WM_EXITMENULOOP:
      ShowIdleMessage();
      break;
    case WM_ENABLE:
      // A modal dialog that disables the frame disables its floating
      // toolbar too: no command may start under the dialog.
      if (dockBar_) dockBar_->EnableFloating(wParam != FALSE);
      break;
    case WM_ACTIVATE:
      if (dockBar_ && LOWORD(wParam) != WA_INACTIVE) dockBar_->KeepInFrontLater();
      break;
    case WM_SETFOCUS:
      if (view_ && view_->Hwnd()) {
        SetFocus(view_->Hwnd());
        return 0;
      }
      break;
    default:
      break;
  }
  return Window::WndProc(msg, wParam, lParam);
}

void FrameWindow::OnSize(UINT type, int, int) {
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

void FrameWindow::OnDestroy() {
  App* app = App::Current();
  if (app && app->MainWindow() == this) PostQuitMessage(0);
}

}  // namespace ui
