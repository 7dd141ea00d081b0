// Faults injected into whole jobs: a job spooled by the stand-in print
// processor meets a missing printer, a printer that refuses a document or
// page call, a cut or odd spool file, a short devmode file, a missing or
// incomplete barcode library or a Gatepost setting, and is processed by the
// engine. Each row says what the export returns, whether the job's files
// are kept for a reprint, the events logged (by code, in order) and the
// pages that reached the printer (or Gatepost's queue file). Rows without a
// refused call go through the built Jobforge.Dll; a refused call needs the
// engine's document-call table, so those rows call the pipeline in this
// process.
//
// Last, eight jobs from eight threads of one process at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <cstddef>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/EventLog.h"
#include "common/FieldData.h"
#include "common/InstallFolder.h"
#include "common/PageTemplate.h"
#include "common/StringUtil.h"
#include "engine/DestinationPrinter.h"
#include "engine/DocumentCalls.h"
#include "engine/Pipeline.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/EmfSpool.h"
#include "tools/fixtures/GatepostStandIn.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

const std::string E = "\x1b";
const std::string FF = "\x0c";
// Two PCL5 pages, each ended by its form feed.
const std::string kRawData = E + "*p0x0Y" + "page one" + FF + "page two" + FF;
// The same data cut short inside page two.
const std::string kRawCut = E + "*p0x0Y" + "page one" + FF + "page two";
constexpr int kEmfPages = 2;

// The document call a row has the printer refuse (with ERROR_NOT_READY).
// A refused call does nothing: the page or document stays as it was.
enum class Refuse {
  None,
  StartDoc,
  StartPage,
  EndPage,
  EndDoc,
  ResetDC,
  StartDocPrinter,
  StartPagePrinter,
  EndPagePrinter,
};

Refuse g_refuse = Refuse::None;

bool Refused(Refuse call) {
  if (g_refuse != call) return false;
  SetLastError(ERROR_NOT_READY);
  return true;
}

// A context whose document was refused has no document to start a page in,
// as on Windows (Wine would start the page all the same).
HDC g_withoutDocument = nullptr;

int WINAPI StartDocOrRefuse(HDC dc, const DOCINFOW* di) {
  if (!Refused(Refuse::StartDoc)) return PlatformDocumentCalls().startDoc(dc, di);
  g_withoutDocument = dc;
  return SP_ERROR;
}
int WINAPI StartPageOrRefuse(HDC dc) {
  if (dc == g_withoutDocument) {
    SetLastError(ERROR_INVALID_HANDLE);
    return SP_ERROR;
  }
  return Refused(Refuse::StartPage) ? SP_ERROR : PlatformDocumentCalls().startPage(dc);
}
int WINAPI EndPageOrRefuse(HDC dc) {
  return Refused(Refuse::EndPage) ? SP_ERROR : PlatformDocumentCalls().endPage(dc);
}
int WINAPI EndDocOrRefuse(HDC dc) { return Refused(Refuse::EndDoc) ? SP_ERROR : PlatformDocumentCalls().endDoc(dc); }
HDC WINAPI ResetDCOrRefuse(HDC dc, const DEVMODEW* dm) {
  return Refused(Refuse::ResetDC) ? nullptr : PlatformDocumentCalls().resetDC(dc, dm);
}
DWORD WINAPI StartDocPrinterOrRefuse(HANDLE printer, DWORD level, LPBYTE info) {
  return Refused(Refuse::StartDocPrinter) ? 0 : PlatformDocumentCalls().startDocPrinter(printer, level, info);
}
BOOL WINAPI StartPagePrinterOrRefuse(HANDLE printer) {
  return Refused(Refuse::StartPagePrinter) ? FALSE : PlatformDocumentCalls().startPagePrinter(printer);
}
BOOL WINAPI EndPagePrinterOrRefuse(HANDLE printer) {
  return Refused(Refuse::EndPagePrinter) ? FALSE : PlatformDocumentCalls().endPagePrinter(printer);
}

BOOL WINAPI EndDocPrinterAsIs(HANDLE printer) { return PlatformDocumentCalls().endDocPrinter(printer); }

