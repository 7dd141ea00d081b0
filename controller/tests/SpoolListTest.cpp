// The spool list: rows from the control files, columns and widths, sorting
// by job number, command enabling by selection, the one-row rule of View Job
// Information and Preview, the context menu.
#include "controller/tests/ControllerFixture.h"

#include <algorithm>

namespace ctltest {
namespace {

TEST(CompareJobNumbersTest, IsAThreeWayComparisonInBothDirections) {
  struct Row {
    LPARAM a, b, ascending;
    int sign;
  } rows[] = {
      {7, 42, 1, -1}, {42, 7, 1, 1}, {7, 42, 0, 1}, {42, 7, 0, -1}, {9, 9, 0, 0}, {9, 9, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.a << " vs " << row.b << " ascending " << row.ascending);
    const int result = CompareJobNumbers(row.a, row.b, row.ascending);
    EXPECT_EQ(row.sign, (result > 0) - (result < 0));
  }
}

TEST(ColumnWidthsTest, SplitTheViewAndNeverGoNegative) {
  struct Row {
    int cx;
    std::array<int, 9> widths;
  } rows[] = {
      {290, {30, 60, 20, 20, 20, 40, 40, 40, 16}},
      {3, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {-20, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {58, {6, 12, 4, 4, 4, 8, 8, 8, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cx);
    EXPECT_EQ(row.widths, CSpoolFrm::ColumnWidths(row.cx));
  }
}

TEST_F(ControllerTest, ListHoldsOneRowPerControlFileInNumberOrder) {
  AddJob(100);
  AddJob(7);
  AddJob(42);
  WritePrivateProfileStringW(L"General", L"Status", nullptr, JobPath(42, L"Ctl").c_str());
  WritePrivateProfileStringW(L"General", L"SourcePrinterName", L"Invoices", JobPath(7, L"Ctl").c_str());
  WritePrivateProfileStringW(L"General", L"PrinterName", L"Finance Laser", JobPath(7, L"Ctl").c_str());
  WritePrivateProfileStringW(L"General", L"DateSpooled", L"10/12/2024", JobPath(7, L"Ctl").c_str());
  WritePrivateProfileStringW(L"General", L"TimeSpooled", L"09:41:00", JobPath(7, L"Ctl").c_str());
  // Not jobs: spool data without a control file, a folder named like one.
  dvtest::WriteFileBytes(JobPath(60, L"Org"), "x");
  dvtest::WriteFileBytes(JobPath(60, L"Dvm"), "x");
  CreateDirectoryW(JobPath(50, L"ctl").c_str(), nullptr);
  // The extension is matched without regard to case.
  WritePrivateProfileStringW(L"General", L"Document", L"lower", (folder.SpoolFolder() + L"00000003.ctl").c_str());

  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(Start());
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(before, after) << "the listing leaves the current folder alone";

  EXPECT_EQ((std::vector<std::wstring>{L"00000003", L"00000007", L"00000042", L"00000100"}), Rows());
  const auto& list = frame->SpoolView().JobList();
  const wchar_t* headers[] = {L"File Number", L"Job Name", L"Status", L"Date", L"time", L"User Name",
                              L"Source Printer", L"Destination Printer", L"Pages"};
  ASSERT_EQ(9, list.ColumnCount());
  for (int c = 0; c < 9; ++c) EXPECT_EQ(headers[c], list.ColumnHeader(c));

  const wchar_t* row7[] = {L"00000007", L"Doc 7",     L"Printed", L"10/12/2024", L"09:41:00",
                           L"anna",     L"Invoices", L"Finance Laser", L"3"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(row7[c], list.ItemText(1, c)) << "column " << c;
  EXPECT_EQ(7, list.ItemData(1));
  EXPECT_EQ(L"", list.ItemText(2, 2)) << "no Status key";
  EXPECT_EQ(L"lower", list.ItemText(0, 1));
}

TEST_F(ControllerTest, ColumnWidthsFollowTheViewsWidth) {
  AddJob(1);
  ASSERT_TRUE(Start());
  const auto& list = frame->SpoolView().JobList();
  RECT client = {};
  GetClientRect(frame->SpoolView().Hwnd(), &client);
  EXPECT_EQ(CSpoolFrm::ColumnWidths(client.right)[1], list.ColumnWidth(1)) << "widths set from the first size";

  MoveWindow(frame->SpoolView().Hwnd(), 0, 0, 290, 200, TRUE);
  const int expected[] = {30, 60, 20, 20, 20, 40, 40, 40, 16};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(expected[c], list.ColumnWidth(c)) << "column " << c;
  RECT listRect = {};
  GetWindowRect(list.Hwnd(), &listRect);
  EXPECT_EQ(290, listRect.right - listRect.left) << "the list fills the view";
  MoveWindow(frame->SpoolView().Hwnd(), 0, 0, 2, 2, TRUE);
  EXPECT_EQ(0, list.ColumnWidth(8));
}

TEST_F(ControllerTest, HeaderClicksSortByNumberAlternatelyUntilARebuild) {
  AddJob(7);
  AddJob(42);
  AddJob(100);
  ASSERT_TRUE(Start());
  auto click = [&](int column) {
    NMLISTVIEW info = {};
    info.hdr.hwndFrom = frame->SpoolView().JobList().Hwnd();
    info.hdr.idFrom = IDC_JOB_LIST;
    info.hdr.code = LVN_COLUMNCLICK;
    info.iSubItem = column;
    SendMessageW(frame->SpoolView().Hwnd(), WM_NOTIFY, IDC_JOB_LIST, reinterpret_cast<LPARAM>(&info));
  };
  const std::vector<std::wstring> up = {L"00000007", L"00000042", L"00000100"};
  const std::vector<std::wstring> down = {L"00000100", L"00000042", L"00000007"};
  EXPECT_EQ(up, Rows());
  click(3);
  EXPECT_EQ(down, Rows()) << "first click: largest first";
  click(0);
  EXPECT_EQ(up, Rows());
  click(5);
  EXPECT_EQ(down, Rows());
  Command(ID_VIEW_REFRESH_NOW);
  EXPECT_EQ(up, Rows()) << "a rebuild undoes the sort";
  click(1);
  EXPECT_EQ(up, Rows()) << "the direction is not reset: smallest first";
  click(1);
  EXPECT_EQ(down, Rows());
}

TEST_F(ControllerTest, JobCommandsAreEnabledBySelection) {
  AddJob(1);
  AddJob(2);
  AddJob(3);
  ASSERT_TRUE(Start());
  struct Row {
    const char* name;
    std::vector<int> selected;
    bool any, single;
  } rows[] = {
      {"nothing selected", {}, false, false},
      {"one row", {1}, true, true},
      {"two rows", {0, 2}, true, false},
  };
  HMENU file = GetSubMenu(GetMenu(frame->Hwnd()), 0);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto& list = frame->SpoolView().JobList();
    for (int i = 0; i < list.ItemCount(); ++i)
      list.Select(i, std::find(row.selected.begin(), row.selected.end(), i) != row.selected.end());
    SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    Pump();
    struct Cmd {
      UINT id;
      bool enabled;
    } cmds[] = {{ID_FILE_PRINT, row.any},
                {ID_FILE_DELETE_JOBS, row.any},
                {ID_FILE_PRINT_PREVIEW, row.single},
                {ID_FILE_VIEW_JOB_INFORMATION, row.single}};
    for (const auto& cmd : cmds) {
      SCOPED_TRACE(cmd.id);
      EXPECT_EQ(cmd.enabled, frame->IsCommandEnabled(cmd.id));
      EXPECT_EQ(!cmd.enabled, (GetMenuState(file, cmd.id, MF_BYCOMMAND) & MF_GRAYED) != 0) << "menu";
      EXPECT_EQ(cmd.enabled, (frame->toolBar.ButtonState(cmd.id) & TBSTATE_ENABLED) != 0) << "toolbar";
    }
  }
}

TEST_F(ControllerTest, OneRowCommandsTakeTheSelectedRowNotTheSelectionMark) {
  AddJob(1);
  AddJob(2);
  AddJob(3);
  ASSERT_TRUE(Start());
  const auto& list = frame->SpoolView().JobList();
  SelectRows({0});
  list.SetSelectionMark(2);  // the mark sits on a row that is not selected
  EXPECT_EQ(0, frame->SpoolView().SingleSelectedRow());
  SelectRows({0, 1});
  EXPECT_EQ(-1, frame->SpoolView().SingleSelectedRow());
}

// Records the pop-up menus the main window opens, with the item states its
// update left them in, and closes each at once.
struct MenuWatch {
  struct Item {
    UINT id;
    bool grayed;
  };
  static MenuWatch*& Current() {
    static MenuWatch* current = nullptr;
    return current;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_INITMENUPOPUP && Current()) {
      HMENU menu = reinterpret_cast<HMENU>(msg->wParam);
      Current()->owner = msg->hwnd;
      Current()->opened++;
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT id = GetMenuItemID(menu, i);
        Current()->items.push_back({id, (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0});
      }
      PostMessageW(msg->hwnd, WM_CANCELMODE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  MenuWatch() {
    Current() = this;
    hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &MenuWatch::Hook, nullptr, GetCurrentThreadId());
  }
  ~MenuWatch() {
    UnhookWindowsHookEx(hook);
    Current() = nullptr;
  }
  HHOOK hook = nullptr;
  HWND owner = nullptr;
  int opened = 0;
  std::vector<Item> items;
};

TEST_F(ControllerTest, ContextMenuOffersTheJobCommandsOnlyForASelection) {
  AddJob(1);
  AddJob(2);
  ASSERT_TRUE(Start());
  HWND list = frame->SpoolView().JobList().Hwnd();
  {
    MenuWatch watch;
    SelectRows({});
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(100, 100));
    EXPECT_EQ(0, watch.opened);
  }
  MenuWatch watch;
  SelectRows({0, 1});
  SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));  // from the keyboard
  ASSERT_EQ(1, watch.opened);
  EXPECT_EQ(frame->Hwnd(), watch.owner);
  ASSERT_EQ(4u, watch.items.size());
  const MenuWatch::Item expected[] = {{ID_FILE_PRINT, false},
                                      {ID_FILE_PRINT_PREVIEW, true},
                                      {ID_FILE_VIEW_JOB_INFORMATION, true},
                                      {ID_FILE_DELETE_JOBS, false}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].id, watch.items[i].id);
    EXPECT_EQ(expected[i].grayed, watch.items[i].grayed);
  }
}

}  // namespace
}  // namespace ctltest
