// EMF jobs printed through the Wine PostScript driver into files: sheets per
// job, n-up cells and the turn of single pages (Ghostscript renders, pixels
// sampled), forced and stored settings reaching the driver, and the page
// loop's layer order, transform reset and sheet nesting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/SpooledEmf.h"
#include "common/StringUtil.h"
#include "engine/DestinationPrinter.h"
#include "engine/EmfPageOutput.h"
#include "engine/JobFiles.h"
#include "engine/Pipeline.h"
#include "engine/Scenario.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/EmfSpool.h"
#include "tools/fixtures/PrinterSetup.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

constexpr int kDpi = 20;  // enough to tell cells and corners apart

// A colour per page number, none of them white.
COLORREF PageColour(int page) {
  static const COLORREF colours[] = {RGB(255, 0, 0),   RGB(0, 160, 0),   RGB(0, 0, 255),   RGB(255, 200, 0),
                                     RGB(255, 0, 255), RGB(0, 200, 200), RGB(128, 0, 0),   RGB(0, 0, 128),
                                     RGB(128, 128, 0), RGB(128, 0, 128), RGB(0, 128, 128), RGB(255, 128, 64),
                                     RGB(64, 128, 255), RGB(160, 255, 64), RGB(96, 48, 0), RGB(255, 96, 160),
                                     RGB(48, 48, 48)};
  return colours[(page - 1) % (sizeof(colours) / sizeof(colours[0]))];
}

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift <= 16; shift += 8)
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 12) return false;
  return true;
}

void DrawColourPage(HDC dc, int page, int width, int height) {
  dv::GdiObject brush(CreateSolidBrush(PageColour(page)));
  RECT r = {0, 0, width, height};
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

// A black block over the top left quarter of the page (a quarter of its
// width and of its height): where it lands shows how the page was turned.
void DrawCornerBlock(HDC dc, int, int width, int height) {
  RECT r = {0, 0, width / 4, height / 4};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// A rendered sheet seen in its own orientation. The driver prints a
// landscape sheet as a portrait page turned a quarter to the left, so the
// sheet's left edge is the rendered page's bottom edge.
struct SheetView {
  const dvtest::RenderedPage& page;
  bool landscape;
  void Map(double fx, double fy, int& x, int& y) const {
    if (landscape) {
      x = static_cast<int>(fy * page.width);
      y = static_cast<int>((1 - fx) * page.height);
    } else {
      x = static_cast<int>(fx * page.width);
      y = static_cast<int>(fy * page.height);
    }
    x = x < 0 ? 0 : (x >= page.width ? page.width - 1 : x);
    y = y < 0 ? 0 : (y >= page.height ? page.height - 1 : y);
  }
  uint32_t At(double fx, double fy) const {
    int x, y;
    Map(fx, fy, x, y);
    return page.Pixel(x, y);
  }
  double Ink(double fx0, double fy0, double fx1, double fy1) const {
    int x0, y0, x1, y1;
    Map(fx0, fy0, x0, y0);
    Map(fx1, fy1, x1, y1);
    return page.InkRatio(x0 < x1 ? x0 : x1, y0 < y1 ? y0 : y1, x0 < x1 ? x1 : x0, y0 < y1 ? y1 : y0);
  }
};

class EmfJobTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer.ok());
    SetIniInt(L"General", L"DeleteFilesAfter", install.SettingsFile(), 0);
  }

  dvfix::EmfJobSpec Spec(int pages) const {
    dvfix::EmfJobSpec spec;
    spec.printer = printer.Name();
    spec.pages = pages;
    return spec;
  }

  // Spools and prints a job through the engine library, as the print
  // processor does.
  int Print(const dvfix::EmfJobSpec& spec) {
    printer.ClearOutput();
    int job = dvfix::SpoolEmfJob(spec);
    EXPECT_GT(job, 0);
    lastJob = job;
    return dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll"));
  }

  // Prints a spooled job through the EMF middle of the pipeline with a
  // scenario file of the test's own (scenario choice is not under test).
  bool PrintWithScenario(int job, const std::wstring& scenarioFile) {
    printer.ClearOutput();
    JobContext ctx;
    ctx.jobNumber = job;
    ctx.files = GetJobFileNames(job);
    ctx.settingsFile = install.SettingsFile();
    ctx.printerName = GetIniString(L"General", L"PrinterName", ctx.files.ctl);
    ctx.destinationPrinter = ctx.printerName;
    ctx.totalPages = GetIniInt(L"General", L"TotalPages", ctx.files.ctl, 1);
    ctx.pagesPerSide = GetIniInt(L"General", L"NumberOfPagesPerSide", ctx.files.ctl, 1);
    ctx.orientation = GetIniInt(L"General", L"Orientation", ctx.files.ctl, 1);
    ctx.document = GetIniString(L"General", L"Document", ctx.files.ctl);
    ctx.outputJobName = BuildOutputJobName(ctx.document);
    FillJobInformation(ctx.record, ctx.files.ctl, ctx.printerName, ctx.pagesPerSide);
    CScenario scenario;
    scenario.SelectScenario(ctx.record);
    scenario.scenarioFile = scenarioFile;
    ctx.scenario = &scenario;
    return RunEmfJob(ctx);
  }

  std::wstring Scenario() const { return install.Path() + L"forced.scn"; }
  std::vector<dvtest::RenderedPage> Render() const { return dvtest::RenderPostScript(printer.OutputFile(), kDpi); }
  std::wstring Ctl() const { return dvfix::SpoolFilePath(lastJob, L"Ctl"); }

  dvtest::ScopedInstallFolder install;
  dvtest::TestPrinter printer;
  int lastJob = 0;
};


}  // namespace