const DocumentCalls kRefusingCalls = {StartDocOrRefuse,        StartPageOrRefuse,        EndPageOrRefuse,
                                      EndDocOrRefuse,          ResetDCOrRefuse,          StartDocPrinterOrRefuse,
                                      StartPagePrinterOrRefuse, EndPagePrinterOrRefuse,  EndDocPrinterAsIs};

class FaultJobs;

// One spooled job as a row's arrange step sees it.
struct Job {
  FaultJobs& test;
  int number;
  bool raw;
  Refuse refuse = Refuse::None;
  std::unique_ptr<dvfix::GatepostStandIn> gatepost;

  std::wstring File(const wchar_t* extension) const { return dvfix::SpoolFilePath(number, extension); }
  void SetControl(const wchar_t* key, const std::wstring& value) const {
    SetIniString(L"General", key, File(L"Ctl"), value);
  }
  void CutSpoolData(size_t length) const {
    const std::string data = dvtest::ReadFileBytes(File(L"Org"));
    ASSERT_LT(length, data.size());
    ASSERT_TRUE(dvtest::WriteFileBytes(File(L"Org"), data.substr(0, length)));
  }
  void Rewrite(const std::string& data) const { ASSERT_TRUE(dvtest::WriteFileBytes(File(L"Org"), data)); }
  void Setting(const wchar_t* key, const std::wstring& value) const;
  void UseGatepost();
  void UseTemplate(bool barcode) const;
  void InstallLibrary(const wchar_t* built) const;
};

struct Row {
  const char* name;
  bool raw;
  std::function<void(Job&)> arrange;  // after spooling, before processing
  int result;
  bool kept;                          // the job's Org file is still there
  std::vector<int> events;            // codes, in order
  int pages;                          // pages printed (RAW: form feeds sent)
};

// Where record n of the test job's EMF spool stream ends: the stream
// header (whose size counts its own type and size fields), the devmode
// record, then one record per page (each size without its 8-byte head).
size_t EmfRecordEnd(const std::string& stream, int records) {
  size_t at = 0;
  for (int i = 0; i < records && at + 8 <= stream.size(); ++i) {
    uint32_t size = 0;
    memcpy(&size, stream.data() + at + 4, 4);
    at += (i == 0 ? 0 : 8) + size;
  }
  return at;
}

// A failing row names itself, not its bytes.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class FaultJobs : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(printer.ok());
    SetIniInt(L"General", L"DeleteFilesAfter", install.SettingsFile(), 1);
  }

  // Spools the job of a row (EMF: two pages; RAW: two PCL5 pages, page count
  // left to the engine), arranges the fault, processes the job and checks the
  // row's outcome.
  void Check(const Row& row) {
    int number = 0;
    if (row.raw) {
      dvfix::RawJobSpec spec;
      spec.printer = printer.Name();
      spec.data = kRawData;
      number = dvfix::SpoolRawJob(spec);
    } else {
      dvfix::EmfJobSpec spec;
      spec.printer = printer.Name();
      spec.pages = kEmfPages;
      number = dvfix::SpoolEmfJob(spec);
    }
    ASSERT_GT(number, 0);
    Job job{*this, number, row.raw};
    if (row.arrange) row.arrange(job);
    if (HasFatalFailure()) return;
    DeleteFileW(install.EventLog().c_str());
    printer.ClearOutput();

    int result = -1;
    if (job.refuse == Refuse::None) {
      result = dvfix::ProcessSpooledJob(number, row.raw, dvtest::BuiltFile(L"engine\\Jobforge.Dll"));
    } else {
      g_refuse = job.refuse;
      SetDocumentCalls(&kRefusingCalls);
      result = ProcessJobAndSendToPrinter(number, row.raw);
      SetDocumentCalls(nullptr);
      g_refuse = Refuse::None;
      g_withoutDocument = nullptr;
    }

    EXPECT_EQ(result, row.result);
    EXPECT_EQ(dvtest::FileExistsAt(job.File(L"Org")), row.kept);
    EXPECT_EQ(install.EventCodes(), row.events);
    const std::string out = job.gatepost ? dvtest::ReadFileBytes(job.gatepost->QueueFile(17)) : printer.Output();
    const int pages = row.raw ? static_cast<int>(std::count(out.begin(), out.end(), '\x0c'))
                              : dvtest::CountPostScriptPages(out);
    EXPECT_EQ(pages, row.pages);
    // A job handed to Gatepost has its submitter started; wait for it so
    // that it is done before the folder goes.
    if (job.gatepost && result == 1) {
      EXPECT_EQ(job.gatepost->SubmitterCalls(1).size(), 1u);
    }
  }

  dvtest::ScopedInstallFolder install;
  dvtest::TestPrinter printer;
};

