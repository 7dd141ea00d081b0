// RAW jobs through the engine's export, end to end: the stand-in print
// processor spools printer data, the built Jobforge.Dll prints it on a
// printer whose port is a file, and the file is compared byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/Pipeline.h"
#include "engine/RawJob.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/GatepostStandIn.h"
#include "tools/fixtures/PrinterSetup.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

const std::string E = "\x1b";
const std::string FF = "\x0c";
const std::string UEL = E + "%-12345X";
const std::string kPjl = UEL + "@PJL JOB NAME=\"report\"\r\n@PJL ENTER LANGUAGE=PCL\r\n";

class RawPipelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok());
    SetIniInt(L"General", L"DeleteFilesAfter", install_.SettingsFile(), 0);
  }

  int Spool(const std::string& data, int totalPages = 0, const std::wstring& printer = std::wstring()) {
    dvfix::RawJobSpec spec;
    spec.printer = printer.empty() ? printer_.Name() : printer;
    spec.data = data;
    spec.totalPages = totalPages;
    const int job = dvfix::SpoolRawJob(spec);
    EXPECT_GT(job, 0);
    return job;
  }
  int Process(int job) { return dvfix::ProcessSpooledJob(job, true, dvtest::BuiltFile(L"engine\\Jobforge.Dll")); }
  int Print(const std::string& data, int totalPages = 0) { return Process(Spool(data, totalPages)); }

  // A default scenario that forces the duplex mode in both orientations.
  void ForceDuplex(int duplex) {
    const std::wstring scenario = install_.Path() + L"duplex.scn";
    SetIniInt(L"General", L"PortraitForceDuplex", scenario, duplex);
    SetIniInt(L"General", L"LandscapeForceDuplex", scenario, duplex);
    SetIniString(L"General", L"DefaultScenarioFile", install_.SettingsFile(), scenario);
  }
  std::wstring Ctl(int job) const { return dvfix::SpoolFilePath(job, L"Ctl"); }
  std::vector<std::string> EventCodes() const {
    std::vector<std::string> codes;
    for (const std::string& line : install_.EventLines()) {
      const size_t a = line.find(',');
      codes.push_back(line.substr(a + 1, line.find(',', a + 1) - a - 1));
    }
    return codes;
  }

  dvtest::ScopedInstallFolder install_;
  dvtest::TestPrinter printer_;
};

}  // namespace

TEST_F(RawPipelineTest, Pcl5JobPrintsWithItsDuplexHeaderAndNoStrayBytes) {
  ForceDuplex(2);
  const std::string header = kPjl + E + "E" + E + "&l0S" + E + "&l1O" + E + "&l26A";
  const std::string data = header + E + "*p0x0Y" + "page one" + FF + "pa" + E + "&b1M" + "ge two" + FF +
                           E + "*b3W" + std::string("\x0c\x00\x1b", 3) + "page three" + FF + E + "E" + UEL;
  const int job = Spool(data);
  ASSERT_EQ(Process(job), 1);

  const std::string expected = kPjl + E + "E" + E + "&l1S" + E + "&l1O" + E + "&l26A" + E + "*p0x0Y" + "page one" +
                               FF + "page two" + FF + E + "*b3W" + std::string("\x0c\x00\x1b", 3) + "page three" + FF +
                               E + "E" + UEL;
  EXPECT_EQ(printer_.Output(), expected);

  const std::wstring ctl = Ctl(job);
  EXPECT_EQ(GetIniString(L"General", L"TotalPages", ctl), L"3");
  EXPECT_EQ(GetIniString(L"Job", L"Pages", ctl), L"3");
  EXPECT_EQ(GetIniString(L"General", L"PrintLanguage", ctl), L"PCL5");
  EXPECT_EQ(GetIniString(L"Job", L"Duplex", ctl), L"2");
  EXPECT_EQ(GetIniString(L"General", L"Orientation", ctl), L"2");
  EXPECT_EQ(GetIniString(L"General", L"DevmodePaper", ctl), L"9 (A4)");
  for (const wchar_t* page : {L"1", L"2", L"3"}) EXPECT_EQ(GetIniString(L"PageTemplates", page, ctl, L"?"), L"");
  EXPECT_EQ(GetIniString(L"PageTemplates", L"4", ctl, L"?"), L"?");
  EXPECT_TRUE(EventCodes().empty());
}

