// Job commands: reprint through a stand-in engine library that records the
// export and the job number, free-number search, copy failures, delete with
// its confirmation.
#include "controller/tests/ControllerFixture.h"

namespace ctltest {
namespace {

class JobCommandsTest : public ControllerTest {
 protected:
  void InstallStubEngine() {
    ASSERT_TRUE(folder.Install(dvtest::BuiltFile(L"tools\\StubJobforge.Dll"), L"Jobforge.Dll"));
  }
  // "<export> <number>" lines the stand-in engine wrote.
  std::vector<std::string> EngineCalls() const {
    std::vector<std::string> calls;
    std::string all = dvtest::ReadFileBytes(folder.Path() + L"EngineCalls.txt");
    size_t pos = 0, end;
    while ((end = all.find("\r\n", pos)) != std::string::npos) {
      calls.push_back(all.substr(pos, end - pos));
      pos = end + 2;
    }
    return calls;
  }
  void Reprint(std::initializer_list<int> rows) {
    SelectRows(rows);
    Command(ID_FILE_PRINT);
  }
};

TEST_F(JobCommandsTest, ReprintCopiesTheJobToTheNextNumberAndCallsTheEngine) {
  struct Row {
    const char* name;
    bool emf;
    const char* call;
  } rows[] = {
      {"EMF job", true, "ProcessEmfJobAndSendToPrinter 58"},
      {"RAW job (no devmode file)", false, "ProcessRawJobAndSendToPrinter 58"},
  };
  InstallStubEngine();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (const wchar_t* ext : {L"Org", L"Dvm", L"Ctl"}) {
      DeleteFileW(JobPath(42, ext).c_str());
      DeleteFileW(JobPath(58, ext).c_str());
    }
    DeleteFileW((folder.Path() + L"EngineCalls.txt").c_str());
    DeleteFileW(folder.EventLog().c_str());
    AddJob(42, true, row.emf);
    SetGeneral(L"LastJobNumber", L"57");
    ASSERT_TRUE(Start());
    Reprint({0});
    EXPECT_EQ(L"58", General(L"LastJobNumber"));
    EXPECT_EQ("org of 42", dvtest::ReadFileBytes(JobPath(58, L"Org")));
    EXPECT_EQ(row.emf, dvtest::FileExistsAt(JobPath(58, L"Dvm")));
    if (row.emf) {
      EXPECT_EQ("dvm of 42", dvtest::ReadFileBytes(JobPath(58, L"Dvm")));
    }
    EXPECT_EQ(L"Doc 42", GetIniString(L"General", L"Document", JobPath(58, L"Ctl")));
    EXPECT_EQ(std::vector<std::string>{row.call}, EngineCalls());
    EXPECT_TRUE(EventsWithCode(2).empty()) << "a RAW job's missing devmode is no failure";
    EXPECT_EQ(1, frame->SpoolView().JobCount()) << "the list is not rebuilt by the reprint";
    Stop();
  }
}

TEST_F(JobCommandsTest, ReprintOfSeveralRowsTakesNumbersInRowOrder) {
  InstallStubEngine();
  AddJob(3);
  AddJob(9, true, false);
  AddJob(12);
  SetGeneral(L"LastJobNumber", L"20");
  ASSERT_TRUE(Start());
  Reprint({0, 1, 2});
  EXPECT_EQ((std::vector<std::string>{"ProcessEmfJobAndSendToPrinter 21", "ProcessRawJobAndSendToPrinter 22",
                                      "ProcessEmfJobAndSendToPrinter 23"}),
            EngineCalls());
  EXPECT_EQ("org of 9", dvtest::ReadFileBytes(JobPath(22, L"Org")));
  EXPECT_EQ(L"23", General(L"LastJobNumber"));
}

TEST_F(JobCommandsTest, ReprintStepsOverNumbersThatOtherJobsStillUse) {
  InstallStubEngine();
  AddJob(5);
  // LastJobNumber was set back below jobs that are still in the spool.
  dvtest::WriteFileBytes(JobPath(3, L"Ctl"), "[General]\r\nDocument=other 3\r\n");
  dvtest::WriteFileBytes(JobPath(4, L"Dvm"), "other 4");
  SetGeneral(L"LastJobNumber", L"2");
  ASSERT_TRUE(Start());
  Reprint({1});  // rows: 3, 5
  EXPECT_EQ((std::vector<std::string>{"ProcessEmfJobAndSendToPrinter 6"}), EngineCalls());
  EXPECT_EQ(L"6", General(L"LastJobNumber"));
  EXPECT_EQ("[General]\r\nDocument=other 3\r\n", dvtest::ReadFileBytes(JobPath(3, L"Ctl")));
  EXPECT_EQ("other 4", dvtest::ReadFileBytes(JobPath(4, L"Dvm")));
  EXPECT_FALSE(dvtest::FileExistsAt(JobPath(3, L"Org")));
  EXPECT_EQ("org of 5", dvtest::ReadFileBytes(JobPath(6, L"Org")));
}

TEST_F(JobCommandsTest, ReprintGivesUpWhenNoFreeNumberIsNear) {
  InstallStubEngine();
  AddJob(1);
  for (int n = 2; n <= 1002; ++n) dvtest::WriteFileBytes(JobPath(n, L"Org"), "");
  SetGeneral(L"LastJobNumber", L"1");
  EXPECT_EQ(0, CSpoolFrm::CopyJobToNewNumber(1));
  EXPECT_EQ(L"1", General(L"LastJobNumber"));
  const auto events = EventsWithCode(2);
  ASSERT_EQ(1u, events.size());
  EXPECT_NE(std::string::npos, events[0].detail.find("Original Job number: 1, New Job number: 1002, Error: 7"))
      << events[0].detail;
  ASSERT_TRUE(Start());
  SelectRows({0});
  Command(ID_FILE_PRINT);
  EXPECT_TRUE(EngineCalls().empty());
}

TEST_F(JobCommandsTest, FailedCopiesAreLoggedAndTheEngineStillRuns) {
  InstallStubEngine();
  AddJob(42, false, true);  // spool data gone
  SetGeneral(L"LastJobNumber", L"57");
  ASSERT_TRUE(Start());
  Reprint({0});
  const auto events = EventsWithCode(2);
  ASSERT_EQ(1u, events.size());
  EXPECT_EQ("Original Job number: 42, New Job number: 58, Error: 1", events[0].detail);
  EXPECT_EQ((std::vector<std::string>{"ProcessEmfJobAndSendToPrinter 58"}), EngineCalls());
}

TEST_F(JobCommandsTest, WithoutAnEngineTheCopiesStayAndNothingIsLogged) {
  AddJob(42);
  SetGeneral(L"LastJobNumber", L"57");
  ASSERT_TRUE(Start());
  Reprint({0});
  EXPECT_EQ(L"58", General(L"LastJobNumber"));
  EXPECT_TRUE(dvtest::FileExistsAt(JobPath(58, L"Ctl")));
  EXPECT_TRUE(EventsWithCode(2).empty());
  Pump();  // the automatic refresh sees the new number
  EXPECT_EQ(2, frame->SpoolView().JobCount());
}

TEST_F(JobCommandsTest, DeleteAsksFirstAndRemovesTheSelectedJobs) {
  // Job 1's devmode file is named in lower case; job 3 is a RAW job.
  AddJob(1, true, false);
  ASSERT_TRUE(dvtest::WriteFileBytes(folder.SpoolFolder() + L"00000001.dvm", "dvm of 1"));
  AddJob(2);
  AddJob(3, true, false);
  ASSERT_TRUE(Start());
  std::wstring text, caption;
  UINT type = 0;
  HWND owner = nullptr;
  int answer = IDNO;
  ui::Prompts().messageBox = [&](HWND o, const std::wstring& t, const std::wstring& c, UINT ty) {
    owner = o;
    text = t;
    caption = c;
    type = ty;
    return answer;
  };
  // Nothing selected: the toolbar button is refused before it can ask.
  SelectRows({});
  SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(ID_FILE_DELETE_JOBS, BN_CLICKED),
               reinterpret_cast<LPARAM>(frame->toolBar.Hwnd()));
  EXPECT_EQ(L"", text);