class FaultInjection : public FaultJobs, public ::testing::WithParamInterface<Row> {};

void Job::Setting(const wchar_t* key, const std::wstring& value) const {
  SetIniString(L"General", key, test.install.SettingsFile(), value);
}

void Job::UseGatepost() {
  Setting(L"SendToGatepost", L"1");
  gatepost.reset(
      new dvfix::GatepostStandIn(test.install.Path() + L"GP\\", dvtest::BuiltFile(L"tools\\Submitter.exe")));
  ASSERT_TRUE(gatepost->ok());
  gatepost->SetJobNumber(16);
}

// A default scenario whose template (both orientations) has one field: a
// Code 128 barcode or a text.
void Job::UseTemplate(bool barcode) const {
  CPageTemplate page;
  CFieldData field;
  field.FieldName = L"User Name";
  if (barcode) {
    field.PrintBarcode = 1;
    field.BarcodeLeft = 20;
    field.BarcodeTop = 20;
    field.BarcodeWidth = 60;
    field.BarcodeHeight = 15;
  } else {
    field.PrintText = 1;
    field.TextLeft = 20;
    field.TextTop = 20;
  }
  page.fields.push_back(field);
  const std::wstring file = test.install.Path() + L"fault.dpt";
  page.Save(file);
  const std::wstring scenario = test.install.Path() + L"fault.scn";
  SetIniString(L"General", L"PortraitDefaultTemplateFile", scenario, file);
  SetIniString(L"General", L"LandscapeDefaultTemplateFile", scenario, file);
  Setting(L"DefaultScenarioFile", scenario);
}

void Job::InstallLibrary(const wchar_t* built) const {
  ASSERT_TRUE(test.install.Install(dvtest::BuiltFile(built), L"Strimlet.dll"));
}


// The EMF spool data cut a number of bytes after its first records.
std::function<void(Job&)> CutAfterRecords(int records, size_t bytes) {
  return [=](Job& j) { j.CutSpoolData(EmfRecordEnd(dvtest::ReadFileBytes(j.File(L"Org")), records) + bytes); };
}

// The printer refuses a call; with a text field in the template, the call
// of each layer's macro document.
std::function<void(Job&)> Refusing(Refuse call) {
  return [call](Job& j) { j.refuse = call; };
}
std::function<void(Job&)> OverlayRefusing(Refuse call) {
  return [call](Job& j) {
    j.UseTemplate(false);
    j.refuse = call;
  };
}