TEST_F(RawPipelineTest, PageCountAndDuplexRules) {
  struct Row {
    const char* name;
    int forcedDuplex;
    std::string data;
    int totalPages;        // in the control file
    std::string expected;  // printer output
    const wchar_t* duplex;
    const wchar_t* language;  // "-": not written
  } rows[] = {
      {"one page prints one-sided", 3, E + "&l2S" + E + "*p0x0Y" + "only" + FF, 0,
       E + "&l0S" + E + "*p0x0Y" + "only" + FF, L"1", L"PCL5"},
      {"short edge appended", 3, E + "E" + E + "*p0x0Y" + "a" + FF + "b" + FF, 0,
       E + "E" + E + "&l2S" + E + "*p0x0Y" + "a" + FF + "b" + FF, L"3", L"PCL5"},
      {"last page without a form feed gets the engine's", 0, E + "*p0x0Y" + "a" + FF + "b", 0,
       E + "*p0x0Y" + "a" + FF + "b" + FF, L"0", L"PCL5"},
      {"the print processor's count stands", 0, E + "*p0x0Y" + "a" + FF + "b" + FF + "c" + FF, 2,
       E + "*p0x0Y" + "a" + FF + "b" + FF + "c" + FF, L"0", L"-"},
      {"more pages than the data holds make none of nothing", 0, E + "*p0x0Y" + "a" + FF, 3,
       E + "*p0x0Y" + "a" + FF, L"0", L"-"},
      {"forced duplex outside 1-3", 7, E + "&l1S" + E + "*p0x0Y" + "a" + FF + "b" + FF, 0,
       E + "&l1S" + E + "*p0x0Y" + "a" + FF + "b" + FF, L"7", L"PCL5"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    printer_.ClearOutput();
    ForceDuplex(row.forcedDuplex);
    const int job = Spool(row.data, row.totalPages);
    ASSERT_EQ(Process(job), 1);
    EXPECT_EQ(printer_.Output(), row.expected);
    EXPECT_EQ(GetIniString(L"Job", L"Duplex", Ctl(job)), row.duplex);
    EXPECT_EQ(GetIniString(L"General", L"PrintLanguage", Ctl(job), L"-"), row.language);
  }
}

TEST_F(RawPipelineTest, DataCountsAndPageCountsThatTheDataDoesNotBackUp) {
  // Each job printed through the export: its result, its files and the
  // bytes that reached the printer.
  SetIniInt(L"General", L"DeleteFilesAfter", install_.SettingsFile(), 1);
  std::string tail;
  for (int i = 0; i < 64; ++i) tail.push_back(static_cast<char>(i * 37));
  struct Row {
    const char* name;
    std::string data;
    int totalPages;  // in the control file
    std::string printed;
  } rows[] = {
      // One page (the form feed is raster data): printed one-sided.
      {"raster count of INT_MAX, data shorter", E + "E" + E + "*p0x0Y" + "HELLO" + E + "*b2147483647W" + tail + FF, 0,
       E + "E" + E + "&l0S" + E + "*p0x0Y" + "HELLO" + E + "*b2147483647W" + tail + FF + FF},
      {"raster count of INT_MAX, no ESC after it", E + "*p0x0Y" + "x" + E + "*b2147483647W" + "abc", 0,
       E + "&l0S" + E + "*p0x0Y" + "x" + E + "*b2147483647W" + "abc" + FF},
      {"ESC&b1M inside raster data", E + "*p0x0Y" + "A" + E + "*b5W" + E + "&b1M" + "B" + FF + "C" + FF, 0,
       E + "*p0x0Y" + "A" + E + "*b5W" + E + "&b1M" + "B" + FF + "C" + FF},
      {"TotalPages of INT_MAX on two pages", E + "*p0x0Y" + "a" + FF + "b" + FF, 2147483647,
       E + "*p0x0Y" + "a" + FF + "b" + FF},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    printer_.ClearOutput();
    const int job = Spool(row.data, row.totalPages);
    EXPECT_EQ(Process(job), 1);
    for (const wchar_t* ext : {L"Ctl", L"Job", L"Org"})
      EXPECT_FALSE(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, ext))) << ext;
    const std::string printed = printer_.Output();
    EXPECT_EQ(printed.size(), row.printed.size());
    EXPECT_TRUE(printed == row.printed);
  }
  EXPECT_TRUE(EventCodes().empty());
}

