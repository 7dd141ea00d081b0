// The job submitter dvsubmit: runs one engine export for one job and ends.
//
// The outside print processor starts "dvsubmit.exe <job number> <export>"
// instead of calling the engine in its own process. The submitter loads
// Jobforge.Dll from the install folder by its full path, calls the named
// export with the job number, unloads the library and ends; it creates no
// window and reports nothing about the job itself (the engine does).
#pragma once

#include <windows.h>
#include <string>

// What the command line asks for: the job number at its start and the
// export name after its first blank.
struct SubmitCommand {
  int jobNumber = 0;
  std::wstring exportName;
};

// The command line after the program's own name. The job number is the
// decimal integer at its start (leading blanks and a sign allowed, digits up
// to the first non-digit, clamped to the int range; 0 when there is none).
// The export name is everything after the first blank, further blanks
// included, or the whole line when it has none; it is taken whole, whatever
// its length.
SubmitCommand ParseSubmitCommandLine(const std::wstring& commandLine);

// The export name in the system's ANSI code page, a blank for every
// character that has no equivalent there.
std::string ToAnsiExportName(const std::wstring& name);

class CdvsubmitApp {
 public:
  explicit CdvsubmitApp(std::wstring commandLine) : commandLine_(std::move(commandLine)) {}
  virtual ~CdvsubmitApp() = default;
  CdvsubmitApp(const CdvsubmitApp&) = delete;
  CdvsubmitApp& operator=(const CdvsubmitApp&) = delete;

  // Runs the job's export. Always returns FALSE, after which the program
  // ends: job number 0 silently, a library that cannot be loaded with event
  // 1016, an export that is not there with event 1017. Nothing is thrown.
  BOOL InitInstance();

 private:
  std::wstring commandLine_;
};