const Row kRows[] = {
    // The destination printer.
    {"EmfPrinterMissing", false, [](Job& j) { j.SetControl(L"PrinterName", L"No Such Printer 9"); }, 0, true,
     {1004}, 0},
    {"RawPrinterMissing", true, [](Job& j) { j.SetControl(L"PrinterName", L"No Such Printer 9"); }, 0, true,
     {1008, 1008}, 0},
    // Output that cannot be written: the printer refuses a document call.
    {"EmfStartDocRefused", false, Refusing(Refuse::StartDoc), 0, true, {1009}, 0},
    {"EmfStartPageRefused", false, Refusing(Refuse::StartPage), 0, true, {1010}, 0},
    {"EmfEndPageRefused", false, Refusing(Refuse::EndPage), 0, true, {1011}, 0},
    {"EmfEndDocRefused", false, Refusing(Refuse::EndDoc), 0, true, {1012}, 0},
    {"RawStartDocRefused", true, Refusing(Refuse::StartDocPrinter), 0, true, {1009}, 0},
    {"RawStartPageRefused", true, Refusing(Refuse::StartPagePrinter), 0, true, {1010}, 0},
    {"RawEndPageRefused", true, Refusing(Refuse::EndPagePrinter), 0, true, {1011}, 0},
    // Spool files cut short: EMF at the start, in the stream header, before
    // the first page, inside page 1, right after page 1 and inside page 2.
    {"EmfSpoolEmpty", false, CutAfterRecords(0, 0), 0, true, {1007}, 0},
    {"EmfSpoolCutInHeader", false, CutAfterRecords(0, 6), 0, true, {1007}, 0},
    {"EmfSpoolCutBeforePages", false, CutAfterRecords(2, 0), 0, true, {1007}, 0},
    {"EmfSpoolCutInPage1", false, CutAfterRecords(2, 200), 0, true, {1007}, 0},
    {"EmfSpoolCutAfterPage1", false, CutAfterRecords(3, 0), 0, true, {1007}, 0},
    {"EmfSpoolCutInPage2", false, CutAfterRecords(3, 100), 0, true, {1007}, 0},
    // RAW data cut inside page 2's text, inside an escape sequence and inside
    // a raster row's data: what is there prints as the last page, with its
    // form feed.
    {"RawSpoolCutInPageText", true, [](Job& j) { j.Rewrite(kRawCut); }, 1, false, {}, 2},
    {"RawSpoolCutInCommand", true, [](Job& j) { j.Rewrite(kRawCut + E + "*p1"); }, 1, false, {}, 2},
    {"RawSpoolCutInRasterData", true, [](Job& j) { j.Rewrite(kRawCut + E + "*b400W" + "xy"); }, 1, false, {}, 2},
    {"RawRasterCountNearIntMax", true, [](Job& j) { j.Rewrite(kRawCut + E + "*b2147483646W" + "xy"); }, 1, false,
     {}, 2},
    // TotalPages in the control file.
    {"EmfTotalPagesHuge", false, [](Job& j) { j.SetControl(L"TotalPages", L"2147483647"); }, 0, true, {1007}, 0},
    {"EmfTotalPagesZero", false, [](Job& j) { j.SetControl(L"TotalPages", L"0"); }, 1, false, {}, kEmfPages},
    {"EmfTotalPagesNegative", false, [](Job& j) { j.SetControl(L"TotalPages", L"-3"); }, 1, false, {}, kEmfPages},
    {"RawTotalPagesHuge", true, [](Job& j) { j.SetControl(L"TotalPages", L"2147483647"); }, 1, false, {}, 2},
    {"RawTotalPagesZeroIsCounted", true, nullptr, 1, false, {}, 2},
    {"RawTotalPagesNegative", true, [](Job& j) { j.SetControl(L"TotalPages", L"-3"); }, 1, false, {}, 2},
    // The barcode library: every barcode of every page logs 1014 without it;
    // without its release export the strings are left to it.
    {"StrimletMissing", false, [](Job& j) { j.UseTemplate(true); }, 1, false, {1014, 1014}, kEmfPages},
    {"StrimletWithoutFree", false,
     [](Job& j) {
       j.UseTemplate(true);
       j.InstallLibrary(L"tools\\StubStrimlet.dll");
     },
     1, false, {}, kEmfPages},
    // The macro documents of a RAW overlay: each layer of each page loses
    // its overlay, and the job goes on.
    {"MacroStartDocRefused", true, OverlayRefusing(Refuse::StartDoc), 1, false,
     {1018, 1019, 1013, 1018, 1019, 1013, 1018, 1019, 1013, 1018, 1019, 1013}, 2},
    {"MacroStartPageRefused", true, OverlayRefusing(Refuse::StartPage), 1, false, {1019, 1019, 1019, 1019}, 2},
    {"MacroResetRefused", true, OverlayRefusing(Refuse::ResetDC), 1, false,
     {1020, 1013, 1020, 1013, 1020, 1013, 1020, 1013}, 2},
    // Gatepost.
    {"GatepostForcePrinter", false,
     [](Job& j) {
       j.UseGatepost();
       j.Setting(L"GatepostForcePrinter", j.test.printer.Name());
       j.SetControl(L"PrinterName", L"No Such Printer 9");
     },
     1, false, {}, kEmfPages},
    {"GatepostForEmfJob", false, [](Job& j) { j.UseGatepost(); }, 1, false, {}, kEmfPages},
    {"SendToGatepostOff", false, [](Job& j) { j.Setting(L"SendToGatepost", L"0"); }, 1, false, {}, kEmfPages},
    {"SendToGatepostNotANumber", false, [](Job& j) { j.Setting(L"SendToGatepost", L"yes"); }, 1, false, {},
     kEmfPages},
};

