// The controller's application object: the start-up sequence (common
// controls, OLE, the document, main frame and spool list, the maximised main
// window, the menu check marks from the settings file, the entrance
// password) and the application's own commands (About, and New, Open, Save
// and Print Setup on the empty document).
#pragma once

#include "ui/App.h"

class CMainFrame;

// The profile key of the class library's applications under HKCU\Software;
// the controller's own key below it is HKCU\Software\<this>\<title>.
inline constexpr wchar_t kProfileRegistryKey[] = L"Local AppWizard-Generated Applications";

class CDorvaneApp final : public ui::App {
 public:
  CDorvaneApp() = default;
  ~CDorvaneApp() override;

  // Returns false when the program is to end; the failure is logged (events
  // 1001, 1003 or 2006) and the main window, if any, has been destroyed.
  bool InitInstance() override;
  int ExitInstance(int code) override;

  bool OnCommand(UINT id, UINT code) override;
  bool OnUpdate(ui::CmdUI& cmd) override;

  CMainFrame* MainFrame() const;

  void OnAppAbout();

 private:
  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  void OnFilePrintSetup();
  // Creates HKCU\Software\<kProfileRegistryKey>\<title>; failure is silent.
  void CreateProfileKey() const;

  bool oleInitialised_ = false;
};
