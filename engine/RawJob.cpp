// The RAW middle of the pipeline: the spool data copied to the destination
// printer through the spooler as it stands.
#include <windows.h>
#include <winspool.h>

#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "engine/Gatepost.h"
#include "engine/Pipeline.h"
#include "engine/Scenario.h"

int AnalyseRawJob(JobContext&) { return 0; }

bool RunRawJob(JobContext& ctx) {
  dv::FileHandle data(
      CreateFileW(ctx.files.org.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!data) {
    LogLastError(1007, GetLastError());
    return false;
  }
  dv::PrinterHandle printer;
  if (!OpenPrinterW(const_cast<LPWSTR>(ctx.destinationPrinter.c_str()), printer.put(), nullptr) &&
      !OpenPrinterW(const_cast<LPWSTR>(ctx.printerName.c_str()), printer.put(), nullptr)) {
    LogLastError(1008, GetLastError());
    WriteEvent(1008, ctx.destinationPrinter);
    return false;
  }
  ctx.duplex = 1;
  WriteDuplexToControlFile(ctx);

  if (ctx.sendToGatepost && !GetGatepostQueueFile(ctx.gatepostQueueFile)) return false;
  DOC_INFO_1W di = {};
  di.pDocName = const_cast<LPWSTR>(ctx.outputJobName.c_str());
  di.pOutputFile = ctx.gatepostQueueFile.empty() ? nullptr : const_cast<LPWSTR>(ctx.gatepostQueueFile.c_str());
  di.pDatatype = const_cast<LPWSTR>(L"RAW");
  if (!StartDocPrinterW(printer.get(), 1, reinterpret_cast<LPBYTE>(&di))) {
    LogLastError(1009, GetLastError());
    return false;
  }
  if (!StartPagePrinter(printer.get())) {
    LogLastError(1010, GetLastError());
    EndDocPrinter(printer.get());
    return false;
  }
  std::vector<BYTE> buf(64 * 1024);
  DWORD n = 0;
  while (ReadFile(data.get(), buf.data(), static_cast<DWORD>(buf.size()), &n, nullptr) && n > 0) {
    DWORD written = 0;
    if (!WritePrinter(printer.get(), buf.data(), n, &written) || written != n) {
      LogLastError(1012, GetLastError());
      EndPagePrinter(printer.get());
      EndDocPrinter(printer.get());
      return false;
    }
  }
  if (!EndPagePrinter(printer.get())) {
    LogLastError(1011, GetLastError());
    EndDocPrinter(printer.get());
    return false;
  }
  if (!EndDocPrinter(printer.get())) {
    LogLastError(1012, GetLastError());
    return false;
  }
  return true;
}
