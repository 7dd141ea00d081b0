// The main frame: a top-level window with menu, accelerators and icon by
// resource id, an optional toolbar (along the top, or in a DockBar on any
// side or floating) and status bar along the bottom, and one view filling
// the rest.
//
// Command routing: WM_COMMAND goes to the view, then to the frame, then to the
// application, each OnCommand answering true when it handled it. Commands
// from the menu, the accelerators and the toolbar are first checked against
// their update handlers and dropped while disabled, so that a disabled
// command cannot run from a key. Command-UI updates run the same chain
// (RouteUpdate): menus when they open, toolbar buttons and status panes on the
// application's idle pass while their bar is shown.
//
// The frame handles the Toolbar and Status Bar toggles, the Caps/Num/Scroll
// indicators, the status-bar prompts of menu items and toolbar buttons (the
// text before "\n" of the command's string) and the toolbar's tooltips (the
// text after it). Destroying the application's main frame ends the program.
//
// Context help: in help mode the mouse is the frame's, with the help
// cursor. The next click on a toolbar button or on one of the frame's
// controls, or the next command from the menu or a key, opens the help page
// of that command or control (HelpPageFor; the help file's contents when it
// names none) in place of running it; the release of that click is the
// mode's too, and no button is left drawn hot. A click on the menu bar opens
// the menu so that one of its commands can be chosen. Escape, or a click
// anywhere else, leaves the mode without help.
#pragma once

#include <windows.h>
#include <string>

#include "ui/Window.h"

namespace ui {

class DockBar;
class StatusBar;
class ToolBar;

class FrameWindow : public Window {
 public:
  FrameWindow() = default;
  ~FrameWindow() override;

  // Creates the frame; menuId, accelId and iconId name resources of the
  // program (0 for none). False when the window was not created.
  bool CreateFrame(const std::wstring& title, DWORD style, UINT menuId, UINT accelId, UINT iconId);

  // Loads the accelerator table accelId of the program for a frame made
  // without CreateFrame (a frame hosted in a dialog); false when the table
  // does not exist (the frame then has no keys of its own).
  bool LoadAcceleratorTable(UINT accelId);

  void SetView(Window* view) { view_ = view; }
  Window* View() const { return view_; }
  // The bars are the derived frame's members, created in its OnCreate.
  void SetToolBar(ToolBar* bar) { toolBar_ = bar; }
  void SetStatusBar(StatusBar* bar) { statusBar_ = bar; }
  // A toolbar held by a dock bar is shown, hidden and laid out through it.
  void SetDockBar(DockBar* bar) { dockBar_ = bar; }

  // Runs a command through view, frame and application; false when no one
  // handled it (or it was refused as disabled).
  bool RouteCommand(UINT id, UINT code, HWND control);
  // Runs an update through view, frame and application; true when one of them
  // handles the command.
  bool RouteUpdate(CmdUI& cmd);
  // What the update chain says of a command now.
  bool IsCommandEnabled(UINT id);

  // Toolbar and status bar shown or hidden, with a new layout.
  void ShowBar(HWND bar, bool show);
  void ShowToolBar(bool show);
  void RecalcLayout();
  // The client area above the status bar, where bars dock and the view
  // lies (client coordinates).
  RECT DockArea() const;

  // Context help mode (see above).
  void EnterHelpMode();
  void LeaveHelpMode();
  bool InHelpMode() const { return helpMode_; }

  // Prompt (before "\n") and tip (after it) of a command's string.
  static std::wstring CommandPrompt(UINT id);
  static std::wstring CommandTip(UINT id);
  void SetMessageText(const std::wstring& text);
  void ShowIdleMessage();

  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnUpdate(CmdUI& cmd) override;
  bool PreTranslateMessage(MSG& msg) override;
  void OnIdleUpdate() override;

  // The help page of a command or of a control of the frame by its id; ""
  // for the help file's contents. The application's main frame answers for
  // the program's dialogs too (App::ShowHelpFor).
  virtual std::wstring HelpPageFor(UINT id) const { return std::wstring(); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnDestroy() override;

 private:
  void UpdateMenu(HMENU menu);
  bool OnFrameNotify(NMHDR& hdr, LRESULT& result);
  // Help mode's mouse: true when the message was the mode's.
  bool OnHelpModeMouse(UINT msg, LPARAM lParam);
  // The command of the toolbar button, or the id of the frame's control,
  // under a screen point; false when there is none.
  bool HelpIdAt(POINT screen, UINT& id) const;
  void ShowHelpFor(UINT id);

  Window* view_ = nullptr;
  ToolBar* toolBar_ = nullptr;
  StatusBar* statusBar_ = nullptr;
  DockBar* dockBar_ = nullptr;
  bool helpMode_ = false;
  bool helpMenuOpen_ = false;
  // The click that asked for help has yet to be released.
  bool helpClickUp_ = false;
  HACCEL accel_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::wstring tipText_;
};

}  // namespace ui