TEST_F(EmfJobTest, PagesFillTheirCellsSheetBySheet) {
  struct Row {
    const char* name;
    int pagesPerSide, orientation, pagesInData, totalPages;
    int sheets;
    bool landscapeSheet;
    int rows, columns;
  } rows[] = {
      {"5 pages 4-up", 4, 1, 5, 5, 2, false, 2, 2},
      {"3 pages 2-up on a turned sheet", 2, 1, 3, 3, 2, true, 1, 2},
      {"landscape job 2-up on a portrait sheet", 2, 2, 2, 2, 1, false, 2, 1},
      {"7 pages 6-up", 6, 1, 7, 7, 2, true, 2, 3},
      {"9 pages 9-up", 9, 1, 9, 9, 1, false, 3, 3},
      {"17 pages 16-up", 16, 1, 17, 17, 2, false, 4, 4},
      {"1-up", 1, 1, 2, 2, 2, false, 1, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    dvfix::EmfJobSpec spec = Spec(r.pagesInData);
    spec.totalPages = r.totalPages;
    spec.pagesPerSide = r.pagesPerSide;
    spec.orientation = r.orientation;
    spec.draw = DrawColourPage;
    ASSERT_EQ(Print(spec), 1);
    EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), r.sheets);
    const auto pages = Render();
    ASSERT_EQ(static_cast<int>(pages.size()), r.sheets);
    const int perSheet = r.rows * r.columns;
    for (int s = 0; s < r.sheets; ++s) {
      SheetView sheet{pages[s], r.landscapeSheet};
      for (int i = 0; i < perSheet; ++i) {
        const int page = s * perSheet + i + 1;
        const double fx = (i % r.columns + 0.5) / r.columns;
        const double fy = (i / r.columns + 0.5) / r.rows;
        const uint32_t expected = page <= r.pagesInData ? Rgb(PageColour(page)) : 0xFFFFFF;
        EXPECT_PRED2(Near, sheet.At(fx, fy), expected) << "sheet " << s + 1 << " cell " << i;
      }
    }
  }
}

TEST_F(EmfJobTest, UnusualPagesPerSidePrintOneUp) {
  for (int n : {0, -1, 3, 5}) {
    SCOPED_TRACE(n);
    dvfix::EmfJobSpec spec = Spec(3);
    spec.pagesPerSide = n;
    spec.draw = DrawColourPage;
    ASSERT_EQ(Print(spec), 1);
    const auto pages = Render();
    ASSERT_EQ(pages.size(), 3u);
    for (int s = 0; s < 3; ++s) {
      SheetView sheet{pages[s], false};
      // The page fills its own sheet, corner to corner.
      EXPECT_PRED2(Near, sheet.At(0.5, 0.5), Rgb(PageColour(s + 1)));
      EXPECT_PRED2(Near, sheet.At(0.1, 0.1), Rgb(PageColour(s + 1)));
      EXPECT_PRED2(Near, sheet.At(0.9, 0.9), Rgb(PageColour(s + 1)));
    }
  }
}

