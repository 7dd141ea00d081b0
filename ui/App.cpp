// Application object and message loop; see App.h.
#include "ui/App.h"

#include "ui/CmdUI.h"
#include "ui/FrameWindow.h"
#include "ui/StandardIds.h"

namespace ui {

namespace {

App* g_current = nullptr;

// The WM_SYSTIMER message that drives caret blinking; it must not start an
// idle pass any more than WM_TIMER does.
constexpr UINT kSysTimer = 0x0118;

}  // namespace

bool IdleFilter::StartsIdle(const MSG& msg) {
  switch (msg.message) {
    case WM_PAINT:
    case WM_TIMER:
    case kSysTimer:
      return false;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      if (msg.message == lastMouseMessage_ && msg.pt.x == lastMouse_.x && msg.pt.y == lastMouse_.y) return false;
      lastMouse_ = msg.pt;
      lastMouseMessage_ = msg.message;
      return true;
    default:
      return true;
  }
}

App::App() : instance_(GetModuleHandleW(nullptr)) { g_current = this; }

App::~App() {
  DestroyMainWindow();
  if (g_current == this) g_current = nullptr;
}

App* App::Current() { return g_current; }

std::wstring App::String(UINT id) const {
  const wchar_t* text = nullptr;
  int n = LoadStringW(instance_, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (n <= 0 || !text) return std::wstring();
  return std::wstring(text, n);
}

std::wstring App::Title() const {
  std::wstring title = String(IDS_APP_TITLE);
  if (!title.empty()) return title;
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name = path;
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name = name.substr(slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

void App::SetMainWindow(std::unique_ptr<Window> window) {
  DestroyMainWindow();
  mainWindow_ = std::move(window);
}

void App::DestroyMainWindow() {
  if (!mainWindow_) return;
  mainWindow_->Destroy();
  mainWindow_.reset();
}

bool App::Dispatch(MSG& msg) {
  if (mainWindow_ && mainWindow_->Hwnd() && mainWindow_->PreTranslateMessage(msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

int App::Run() {
  if (!InitInstance()) {
    DestroyMainWindow();
    return ExitInstance(0);
  }
  MSG msg = {};
  bool idle = true;
  for (;;) {
    if (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      OnIdle();
      idle = false;
    }
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    Dispatch(msg);
    if (idleFilter_.StartsIdle(msg)) idle = true;
  }
  DestroyMainWindow();
  return ExitInstance(static_cast<int>(msg.wParam));
}

bool App::PumpPending() {
  MSG msg;
  bool burst = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    Dispatch(msg);
    if (idleFilter_.StartsIdle(msg)) burst = true;
  }
  if (burst) OnIdle();
  return true;
}

void App::OnIdle() {
  if (mainWindow_ && mainWindow_->Hwnd()) mainWindow_->OnIdleUpdate();
}

bool App::OnCommand(UINT id, UINT) {
  switch (id) {
    case ID_APP_EXIT:
      if (HWND main = MainHwnd()) PostMessageW(main, WM_CLOSE, 0, 0);
      return true;
    default:
      return false;
  }
}

bool App::OnUpdate(CmdUI& cmd) {
  switch (cmd.Id()) {
    case ID_APP_EXIT:
      return true;
    default:
      return false;
  }
}

std::wstring App::HelpFilePath() const {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n < MAX_PATH ? n : 0);
  size_t dot = name.rfind(L'.');
  size_t slash = name.rfind(L'\\');
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) name.resize(dot);
  return name + L".chm";
}

App::HelpEngine& App::HelpEngineOverride() {
  static HelpEngine engine;
  return engine;
}

void App::ShowHelp(HWND owner, const std::wstring& page) const {
  constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
  constexpr UINT kDisplayToc = 0x0001;    // HH_DISPLAY_TOC
  const std::wstring target = page.empty() ? HelpFilePath() : HelpFilePath() + L"::/" + page;
  const UINT command = page.empty() ? kDisplayToc : kDisplayTopic;
  if (HelpEngineOverride()) {
    HelpEngineOverride()(owner, target, command);
    return;
  }
  // The help engine is loaded on first use and stays loaded: freeing it while
  // one of its windows is open would pull the code from under that window.
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  static HtmlHelpFn htmlHelp = [] {
    HMODULE engine = LoadLibraryW(L"hhctrl.ocx");
    return engine ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(engine, "HtmlHelpW"))) : nullptr;
  }();
  if (htmlHelp) htmlHelp(owner, target.c_str(), command, 0);
}

void App::ShowHelpFor(HWND owner, UINT id) const {
  const auto* frame = dynamic_cast<const FrameWindow*>(mainWindow_.get());
  ShowHelp(owner, frame ? frame->HelpPageFor(id) : std::wstring());
}

void CheckMainMenuItem(UINT id, BOOL check) {
  App* app = App::Current();
  HWND main = app ? app->MainHwnd() : nullptr;
  HMENU menu = main ? GetMenu(main) : nullptr;
  if (!menu) return;
  CheckMenuItem(menu, id, MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace ui
