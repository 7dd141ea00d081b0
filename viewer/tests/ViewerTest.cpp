// The event log viewer: splitting lines, the list newest first, Refresh,
// Clear, the file prompt, the fatal messages, layout and help, in process;
// and the program itself started with a log path.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controller/BrowseCtrl.h"
#include "ui/CommonDialogs.h"
#include "viewer/JotviewApp.h"
#include "viewer/JotviewDlg.h"
#include "viewer/JotviewLog.h"
#include "viewer/resource.h"

namespace {

void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message != WM_QUIT) DispatchMessageW(&msg);
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static int n = 0;
  std::wstring folder = std::wstring(temp) + L"dvviewer-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++n) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

void AppendBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  SetFilePointer(f, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

const char kLine1[] = "4,4001,Dorvane controller application was started,01/02/2027,09:05:07,\r\n";
const char kLine2[] = "1,1007,Can't open original file,08/12/2026,14:03:59,GetLastError Returned: 2 (File not found.)\r\n";
const char kLine3[] = "0,4,PCL Command two long, unable to process,08/12/2026,14:04:00,GetLastError Returned: 0 (a, b)\r\n";

TEST(LogLineTest, SplitsAtTheFirstFiveCommas) {
  struct Row {
    const char* name;
    std::string line;
    bool accepted;
    LogRow want;
  } rows[] = {
      {"plain line", "1,1007,Can't open original file,08/12/2026,14:03:59,GetLastError Returned: 2 (x)\r", true,
       {1, L"1007", L"Can't open original file", L"08/12/2026", L"14:03:59", L"GetLastError Returned: 2 (x)"}},
      {"empty detail", "4,4001,Started,01/02/2027,09:05:07,", true,
       {4, L"4001", L"Started", L"01/02/2027", L"09:05:07", L""}},
      {"detail with commas", "3,3003,Missing,01/02/2027,09:05:07,a, b,c", true,
       {3, L"3003", L"Missing", L"01/02/2027", L"09:05:07", L"a, b,c"}},
      // The text of event 4 holds a comma: date, time and detail move one on.
      {"event 4", "0,4,PCL Command two long, unable to process,08/12/2026,14:04:00,detail", true,
       {0, L"4", L"PCL Command two long", L" unable to process", L"08/12/2026", L"14:04:00,detail"}},
      {"first field 7 gives picture 2", "7,7000,Unknown Code,01/02/2027,09:05:07,", true,
       {2, L"7000", L"Unknown Code", L"01/02/2027", L"09:05:07", L""}},
      {"first field not a number", "x,1,a,b,c,d", true, {0, L"1", L"a", L"b", L"c", L"d"}},
      {"negative category has no picture", "-1,-1500,Unknown Code,01/02/2027,09:05:07,", true,
       {I_IMAGENONE, L"-1500", L"Unknown Code", L"01/02/2027", L"09:05:07", L""}},
      {"two commas", "2,2006,Wrong", true, {2, L"2006", L"Wrong", L"", L"", L""}},
      {"no comma", "just text\r", false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    LogRow got;
    ASSERT_EQ(row.accepted, SplitLogLine(row.line, got));
    if (!row.accepted) continue;
    EXPECT_EQ(row.want.icon, got.icon);
    EXPECT_EQ(row.want.code, got.code);
    EXPECT_EQ(row.want.event, got.event);
    EXPECT_EQ(row.want.date, got.date);
    EXPECT_EQ(row.want.time, got.time);
    EXPECT_EQ(row.want.info, got.info);
  }
}

TEST(LogLineTest, ReadingCutsOverlongLinesAndSkipsEmptyOnes) {
  const std::wstring folder = TempFolder();
  const std::wstring path = folder + L"Events.log";
  const std::string longDetail(5000, 'x');
  WriteBytes(path, std::string("\r\n\n") + "1,1,a,b,c," + longDetail + "\r\n" + kLine1 + "\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLogLines(path, lines));
  ASSERT_EQ(2u, lines.size());
  // The rest of the long line does not become a line of its own.
  EXPECT_EQ(kMaxLogLine, lines[0].size());
  EXPECT_EQ(std::string(kLine1, sizeof(kLine1) - 3), lines[1]);
  EXPECT_FALSE(ReadLogLines(folder + L"missing.log", lines));
  DeleteFileW(path.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST(LogLineTest, CommandLineAndHelpFile) {
  struct Row {
    const wchar_t* line;
    const wchar_t* argument;
  } rows[] = {
      {L"\"C:\\Program Files\\Dorvane\\jotview.exe\" C:\\Dorvane\\Events.log", L"C:\\Dorvane\\Events.log"},
      {L"jotview.exe   C:\\a b\\Events.log", L"C:\\a b\\Events.log"},
      {L"jotview.exe \"C:\\x.log\"", L"\"C:\\x.log\""},
      {L"jotview.exe", L""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.line)));
    EXPECT_EQ(row.argument, CommandLineArgument(row.line));
  }
  EXPECT_EQ(L"C:\\Dorvane\\Tembla.hlp", JotviewHelpFilePath(L"C:\\Dorvane\\jotview.exe"));
}

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    folder = TempFolder();
    logFile = folder + L"Events.log";
    savedBrowse = BrowseDialogs();
    ui::Prompts().messageBox = [this](HWND, const std::wstring& text, const std::wstring& caption, UINT) {
      messages.push_back(text);
      captions.push_back(caption);
      return IDOK;
    };
  }
  void TearDown() override {
    dlg.reset();
    Drain();
    BrowseDialogs() = savedBrowse;
    DeleteFileW(logFile.c_str());
    RemoveDirectoryW(folder.c_str());
  }

  CJotviewDlg& Open(const std::wstring& commandLine) {
    dlg = std::make_unique<CJotviewDlg>(commandLine);
    dlg->CreateModeless(nullptr);
    Drain();
    return *dlg;
  }
  std::wstring Caption() const {
    wchar_t text[256] = {};
    GetWindowTextW(dlg->Hwnd(), text, 256);
    return text;
  }
  int Picture(int row) const {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(dlg->list.Hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }
  void Click(int id) {
    SendMessageW(dlg->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dlg->Item(id)));
    Drain();
  }

  CJotviewApp app;  // the program's title for message boxes
  ui::ScopedPrompts prompts;
  BrowseDialogReplacements savedBrowse;
  std::wstring folder;
  std::wstring logFile;
  std::vector<std::wstring> messages;
  std::vector<std::wstring> captions;
  std::unique_ptr<CJotviewDlg> dlg;
};

TEST_F(ViewerTest, ListsTheLogNewestFirst) {
  WriteBytes(logFile, std::string(kLine1) + "no comma here\r\n\r\n" + kLine2 + kLine3);
  CJotviewDlg& d = Open(logFile);
  ASSERT_TRUE(d.list);
  EXPECT_EQ(0, d.ExitCode());
  EXPECT_EQ(L"Event Log Viewer (3 Events)", Caption());
  ASSERT_EQ(3, d.list.ItemCount());
  EXPECT_EQ(3, d.count);
  EXPECT_EQ(5, d.imageList.Count());
  const wchar_t* headers[] = {L"No.", L"Code", L"Event", L"Date", L"Time", L"Additional Info"};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(headers[c], d.list.ColumnHeader(c));

  // The last line on top with the highest number; event 4 shown as split.
  EXPECT_EQ(L"3", d.list.ItemText(0, 0));
  EXPECT_EQ(L"4", d.list.ItemText(0, 1));
  EXPECT_EQ(L"PCL Command two long", d.list.ItemText(0, 2));
  EXPECT_EQ(L" unable to process", d.list.ItemText(0, 3));
  EXPECT_EQ(L"08/12/2026", d.list.ItemText(0, 4));
  EXPECT_EQ(L"14:04:00,GetLastError Returned: 0 (a, b)", d.list.ItemText(0, 5));
  EXPECT_EQ(0, Picture(0));
  EXPECT_EQ(L"2", d.list.ItemText(1, 0));
  EXPECT_EQ(L"1007", d.list.ItemText(1, 1));
  EXPECT_EQ(L"GetLastError Returned: 2 (File not found.)", d.list.ItemText(1, 5));
  EXPECT_EQ(1, Picture(1));
  EXPECT_EQ(L"1", d.list.ItemText(2, 0));
  EXPECT_EQ(L"", d.list.ItemText(2, 5));
  EXPECT_EQ(4, Picture(2));
  EXPECT_TRUE(messages.empty());

  // One line added at the top takes the next number.
  EXPECT_TRUE(d.AddLogLine("2,2006,Wrong entrance password was typed,01/02/2027,09:05:07,"));
  EXPECT_FALSE(d.AddLogLine("nothing"));
  EXPECT_EQ(L"4", d.list.ItemText(0, 0));
  EXPECT_EQ(2, Picture(0));
}

TEST_F(ViewerTest, RefreshShowsAppendedLinesAndClearEmptiesTheFile) {
  WriteBytes(logFile, std::string(kLine1));
  CJotviewDlg& d = Open(logFile);
  ASSERT_EQ(1, d.list.ItemCount());
  AppendBytes(logFile, kLine2);
  Click(IDC_REFRESH);
  ASSERT_EQ(2, d.list.ItemCount());
  EXPECT_EQ(L"2", d.list.ItemText(0, 0));
  EXPECT_EQ(L"1007", d.list.ItemText(0, 1));
  EXPECT_EQ(L"Event Log Viewer (2 Events)", Caption());

  Click(IDC_CLEAR);
  EXPECT_EQ(0, d.list.ItemCount());
  EXPECT_EQ(L"Event Log Viewer (0 Events)", Caption());
  WIN32_FILE_ATTRIBUTE_DATA info = {};
  ASSERT_TRUE(GetFileAttributesExW(logFile.c_str(), GetFileExInfoStandard, &info));
  EXPECT_EQ(0u, info.nFileSizeLow);
  EXPECT_TRUE(messages.empty());

  // A log held open for writing by another program cannot be deleted: its
  // lines show again, without a message.
  AppendBytes(logFile, kLine1);
  HANDLE writer = CreateFileW(logFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, writer);
  Click(IDC_CLEAR);
  CloseHandle(writer);
  EXPECT_EQ(1, d.list.ItemCount());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(0, d.ExitCode());
}

TEST_F(ViewerTest, ALogThatCannotBeOpenedEndsTheProgram) {
  struct Row {
    const char* name;
    std::wstring commandLine;
  } rows[] = {
      {"missing file", folder + L"missing.log"},
      {"path in quotation marks", L"\"" + logFile + L"\""},
  };
  WriteBytes(logFile, kLine1);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    messages.clear();
    captions.clear();
    CJotviewDlg& d = Open(row.commandLine);
    EXPECT_EQ(1, d.ExitCode());
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(L"Log file couldn't be opened", messages[0]);
    EXPECT_EQ(L"viewer_tests", captions[0]);
    EXPECT_FALSE(d.Hwnd() && IsWindow(d.Hwnd()));
  }
}