TEST_F(EmfJobTest, SinglePagesAreTurnedToTheJobsOrientation) {
  struct Row {
    const char* name;
    int jobOrientation;   // devmode and control file
    int pageOrientation;  // shape of the spooled pages
    bool landscapeSheet;
    double inkX0, inkY0, inkX1, inkY1;  // where the page's top left block must land
  } rows[] = {
      {"landscape page on a portrait sheet: 270 degrees", 1, 2, false, 0.06, 0.80, 0.22, 0.94},
      {"portrait page on a landscape sheet: 90 degrees", 2, 1, true, 0.80, 0.06, 0.94, 0.22},
      {"portrait page on a portrait sheet: not turned", 1, 1, false, 0.06, 0.06, 0.22, 0.22},
      {"landscape page on a landscape sheet: not turned", 2, 2, true, 0.06, 0.06, 0.22, 0.22},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    dvfix::EmfJobSpec spec = Spec(1);
    spec.orientation = r.jobOrientation;
    printer.ClearOutput();
    const int job = dvfix::SpoolEmfJob(spec);
    ASSERT_GT(job, 0);
    // The spool data: pages recorded in their own orientation.
    const std::vector<BYTE> pageDevmode = dvfix::GetPrinterDevmode(printer.Name(), r.pageOrientation);
    const std::vector<BYTE> pageBytes = dvfix::RecordEmfPage(
        printer.Name(), reinterpret_cast<const DEVMODEW*>(pageDevmode.data()), 1, DrawCornerBlock);
    ASSERT_FALSE(pageBytes.empty());
    const std::vector<BYTE> stream = dvfix::BuildEmfSpoolStream(L"turn", pageDevmode, {pageBytes});
    ASSERT_TRUE(dvtest::WriteFileBytes(dvfix::SpoolFilePath(job, L"Org"), std::string(stream.begin(), stream.end())));
    ASSERT_EQ(dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll")), 1);

    const auto pages = Render();
    ASSERT_EQ(pages.size(), 1u);
    SheetView sheet{pages[0], r.landscapeSheet};
    EXPECT_GT(sheet.Ink(r.inkX0, r.inkY0, r.inkX1, r.inkY1), 0.9);
    // The other three corners stay white.
    const double corners[][2] = {{0.06, 0.06}, {0.78, 0.06}, {0.06, 0.78}, {0.78, 0.78}};
    for (const auto& c : corners) {
      if (c[0] + 0.1 > r.inkX0 && c[0] < r.inkX1 && c[1] + 0.1 > r.inkY0 && c[1] < r.inkY1) continue;
      EXPECT_LT(sheet.Ink(c[0], c[1], c[0] + 0.16, c[1] + 0.16), 0.05) << c[0] << "," << c[1];
    }
  }
}

TEST_F(EmfJobTest, ForcedDuplexExceptWhenTheJobFitsOneSide) {
  SetIniInt(L"General", L"PortraitForceDuplex", Scenario(), 2);
  SetIniInt(L"General", L"LandscapeForceDuplex", Scenario(), 2);
  struct Row {
    int pages, pagesPerSide;
    bool twoSided;
  } rows[] = {{3, 1, true}, {1, 1, false}, {4, 4, false}, {5, 4, true}, {2, 2, false}, {3, 2, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.pages << " pages " << r.pagesPerSide << "-up");
    dvfix::EmfJobSpec spec = Spec(r.pages);
    spec.pagesPerSide = r.pagesPerSide;
    const int job = dvfix::SpoolEmfJob(spec);
    lastJob = job;
    ASSERT_TRUE(PrintWithScenario(job, Scenario()));
    const std::string ps = printer.Output();
    EXPECT_EQ(ps.find("%%BeginFeature: *Duplex DuplexNoTumble") != std::string::npos, r.twoSided);
    EXPECT_EQ(ps.find("%%BeginFeature: *Duplex None") != std::string::npos, !r.twoSided);
    EXPECT_EQ(GetIniString(L"Job", L"Duplex", Ctl()), r.twoSided ? L"2" : L"1");
  }
}

TEST_F(EmfJobTest, ForcedCopiesReachTheDriver) {
  SetIniInt(L"General", L"PortraitForceCopies", Scenario(), 3);
  const int job = dvfix::SpoolEmfJob(Spec(2));
  ASSERT_TRUE(PrintWithScenario(job, Scenario()));
  const std::string ps = printer.Output();
  EXPECT_NE(ps.find("%cupsJobTicket: copies=3"), std::string::npos);
  EXPECT_EQ(dvtest::CountPostScriptPages(ps), 2);
}

TEST_F(EmfJobTest, StoredConfigurationKeepsTheJobsCopies) {
  // The stored configuration: short-edge duplex; the job asks for 2 copies.
  std::vector<BYTE> config = dvfix::GetPrinterDevmode(printer.Name(), 1);
  auto* stored = reinterpret_cast<DEVMODEW*>(config.data());
  stored->dmFields |= DM_DUPLEX | DM_COPIES;
  stored->dmDuplex = DMDUP_HORIZONTAL;
  stored->dmCopies = 5;
  std::wstring hex;
  for (BYTE b : config) hex += dv::Format(L"%02X", b);
  SetIniString(dvfix::kTestDriverName, L"Portrait", Scenario(), hex);
  SetIniInt(L"General", L"PortraitForceDevmode", Scenario(), 1);
  SetIniInt(L"General", L"PortraitForceDuplex", Scenario(), 2);  // not applied with a configuration

  const int job = dvfix::SpoolEmfJob(Spec(2));
  lastJob = job;
  std::vector<BYTE> dvm = dvfix::GetPrinterDevmode(printer.Name(), 1);
  auto* own = reinterpret_cast<DEVMODEW*>(dvm.data());
  own->dmFields |= DM_COPIES;
  own->dmCopies = 2;
  ASSERT_TRUE(dvtest::WriteFileBytes(dvfix::SpoolFilePath(job, L"Dvm"), std::string(dvm.begin(), dvm.end())));

  ASSERT_TRUE(PrintWithScenario(job, Scenario()));
  const std::string ps = printer.Output();
  EXPECT_NE(ps.find("%%BeginFeature: *Duplex DuplexTumble"), std::string::npos);
  EXPECT_NE(ps.find("%cupsJobTicket: copies=2"), std::string::npos);
  EXPECT_EQ(GetIniString(L"Job", L"Duplex", Ctl()), L"3");
  EXPECT_TRUE(install.EventLines().empty());

  // The same configuration without its driver data, for a job whose devmode
  // has some: another driver's configuration, used all the same.
  config.resize(stored->dmSize);
  reinterpret_cast<DEVMODEW*>(config.data())->dmDriverExtra = 0;
  hex.clear();
  for (BYTE b : config) hex += dv::Format(L"%02X", b);
  SetIniString(dvfix::kTestDriverName, L"Portrait", Scenario(), hex);
  ASSERT_GT(own->dmDriverExtra, 0);
  const int second = dvfix::SpoolEmfJob(Spec(2));
  ASSERT_TRUE(PrintWithScenario(second, Scenario()));
  EXPECT_NE(printer.Output().find("%%BeginFeature: *Duplex DuplexTumble"), std::string::npos);
  const std::string device = dv::ToUtf8(printer.Name().substr(0, CCHDEVICENAME - 1));
  EXPECT_EQ(install.EventDetails(3002),
            std::vector<std::string>{"Original device name: " + device + ", New device name: " + device});
}

TEST_F(EmfJobTest, WithoutAJobDevmodeThePrintersDefaultIsForced) {
  SetIniInt(L"General", L"PortraitForceDuplex", Scenario(), 2);
  dvfix::EmfJobSpec spec = Spec(3);
  spec.writeDevmode = false;
  const int job = dvfix::SpoolEmfJob(spec);
  lastJob = job;
  ASSERT_TRUE(PrintWithScenario(job, Scenario()));
  const std::string ps = printer.Output();
  EXPECT_EQ(dvtest::CountPostScriptPages(ps), 3);
  EXPECT_NE(ps.find("%%BeginFeature: *Duplex DuplexNoTumble"), std::string::npos);
  EXPECT_EQ(GetIniString(L"Job", L"Duplex", Ctl()), L"2");
  const std::wstring dvm = dvfix::SpoolFilePath(job, L"Dvm");
  EXPECT_EQ(install.EventDetails(3),
            std::vector<std::string>{dv::ToUtf8(dv::Format(L"File name: %ls, GetLastError Returned:%d (%ls)",
                                                           dvm.c_str(), ERROR_FILE_NOT_FOUND,
                                                           GetSystemErrorText(ERROR_FILE_NOT_FOUND).c_str()))});
}

TEST_F(EmfJobTest, DestinationPrinterFallsBackToPrinterName) {
  const int job = dvfix::SpoolEmfJob(Spec(2));
  JobContext ctx;
  ctx.jobNumber = job;
  ctx.files = GetJobFileNames(job);
  ctx.printerName = printer.Name();
  ctx.destinationPrinter = L"No Such Printer 4711";
  ctx.totalPages = 2;
  ctx.outputJobName = BuildOutputJobName(L"fallback");
  CScenario scenario;
  ctx.scenario = &scenario;
  printer.ClearOutput();
  ASSERT_TRUE(RunEmfJob(ctx));
  EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 2);
  EXPECT_TRUE(install.EventDetails(1004).empty());

  ctx.printerName = L"No Such Printer 4712";
  EXPECT_FALSE(RunEmfJob(ctx));
  ASSERT_EQ(install.EventDetails(1004).size(), 1u);
}

