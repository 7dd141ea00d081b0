// The EMF middle of the pipeline: the destination printer's settings and
// devmode, its device context, the document and its pages.
//
// Order: the spool data opened (and its pages counted when the control file
// gives no count); driver name and the scenario's forced settings for the
// record's orientation; the destination devmode from the job's devmode file (or the
// printer's default) with forcing, the one-sided rule and the sheet turn;
// the device context with its fallback to PrinterName; Job/Duplex; the
// scenario gets the device context; the document starts (into the Gatepost
// queue file when Gatepost is on); every page is placed 1-up or n-up with its
// template layers; the document ends and the device context is deleted.
//
// Every page within the job's page count must come from the spool data, and
// a count taken from the stream stands only when the stream ends cleanly: a
// page the stream cannot deliver (cut short, damaged) aborts the document
// and keeps the job's files, so a job is never reported printed with pages
// missing.
#include <windows.h>

#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/SpooledEmf.h"
#include "common/StringUtil.h"
#include "engine/DestinationPrinter.h"
#include "engine/DocumentCalls.h"
#include "engine/EmfPageOutput.h"
#include "engine/EngineRegistry.h"
#include "engine/Gatepost.h"
#include "engine/Pipeline.h"
#include "engine/Scenario.h"

bool RunEmfJob(JobContext& ctx) {
  // The spool data, held open for the whole job: one open instead of one per
  // page, and the job's only open of it. A page count of 0 or less in the
  // control file means the pages the stream holds, as a RAW job counts its
  // own; they are counted on the held file, since a count through an open
  // of its own could find the file still locked by its writer (and count
  // nothing) just before the hold finds it free with every page in it. The
  // count is written back.
  CSpooledEmf reader(std::wstring(), 0);  // no path yet: nothing is counted
  reader.SetFile(ctx.files.org);
  if (!reader.HoldFile()) {
    LogLastErrorWithText(1007, GetLastError(), dv::Format(L"File name: %ls", ctx.files.org.c_str()));
    return false;
  }
  reader.SetPageCount(ctx.totalPages > 0 ? ctx.totalPages : 0);
  if (ctx.totalPages <= 0) {
    ctx.totalPages = reader.GetPageCount();
    if (reader.IsCut()) {
      // The stream breaks off after the pages counted, so they are not the
      // whole job: the page after them is one the stream cannot deliver, and
      // the page loop fails the job there as it does for a page missing
      // within a given count. The control file keeps the count it had.
      ++ctx.totalPages;
      reader.SetPageCount(ctx.totalPages);
    } else {
      SetIniInt(L"General", L"TotalPages", ctx.files.ctl, ctx.totalPages);
      SetIniInt(L"Job", L"Pages", ctx.files.ctl, ctx.totalPages);
    }
  }

  // 9. What the scenario forces on the destination printer.
  const PrinterSettings settings =
      ReadPrinterSettings(ctx.destinationPrinter, ctx.scenario->GetScenarioFile(), ctx.record.orientation);

  // 10. The destination devmode.
  DevmodeRequest request;
  request.jobDevmode = ReadJobDevmode(ctx.files.dvm, ctx.destinationPrinter, ctx.printerName);
  request.settings = settings;
  request.totalPages = ctx.totalPages;
  request.pagesPerSide = ctx.pagesPerSide;
  request.orientation = ctx.orientation;
  const DestinationDevmode destination = BuildDestinationDevmode(request);
  for (const EngineEvent& e : destination.events) WriteEvent(e.code, e.detail);

  // 11. The device context (event 1004 when neither printer gives one).
  dv::DcHandle dc = CreateDestinationDC(ctx.destinationPrinter, settings.driverName, ctx.printerName,
                                        destination.devmode);
  if (!dc) return false;

  // 12. The duplex value and the scenario's device context. The macro mode
  // and the job number come first: only the reload at SetPrinterDC passes
  // them on to the templates.
  ctx.duplex = destination.duplex;
  WriteDuplexToControlFile(ctx);
  ctx.scenario->SetMacroMode(0);
  ctx.scenario->SetJobNumber(ctx.jobNumber);
  ctx.scenario->SetPrinterDC(dc.get());

  // 13-14. The document. A document the printer refuses prints nothing, so
  // the job is kept rather than reported as printed.
  if (ctx.sendToGatepost && !GetGatepostQueueFile(ctx.gatepostQueueFile)) return false;
  const std::wstring datatype = GetIniString(L"General", L"Datatype", ctx.files.ctl, L"NT EMF 1.008");
  DOCINFOW di = {};
  di.cbSize = sizeof(di);
  di.lpszDocName = ctx.outputJobName.c_str();
  di.lpszOutput = ctx.gatepostQueueFile.empty() ? nullptr : ctx.gatepostQueueFile.c_str();
  di.lpszDatatype = datatype.c_str();
  if (GetDocumentCalls().startDoc(dc.get(), &di) <= 0) {
    LogLastError(1009, GetLastError());
    return false;
  }

  // 15. The pages, read forward from the spool data once.
  {
    ScenarioLayers layers(*ctx.scenario);
    EmfPageJob job;
    job.totalPages = ctx.totalPages;
    job.pagesPerSide = ctx.pagesPerSide;
    job.orientation = ctx.orientation;
    job.recordOrientation = ctx.record.orientation;
    job.controlFile = ctx.files.ctl;
    const EmfPagesResult pages = PrintEmfPages(dc.get(), reader, layers, job);
    if (pages.failedEvent == 1007) {
      LogLastErrorWithText(1007, pages.error,
                           dv::Format(L"Page %d, File name: %ls", pages.failedPage, ctx.files.org.c_str()));
    } else if (pages.failedEvent != 0) {
      LogLastError(pages.failedEvent, pages.error);
    }
    if (pages.failedEvent != 0) {
      AbortDoc(dc.get());
      return false;
    }
  }
  reader.ReleaseFile();

  // 16. The end of the document; the device context goes with dc.
  if (GetDocumentCalls().endDoc(dc.get()) <= 0) {
    LogLastError(1012, GetLastError());
    return false;
  }
  return true;
}