TEST_F(RawPipelineTest, WhatFollowsTheLastPageIsCopiedWithoutAPageOfItsOwn) {
  // After the last page's form feed, job control (a reset, PJL, the raster
  // and page-break sequences that leave no mark) reaches the printer as it
  // stands, whatever TotalPages says; printable data or another command
  // still makes a page with the engine's form feed. Pages start where the
  // count counts them, so what the count passes over between pages is
  // copied as it stands too.
  const std::string body = E + "*p0x0Y" + "a" + FF + "b" + FF;
  const std::string trailer = E + "E" + UEL + "@PJL EOJ NAME=\"report\"\r\n" + UEL;
  // The count passes over the raster end: page 2 is "bc", whose dropped
  // command must not reach the printer.
  const std::string afterRasterEnd = E + "*p0x0Y" + "a" + FF + E + "*rB" + FF + "b" + E + "&b1M" + "c" + FF;
  const std::string afterRasterEndPrinted = E + "*p0x0Y" + "a" + FF + E + "*rB" + FF + "bc" + FF;
  struct Row {
    const char* name;
    std::string data;
    int totalPages;        // in the control file
    std::string printed;   // "=": the data as it stands
    int pages;             // pages made (their PageTemplates keys)
    int counted;           // TotalPages and Job/Pages written (0: TotalPages was given)
  } rows[] = {
      {"reset and PJL job end, TotalPages 2147483647", kPjl + E + "E" + body + trailer, 2147483647, "=", 2, 0},
      {"reset and PJL job end, TotalPages 5", kPjl + E + "E" + body + trailer, 5, "=", 2, 0},
      {"reset and PJL job end, a raster end between pages, TotalPages counted",
       kPjl + E + "E" + afterRasterEnd + trailer, 0, kPjl + E + "E" + afterRasterEndPrinted + trailer, 2, 2},
      {"a raster end between pages, TotalPages 2147483647", afterRasterEnd, 2147483647, afterRasterEndPrinted, 2, 0},
      {"the page after a raster end without its form feed", E + "*p0x0Y" + "a" + FF + E + "*rB" + FF + "b", 0,
       E + "*p0x0Y" + "a" + FF + E + "*rB" + FF + "b" + FF, 2, 2},
      {"PJL without a reset", body + UEL + "@PJL EOJ\r\n" + UEL, 2147483647, "=", 2, 0},
      {"sequences that leave the break pending",
       body + E + "*rB" + E + "*c0P" + E + "*b0M" + "\r\n" + E + "*c2F" + E + "E", 2147483647, "=", 2, 0},
      {"a blank page before the trailer", body + FF + trailer, 2147483647, "=", 2, 0},
      // The second form feed is copied between the pages.
      {"a blank page between pages", E + "*p0x0Y" + "a" + FF + FF + "b" + FF + trailer, 2147483647, "=", 2, 0},
      {"printable data after the last form feed", body + trailer + "c", 2147483647, body + trailer + "c" + FF, 3, 0},
      {"a command after the last form feed", body + E + "&l1O" + trailer, 2147483647,
       body + E + "&l1O" + trailer + FF, 3, 0},
      {"the last page without its form feed", E + "*p0x0Y" + "a" + FF + "b", 2147483647,
       E + "*p0x0Y" + "a" + FF + "b" + FF, 2, 0},
      // The count is at least 1; the copy makes no page of nothing.
      {"an empty file, TotalPages counted", "", 0, "", 0, 1},
      {"an empty file, TotalPages 2147483647", "", 2147483647, "", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    printer_.ClearOutput();
    const int job = Spool(row.data, row.totalPages);
    ASSERT_EQ(Process(job), 1);
    EXPECT_EQ(printer_.Output(), row.printed == "=" ? row.data : row.printed);
    for (int page = 1; page <= row.pages + 1; ++page)
      EXPECT_EQ(GetIniString(L"PageTemplates", std::to_wstring(page), Ctl(job), L"?") != L"?", page <= row.pages)
          << "page " << page;
    if (row.counted > 0) {
      EXPECT_EQ(GetIniString(L"General", L"TotalPages", Ctl(job)), std::to_wstring(row.counted));
      EXPECT_EQ(GetIniString(L"Job", L"Pages", Ctl(job)), std::to_wstring(row.counted));
    }
  }
  EXPECT_TRUE(EventCodes().empty());
}

TEST_F(RawPipelineTest, PclXlAndPostScriptPassThroughUnchanged) {
  ForceDuplex(2);
  struct Row {
    const char* name;
    std::string data;
  } rows[] = {
      {"PCL XL", UEL + "@PJL ENTER LANGUAGE=PCLXL\r\n" + std::string(") HP-PCL XL;2;0\r\n\x00\x0c\x1b\xff", 21) +
                     std::string(40000, '\x0c') + UEL},
      {"PostScript", "%!PS-Adobe-3.0\n%%Pages: 2\nshowpage\n\x0c\nshowpage\n%%EOF\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    printer_.ClearOutput();
    const int job = Spool(row.data);
    ASSERT_EQ(Process(job), 1);
    EXPECT_EQ(printer_.Output(), row.data);
    EXPECT_EQ(GetIniString(L"General", L"PrintLanguage", Ctl(job)), L"PCL6");
    EXPECT_EQ(GetIniString(L"General", L"TotalPages", Ctl(job)), L"1");
    EXPECT_EQ(GetIniString(L"Job", L"Duplex", Ctl(job)), L"1");
  }
}

TEST_F(RawPipelineTest, InstructionsJobMarksItsUserAndPrintsNothing) {
  SetIniInt(L"General", L"DeleteFilesAfter", install_.SettingsFile(), 1);
  const int job = Spool(UEL + "@PJL JOB NAME=\"Dorvane Instructions Job\"\r\n" + E + "E" + "text" + FF + UEL);
  EXPECT_EQ(Process(job), 0);
  EXPECT_EQ(printer_.Output(), "");
  EXPECT_EQ(GetIniString(L"Users", L"alice", install_.Path() + L"IgnoreList.ini"), L"1");
  for (const wchar_t* ext : {L"Ctl", L"Job", L"Org"})
    EXPECT_FALSE(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, ext))) << ext;
}

