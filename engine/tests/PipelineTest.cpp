// Jobs through the engine's exports, end to end: the stand-in print
// processor spools a job, the built Jobforge.Dll prints it on a printer whose
// port is a file.
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

class PipelineTest : public ::testing::Test {
 protected:
  int RunEmf(dvfix::EmfJobSpec spec) {
    spec.printer = spec.printer.empty() ? printer_.Name() : spec.printer;
    int job = dvfix::SpoolEmfJob(spec);
    EXPECT_GT(job, 0);
    return dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll"));
  }
  std::wstring Ctl(int job) const { return dvfix::SpoolFilePath(job, L"Ctl"); }
  void KeepFiles() { SetIniInt(L"General", L"DeleteFilesAfter", install_.SettingsFile(), 0); }

  dvtest::ScopedInstallFolder install_;
  dvtest::TestPrinter printer_;
};

}  // namespace

TEST_F(PipelineTest, EmfJobPrintsEveryPageAndRecordsItsValues) {
  ASSERT_TRUE(printer_.ok());
  KeepFiles();
  dvfix::EmfJobSpec spec;
  spec.pages = 3;
  spec.document = L"Report";
  EXPECT_EQ(RunEmf(spec), 1);
  const std::string ps = printer_.Output();
  EXPECT_EQ(dvtest::CountPostScriptPages(ps), 3);
  EXPECT_NE(ps.find("%%Title: Dorvane  Job:636;Report"), std::string::npos);

  const std::wstring ctl = Ctl(1);
  EXPECT_EQ(GetIniString(L"General", L"ScenarioFile", ctl, L"?"), L"");
  EXPECT_EQ(GetIniString(L"General", L"JobforgeDllVersion", ctl), L"1.43");
  EXPECT_NE(GetIniString(L"Job", L"Duplex", ctl), L"");
  for (int page = 1; page <= 3; ++page)
    EXPECT_EQ(GetIniString(L"PageTemplates", std::to_wstring(page), ctl, L"?"), L"") << page;
  EXPECT_EQ(GetIniString(L"PageTemplates", L"4", ctl, L"?"), L"?");
  EXPECT_TRUE(dvtest::FileExistsAt(dvfix::SpoolFilePath(1, L"Org")));
  EXPECT_TRUE(dvtest::FileExistsAt(dvfix::SpoolFilePath(1, L"Dvm")));
}

TEST_F(PipelineTest, FinishedJobsFilesAreDeletedByDefault) {
  ASSERT_TRUE(printer_.ok());
  EXPECT_EQ(RunEmf({}), 1);
  for (const wchar_t* ext : {L"Ctl", L"Dvm", L"Org"})
    EXPECT_FALSE(dvtest::FileExistsAt(dvfix::SpoolFilePath(1, ext))) << ext;
}

TEST_F(PipelineTest, TotalPagesDecidesHowManyPagesPrint) {
  ASSERT_TRUE(printer_.ok());
  struct Row {
    int pagesInData;
    int totalPages;  // -2: no key
    int sheets;
  } rows[] = {{2, -2, 1}, {2, 0, 2}, {3, 2, 2}};  // 0: the pages the stream holds
  for (const auto& r : rows) {
    SCOPED_TRACE(r.totalPages);
    printer_.ClearOutput();
    dvfix::EmfJobSpec spec;
    spec.pages = r.pagesInData;
    spec.totalPages = r.totalPages;
    EXPECT_EQ(RunEmf(spec), 1);
    EXPECT_EQ(dvtest::CountPostScriptPages(printer_.Output()), r.sheets);
  }
}

TEST_F(PipelineTest, NoDeviceContextKeepsTheJobAndLogs1004) {
  ASSERT_TRUE(printer_.ok());
  dvfix::EmfJobSpec spec;
  spec.printer = printer_.Name();
  const int job = dvfix::SpoolEmfJob(spec);
  ASSERT_GT(job, 0);
  SetIniString(L"General", L"PrinterName", Ctl(job), L"No Such Printer 77");
  EXPECT_EQ(dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll")), 0);
  EXPECT_TRUE(dvtest::FileExistsAt(dvfix::SpoolFilePath(job, L"Org")));
  bool found = false;
  for (const auto& line : install_.EventLines())
    if (line.rfind("1,1004,Can't create printer hDC,", 0) == 0) {
      found = true;
      EXPECT_EQ(line.substr(line.size() - std::string(", No Such Printer 77").size()), ", No Such Printer 77");
    }
  EXPECT_TRUE(found);
}

TEST_F(PipelineTest, DestinationFallsBackToThePrinterName) {
  ASSERT_TRUE(printer_.ok());
  // A cluster group turns the destination into a network name that does not
  // exist here: the job prints on PrinterName without an event.
  SetIniString(L"General", L"DefaultClusterGroup", install_.SettingsFile(), L"NOCLUSTER");
  EXPECT_EQ(RunEmf({}), 1);
  EXPECT_EQ(dvtest::CountPostScriptPages(printer_.Output()), 1);
  for (const auto& line : install_.EventLines()) EXPECT_EQ(line.find(",1004,"), std::string::npos) << line;
}
