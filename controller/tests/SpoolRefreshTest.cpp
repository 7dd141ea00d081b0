// Refreshes of the spool list keep its rows and read only what changed; the
// list they leave must be the one a rebuild from nothing shows (a sorted
// list box's listing of the folder, each name sorted into a list control by
// its text, every cell read with the profile functions), with the selection
// kept on the jobs that remain.
#include "controller/tests/ControllerFixture.h"

#include <functional>
#include <iterator>
#include <set>

#include "common/Handles.h"
#include "ui/CommonDialogs.h"

namespace ctltest {
namespace {

struct ShownRow {
  std::vector<std::wstring> texts;
  LPARAM data = 0;
  bool operator==(const ShownRow& other) const { return texts == other.texts && data == other.data; }
};

std::ostream& operator<<(std::ostream& out, const ShownRow& row) {
  for (const auto& text : row.texts) out << dv::ToUtf8(text) << " | ";
  return out << row.data;
}

std::vector<ShownRow> Shown(const ui::ListView& list) {
  std::vector<ShownRow> rows;
  for (int i = 0; i < list.ItemCount(); ++i) {
    ShownRow row;
    for (int c = 0; c < CSpoolFrm::kColumnCount; ++c) row.texts.push_back(list.ItemText(i, c));
    row.data = list.ItemData(i);
    rows.push_back(row);
  }
  return rows;
}

const wchar_t* const kKeys[] = {L"Document",    L"Status",      L"DateSpooled", L"TimeSpooled",
                                L"UserName",    L"SourcePrinterName", L"PrinterName", L"TotalPages"};

// The list a rebuild from nothing shows, made step by step the slow way.
std::vector<ShownRow> RebuiltList(const std::wstring& spool) {
  HWND box = CreateWindowExW(0, L"LISTBOX", L"", LBS_SORT, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND control =
      CreateWindowExW(0, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SORTASCENDING, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ui::ListBox names;
  names.Attach(box);
  ui::ListView list;
  list.Attach(control);
  names.Dir(DDL_READWRITE, spool + L"*.ctl");
  for (int c = 0; c < CSpoolFrm::kColumnCount; ++c) list.InsertColumn(c, L"");
  for (int i = 0; i < names.Count(); ++i) {
    const std::wstring name = names.Text(i);
    const std::wstring number = name.substr(0, name.rfind(L'.'));
    LPARAM value = 0;
    for (wchar_t ch : number) {
      if (ch < L'0' || ch > L'9') break;
      value = value * 10 + (ch - L'0');
    }
    const int row = list.InsertItem(0, number, value);
    for (int c = 1; c < CSpoolFrm::kColumnCount; ++c)
      list.SetItemText(row, c, GetIniString(L"General", kKeys[c - 1], spool + name));
  }
  auto rows = Shown(list);
  DestroyWindow(control);
  DestroyWindow(box);
  return rows;
}

std::multiset<std::wstring> SelectedNumbers(const ui::ListView& list) {
  std::multiset<std::wstring> numbers;
  for (int row = list.NextSelected(-1); row != -1; row = list.NextSelected(row)) numbers.insert(list.ItemText(row, 0));
  return numbers;
}

// Rewrites one key of a control file at the same length and gives the file
// back the times it had, as a clock that moves in coarse steps leaves a
// rewrite made within the step of the one before: the folder then shows the
// file as it was.
void RewriteKeepingStamp(const std::wstring& path, const wchar_t* key, const wchar_t* value) {
  WIN32_FILE_ATTRIBUTE_DATA before = {}, after = {};
  ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &before));
  ASSERT_TRUE(WritePrivateProfileStringW(L"General", key, value, path.c_str()));
  {
    dv::FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(SetFileTime(file.get(), &before.ftCreationTime, nullptr, &before.ftLastWriteTime));
  }
  ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &after));
  ASSERT_EQ(before.nFileSizeLow, after.nFileSizeLow);
  ASSERT_EQ(0, CompareFileTime(&before.ftCreationTime, &after.ftCreationTime));
  ASSERT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime));
}