TEST_F(RawPipelineTest, FailuresKeepTheJobsFiles) {
  // No files at all: the analysis and the copy each log 1007, and no
  // control file is left behind to show up as a job.
  EXPECT_EQ(Process(77), 0);
  EXPECT_EQ(EventCodes(), (std::vector<std::string>{"1007", "1007"}));
  EXPECT_FALSE(dvtest::FileExistsAt(dvfix::SpoolFilePath(77, L"Ctl")));

  // No printer to open.
  DeleteFileW(install_.EventLog().c_str());
  const int job = Spool(E + "*p0x0Y" + "a" + FF, 0, L"No Such Printer 77");
  EXPECT_EQ(Process(job), 0);
  EXPECT_EQ(EventCodes(), (std::vector<std::string>{"1008", "1008"}));
  const auto lines = install_.EventLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(",GetLastError Returned: "), std::string::npos);
  EXPECT_EQ(lines[1].substr(lines[1].size() - 19), ",No Such Printer 77");
  EXPECT_TRUE(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, L"Org")));
}

TEST_F(RawPipelineTest, GatepostTakesTheJobIntoItsQueue) {
  SetIniInt(L"General", L"DeleteFilesAfter", install_.SettingsFile(), 1);
  SetIniString(L"General", L"SendToGatepost", install_.SettingsFile(), L"1");
  dvfix::GatepostStandIn gatepost(install_.Path() + L"GP\\", dvtest::BuiltFile(L"tools\\Submitter.exe"));
  ASSERT_TRUE(gatepost.ok());
  gatepost.SetJobNumber(16);

  const std::string data = E + "*p0x0Y" + "a" + FF + "b" + FF;
  const int job = Spool(data);
  ASSERT_EQ(Process(job), 1);
  EXPECT_EQ(dvtest::ReadFileBytes(gatepost.QueueFile(17)), data);
  EXPECT_EQ(printer_.Output(), "");
  EXPECT_EQ(gatepost.JobNumber(), 17);
  const std::string header = dvtest::ReadFileBytes(gatepost.HeaderFile(17));
  EXPECT_NE(header.find("PrintLanguage=PCL5"), std::string::npos);
  const auto calls = gatepost.SubmitterCalls(1);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], "\"" + dv::ToUtf8(gatepost.Folder()) + "Submitter.exe\" \"" +
                          dv::ToUtf8(gatepost.HeaderFile(17)) + "\"|header");
  EXPECT_FALSE(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, L"Org")));

  // Without ExePath the hand-off is refused before anything is printed.
  gatepost.RemoveExePath();
  const int refused = Spool(data);
  EXPECT_EQ(Process(refused), 0);
  EXPECT_EQ(EventCodes(), (std::vector<std::string>{"1009"}));
  EXPECT_EQ(gatepost.JobNumber(), 17);
  EXPECT_EQ(printer_.Output(), "");
  EXPECT_TRUE(dvtest::FileExistsAt(dvfix::SpoolFilePath(refused, L"Org")));
}