  SelectRows({0, 2});
  Command(ID_FILE_DELETE_JOBS);
  EXPECT_EQ(L"Are you sure you want to delete 2 file(s)?", text);
  EXPECT_EQ(L"Dorvane", caption);
  EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION), type);
  EXPECT_EQ(frame->Hwnd(), owner);
  EXPECT_EQ(3, frame->SpoolView().JobCount()) << "answered No";
  EXPECT_TRUE(dvtest::FileExistsAt(JobPath(1, L"Org")));

  answer = IDYES;
  Command(ID_FILE_DELETE_JOBS);
  EXPECT_EQ((std::vector<std::wstring>{L"00000002"}), Rows());
  for (int n : {1, 3})
    for (const wchar_t* ext : {L"Org", L"Dvm", L"Ctl"}) EXPECT_FALSE(dvtest::FileExistsAt(JobPath(n, ext)));
  EXPECT_TRUE(dvtest::FileExistsAt(JobPath(2, L"Ctl")));
  EXPECT_TRUE(EventsWithCode(1).empty());
}

TEST_F(JobCommandsTest, FilesThatCannotBeDeletedAreLoggedWithTheirMask) {
  struct Row {
    const char* name;
    bool org, dvm;
    const char* detail;  // nullptr: no event
  } rows[] = {
      {"spool data already gone", false, true, "Job number: 00000042, Error: 1"},
      {"RAW job: no devmode file by design", true, false, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(folder.EventLog().c_str());
    AddJob(42, row.org, row.dvm);
    CSpoolFrm::DeleteJobFiles(L"00000042");
    const auto events = EventsWithCode(1);
    if (row.detail) {
      ASSERT_EQ(1u, events.size());
      EXPECT_EQ(row.detail, events[0].detail);
    } else {
      EXPECT_TRUE(events.empty());
    }
    EXPECT_FALSE(dvtest::FileExistsAt(JobPath(42, L"Ctl")));
    EXPECT_FALSE(dvtest::FileExistsAt(JobPath(42, L"Org")));
  }
}

}  // namespace
}  // namespace ctltest