// Offsets of the page records (type 12) of a spool stream, and the stream's
// length at the end.
std::vector<size_t> PageRecordOffsets(const std::string& stream) {
  std::vector<size_t> offsets;
  size_t at = 0;
  while (at + 8 <= stream.size()) {
    uint32_t type = 0, size = 0;
    memcpy(&type, &stream[at], 4);
    memcpy(&size, &stream[at + 4], 4);
    if (type == dvfix::kEmriMetafileData) offsets.push_back(at);
    at += 8 + (type == dvfix::kEmriHeader ? size - 8 : size);
  }
  offsets.push_back(stream.size());
  return offsets;
}

namespace {

// The spool data's writer holds it at the job's first open of it and has
// let go by the next: that open fails with a sharing violation, later ones
// find the file free.
std::wstring g_lockedOnce;
int g_opensOfLocked = 0;
decltype(&CreateFileW) g_createFile = nullptr;

HANDLE WINAPI OpenLockedOnce(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE templateFile) {
  if (name && lstrcmpiW(name, g_lockedOnce.c_str()) == 0 && g_opensOfLocked++ == 0) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  return g_createFile(name, access, share, security, disposition, flags, templateFile);
}

}  // namespace

TEST_F(EmfJobTest, PagesAreCountedOnTheOneOpenOfTheSpoolData) {
  // A job whose pages come from the stream, spooled while its writer still
  // holds the file: the job fails as any job whose spool data cannot be
  // opened, and is not printed with a page count taken from a failed open.
  dvfix::EmfJobSpec spec = Spec(3);
  spec.totalPages = 0;
  const int job = dvfix::SpoolEmfJob(spec);
  ASSERT_GT(job, 0);
  lastJob = job;
  SetIniInt(L"General", L"TotalPages", Ctl(), 0);
  g_lockedOnce = dvfix::SpoolFilePath(job, L"Org");
  g_opensOfLocked = 0;
  {
    dvtest::ImportPatch patch(L"kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&OpenLockedOnce));
    ASSERT_GT(patch.Patched(), 0);
    g_createFile = reinterpret_cast<decltype(&CreateFileW)>(patch.Original());
    EXPECT_FALSE(PrintWithScenario(job, Scenario()));
  }
  EXPECT_EQ(g_opensOfLocked, 1);
  EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 0);
  EXPECT_EQ(GetIniString(L"General", L"TotalPages", Ctl()), L"0");
  EXPECT_EQ(install.EventDetails(1007).size(), 1u);

  // Once free, the same job counts and prints its three pages with one open.
  g_opensOfLocked = 1;
  {
    dvtest::ImportPatch patch(L"kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&OpenLockedOnce));
    g_createFile = reinterpret_cast<decltype(&CreateFileW)>(patch.Original());
    EXPECT_TRUE(PrintWithScenario(job, Scenario()));
  }
  EXPECT_EQ(g_opensOfLocked, 2);
  EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 3);
  EXPECT_EQ(GetIniString(L"General", L"TotalPages", Ctl()), L"3");
}