std::string RowName(const testing::TestParamInfo<Row>& info) { return info.param.name; }

}  // namespace

TEST_P(FaultInjection, Outcome) {
  const Row& row = GetParam();
  Check(row);
}

INSTANTIATE_TEST_SUITE_P(Jobs, FaultInjection, testing::ValuesIn(kRows), RowName);

// Every devmode file shorter than the job's devmode (its public part and
// driver data): event 3, and the printer's default devmode in its place.
// Every length goes through the engine's reading of the devmode file; the
// lengths at the edges of the devmode's parts go through whole jobs.
TEST_F(FaultJobs, EveryShortDevmodeFile) {
  const std::vector<BYTE> devmode = dvfix::GetPrinterDevmode(printer.Name());
  ASSERT_GT(devmode.size(), sizeof(DEVMODEW));
  const std::vector<BYTE> fallback = GetPrinterDefaultDevmode(printer.Name());
  ASSERT_FALSE(fallback.empty());
  auto first = [&](size_t length) { return std::string(devmode.begin(), devmode.begin() + length); };
  const std::wstring file = install.Path() + L"short.Dvm";
  for (size_t length = 0; length < devmode.size(); ++length) {
    SCOPED_TRACE(length);
    DeleteFileW(install.EventLog().c_str());
    ASSERT_TRUE(dvtest::WriteFileBytes(file, first(length)));
    EXPECT_EQ(ReadJobDevmode(file, printer.Name(), printer.Name()), fallback);
    EXPECT_EQ(install.EventCodes(), std::vector<int>{3});
  }
  const size_t dmSize = reinterpret_cast<const DEVMODEW*>(devmode.data())->dmSize;
  for (size_t length : {size_t{0}, size_t{1}, offsetof(DEVMODEW, dmFields) + 2, dmSize - 1, dmSize,
                        devmode.size() - 1}) {
    SCOPED_TRACE(length);
    const std::string bytes = first(length);
    Check({"short devmode", false, [&](Job& j) { ASSERT_TRUE(dvtest::WriteFileBytes(j.File(L"Dvm"), bytes)); }, 1,
           false, {3}, kEmfPages});
  }
}

namespace {

// An event line as the writer makes it: category, code, text, date, time,
// detail.
bool IsWholeEventLine(const std::string& line, int code) {
  const std::string head = dv::ToUtf8(dv::Format(L"%d,%d,%ls,", code / 1000, code, GetEventText(code).c_str()));
  static const std::regex tail(R"(\d\d/\d\d/\d{4},\d\d:\d\d:\d\d,GetLastError Returned: \d+ \([^,\r\n]*\))");
  return line.rfind(head, 0) == 0 && std::regex_match(line.substr(head.size()), tail);
}

}  // namespace

