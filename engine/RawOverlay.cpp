// The RAW overlay through the macro file; see RawOverlay.h.
//
// Per template layer in macro mode: StartMacroDocument (a device context on
// the node printer, a document whose output file is the macro file),
// drawing, EndMacroDocument (document ended, device context deleted),
// CopyMacroFile, and the caller deletes the file. Nothing survives from one
// layer to the next.
#include "engine/RawOverlay.h"

#include <windows.h>

#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/PlatformHelpers.h"
#include "engine/ClusterPrinter.h"
#include "engine/DocumentCalls.h"
#include "engine/DestinationPrinter.h"
#include "engine/JobFiles.h"
#include "engine/PrnLang.h"
#include "engine/Template.h"
#include "engine/VFile.h"

const wchar_t kMacroDocumentName[] = L"Dorvane  Job:694;Dorvane Macro File";

namespace {

constexpr BYTE kEsc = 0x1B;
constexpr BYTE kFormFeed = 0x0C;

}  // namespace

void CopyMacroData(VFile& in, VFile& out) {
  // The driver's job prologue (PJL, resets, paper and copies setup) stays
  // out: the RAW job has its own.
  int start = in.Find("\x1b*p0x0Y");
  if (start < 0) start = in.Find("\x1b&l~nX");
  if (start > 0) in.Read(nullptr, start);

  PrnLang scanner;
  for (;;) {
    if (out.Failed()) return;
    const int avail = in.Available(1);
    if (avail == 0) return;
    // Left-out commands are looked for between the data of commands only:
    // the data of a raster command is binary and passes untouched.
    if (in.Cursor()[0] == kEsc && scanner.DataRemaining() == 0 &&
        (in.Skip("\x1b&b1M") > 0 || in.Skip("\x1b&l~nX") > 0)) {
      // A command left out does not hide the form feed behind it.
      if (scanner.IsBetweenSequences() && in.Available(1) > 0 && in.Cursor()[0] == kFormFeed) return;
      continue;
    }
    const BYTE b = in.Cursor()[0];
    in.Advance(1);
    const int inCommand = scanner.Feed(b);
    // The page's own form feed ends the copy, after plain data as after a
    // command, so neither it nor the trailer reaches the job: the RAW page
    // keeps the single form feed of the page loop.
    if ((!inCommand || scanner.IsCommandComplete()) && in.Available(1) > 0 && in.Cursor()[0] == kFormFeed) {
      out.PutByte(b);
      return;
    }
    out.PutByte(b);
  }
}

std::wstring CTemplate::GetMacroFilePath() const { return GetJobFileName(jobNumber, L"Mcr"); }

void CTemplate::StartMacroDocument() {
  // A template without a file has nothing to draw: no document is made for
  // it and nothing is copied.
  if (IsEmpty()) return;
  // A macro file left by an earlier layer whose document never started
  // would otherwise be copied as this layer's.
  const std::wstring macroFile = GetMacroFilePath();
  DeleteFileW(macroFile.c_str());

  const std::wstring nodePrinter = GetClusterNodePrinter(GetClusterPrinterName(printerName));
  HDC dc = CreateDCW(GetPrinterDriverName(nodePrinter).c_str(), nodePrinter.c_str(), nullptr, nullptr);
  if (!dc) {
    LogLastError(1004, GetLastError());
    WriteEvent(1004, printerName);
    WriteEvent(1004, nodePrinter);
    return;
  }
  printerDC = dc;

  // The layer is rendered in the job's orientation and paper. The fields
  // are flagged too: a driver ignores a value whose flag is not set. A
  // printer whose default devmode cannot be read keeps its defaults.
  std::vector<BYTE> devmode = GetPrinterDefaultDevmode(nodePrinter);
  if (IsUsableDevmode(devmode)) {
    const std::wstring controlFile = GetJobFileName(jobNumber, L"Ctl");
    DEVMODEW* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
    dm->dmOrientation = static_cast<short>(GetIniInt(L"General", L"Orientation", controlFile, 1));
    dm->dmPaperSize = static_cast<short>(GetIniInt(L"General", L"DevmodePaper", controlFile, 9));
    dm->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
    SetLastError(0);
    if (!GetDocumentCalls().resetDC(dc, dm)) {
      const DWORD error = GetLastError();
      if (error != 0) LogLastError(1020, error);
      return;
    }
  }

  DOCINFOW di = {};
  di.cbSize = sizeof(di);
  di.lpszDocName = kMacroDocumentName;
  di.lpszOutput = macroFile.c_str();
  di.lpszDatatype = L"RAW";
  if (GetDocumentCalls().startDoc(dc, &di) <= 0) LogLastError(1018, GetLastError());
  if (GetDocumentCalls().startPage(dc) <= 0) LogLastError(1019, GetLastError());
}

void CTemplate::EndMacroDocument() {
  if (IsEmpty() || !printerDC) return;
  // Results not examined: a document that never started ends with errors.
  EndPage(printerDC);
  EndDoc(printerDC);
  DeleteDC(printerDC);
  // The layer's device context is gone; nothing may draw on it again.
  printerDC = nullptr;
}

void CTemplate::CopyMacroFile(const std::wstring& path) {
  if (IsEmpty()) return;
  dv::FileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    LogLastError(1013, GetLastError());
    return;
  }
  if (!output) return;
  VFile in(file.get(), VFile::kReadFile);
  CopyMacroData(in, *output);
}