TEST_F(EmfJobTest, PagesTheStreamCannotDeliverFailTheJob) {
  // The spool data of a 3-page job, and where its page records start.
  const int probe = dvfix::SpoolEmfJob(Spec(3));
  ASSERT_GT(probe, 0);
  const std::string whole = dvtest::ReadFileBytes(dvfix::SpoolFilePath(probe, L"Org"));
  const std::vector<size_t> page = PageRecordOffsets(whole);
  ASSERT_EQ(page.size(), 4u);
  std::string damaged = whole;  // page 2 with a record of size 0 after its header
  uint32_t headerSize = 0;
  memcpy(&headerSize, &whole[page[1] + 8 + 4], 4);
  memset(&damaged[page[1] + 8 + headerSize + 4], 0, 4);
  std::string hugePage = whole;  // page 1's record claims nearly 4 GB
  const uint32_t huge = 0xFFFFFFF0u;
  memcpy(&hugePage[page[0] + 4], &huge, 4);
  const std::string noHeader = whole.substr(page[0]);  // the page records alone

  // With TotalPages 0 or less the pages come from the stream itself: a
  // stream that breaks off fails at the page it cannot deliver, as one that
  // holds fewer pages than TotalPages does; only a clean end stands.
  struct Row {
    const char* name;
    std::string data;  // the Org file; "-" none
    int totalPages;
    int failedPage;   // 0: the job prints
    DWORD error;
    int sheets;       // printed, when the job prints
  } rows[] = {
      {"TotalPages beyond the stream", whole, 5, 4, ERROR_HANDLE_EOF, 0},
      {"TotalPages 2147483647", whole, 2147483647, 4, ERROR_HANDLE_EOF, 0},
      {"cut inside the header record", whole.substr(0, 12), 3, 1, ERROR_HANDLE_EOF, 0},
      {"cut inside page 1", whole.substr(0, page[0] + 40), 3, 1, ERROR_HANDLE_EOF, 0},
      {"cut after page 1", whole.substr(0, page[1]), 3, 2, ERROR_HANDLE_EOF, 0},
      {"cut inside page 2's record header", whole.substr(0, page[1] + 6), 3, 2, ERROR_HANDLE_EOF, 0},
      {"cut inside page 3", whole.substr(0, page[3] - 4), 3, 3, ERROR_HANDLE_EOF, 0},
      {"page 2 damaged", damaged, 3, 2, ERROR_INVALID_DATA, 0},
      {"no spool data", "-", 3, 0, ERROR_FILE_NOT_FOUND, 0},
      {"no header record", noHeader, 3, 1, ERROR_HANDLE_EOF, 0},
      {"TotalPages 0 counts the stream", whole, 0, 0, 0, 3},
      {"TotalPages -1 counts the stream", whole, -1, 0, 0, 3},
      {"TotalPages 0, the stream ending after page 1", whole.substr(0, page[1]), 0, 0, 0, 1},
      {"TotalPages 0, a header and no page", whole.substr(0, page[0]), 0, 0, 0, 0},
      {"TotalPages 0, cut inside page 2", whole.substr(0, page[1] + 40), 0, 2, ERROR_HANDLE_EOF, 0},
      {"TotalPages -1, cut inside page 1", whole.substr(0, page[0] + 40), -1, 1, ERROR_HANDLE_EOF, 0},
      {"TotalPages 0, cut inside page 3's record header", whole.substr(0, page[2] + 6), 0, 3, ERROR_HANDLE_EOF, 0},
      {"TotalPages 0, an empty file", "", 0, 1, ERROR_HANDLE_EOF, 0},
      {"TotalPages 0, a page size near 4 GB", hugePage, 0, 1, ERROR_HANDLE_EOF, 0},
      {"TotalPages 0, no header record", noHeader, 0, 1, ERROR_HANDLE_EOF, 0},
      {"TotalPages 0, page 2 damaged", damaged, 0, 2, ERROR_INVALID_DATA, 0},
      {"the whole stream", whole, 3, 0, 0, 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    dvtest::ScopedInstallFolder folder(L"EmfJobTest_Undeliverable");
    SetIniInt(L"General", L"DeleteFilesAfter", folder.SettingsFile(), 1);
    dvfix::EmfJobSpec spec = Spec(3);
    spec.totalPages = r.totalPages;
    const int job = dvfix::SpoolEmfJob(spec);
    ASSERT_GT(job, 0);
    SetIniInt(L"General", L"TotalPages", dvfix::SpoolFilePath(job, L"Ctl"), r.totalPages);
    const std::wstring org = dvfix::SpoolFilePath(job, L"Org");
    if (r.data == "-")
      DeleteFileW(org.c_str());
    else
      ASSERT_TRUE(dvtest::WriteFileBytes(org, r.data));
    printer.ClearOutput();
    const bool fails = r.failedPage != 0 || r.error != 0;
    EXPECT_EQ(dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll")), fails ? 0 : 1);
    EXPECT_EQ(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, L"Ctl")), fails);
    EXPECT_EQ(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, L"Dvm")), fails);
    EXPECT_EQ(dvtest::FileExistsAt(org), fails && r.data != "-");
    EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), r.sheets);
    if (!fails) {
      EXPECT_TRUE(folder.EventLines().empty());
      continue;
    }
    // A count the stream did not give is not written back; a whole stream's
    // is, also when one of its pages is no metafile.
    const int written = r.totalPages <= 0 && r.error == ERROR_INVALID_DATA ? 3 : r.totalPages;
    EXPECT_EQ(GetIniInt(L"General", L"TotalPages", dvfix::SpoolFilePath(job, L"Ctl"), 1), written);
    const std::wstring where = r.failedPage != 0 ? dv::Format(L"Page %d, File name: %ls", r.failedPage, org.c_str())
                                                 : dv::Format(L"File name: %ls", org.c_str());
    EXPECT_EQ(folder.EventDetails(1007),
              std::vector<std::string>{dv::ToUtf8(dv::Format(L"GetLastError Returned: %d (%ls), %ls",
                                                             static_cast<int>(r.error),
                                                             GetSystemErrorText(r.error).c_str(), where.c_str()))});
    EXPECT_EQ(folder.EventLines().size(), 1u);
  }
}

