// The Gatepost hand-off against its stand-ins: the registry key, the queue
// folder and a stub Submitter.exe that records its command line.
#include <gtest/gtest.h>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/EngineRegistry.h"
#include "engine/Gatepost.h"
#include "engine/Pipeline.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/GatepostStandIn.h"

namespace {

class GatepostTest : public ::testing::Test {
 protected:
  // A program folder with a blank in its name, so unquoted paths would
  // split.
  GatepostTest() : gatepost_(install_.Path() + L"Gate post\\", dvtest::BuiltFile(L"tools\\Submitter.exe")) {}
  void SetUp() override { ASSERT_TRUE(gatepost_.ok()); }

  std::vector<std::string> EventsWithCode(const std::string& code) const {
    std::vector<std::string> found;
    for (const std::string& line : install_.EventLines())
      if (line.find("," + code + ",") != std::string::npos) found.push_back(line);
    return found;
  }

  dvtest::ScopedInstallFolder install_;
  dvfix::GatepostStandIn gatepost_;
};

}  // namespace

TEST_F(GatepostTest, QueueFileTakesTheNextNumber) {
  gatepost_.SetJobNumber(16);
  std::wstring queue;
  ASSERT_TRUE(GetGatepostQueueFile(queue));
  EXPECT_EQ(queue, gatepost_.QueueFile(17));
  EXPECT_EQ(gatepost_.JobNumber(), 17);
  EXPECT_EQ(GetGatepostHeaderFile(queue), gatepost_.HeaderFile(17));
  ASSERT_TRUE(GetGatepostQueueFile(queue));
  EXPECT_EQ(queue, gatepost_.QueueFile(18));
}

TEST_F(GatepostTest, NumbersWithAQueueOrHeaderFilePassOver) {
  gatepost_.SetJobNumber(16);
  ASSERT_TRUE(dvtest::WriteFileBytes(gatepost_.QueueFile(17), "older job"));
  ASSERT_TRUE(dvtest::WriteFileBytes(gatepost_.HeaderFile(18), "older header"));
  std::wstring queue;
  ASSERT_TRUE(GetGatepostQueueFile(queue));
  EXPECT_EQ(queue, gatepost_.QueueFile(19));
  EXPECT_EQ(gatepost_.JobNumber(), 19);
  EXPECT_EQ(dvtest::ReadFileBytes(gatepost_.QueueFile(17)), "older job");
}

TEST_F(GatepostTest, KeyMadeByTheEngineHasTheClassRegSz) {
  // Whichever of the engine's accesses finds the key missing creates it, with
  // the class "REG_SZ".
  struct Row {
    const char* name;
    void (*access)();
    long long jobNumber;  // in the new key afterwards, -1 for none
  } rows[] = {
      {"the JobNumber write", [] { RegWriteHklmDword(kGatepostKey, L"JobNumber", 3); }, 3},
      {"the ExePath read", [] {
         std::wstring text;
         RegReadHklmValue(kGatepostKey, L"ExePath", text);
       }, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(RegDeleteTreeW(HKEY_LOCAL_MACHINE, kGatepostKey), ERROR_SUCCESS);
    row.access();
    dv::RegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGatepostKey, 0, KEY_QUERY_VALUE, key.put()), ERROR_SUCCESS);
    wchar_t keyClass[64] = L"unread";
    DWORD classLength = 64;
    ASSERT_EQ(RegQueryInfoKeyW(key.get(), keyClass, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(keyClass, classLength), L"REG_SZ");
    // The write's value is a DWORD of the number; the read adds none.
    EXPECT_EQ(gatepost_.JobNumber(), row.jobNumber);
  }
}

