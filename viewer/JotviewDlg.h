// CJotviewDlg: the viewer's one dialog and main window. It lists the event
// log newest first (the file's last line on top, numbered highest), and
// refreshes the list or clears the log on the user's command.
//
// A log that cannot be opened, or no log chosen when none was given, ends
// the program with exit code 1 after a message box: the dialog ends at once
// and ExitCode() says 1. The viewer never writes to the event log.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "viewer/JotviewLog.h"

// The help engine's entry (WinHelpW by default); tests replace it.
using HelpEngine = std::function<BOOL(HWND, const std::wstring&, UINT, ULONG_PTR)>;
HelpEngine& JotviewHelpEngine();

class CJotviewDlg final : public ui::Dialog {
 public:
  // commandLine: the program's argument, taken unchanged as the log path.
  explicit CJotviewDlg(const std::wstring& commandLine);
  ~CJotviewDlg() override;

  // 0, or 1 when the program is to end because no log could be shown.
  int ExitCode() const { return exitCode_; }
  // The help file handed to the help engine by the Help button.
  std::wstring helpFilePath;

  // Asks for a log file with the browse control's file dialog; the chosen
  // path, or "" when cancelled.
  static std::wstring BrowseForLogFile();
  // Adds one line as a row at the top; false (nothing added) without a comma.
  bool AddLogLine(const std::string& line);
  // Loads the file into the list; false when it could not be opened (the
  // program is then ending).
  bool LoadLog(const std::wstring& path);
  void OnRefresh();
  void OnClear();
  void OnHelp() override;

  ui::Button clearButton;
  ui::ListView list;
  ui::Button refreshButton;
  ui::Button closeButton;
  ui::Button helpButton;
  HICON icon = nullptr;
  ui::ImageList imageList;
  int count = 0;
  std::wstring logPath;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  void OnSize(UINT type, int cx, int cy) override;
  INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Widens the columns to their headers and the window, within the
  // screen's work area, until every column fits in the list ("Additional
  // Info" included).
  void WidenToShowEveryColumn();
  void InsertRow(int index, const LogRow& row, int number);
  void EndProgram(const std::wstring& message);
  bool OnPaintMinimized();

  std::wstring commandLine_;
  int exitCode_ = 0;
  bool helpShown_ = false;
};
