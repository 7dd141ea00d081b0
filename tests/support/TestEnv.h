// Helpers for tests that run under Wine against the real platform.
//
// - ScopedInstallFolder: a fresh install folder (with spool\) under the
//   prefix's C:\dvtest, registered as HKLM\SOFTWARE\KVD\Dorvane\Path for the
//   scope and removed afterwards.
// - TestPrinter: a printer of the test PostScript driver writing to a file of
//   its own, removed at the end of the scope.
// - File helpers, PostScript page counting and a Ghostscript render into a
//   pixel buffer for placement checks.
// - ImportPatch: a system function of the test program's own imports
//   replaced by a stand-in for the scope.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace dvtest {

// Name of the running test ("Suite.Case"), usable in file and printer names.
std::wstring CurrentTestName();

class ScopedInstallFolder {
 public:
  ScopedInstallFolder();  // folder named after the current test
  explicit ScopedInstallFolder(const std::wstring& name);
  ~ScopedInstallFolder();
  ScopedInstallFolder(const ScopedInstallFolder&) = delete;
  ScopedInstallFolder& operator=(const ScopedInstallFolder&) = delete;

  const std::wstring& Path() const { return path_; }  // with trailing backslash
  std::wstring SpoolFolder() const { return path_ + L"spool\\"; }
  std::wstring SettingsFile() const { return path_ + L"Dorvane.ini"; }
  std::wstring EventLog() const { return path_ + L"Events.log"; }
  // Lines of Events.log without their CR LF.
  std::vector<std::string> EventLines() const;
  // The codes of the events, in the order they were written.
  std::vector<int> EventCodes() const;
  // The details (everything after the time) of the events of one code.
  std::vector<std::string> EventDetails(int code) const;
  // Copies a built program or library (by its path) into the folder.
  bool Install(const std::wstring& builtFile, const std::wstring& asName = std::wstring()) const;

 private:
  std::wstring path_;
  std::wstring previous_;
  bool hadPrevious_ = false;
};

class TestPrinter {
 public:
  TestPrinter();  // named after the current test
  explicit TestPrinter(const std::wstring& name);
  ~TestPrinter();
  TestPrinter(const TestPrinter&) = delete;
  TestPrinter& operator=(const TestPrinter&) = delete;

  bool ok() const { return ok_; }
  const std::wstring& Name() const { return name_; }
  const std::wstring& OutputFile() const { return output_; }
  // The port writes each job into the file from its start without
  // truncating it: clear the file before each job.
  void ClearOutput() const;
  std::string Output() const;

 private:
  std::wstring name_;
  std::wstring output_;
  bool ok_ = false;
};

// Folder of the running test program (where the build put it).
std::wstring ProgramFolder();
// Build-tree path of a built file relative to the x64 build folder, e.g.
// L"engine\\Jobforge.Dll".
std::wstring BuiltFile(const std::wstring& relative);

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExistsAt(const std::wstring& path);
// Recursively removes a folder; missing folders are fine.
void RemoveTree(const std::wstring& path);

// Number of "%%Page:" lines in a PostScript job.
int CountPostScriptPages(const std::string& ps);

// A page rendered by Ghostscript: RGB pixels, row 0 at the top.
struct RenderedPage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  bool IsInk(int x, int y, int threshold = 128) const;  // darker than threshold
  uint32_t Pixel(int x, int y) const;                     // 0xRRGGBB
  // Share of dark pixels in a rectangle (device pixels).
  double InkRatio(int x0, int y0, int x1, int y1) const;
};

// Renders every page of a PostScript file at dpi through Ghostscript (run
// as a Linux program from Wine). Empty when Ghostscript fails.
std::vector<RenderedPage> RenderPostScript(const std::wstring& psPath, int dpi);

// Unix path of a Windows path (through Wine's drive mapping).
std::wstring UnixPath(const std::wstring& windowsPath);

// Runs a /bin/sh command line as a Linux process and waits for it; returns
// its exit code, or -1 on a time-out.
int RunUnixShell(const std::wstring& shellCommand, DWORD timeoutMs = 120000);

// Runs a command line and waits; returns its exit code or -1.
int RunAndWait(const std::wstring& commandLine, DWORD timeoutMs = 120000);

// Points this program's imports of a system function at a stand-in while
// it lives, so that a test can make one call of the code under test meet a
// fault (a file still locked by its writer, say). Only the program's own
// import table changes: code linked into the test program is reached,
// libraries it loads are not.
class ImportPatch {
 public:
  ImportPatch(const wchar_t* module, const char* function, void* standIn);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  // The function itself, for the stand-in to hand calls on to; null when
  // it was not found.
  void* Original() const { return original_; }
  // How many import slots were pointed at the stand-in (0: none found).
  int Patched() const { return static_cast<int>(slots_.size()); }

 private:
  void* original_ = nullptr;
  std::vector<void**> slots_;
};

}  // namespace dvtest