// Run twice: with Refresh Now, which lists the folder, and with the frame's
// automatic refresh after one more job arrives at the end of each step,
// which may take the changes from the folder's change reports instead.
class SpoolRefreshTest : public ControllerTest, public ::testing::WithParamInterface<bool> {
 protected:
  std::wstring Spool(const wchar_t* name) const { return folder.SpoolFolder() + name; }
  void Write(const wchar_t* name, const std::string& bytes) const {
    ASSERT_TRUE(dvtest::WriteFileBytes(Spool(name), bytes));
  }
  void DeleteJob(int number) const {
    for (const wchar_t* ext : {L"Org", L"Dvm", L"Ctl"}) DeleteFileW(JobPath(number, ext).c_str());
  }
  // The frame's automatic refresh for one more job.
  void NewJobArrives(int number) {
    AddJob(number);
    SetGeneral(L"LastJobNumber", std::to_wstring(number).c_str());
    Pump();
  }
  void ClickHeader() const {
    NMLISTVIEW info = {};
    info.hdr.hwndFrom = frame->SpoolView().JobList().Hwnd();
    info.hdr.idFrom = IDC_JOB_LIST;
    info.hdr.code = LVN_COLUMNCLICK;
    SendMessageW(frame->SpoolView().Hwnd(), WM_NOTIFY, IDC_JOB_LIST, reinterpret_cast<LPARAM>(&info));
  }
};