// Eight jobs, EMF and RAW by turns, each for a printer of its own,
// processed at once by eight threads of this process through the engine
// library. Every barcode of every page logs 1014 (no library), so the
// threads write events together; the RAW jobs render their overlays through
// macro files at the same time.
TEST_F(FaultJobs, EightJobsFromEightThreads) {
  constexpr int kJobs = 8;
  constexpr int kPages = 3;
  SetIniInt(L"General", L"DeleteFilesAfter", install.SettingsFile(), 0);
  std::vector<std::unique_ptr<dvtest::TestPrinter>> printers;
  std::vector<int> jobs;
  auto isRaw = [](int i) { return i % 2 == 1; };
  auto pageText = [](int i, int page) { return "job " + std::to_string(i) + " page " + std::to_string(page); };
  for (int i = 0; i < kJobs; ++i) {
    printers.emplace_back(new dvtest::TestPrinter(dv::Format(L"DvT Threads %d", i)));
    ASSERT_TRUE(printers.back()->ok());
    if (isRaw(i)) {
      dvfix::RawJobSpec spec;
      spec.printer = printers.back()->Name();
      spec.data = E + "*p0x0Y";
      for (int p = 1; p <= kPages; ++p) spec.data += pageText(i, p) + FF;
      jobs.push_back(dvfix::SpoolRawJob(spec));
    } else {
      dvfix::EmfJobSpec spec;
      spec.printer = printers.back()->Name();
      spec.pages = kPages;
      spec.document = dv::Format(L"Thread job %d", i);
      jobs.push_back(dvfix::SpoolEmfJob(spec));
    }
    ASSERT_GT(jobs.back(), 0);
  }
  Job any{*this, jobs[0], false};
  any.UseTemplate(true);

  std::vector<int> results(kJobs, -1);
  {
    std::vector<std::thread> threads;
    for (int i = 0; i < kJobs; ++i)
      threads.emplace_back([&, i] {
        results[i] = dvfix::ProcessSpooledJob(jobs[i], isRaw(i), dvtest::BuiltFile(L"engine\\Jobforge.Dll"));
      });
    for (std::thread& t : threads) t.join();
  }

  const std::wstring templateFile = install.Path() + L"fault.dpt";
  for (int i = 0; i < kJobs; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(results[i], 1);
    const std::string out = printers[i]->Output();
    if (isRaw(i)) {
      // Each page's own data in order, each page ended by one form feed,
      // each layer's macro document copied in; no other job's data.
      EXPECT_EQ(std::count(out.begin(), out.end(), '\x0c'), kPages);
      size_t at = 0;
      for (int p = 1; p <= kPages && at != std::string::npos; ++p) {
        at = out.find(pageText(i, p), at);
        EXPECT_NE(at, std::string::npos) << p;
      }
      EXPECT_EQ(out.find("job " + std::to_string((i + 2) % kJobs) + " "), std::string::npos);
      EXPECT_EQ(dvtest::CountPostScriptPages(out), 2 * kPages);
      EXPECT_EQ(GetIniString(L"General", L"PrintLanguage", dvfix::SpoolFilePath(jobs[i], L"Ctl")), L"PCL5");
      EXPECT_FALSE(dvtest::FileExistsAt(dvfix::SpoolFilePath(jobs[i], L"Mcr")));
    } else {
      EXPECT_EQ(dvtest::CountPostScriptPages(out), kPages);
      EXPECT_NE(out.find("%%Title: " + dv::ToUtf8(BuildOutputJobName(dv::Format(L"Thread job %d", i)))),
                std::string::npos);
    }
    const std::wstring ctl = dvfix::SpoolFilePath(jobs[i], L"Ctl");
    EXPECT_EQ(GetIniString(L"General", L"ScenarioFile", ctl), install.Path() + L"fault.scn");
    EXPECT_EQ(GetIniString(L"General", L"JobforgeDllVersion", ctl), L"1.43");
    EXPECT_EQ(GetIniString(L"Job", L"Duplex", ctl), isRaw(i) ? L"0" : L"1");
    EXPECT_EQ(GetIniString(L"General", L"TotalPages", ctl), std::to_wstring(kPages));
    for (int p = 1; p <= kPages; ++p)
      EXPECT_EQ(GetIniString(L"PageTemplates", std::to_wstring(p), ctl), templateFile) << "page " << p;
    EXPECT_EQ(GetIniString(L"PageTemplates", std::to_wstring(kPages + 1), ctl, L"-"), L"-");
  }
  // One whole line per barcode and page, none lost or mixed with another.
  const std::vector<std::string> lines = install.EventLines();
  EXPECT_EQ(lines.size(), static_cast<size_t>(kJobs * kPages));
  for (const std::string& line : lines) EXPECT_TRUE(IsWholeEventLine(line, 1014)) << line;
}
