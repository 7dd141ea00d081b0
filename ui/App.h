// The application object: the message loop with its idle pass, string
// resources, the main window and the application's place at the end of the
// command routing chain.
//
// One App exists at a time (App::Current()). Run() calls InitInstance, loops
// until WM_QUIT and calls ExitInstance. After each burst of messages the loop
// makes one idle pass (OnIdle: the main window's toolbar and status-pane
// updates); paint, timer and unchanged mouse-move messages do not start a new
// burst, so an idle pass does not cause the next one by repainting. Tests that
// drive windows in process use PumpPending() in place of Run().
#pragma once

#include <windows.h>
#include <functional>
#include <memory>
#include <string>

#include "ui/Window.h"

namespace ui {

class CmdUI;

// Tells which messages start a new burst for the idle pass.
class IdleFilter {
 public:
  bool StartsIdle(const MSG& msg);

 private:
  POINT lastMouse_ = {-1, -1};
  UINT lastMouseMessage_ = 0;
};

class App {
 public:
  App();
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  static App* Current();

  HINSTANCE Instance() const { return instance_; }
  // The program's title for captions: string IDS_APP_TITLE, else the
  // program's file name without extension.
  std::wstring Title() const;
  // A string resource of the program, "" when it does not exist.
  std::wstring String(UINT id) const;

  Window* MainWindow() const { return mainWindow_.get(); }
  HWND MainHwnd() const { return mainWindow_ ? mainWindow_->Hwnd() : nullptr; }
  void SetMainWindow(std::unique_ptr<Window> window);
  // Destroys the main window and its object.
  void DestroyMainWindow();

  // InitInstance, the message loop, ExitInstance; the exit code.
  int Run();
  virtual bool InitInstance() { return true; }
  // Called once when the program ends; returns the exit code.
  virtual int ExitInstance(int code) { return code; }

  // Dispatches every pending message, then makes the idle pass when one of
  // them started a burst. Returns false when WM_QUIT was taken from the
  // queue (it is not put back).
  bool PumpPending();
  // One idle pass.
  virtual void OnIdle();

  // The end of the routing chain. The base handles ID_APP_EXIT (closes the
  // main window).
  virtual bool OnCommand(UINT id, UINT code);
  virtual bool OnUpdate(CmdUI& cmd);

  // Opens the program's HTML Help file (the program's path with ".chm") at
  // its contents, or at one of its pages ("spool.htm"). Does nothing when
  // the help engine is missing.
  void ShowHelp(HWND owner, const std::wstring& page = std::wstring()) const;
  std::wstring HelpFilePath() const;
  // Opens the page that the main frame's help map (FrameWindow::HelpPageFor)
  // names for id, the help file's contents when it names none (or there is
  // no main frame), owned by owner.
  void ShowHelpFor(HWND owner, UINT id) const;

  // The help engine's entry (HtmlHelpW: owner, file or file::/page, command);
  // a test replaces it so that no help window opens. Empty: the platform's.
  using HelpEngine = std::function<void(HWND owner, const std::wstring& target, UINT command)>;
  static HelpEngine& HelpEngineOverride();

 private:
  bool Dispatch(MSG& msg);

  HINSTANCE instance_;
  std::unique_ptr<Window> mainWindow_;
  IdleFilter idleFilter_;
};

// Sets or clears the check mark of a command in the main window's menu;
// does nothing while there is no main window or it has no menu.
void CheckMainMenuItem(UINT id, BOOL check);

}  // namespace ui