// The page loop itself, on a printer device context, with layers that record
// what they see.
namespace {

class RecordingLayers : public PageLayers {
 public:
  explicit RecordingLayers(HDC dc, bool backside = false) : dc_(dc), backside_(backside) {}
  void PrintLayer(int mode, int page) override {
    calls.push_back(dv::Format(L"%d:%d", mode, page));
    XFORM x = {};
    GetWorldTransform(dc_, &x);
    transforms.push_back(x);
    if (mode == 1 && opaqueBackground) {
      // A background that covers the whole sheet.
      RECT r = {0, 0, GetDeviceCaps(dc_, HORZRES), GetDeviceCaps(dc_, VERTRES)};
      dv::GdiObject grey(CreateSolidBrush(RGB(200, 200, 200)));
      FillRect(dc_, &r, static_cast<HBRUSH>(grey.get()));
    }
    if (mode == 3 && backside_) {
      StartPage(dc_);
      RECT r = {0, 0, GetDeviceCaps(dc_, HORZRES), GetDeviceCaps(dc_, VERTRES)};
      FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      EndPage(dc_);
    }
  }
  std::wstring Description(int page) override { return dv::Format(L"template of page %d", page); }

  std::vector<std::wstring> calls;
  std::vector<XFORM> transforms;
  bool opaqueBackground = false;

 private:
  HDC dc_;
  bool backside_;
};

bool IsIdentity(const XFORM& x) {
  return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

}  // namespace

class PageLoopTest : public EmfJobTest {
 protected:
  // A spool file of pages recorded in the given orientations.
  std::wstring SpoolPages(const std::vector<int>& orientations, const dvfix::PageDrawer& draw) {
    std::vector<std::vector<BYTE>> pages;
    for (size_t i = 0; i < orientations.size(); ++i) {
      std::vector<BYTE> dm = dvfix::GetPrinterDevmode(printer.Name(), orientations[i]);
      pages.push_back(dvfix::RecordEmfPage(printer.Name(), reinterpret_cast<const DEVMODEW*>(dm.data()),
                                           static_cast<int>(i) + 1, draw));
    }
    std::wstring path = install.SpoolFolder() + L"loop.Org";
    std::vector<BYTE> stream = dvfix::BuildEmfSpoolStream(L"loop", {}, pages);
    EXPECT_TRUE(dvtest::WriteFileBytes(path, std::string(stream.begin(), stream.end())));
    return path;
  }
  dv::DcHandle StartDocument() {
    printer.ClearOutput();
    dv::DcHandle dc(CreateDCW(nullptr, printer.Name().c_str(), nullptr, nullptr));
    DOCINFOW di = {sizeof(di), L"loop"};
    EXPECT_GT(StartDocW(dc.get(), &di), 0);
    return dc;
  }
};

TEST_F(PageLoopTest, LayersInOrderAndPageTemplatesWritten) {
  const std::wstring org = SpoolPages({1, 1, 1}, DrawColourPage);
  const std::wstring ctl = install.SpoolFolder() + L"loop.Ctl";
  dv::DcHandle dc = StartDocument();
  RecordingLayers layers(dc.get());
  CSpooledEmf reader(org, 3);
  EmfPageJob job;
  job.totalPages = 3;
  job.controlFile = ctl;
  EXPECT_EQ(PrintEmfPages(dc.get(), reader, layers, job).failedEvent, 0);
  EndDoc(dc.get());
  EXPECT_EQ(layers.calls, (std::vector<std::wstring>{L"1:1", L"0:1", L"3:1", L"1:2", L"0:2", L"3:2", L"1:3", L"0:3",
                                                    L"3:3"}));
  for (int p = 1; p <= 3; ++p)
    EXPECT_EQ(GetIniString(L"PageTemplates", std::to_wstring(p), ctl), dv::Format(L"template of page %d", p));
  EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 3);

  // No pages: no sheet and no layer.
  dv::DcHandle empty = StartDocument();
  RecordingLayers none(empty.get());
  job.totalPages = 0;
  PrintEmfPages(empty.get(), reader, none, job);
  EndDoc(empty.get());
  EXPECT_TRUE(none.calls.empty());
  EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 0);
}

