// Version text, printer driver names and the viewer command line.
#include <gtest/gtest.h>

#include "common/PlatformHelpers.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/PrinterSetup.h"

TEST(NormalizeVersion, Table) {
  struct Row {
    const wchar_t* in;
    const wchar_t* out;
  } rows[] = {
      {L"1, 4, 3, 0", L"1.43"}, {L"3.10.2.7", L"3.102"}, {L"2.0.1", L"2.0"},
      {L"1, 5", L"1."},         {L"7", L""},             {L"", L""},
      {L"  1, 4, 3, 0  ", L"1.43"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "input: " << testing::PrintToString(std::wstring(r.in)));
    EXPECT_EQ(NormalizeVersion(r.in), r.out);
  }
}

TEST(GetPrinterDriverName, KnownAndUnknownPrinters) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  EXPECT_EQ(GetPrinterDriverName(printer.Name()), dvfix::kTestDriverName);
  EXPECT_EQ(GetPrinterDriverName(L"No Such Printer 4711"), L"");
}

TEST(StartJotview, QuotesTheProgramPath) {
  EXPECT_EQ(BuildJotviewCommandLine(L"C:\\Program Files\\Dorvane\\", L"C:\\dorvane\\Events.log"),
            L"\"C:\\Program Files\\Dorvane\\jotview.exe\" C:\\dorvane\\Events.log");
}

TEST(PrinterHarness, PrintsToItsFileAndRenders) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  HDC dc = CreateDCW(nullptr, printer.Name().c_str(), nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  DOCINFOW di = {sizeof(di), L"harness"};
  ASSERT_GT(StartDocW(dc, &di), 0);
  StartPage(dc);
  RECT r = {0, 0, 600, 600};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EndPage(dc);
  EndDoc(dc);
  DeleteDC(dc);
  std::string ps = printer.Output();
  EXPECT_EQ(dvtest::CountPostScriptPages(ps), 1);
  auto pages = dvtest::RenderPostScript(printer.OutputFile(), 60);
  ASSERT_EQ(pages.size(), 1u);
  // 600 device units at 600 dpi from the 150-unit offset: ink near (20,20) at 60 dpi.
  EXPECT_TRUE(pages[0].IsInk(30, 30));
  EXPECT_FALSE(pages[0].IsInk(pages[0].width - 10, pages[0].height - 10));
}
