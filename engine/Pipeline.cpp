// The job pipeline common to EMF and RAW jobs; see Pipeline.h.
//
// Order of the steps: job file paths; RAW analysis (instructions jobs end
// here); printer name and settings; cluster name of the destination; the
// Gatepost forced printer; page counts and the output job name; the record
// and the scenario choice; the kind-specific middle (settings, device
// context or printer handle, document and pages); the Gatepost hand-off;
// deletion of the job's files under DeleteFilesAfter.
#include "engine/Pipeline.h"

#include <memory>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/ClusterPrinter.h"
#include "engine/EngineRegistry.h"
#include "engine/Gatepost.h"
#include "engine/Scenario.h"

namespace {

// SendToGatepost is read as text and converted as a decimal integer: a value
// that does not begin with digits is 0 (off), "2" is on.
bool ReadSendToGatepost(const std::wstring& settingsFile) {
  return _wtoi(GetIniString(L"General", L"SendToGatepost", settingsFile, L"0").c_str()) > 0;
}

}  // namespace

std::wstring BuildOutputJobName(const std::wstring& document) {
  int sum = 0;
  for (wchar_t c : document)
    if (c < 128) sum += c;
  return dv::Format(L"Dorvane  Job:%03d;%ls", sum % 1000, document.c_str());
}

void WriteDuplexToControlFile(const JobContext& ctx) { SetIniInt(L"Job", L"Duplex", ctx.files.ctl, ctx.duplex); }

namespace {

int RunPipeline(int jobNumber, bool isRaw) {
  JobContext ctx;
  ctx.jobNumber = jobNumber;
  ctx.isRaw = isRaw;

  // 1. The job's files.
  ctx.files = GetJobFileNames(jobNumber);

  // 2. RAW jobs: what the data is.
  if (isRaw) {
    int kind = AnalyseRawJob(ctx);
    if (kind == -1) {
      // An instructions job is not printed: it lets its user's next job
      // through without a scenario.
      AddUserToIgnoreList(ctx.files.ctl, ctx.files.org);
      DeleteJobFiles(ctx.files.ctl, ctx.files.job, ctx.files.org);
      return 0;
    }
    ctx.passThrough = kind == 0;
  }

  // 3. Printer and settings.
  ctx.printerName = GetIniString(L"General", L"PrinterName", ctx.files.ctl);
  ctx.settingsFile = ReadInstallPath() + L"Dorvane.ini";

  // 4. The destination printer through the cluster rule.
  ctx.destinationPrinter = GetClusterPrinterName(ctx.printerName);

  // 6. Gatepost: SendToGatepost is read once for the whole job, so one job
  // never sees two values. A forced printer replaces both names.
  ctx.sendToGatepost = ReadSendToGatepost(ctx.settingsFile);
  if (ctx.sendToGatepost) {
    std::wstring forced = GetIniString(L"General", L"GatepostForcePrinter", ctx.settingsFile);
    if (!forced.empty()) {
      ctx.destinationPrinter = forced;
      ctx.printerName = forced;
    }
  }

  // 7. Pages and the output job name.
  ctx.totalPages = GetIniInt(L"General", L"TotalPages", ctx.files.ctl, 1);
  ctx.pagesPerSide = GetIniInt(L"General", L"NumberOfPagesPerSide", ctx.files.ctl, 1);
  ctx.orientation = GetIniInt(L"General", L"Orientation", ctx.files.ctl, 1);
  ctx.document = GetIniString(L"General", L"Document", ctx.files.ctl);
  ctx.outputJobName = BuildOutputJobName(ctx.document);

  // 8. The record and the scenario.
  FillJobInformation(ctx.record, ctx.files.ctl, ctx.printerName, ctx.pagesPerSide);
  auto scenario = std::make_unique<CScenario>();
  ctx.scenario = scenario.get();
  scenario->SelectScenario(ctx.record);
  SetIniString(L"General", L"ScenarioFile", ctx.files.ctl, scenario->GetScenarioFile());
  SetIniString(L"General", L"JobforgeDllVersion", ctx.files.ctl, L"1.43");

  // 9-16. The kind-specific middle (it takes the Gatepost queue file at the
  // document's start, step 13).
  bool printed = isRaw ? RunRawJob(ctx) : RunEmfJob(ctx);
  if (!printed) return 0;

  // 17. Gatepost hand-off.
  if (ctx.sendToGatepost && !HandOffToGatepost(ctx)) return 0;

  // 18. The job's files.
  if (isRaw)
    DeleteJobFiles(ctx.files.ctl, ctx.files.job, ctx.files.org);
  else
    DeleteJobFiles(ctx.files.ctl, ctx.files.dvm, ctx.files.org);
  return 1;
}

}  // namespace

int ProcessJobAndSendToPrinter(int jobNumber, bool isRaw) {
  // A call for a job without files must not leave a control file behind
  // (the steps write to it before they find the job missing): the controller
  // would list it as a job.
  const std::wstring controlFile = GetJobFileNames(jobNumber).ctl;
  const bool hadControlFile = GetFileAttributesW(controlFile.c_str()) != INVALID_FILE_ATTRIBUTES;
  const int result = RunPipeline(jobNumber, isRaw);
  if (result == 0 && !hadControlFile) DeleteFileW(controlFile.c_str());
  return result;
}