TEST_F(PageLoopTest, APageTheStreamLacksStopsTheLoopBeforeItsSheet) {
  const std::wstring org = SpoolPages({1, 1}, DrawColourPage);
  struct Row {
    int pagesPerSide;
    std::vector<std::wstring> calls;
  } rows[] = {
      {1, {L"1:1", L"0:1", L"3:1", L"1:2", L"0:2", L"3:2"}},
      {2, {L"1:1", L"0:2", L"3:2"}},  // page 3 would have started a sheet of its own
      {4, {L"1:1"}},                   // the open sheet is left to the document's abort
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pagesPerSide);
    const std::wstring ctl = install.SpoolFolder() + L"short.Ctl";
    DeleteFileW(ctl.c_str());
    dv::DcHandle dc = StartDocument();
    RecordingLayers layers(dc.get());
    CSpooledEmf reader(org, 3);
    EmfPageJob job;
    job.totalPages = 3;  // one more than the stream holds
    job.pagesPerSide = r.pagesPerSide;
    job.controlFile = ctl;
    const EmfPagesResult result = PrintEmfPages(dc.get(), reader, layers, job);
    AbortDoc(dc.get());
    EXPECT_EQ(result.failedEvent, 1007);
    EXPECT_EQ(result.failedPage, 3);
    EXPECT_EQ(result.error, static_cast<DWORD>(ERROR_HANDLE_EOF));
    EXPECT_EQ(layers.calls, r.calls);
    EXPECT_EQ(GetIniString(L"PageTemplates", L"2", ctl), L"template of page 2");
    EXPECT_EQ(GetIniString(L"PageTemplates", L"3", ctl, L"none"), L"none");
  }
}

TEST_F(PageLoopTest, TurnEndsWithThePagesForegroundLayer) {
  // Page 1 landscape-shaped on a portrait job: turned; page 2 portrait.
  const std::wstring org = SpoolPages({2, 1}, DrawCornerBlock);
  dv::DcHandle dc = StartDocument();
  RecordingLayers layers(dc.get());
  CSpooledEmf reader(org, 2);
  EmfPageJob job;
  job.totalPages = 2;
  PrintEmfPages(dc.get(), reader, layers, job);
  EndDoc(dc.get());
  ASSERT_EQ(layers.calls.size(), 6u);
  const DeviceMeasures m = ReadDeviceMeasures(dc.get());
  const XFORM& turned = layers.transforms[1];  // layer 0 of page 1
  EXPECT_NEAR(turned.eM11, 0, 1e-6);
  EXPECT_NEAR(turned.eM12, -1, 1e-6);
  EXPECT_NEAR(turned.eM21, 1, 1e-6);
  EXPECT_NEAR(turned.eDy, m.physicalHeight - m.physicalOffsetY, 0.5);
  EXPECT_TRUE(IsIdentity(layers.transforms[2])) << "the backside layer of page 1";
  EXPECT_TRUE(IsIdentity(layers.transforms[3])) << "the background of page 2";
  EXPECT_EQ(GetGraphicsMode(dc.get()), GM_COMPATIBLE);
  EXPECT_EQ(GetMapMode(dc.get()), MM_TEXT);
}

TEST_F(PageLoopTest, LayersOfAnNupSheetGoUnderAndOverAllItsPages) {
  const std::wstring org = SpoolPages({1, 1, 1}, DrawColourPage);
  dv::DcHandle dc = StartDocument();
  RecordingLayers layers(dc.get());
  layers.opaqueBackground = true;
  CSpooledEmf reader(org, 3);
  EmfPageJob job;
  job.totalPages = 3;
  job.pagesPerSide = 2;
  job.controlFile = install.SpoolFolder() + L"loop.Ctl";
  EXPECT_EQ(PrintEmfPages(dc.get(), reader, layers, job).failedEvent, 0);
  // The middle of page p's cell, as a share of the sheet.
  const int caps[] = {GetDeviceCaps(dc.get(), HORZRES), GetDeviceCaps(dc.get(), VERTRES),
                      GetDeviceCaps(dc.get(), PHYSICALOFFSETX), GetDeviceCaps(dc.get(), PHYSICALOFFSETY),
                      GetDeviceCaps(dc.get(), PHYSICALWIDTH), GetDeviceCaps(dc.get(), PHYSICALHEIGHT)};
  auto middle = [&](int p, double& fx, double& fy) {
    const RECT c = GetPageCell(p, 2, job.orientation, caps[0], caps[1]);
    fx = (caps[2] + (c.left + c.right) / 2.0) / caps[4];
    fy = (caps[3] + (c.top + c.bottom) / 2.0) / caps[5];
  };
  EndDoc(dc.get());
  // The background under the sheet's first page, the foreground over its
  // last; every page still gets its PageTemplates key.
  EXPECT_EQ(layers.calls, (std::vector<std::wstring>{L"1:1", L"0:2", L"3:2", L"1:3", L"0:3", L"3:3"}));
  for (int p = 1; p <= 3; ++p)
    EXPECT_EQ(GetIniString(L"PageTemplates", std::to_wstring(p), job.controlFile),
              dv::Format(L"template of page %d", p));
  // No page is covered by the background of another page of its sheet.
  const auto pages = Render();
  ASSERT_EQ(pages.size(), 2u);
  for (int p = 1; p <= 3; ++p) {
    SCOPED_TRACE(p);
    double fx = 0, fy = 0;
    middle(p, fx, fy);
    EXPECT_PRED2(Near, (SheetView{pages[(p - 1) / 2], false}.At(fx, fy)), Rgb(PageColour(p)));
  }
}

