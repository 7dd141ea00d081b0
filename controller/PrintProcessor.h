// Registration of the system's print processor with the spooler, and the
// print processor of single printers.
//
// Jobs reach the system through the print processor "Dorvane" (file
// Dorvane.Dll, delivered beside the controller): every printer whose print
// processor it is hands its jobs to it. These free functions keep no state,
// show nothing and log nothing; each reports only through its result and the
// caller (the options dialog) turns that into a message. They run on the
// controller's window thread.
//
// The spooler calls that register, remove and list print processors go
// through Spooler(): a test replaces them there, because the spooler of the
// platform under test accepts any registration and deletes nothing. An entry
// left empty calls the platform.
#pragma once

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

inline constexpr wchar_t kPrintProcessorFile[] = L"Dorvane.Dll";
inline constexpr wchar_t kPrintProcessorName[] = L"Dorvane";
// Windows' standard print processor, to which printers are handed back.
inline constexpr wchar_t kStandardPrintProcessor[] = L"WinPrint";

struct SpoolerCalls {
  // GetPrintProcessorDirectoryW of the local machine; false when the spooler
  // gives none.
  std::function<bool(std::wstring& directory)> printProcessorDirectory;
  std::function<BOOL(const std::wstring& file, const std::wstring& name)> addPrintProcessor;
  std::function<BOOL(const std::wstring& name)> deletePrintProcessor;
  // EnumPrintProcessorsW level 1; false when the list could not be read.
  std::function<bool(std::vector<std::wstring>& names)> enumPrintProcessors;
  // Replacements of the printer-level operations below (the platform's
  // spooler handles those faithfully; tests of the uninstall use these to
  // keep the prefix's printers out of it).
  std::function<std::vector<std::wstring>()> localPrinterNames;
  std::function<std::wstring(const std::wstring& printer)> printerPrintProcessor;
  std::function<BOOL(const std::wstring& printer, const std::wstring& processor)> setPrinterPrintProcessor;
};

SpoolerCalls& Spooler();

class ScopedSpooler {
 public:
  ScopedSpooler() : saved_(Spooler()) {}
  ~ScopedSpooler() { Spooler() = saved_; }
  ScopedSpooler(const ScopedSpooler&) = delete;
  ScopedSpooler& operator=(const ScopedSpooler&) = delete;

 private:
  SpoolerCalls saved_;
};

// Copies Dorvane.Dll of the controller's folder into the spooler's print
// processor directory (overwriting; a failed copy is not looked at, and no
// copy is tried when the spooler names no directory) and registers it as
// "Dorvane". Returns the spooler's answer to the registration.
BOOL InstallPrintProcessor();

// Deletes the print processor; when the spooler refuses (printers still use
// it), hands every local printer whose print processor is exactly `name` to
// "WinPrint" and deletes once more. Returns the answer of the last delete; the
// printers handed back stay on "WinPrint" whatever it is. The file stays in
// the print processor directory.
BOOL UninstallPrintProcessor(const std::wstring& name);

// True when the spooler lists a print processor of exactly this name (case
// counts); false also when the list cannot be read.
BOOL IsPrintProcessorInstalled(const std::wstring& name);

// The printer's print processor; "" on any failure.
std::wstring GetPrinterPrintProcessor(const std::wstring& printer);

// Sets the printer's print processor, its datatype to "RAW" and its attribute
// word by PrintProcessorAttributes. Opens the printer with full access, so a
// printer the user may not administer gives FALSE; TRUE only when the spooler
// accepted the changed record.
BOOL SetPrinterPrintProcessor(const std::wstring& printer, const std::wstring& processor);

// The attribute word a printer gets with a print processor: RAW_ONLY,
// DO_COMPLETE_FIRST and every bit from 0x10000 up cleared (the mask is 16
// bits wide), then DO_COMPLETE_FIRST set.
DWORD PrintProcessorAttributes(DWORD attributes);

// Names of the local printers in the spooler's order; empty on any failure.
std::vector<std::wstring> GetLocalPrinterNames();

// Appends every local printer's name to the list box (LB_ADDSTRING); items
// already there stay.
void FillLocalPrinterList(HWND listBox);