TEST_P(SpoolRefreshTest, RefreshedListIsTheRebuiltListWithItsSelection) {
  const bool automatic = GetParam();
  SetGeneral(L"LastJobNumber", L"100");
  AddJob(7);
  AddJob(42);
  AddJob(100);
  // Names that are not eight digits, and names the text order holds equal.
  Write(L"00000003.ctl", "[General]\r\nDocument=lower case\r\n");
  Write(L"7.Ctl", "[General]\r\nDocument=short seven\r\n");
  Write(L"abc.Ctl", "[General]\r\nStatus=letters\r\n");
  Write(L"a b.Ctl", "[General]\r\nStatus=blank\r\n");
  Write(L"ABD.Ctl", "[General]\r\nStatus=upper\r\n");
  Write(L"x.ctl", "[General]\r\nDocument=x\r\n");
  Write(L"x.ctlx", "[General]\r\nDocument=x long\r\n");
  CreateDirectoryW(JobPath(50, L"ctl").c_str(), nullptr);  // a folder is no job
  ASSERT_TRUE(Start());
  Pump();
  const CSpoolFrm& view = frame->SpoolView();
  const auto& list = view.JobList();
  ASSERT_EQ(RebuiltList(folder.SpoolFolder()), Shown(list)) << "first build";

  struct Step {
    const char* name;
    // Changes the spool; a file it returns stays open over the refresh.
    std::function<dv::FileHandle()> change;
  } steps[] = {
      {"nothing changed", [&] { return dv::FileHandle(); }},
      {"a new job", [&] {
         AddJob(101);
         return dv::FileHandle();
       }},
      {"a job deleted", [&] {
         DeleteJob(42);
         return dv::FileHandle();
       }},
      {"a control file changed, same size", [&] {
         WritePrivateProfileStringW(L"General", L"Status", L"Deleted", JobPath(7, L"Ctl").c_str());
         return dv::FileHandle();
       }},
      {"a job renumbered by reprint", [&] {
         for (const wchar_t* ext : {L"Org", L"Dvm", L"Ctl"})
           CopyFileW(JobPath(100, ext).c_str(), JobPath(102, ext).c_str(), TRUE);
         DeleteJob(100);
         return dv::FileHandle();
       }},
      {"a control file rewritten as UTF-16", [&] {
         const std::string text = "[General]\r\nDocument=wide 101\r\n";
         std::string bytes = "\xff\xfe";
         for (char c : text) bytes += std::string{c, '\0'};
         EXPECT_TRUE(dvtest::WriteFileBytes(JobPath(101, L"Ctl"), bytes));
         return dv::FileHandle();
       }},
      {"jobs added among the others", [&] {
         AddJob(1);
         AddJob(60);
         AddJob(250);
         Write(L"abd.ctlx", "[General]\r\nStatus=between\r\n");
         return dv::FileHandle();
       }},
      {"a column click, then a new job", [&] {
         ClickHeader();
         AddJob(103);
         return dv::FileHandle();
       }},
      {"a new job held open by its writer", [&] {
         AddJob(104);
         return dv::FileHandle(CreateFileW(JobPath(104, L"Ctl").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
       }},
      {"the writer let go", [&] { return dv::FileHandle(); }},
      {"two column clicks, nothing new", [&] {
         ClickHeader();
         ClickHeader();
         return dv::FileHandle();
       }},
      {"the selected jobs deleted by the Delete command, then a new job", [&] {
         ui::Prompts().messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDYES; };
         Command(ID_FILE_DELETE_JOBS);
         AddJob(105);
         return dv::FileHandle();
       }},
      {"more changes at once than the change reports hold, new jobs among them", [&] {
         for (int n = 2000; n < 3000; ++n) EXPECT_TRUE(dvtest::WriteFileBytes(JobPath(n, L"Org"), "org"));
         for (int n = 2000; n < 2003; ++n) AddJob(n, false, false);
         return dv::FileHandle();
       }},
      {"every job gone", [&] {
         dvtest::RemoveTree(folder.SpoolFolder());
         return dv::FileHandle();
       }},
      {"the spool back with one job", [&] {
         CreateDirectoryW(folder.SpoolFolder().c_str(), nullptr);
         AddJob(9);
         return dv::FileHandle();
       }},
  };
  int arriving = 1000;
  for (auto& step : steps) {
    SCOPED_TRACE(step.name);
    // Every other row selected before the change.
    for (int i = 0; i < list.ItemCount(); ++i) list.Select(i, i % 2 == 0);
    {
      dv::FileHandle held = step.change();
      // What the refresh finds selected (a command may have removed rows).
      const auto selected = SelectedNumbers(list);
      if (automatic) {
        const unsigned refreshes = view.FolderListings() + view.WatchedRefreshes();
        AddJob(++arriving);
        SetGeneral(L"LastJobNumber", std::to_wstring(arriving).c_str());
        Pump();
        ASSERT_EQ(refreshes + 1, view.FolderListings() + view.WatchedRefreshes());
      } else {
        Command(ID_VIEW_REFRESH_NOW);
      }
      const auto rebuilt = RebuiltList(folder.SpoolFolder());
      ASSERT_EQ(rebuilt, Shown(list));
      std::multiset<std::wstring> remaining;
      for (const auto& row : rebuilt)
        if (selected.count(row.texts[0]) > remaining.count(row.texts[0])) remaining.insert(row.texts[0]);
      EXPECT_EQ(remaining, SelectedNumbers(list));
    }
  }
  // Refresh Now always lists. Of the automatic refreshes, those after a
  // name of doubtful form and after the spool folder went and came back
  // must list; the others may, when a report comes late, but not most.
  if (automatic)
    EXPECT_GE(view.WatchedRefreshes(), std::size(steps) / 2);
  else
    EXPECT_EQ(0u, view.WatchedRefreshes());
}

// A job's control file read in the same step of the clock as a write, and
// rewritten at the same length in that step: the new texts must show.
TEST_P(SpoolRefreshTest, SameSizeRewriteInTheStepOfTheReadIsShown) {
  const bool automatic = GetParam();
  SetGeneral(L"LastJobNumber", L"7");
  AddJob(7);
  ASSERT_TRUE(Start());
  const auto& list = frame->SpoolView().JobList();
  ASSERT_EQ(L"Printed", list.ItemText(0, 2));
  const struct {
    const char* name;
    const wchar_t* key;
    const wchar_t* value;
    int column;
  } rewrites[] = {
      {"Status to another of the same length", L"Status", L"Deleted", 2},
      {"another key, after a refresh that read the row again", L"TotalPages", L"4", 8},
  };
  int arriving = 7;
  for (const auto& rewrite : rewrites) {
    SCOPED_TRACE(rewrite.name);
    ASSERT_NO_FATAL_FAILURE(RewriteKeepingStamp(JobPath(7, L"Ctl"), rewrite.key, rewrite.value));
    if (automatic)
      NewJobArrives(++arriving);
    else
      Command(ID_VIEW_REFRESH_NOW);
    ASSERT_EQ(L"00000007", list.ItemText(0, 0));
    EXPECT_EQ(rewrite.value, list.ItemText(0, rewrite.column));
  }
}

// Gives a file both times at the given distance from now (negative: in
// the past).
void StampAt(const std::wstring& path, long long seconds) {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER at = {{now.dwLowDateTime, now.dwHighDateTime}};
  at.QuadPart += static_cast<ULONGLONG>(seconds * 10000000);
  const FILETIME time = {at.LowPart, at.HighPart};
  dv::FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  ASSERT_TRUE(SetFileTime(file.get(), &time, nullptr, &time));
}

// A change report names a file that changed, even when its size and times
// are those its row was read with. The file here is an hour old, so that
// nothing but the report tells of the rewrite. The report stays word of
// the change when the refresh lists the folder instead of taking the
// reports (Refresh Now always does; the automatic refresh does when a
// reported name leaves doubt), and after Refresh Nows that came first.
TEST_F(SpoolRefreshTest, ChangeReportOfARewriteWithTheSameStampIsShown) {
  SetGeneral(L"LastJobNumber", L"7");
  AddJob(7);
  ASSERT_NO_FATAL_FAILURE(StampAt(JobPath(7, L"Ctl"), -3600));
  ASSERT_TRUE(Start());
  const CSpoolFrm& view = frame->SpoolView();
  const auto& list = view.JobList();
  int arriving = 7;
  struct Step {
    const char* name;
    const wchar_t* status;
    int refreshNows;   // before the new job, if any
    bool newJob;
    const char* doubt;  // a file whose report makes the automatic refresh list
    bool byReports;     // the refresh that shows it took the reports
  } steps[] = {
      {"the automatic refresh, by the reports", L"Deleted", 0, true, nullptr, true},
      {"Refresh Now", L"Spooled", 1, false, nullptr, false},
      {"three Refresh Nows, then a new job", L"Retried", 3, true, nullptr, true},
      {"the automatic refresh, listing after a doubt", L"Printed", 0, true, "note.ctlx", false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    ASSERT_NO_FATAL_FAILURE(RewriteKeepingStamp(JobPath(7, L"Ctl"), L"Status", step.status));
    if (step.doubt) {
      ASSERT_TRUE(dvtest::WriteFileBytes(folder.SpoolFolder() + dv::FromUtf8(step.doubt), "x"));
    }
    for (int i = 0; i < step.refreshNows; ++i) Command(ID_VIEW_REFRESH_NOW);
    const unsigned watched = view.WatchedRefreshes();
    if (step.newJob) NewJobArrives(++arriving);
    EXPECT_EQ(step.status, list.ItemText(0, 2));
    if (step.newJob) {
      EXPECT_EQ(view.WatchedRefreshes() != watched, step.byReports);
    }
  }
}

// A control file stamped ahead of the clock (a clock set back, a copy from
// a machine whose clock is ahead) is read once, as an old one is: a rewrite
// now would give it another time. Files stamped within the clock's step
// after the read are read again by the next refresh.
TEST_P(SpoolRefreshTest, FilesStampedAheadOfTheClockAreNotReadAgain) {
  const bool automatic = GetParam();
  constexpr int kJobs = 20;
  SetGeneral(L"LastJobNumber", std::to_wstring(kJobs).c_str());
  for (int n = 1; n <= kJobs; ++n) {
    AddJob(n);
    ASSERT_NO_FATAL_FAILURE(StampAt(JobPath(n, L"Ctl"), n == kJobs ? -3600 : 3600));
  }
  ASSERT_TRUE(Start());
  const CSpoolFrm& view = frame->SpoolView();
  ASSERT_EQ(kJobs, view.JobCount());
  int arriving = kJobs;
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const unsigned reads = view.RowReads();
    if (automatic) {
      // One more job, an old file by its times: read once, as it arrives.
      AddJob(++arriving);
      ASSERT_NO_FATAL_FAILURE(StampAt(JobPath(arriving, L"Ctl"), -3600));
      SetGeneral(L"LastJobNumber", std::to_wstring(arriving).c_str());
      Pump();
      ASSERT_EQ(arriving, view.JobCount());
    } else {
      Command(ID_VIEW_REFRESH_NOW);
    }
    EXPECT_EQ(view.RowReads() - reads, automatic ? 1u : 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(ByRefreshNowAndAutomatically, SpoolRefreshTest, ::testing::Bool());

}  // namespace
}  // namespace ctltest