TEST_F(PageLoopTest, BackPageFollowsEachNupSheet) {
  const std::wstring org = SpoolPages({1, 1, 1, 1, 1}, DrawColourPage);
  dv::DcHandle dc = StartDocument();
  RecordingLayers layers(dc.get(), true);
  CSpooledEmf reader(org, 5);
  EmfPageJob job;
  job.totalPages = 5;
  job.pagesPerSide = 4;
  EXPECT_EQ(PrintEmfPages(dc.get(), reader, layers, job).failedEvent, 0);
  EndDoc(dc.get());
  EXPECT_EQ(layers.calls, (std::vector<std::wstring>{L"1:1", L"0:4", L"3:4", L"1:5", L"0:5", L"3:5"}));
  // Sheets of four pages, each followed by one back page; no page is opened
  // inside another.
  const auto pages = Render();
  ASSERT_EQ(pages.size(), 4u);
  for (int p = 1; p <= 5; ++p) {
    SCOPED_TRACE(p);
    SheetView front{pages[2 * ((p - 1) / 4)], false};
    const int i = (p - 1) % 4;
    EXPECT_PRED2(Near, front.At((i % 2 + 0.5) / 2, (i / 2 + 0.5) / 2), Rgb(PageColour(p)));
  }
  EXPECT_PRED2(Near, (SheetView{pages[2], false}.At(0.75, 0.75)), 0xFFFFFFu) << "sheet 2 holds page 5 only";
  for (int back : {1, 3}) EXPECT_GT((SheetView{pages[back], false}.Ink(0.2, 0.2, 0.8, 0.8)), 0.95) << back;
}

TEST(PageCell, GridsAndCells) {
  struct Row {
    int page, pagesPerSide, orientation, width, height;
    RECT cell;
  } rows[] = {
      {1, 4, 1, 4000, 6000, {0, 0, 2000, 3000}},
      {2, 4, 1, 4000, 6000, {2000, 0, 4000, 3000}},
      {4, 4, 1, 4000, 6000, {2000, 3000, 4000, 6000}},
      {5, 4, 1, 4000, 6000, {0, 0, 2000, 3000}},
      {2, 2, 1, 6000, 4000, {3000, 0, 6000, 4000}},
      {2, 2, 2, 4000, 6000, {0, 3000, 4000, 6000}},
      {6, 6, 1, 6000, 4000, {4000, 2000, 6000, 4000}},
      {5, 6, 2, 4000, 6000, {0, 4000, 2000, 6000}},
      {9, 9, 1, 1000, 1000, {666, 666, 999, 999}},  // cells truncated toward zero
      {16, 16, 2, 4000, 4000, {3000, 3000, 4000, 4000}},
      {2, 0, 1, 4000, 6000, {0, 0, 4000, 6000}},
      {3, -1, 1, 4000, 6000, {0, 0, 4000, 6000}},
      {3, 3, 1, 4000, 6000, {0, 0, 4000, 6000}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "page " << r.page << ", " << r.pagesPerSide << "-up, orientation "
                                    << r.orientation);
    RECT c = GetPageCell(r.page, r.pagesPerSide, r.orientation, r.width, r.height);
    EXPECT_EQ(c.left, r.cell.left);
    EXPECT_EQ(c.top, r.cell.top);
    EXPECT_EQ(c.right, r.cell.right);
    EXPECT_EQ(c.bottom, r.cell.bottom);
  }
}

TEST(PageTurn, ByFrameShapeAndRecordOrientation) {
  DeviceMeasures m;
  m.physicalWidth = 4958;
  m.physicalHeight = 7016;
  m.physicalOffsetX = 150;
  m.physicalOffsetY = 140;
  struct Row {
    LONG right, bottom;
    int record;
    int angle;
    float dx, dy;
  } rows[] = {
      {29700, 21000, 1, 270, 0, 7016 - 140}, {21000, 29700, 2, 90, 4958 - 150, 0}, {21000, 21000, 1, 0, 0, 0},
      {21000, 21000, 2, 0, 0, 0},            {29700, 21000, 2, 0, 0, 0},           {21000, 29700, 1, 0, 0, 0},
      {29700, 21000, 3, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.right << "x" << r.bottom << " record " << r.record);
    PageTurn t = GetPageTurn(r.right, r.bottom, r.record, m);
    EXPECT_EQ(t.angle, r.angle);
    EXPECT_EQ(t.dx, r.dx);
    EXPECT_EQ(t.dy, r.dy);
    EXPECT_EQ(t.exchangeCell, r.angle != 0);
    XFORM x = GetTurnTransform(t);
    const float s = r.angle == 90 ? 1.f : (r.angle == 270 ? -1.f : 0.f);
    EXPECT_NEAR(x.eM12, s, 1e-6);
    EXPECT_NEAR(x.eM21, -s, 1e-6);
    EXPECT_NEAR(x.eM11, r.angle == 0 ? 1 : 0, 1e-6);
  }
}