TEST_F(ViewerTest, RefreshOfAVanishedLogEndsTheProgram) {
  WriteBytes(logFile, kLine1);
  CJotviewDlg& d = Open(logFile);
  ASSERT_EQ(0, d.ExitCode());
  DeleteFileW(logFile.c_str());
  Click(IDC_REFRESH);
  EXPECT_EQ(1, d.ExitCode());
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(L"Log file couldn't be opened", messages[0]);
}

TEST_F(ViewerTest, WithoutAPathTheViewerAsksForTheLog) {
  WriteBytes(logFile, std::string(kLine1) + kLine2);
  DWORD flags = 0;
  BrowseDialogs().file = [&](OPENFILENAMEW& ofn) {
    flags = ofn.Flags;
    EXPECT_STREQ(L"Log Files (*.log)", ofn.lpstrFilter);
    EXPECT_EQ(nullptr, ofn.lpstrTitle);
    EXPECT_EQ(nullptr, ofn.lpstrDefExt);
    logFile.copy(ofn.lpstrFile, logFile.size());
    ofn.lpstrFile[logFile.size()] = L'\0';
    ofn.lpstrFile[logFile.size() + 1] = L'\0';
    return true;
  };
  CJotviewDlg& d = Open(L"");
  EXPECT_EQ(0x81004u, flags);
  EXPECT_EQ(logFile, d.logPath);
  EXPECT_EQ(2, d.list.ItemCount());
  dlg.reset();

  BrowseDialogs().file = [](OPENFILENAMEW&) { return false; };
  CJotviewDlg& cancelled = Open(L"");
  EXPECT_EQ(1, cancelled.ExitCode());
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(L"Please provide a valid log file", messages[0]);
}