TEST_F(GatepostTest, ExePathAndJobNumberAsRead) {
  struct Row {
    const char* name;
    bool exePath64;       // ExePath in the 64-bit view
    bool exePath32;       // ExePath in the 32-bit view only
    bool jobNumberText;   // JobNumber stored as text
    bool taken;
    int number;
  } rows[] = {
      {"missing ExePath refuses", false, false, false, false, 0},
      {"ExePath of the 32-bit view", false, true, false, true, 6},
      {"JobNumber of another type counts as 0", true, false, true, true, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(install_.EventLog().c_str());
    gatepost_.SetJobNumber(5);
    if (!row.exePath64) gatepost_.RemoveExePath();
    dv::RegKey key32;
    if (row.exePath32) {
      ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGatepostKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                                nullptr, key32.put(), nullptr),
                ERROR_SUCCESS);
      const std::wstring folder = gatepost_.Folder();
      RegSetValueExW(key32.get(), L"ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    if (row.jobNumberText) {
      dv::RegKey key;
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGatepostKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
      RegSetValueExW(key.get(), L"JobNumber", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"41"), 6);
    }

    std::wstring queue = L"unchanged";
    EXPECT_EQ(GetGatepostQueueFile(queue), row.taken);
    if (row.taken) {
      EXPECT_EQ(queue, gatepost_.QueueFile(row.number));
      EXPECT_EQ(gatepost_.JobNumber(), row.number);
    } else {
      EXPECT_EQ(queue, L"");
      EXPECT_EQ(gatepost_.JobNumber(), 5);  // no number consumed
      EXPECT_EQ(EventsWithCode("1009").size(), 1u);
    }

    if (key32) RegDeleteValueW(key32.get(), L"ExePath");
    gatepost_.SetExePath(gatepost_.Folder());
  }
}

TEST_F(GatepostTest, HandOffCopiesTheHeaderAndStartsTheSubmitter) {
  JobContext ctx;
  ctx.files = GetJobFileNames(7);
  ASSERT_TRUE(dvtest::WriteFileBytes(ctx.files.ctl, "[General]\r\nPrinterName=HP\r\n"));
  gatepost_.SetJobNumber(16);
  ASSERT_TRUE(GetGatepostQueueFile(ctx.gatepostQueueFile));
  ASSERT_TRUE(HandOffToGatepost(ctx));

  EXPECT_EQ(dvtest::ReadFileBytes(gatepost_.HeaderFile(17)), dvtest::ReadFileBytes(ctx.files.ctl));
  const auto calls = gatepost_.SubmitterCalls(1);
  ASSERT_EQ(calls.size(), 1u);
  const std::string expected = "\"" + dv::ToUtf8(gatepost_.Folder()) + "Submitter.exe\" \"" +
                               dv::ToUtf8(gatepost_.HeaderFile(17)) + "\"|header";
  EXPECT_EQ(calls[0], expected);
  EXPECT_TRUE(install_.EventLines().empty());
}

TEST_F(GatepostTest, FailedHandOffIsReported) {
  struct Row {
    const char* name;
    bool headerExists;
    bool submitterMissing;
    const char* event;
  } rows[] = {
      {"header file already there", true, false, "2"},
      {"submitter cannot start", false, true, "1012"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(install_.EventLog().c_str());
    JobContext ctx;
    ctx.files = GetJobFileNames(7);
    ASSERT_TRUE(dvtest::WriteFileBytes(ctx.files.ctl, "[General]\r\n"));
    ASSERT_TRUE(GetGatepostQueueFile(ctx.gatepostQueueFile));
    const std::wstring header = GetGatepostHeaderFile(ctx.gatepostQueueFile);
    if (row.headerExists) {
      ASSERT_TRUE(dvtest::WriteFileBytes(header, "someone else's"));
    }
    if (row.submitterMissing) {
      ASSERT_TRUE(DeleteFileW((gatepost_.Folder() + L"Submitter.exe").c_str()));
    }

    EXPECT_FALSE(HandOffToGatepost(ctx));
    EXPECT_EQ(EventsWithCode(row.event).size(), 1u);
    if (row.headerExists) {
      EXPECT_EQ(dvtest::ReadFileBytes(header), "someone else's");
    }
  }
  EXPECT_TRUE(gatepost_.SubmitterCalls(0, 0).empty());
}
