// A job spooled as the print processor leaves it, listed by the controller
// and reprinted through the real engine library onto a test printer.
#include "controller/tests/ControllerFixture.h"

#include "tools/fixtures/StandInPrintProcessor.h"

namespace ctltest {
namespace {

TEST_F(ControllerTest, ReprintRunsTheEngineOnTheCopy) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  SetGeneral(L"DeleteFilesAfter", L"0");
  ASSERT_TRUE(folder.Install(dvtest::BuiltFile(L"engine\\Jobforge.Dll")));
  dvfix::EmfJobSpec spec;
  spec.printer = printer.Name();
  spec.document = L"Quarterly report";
  spec.pages = 2;
  const int job = dvfix::SpoolEmfJob(spec);
  ASSERT_GT(job, 0);

  ASSERT_TRUE(Start());
  ASSERT_EQ(1, frame->SpoolView().JobCount());
  EXPECT_EQ(L"Quarterly report", frame->SpoolView().JobList().ItemText(0, 1));
  printer.ClearOutput();
  SelectRows({0});
  Command(ID_FILE_PRINT);

  EXPECT_EQ(std::to_wstring(job + 1), General(L"LastJobNumber"));
  EXPECT_EQ(2, dvtest::CountPostScriptPages(printer.Output()));
  Pump();  // the new number refreshes the list; the copy is kept
  EXPECT_EQ(2, frame->SpoolView().JobCount());
}

}  // namespace
}  // namespace ctltest