TEST_F(ViewerTest, OpensWideEnoughForEveryColumn) {
  const std::string detail = "GetLastError Returned: 5 (Access denied.) while writing C:\\Dorvane\\spool\\00000042.Ctl";
  WriteBytes(logFile, "1,1007,Failed to open the job's control file,08/12/2026,14:03:00," + detail + "\r\n");
  CJotviewDlg& d = Open(logFile);
  ASSERT_TRUE(d.list);
  RECT inside = {};
  GetClientRect(d.list.Hwnd(), &inside);
  HWND header = reinterpret_cast<HWND>(SendMessageW(d.list.Hwnd(), LVM_GETHEADER, 0, 0));
  RECT info = {};
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&info)));
  EXPECT_LE(info.right, inside.right) << "\"Additional Info\" is seen whole";
  EXPECT_GE(d.list.ColumnWidth(5), 200) << "and wide enough for the detail";
  RECT window = {};
  GetWindowRect(d.Hwnd(), &window);
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_GE(window.left, work.left);
  EXPECT_LE(window.right, work.right);
}

TEST_F(ViewerTest, LayoutKeepsTheButtonsAtTheBottomRight) {
  WriteBytes(logFile, kLine1);
  CJotviewDlg& d = Open(logFile);
  MINMAXINFO info = {};
  SendMessageW(d.Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(347, info.ptMinTrackSize.x);
  EXPECT_EQ(200, info.ptMinTrackSize.y);

  SetWindowPos(d.Hwnd(), nullptr, 0, 0, 700, 500, SWP_NOZORDER | SWP_NOMOVE);
  Drain();
  RECT client = {};
  GetClientRect(d.Hwnd(), &client);
  const int w = client.right, h = client.bottom;
  struct Row {
    int id;
    int x;
  } rows[] = {{IDC_CLEAR, w - 328}, {IDC_REFRESH, w - 247}, {ID_HELP, w - 166}, {IDCANCEL, w - 85}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    RECT r = {};
    GetWindowRect(d.Item(row.id), &r);
    MapWindowPoints(nullptr, d.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(row.x, r.left);
    EXPECT_EQ(h - 34, r.top);
    EXPECT_EQ(75, r.right - r.left);
    EXPECT_EQ(23, r.bottom - r.top);
  }
  RECT lr = {};
  GetWindowRect(d.list.Hwnd(), &lr);
  MapWindowPoints(nullptr, d.Hwnd(), reinterpret_cast<POINT*>(&lr), 2);
  EXPECT_EQ(11, lr.left);
  EXPECT_EQ(11, lr.top);
  EXPECT_EQ(w - 22, lr.right - lr.left);
  EXPECT_EQ(h - 49, lr.bottom - lr.top);
}

TEST_F(ViewerTest, EnterEscapeAndCloseEndTheDialog) {
  WriteBytes(logFile, kLine1);
  for (int id : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(id);
    CJotviewDlg& d = Open(logFile);
    ASSERT_TRUE(IsWindow(d.Hwnd()));
    Click(id);
    EXPECT_FALSE(d.Hwnd() && IsWindow(d.Hwnd()));
    EXPECT_EQ(id, d.Result());
    EXPECT_EQ(0, d.ExitCode());
  }
}

TEST_F(ViewerTest, HelpHandsTheFileAndTopicToTheHelpEngine) {
  const HelpEngine saved = JotviewHelpEngine();
  struct Call {
    std::wstring file;
    UINT command;
    ULONG_PTR data;
  };
  std::vector<Call> calls;
  JotviewHelpEngine() = [&](HWND, const std::wstring& file, UINT command, ULONG_PTR data) {
    calls.push_back({file, command, data});
    return TRUE;
  };
  WriteBytes(logFile, kLine1);
  CJotviewDlg& d = Open(logFile);
  d.helpFilePath = L"C:\\Dorvane\\Tembla.hlp";
  Click(ID_HELP);
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ(L"C:\\Dorvane\\Tembla.hlp", calls[0].file);
  EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), calls[0].command);
  EXPECT_EQ(static_cast<ULONG_PTR>(0x20000 + IDD_JOTVIEW_DIALOG), calls[0].data);
  SendMessageW(d.Hwnd(), WM_HELP, 0, 0);
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), calls[1].command);
  calls.pop_back();
  // Closing the viewer closes the help window.
  dlg.reset();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(static_cast<UINT>(HELP_QUIT), calls[1].command);
  JotviewHelpEngine() = saved;
}

}  // namespace