namespace {

// Stands in for the printer behind the RAW output stream.
struct ShortSink {
  std::string taken;
  DWORD limit = 1000;          // bytes taken per write
  size_t refuseAfter = 0;      // refuse once this many were taken (0: never)
  static bool Write(void* context, const BYTE* bytes, DWORD count, DWORD* took) {
    auto* sink = static_cast<ShortSink*>(context);
    if (sink->refuseAfter && sink->taken.size() >= sink->refuseAfter) {
      SetLastError(ERROR_NOT_READY);
      *took = 0;
      return false;
    }
    *took = count < sink->limit ? count : sink->limit;
    sink->taken.append(reinterpret_cast<const char*>(bytes), *took);
    return true;
  }
};

struct ScopedOutputTarget {
  explicit ScopedOutputTarget(ShortSink& sink) { SetRawOutputTarget(&ShortSink::Write, &sink); }
  ~ScopedOutputTarget() { SetRawOutputTarget(nullptr, nullptr); }
};

}  // namespace

TEST_F(RawPipelineTest, OutputThatTheTargetRefusesIsNoSuccess) {
  SetIniInt(L"General", L"DeleteFilesAfter", install_.SettingsFile(), 1);
  std::string data = E + "*p0x0Y";
  for (int p = 0; p < 20; ++p) data += std::string(3000, static_cast<char>('a' + p)) + FF;

  // A target that takes a little of each write gets every byte once.
  ShortSink partial;
  {
    ScopedOutputTarget seam(partial);
    EXPECT_EQ(ProcessJobAndSendToPrinter(Spool(data), true), 1);
  }
  EXPECT_EQ(partial.taken, data);

  // One that stops taking bytes: event 1012 with its error, result 0, the
  // job's files kept.
  ShortSink refusing;
  refusing.refuseAfter = 20000;
  const int job = Spool(data);
  {
    ScopedOutputTarget seam(refusing);
    EXPECT_EQ(ProcessJobAndSendToPrinter(job, true), 0);
  }
  EXPECT_EQ(EventCodes(), (std::vector<std::string>{"1012"}));
  const std::string detail = "GetLastError Returned: " + std::to_string(ERROR_NOT_READY) + " (";
  EXPECT_NE(install_.EventLines()[0].find(detail), std::string::npos);
  for (const wchar_t* ext : {L"Ctl", L"Job", L"Org"})
    EXPECT_TRUE(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, ext))) << ext;
}

TEST_F(RawPipelineTest, PrinterThatCannotEndTheDocument) {
  // Wine's spooler takes the data and fails at the document's end when the
  // port file cannot be made.
  const std::wstring name = L"DvT bad port";
  ASSERT_TRUE(dvfix::AddFilePrinter(name, L"C:\\no\\such\\folder\\out.prn"));
  const int job = Spool(E + "*p0x0Y" + "a" + FF, 0, name);
  EXPECT_EQ(Process(job), 0);
  EXPECT_EQ(EventCodes(), (std::vector<std::string>{"1012"}));
  EXPECT_TRUE(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, L"Org")));
  dvfix::RemovePrinter(name);
}
