// CJotviewApp: the event log viewer's application object. It runs the one
// dialog modally as the main window and ends the program when it closes.
#pragma once

#include <string>

#include "ui/App.h"

// The log path on a command line: everything after the program's name and
// the blanks that follow it, unchanged (quotation marks are kept).
std::wstring CommandLineArgument(const wchar_t* commandLine);
// The help file: the program's folder followed by "Tembla.hlp".
std::wstring JotviewHelpFilePath(const std::wstring& programPath);

class CJotviewApp final : public ui::App {
 public:
  bool InitInstance() override;
  int ExitInstance(int code) override { return exitCode_; }

 private:
  int exitCode_ = 0;
};
