// The job submitter: its command line, and dvsubmit.exe run against a
// stand-in engine library that records the export it was called with.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "submitter/SubmitterApp.h"
#include "tests/support/TestEnv.h"

TEST(SubmitCommandLine, JobNumberAndExportName) {
  struct Row {
    const char* name;
    std::wstring line;
    int job;
    std::wstring exportName;
  } rows[] = {
      {"number and export", L"42 ProcessRawJobAndSendToPrinter", 42, L"ProcessRawJobAndSendToPrinter"},
      {"number alone names itself", L"42", 42, L"42"},
      {"reversed", L"ProcessEmfJobAndSendToPrinter 42", 0, L"42"},
      {"further blanks stay in the name", L"42 ProcessEmfJobAndSendToPrinter extra", 42,
       L"ProcessEmfJobAndSendToPrinter extra"},
      {"leading blank and sign", L" -7 X", -7, L"-7 X"},
      {"plus sign", L"+5 X", 5, L"X"},
      {"digits up to the first non-digit", L"12ab X", 12, L"X"},
      {"too large is clamped", L"99999999999999999999 X", INT_MAX, L"X"},
      {"too small is clamped", L"-99999999999999999999 X", INT_MIN, L"X"},
      {"empty", L"", 0, L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SubmitCommand command = ParseSubmitCommandLine(row.line);
    EXPECT_EQ(command.jobNumber, row.job);
    EXPECT_EQ(command.exportName, row.exportName);
  }
  // A name of any length is taken whole.
  std::wstring longName(5000, L'P');
  EXPECT_EQ(ParseSubmitCommandLine(L"3 " + longName).exportName, longName);
}

TEST(SubmitCommandLine, UnmappableCharactersBecomeBlanks) {
  if (GetACP() != 1252) GTEST_SKIP() << "the test expects the Western code page";
  EXPECT_EQ(ToAnsiExportName(L"Proc\x4E2Dz"), "Proc z");
  EXPECT_EQ(ToAnsiExportName(L"Caf\x00E9"), "Caf\xE9");
}

namespace {

// An install folder with dvsubmit.exe and, unless told otherwise, the
// stand-in engine as Jobforge.Dll.
class SubmitterRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(install_.Install(dvtest::BuiltFile(L"submitter\\dvsubmit.exe")));
  }
  void InstallStubEngine() {
    ASSERT_TRUE(install_.Install(dvtest::BuiltFile(L"tools\\StubJobforge.Dll"), L"Jobforge.Dll"));
  }
  void Run(const std::wstring& arguments) {
    std::wstring cmd = L"\"" + install_.Path() + L"dvsubmit.exe\" " + arguments;
    EXPECT_EQ(dvtest::RunAndWait(cmd), 0);
  }
  std::string Calls() const { return dvtest::ReadFileBytes(install_.Path() + L"EngineCalls.txt"); }
  // Codes of the events written, in order.
  std::vector<std::string> EventCodes() const {
    std::vector<std::string> codes;
    for (const std::string& line : install_.EventLines()) {
      size_t a = line.find(',');
      size_t b = line.find(',', a + 1);
      codes.push_back(line.substr(a + 1, b - a - 1));
    }
    return codes;
  }

  dvtest::ScopedInstallFolder install_;
};

}  // namespace

TEST_F(SubmitterRun, CallsTheNamedExportOrLogsWhyNot) {
  InstallStubEngine();
  struct Row {
    const char* name;
    std::wstring arguments;
    std::string calls;
    std::vector<std::string> events;
  } rows[] = {
      {"RAW export", L"42 ProcessRawJobAndSendToPrinter", "ProcessRawJobAndSendToPrinter 42\r\n", {}},
      {"EMF export", L"17 ProcessEmfJobAndSendToPrinter", "ProcessEmfJobAndSendToPrinter 17\r\n", {}},
      {"number alone", L"42", "", {"1017"}},
      {"reversed: silent end", L"ProcessEmfJobAndSendToPrinter 42", "", {}},
      {"text after a second blank", L"42 ProcessEmfJobAndSendToPrinter extra", "", {"1017"}},
      {"very long name", L"42 " + std::wstring(3000, L'P'), "", {"1017"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW((install_.Path() + L"EngineCalls.txt").c_str());
    DeleteFileW(install_.EventLog().c_str());
    Run(row.arguments);
    EXPECT_EQ(Calls(), row.calls);
    EXPECT_EQ(EventCodes(), row.events);
  }
  const auto lines = install_.EventLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("1,1017,Unable to find procedure in library,", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(",GetLastError Returned: 127 ("), std::string::npos) << lines[0];
}

TEST_F(SubmitterRun, MissingEngineLibraryLogs1016) {
  Run(L"42 ProcessRawJobAndSendToPrinter");
  const auto lines = install_.EventLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("1,1016,Unable to load library: Jobforge.dll,", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(",GetLastError Returned: "), std::string::npos);
  // Job number 0 does not even try to load the library.
  DeleteFileW(install_.EventLog().c_str());
  Run(L"0 ProcessRawJobAndSendToPrinter");
  EXPECT_TRUE(install_.EventLines().empty());
}
