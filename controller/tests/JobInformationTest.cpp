// The job information dialog: its fields from a control file (the page
// template list up to the first page without a value), and the dialog as the
// spool list opens it, with its Help button; a long job name seen from its
// start.
#include "controller/DlgViewJobInformation.h"
#include "controller/tests/ControllerFixture.h"

#include <map>
#include <utility>
#include <vector>

namespace ctltest {
namespace {

class JobInformationTest : public ControllerTest {
 protected:
  std::wstring Ctl(int number) const { return JobPath(number, L"Ctl"); }
  void Put(int number, const wchar_t* section, const wchar_t* key, const wchar_t* value) const {
    WritePrivateProfileStringW(section, key, value, Ctl(number).c_str());
  }
  void WriteGeneral(int number) const {
    Put(number, L"General", L"Document", L"Quarterly report.docx");
    Put(number, L"General", L"DateSpooled", L"03/14/2026");
    Put(number, L"General", L"TimeSpooled", L"09:26:53");
    Put(number, L"General", L"TotalPages", L"007");
    Put(number, L"General", L"UserName", L"anna");
    Put(number, L"General", L"SourcePrinterName", L"Front Desk");
    Put(number, L"General", L"PrinterName", L"\\\\NODE1\\Laser");
    Put(number, L"General", L"ScenarioFile", L"C:\\Dorvane\\Invoices.scn");
  }
};

TEST_F(JobInformationTest, FieldsComeFromTheControlFileAsWritten) {
  WriteGeneral(42);
  const JobInformation info = ReadJobInformation(folder.SpoolFolder(), L"00000042");
  EXPECT_EQ(info.document, L"Quarterly report.docx");
  EXPECT_EQ(info.fileNumber, L"00000042");
  EXPECT_EQ(info.dateSpooled, L"03/14/2026");
  EXPECT_EQ(info.timeSpooled, L"09:26:53");
  EXPECT_EQ(info.totalPages, L"007");  // the text, not a number
  EXPECT_EQ(info.userName, L"anna");
  EXPECT_EQ(info.sourcePrinter, L"Front Desk");
  EXPECT_EQ(info.printerName, L"\\\\NODE1\\Laser");
  EXPECT_EQ(info.scenarioFile, L"C:\\Dorvane\\Invoices.scn");
  EXPECT_EQ(info.templates, L"");

  const JobInformation missing = ReadJobInformation(folder.SpoolFolder(), L"00000099");
  EXPECT_EQ(missing.fileNumber, L"00000099");
  EXPECT_EQ(missing.document, L"");
  EXPECT_EQ(missing.templates, L"");
}

TEST_F(JobInformationTest, TemplateListStopsAtTheFirstPageWithoutAValue) {
  struct Row {
    const char* name;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> keys;
    const wchar_t* expected;
  } rows[] = {
      {"no PageTemplates section", {}, L""},
      {"key 1 empty", {{L"1", L""}, {L"2", L"Letterhead"}}, L""},
      {"pages 1 and 2", {{L"1", L"Letterhead"}, {L"2", L"Letterhead, Barcode"}},
       L"Page 1: Letterhead\r\nPage 2: Letterhead, Barcode\r\n"},
      {"page 2 missing", {{L"1", L"Letterhead"}, {L"3", L"Barcode"}}, L"Page 1: Letterhead\r\n"},
  };
  int number = 1;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteGeneral(number);
    for (const auto& key : row.keys) Put(number, L"PageTemplates", key.first, key.second);
    EXPECT_EQ(ReadJobInformation(folder.SpoolFolder(), dv::Format(L"%08d", number)).templates, row.expected);
    ++number;
  }
}

TEST_F(JobInformationTest, SpoolListShowsTheSelectedRowAndWritesNothing) {
  WriteGeneral(42);
  Put(42, L"PageTemplates", L"1", L"Letterhead");
  AddJob(43);
  ASSERT_TRUE(Start());
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  const int row42 = rows[0] == L"00000042" ? 0 : 1;
  const std::string before = dvtest::ReadFileBytes(Ctl(42));

  // Job 42's row is selected, but the last click (the selection mark) was
  // on the other row, as after a Ctrl+click that deselected it.
  SelectRows({row42});
  frame->SpoolView().JobList().SetSelectionMark(1 - row42);

  std::vector<std::pair<std::wstring, UINT>> help;
  ui::App::HelpEngineOverride() = [&](HWND, const std::wstring& target, UINT command) {
    help.emplace_back(target, command);
  };
  std::map<int, std::wstring> shown;
  int dialogs = 0;
  ui::Dialog::SetModalHook([&](ui::Dialog& dialog) {
    if (dialog.TemplateId() != IDD_VIEW_JOB_INFORMATION) return;
    ++dialogs;
    for (int id : {IDC_INFO_JOB_NAME, IDC_INFO_FILE_NUMBER, IDC_INFO_DATE_SPOOLED, IDC_INFO_TIME_SPOOLED,
                   IDC_INFO_TOTAL_PAGES, IDC_INFO_USER_NAME, IDC_INFO_SOURCE_PRINTER, IDC_INFO_DEST_PRINTER,
                   IDC_INFO_SCENARIO, IDC_INFO_TEMPLATES})
      shown[id] = dialog.ItemText(id);
    // Help opens this dialog's page of the help file.
    SendMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
    // Typed text goes nowhere: OK closes without writing.
    dialog.SetItemText(IDC_INFO_JOB_NAME, L"typed over");
    dialog.SetItemText(IDC_INFO_TEMPLATES, L"Page 1: typed\r\n");
    SendMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(ID_FILE_VIEW_JOB_INFORMATION);

  ui::App::HelpEngineOverride() = nullptr;
  EXPECT_EQ(dialogs, 1);
  ASSERT_EQ(help.size(), 1u);
  EXPECT_EQ(help[0].first, app->HelpFilePath() + L"::/jobinfo.htm");
  EXPECT_EQ(help[0].second, 0u);  // the page itself, not the contents
  EXPECT_EQ(shown[IDC_INFO_FILE_NUMBER], L"00000042");
  EXPECT_EQ(shown[IDC_INFO_JOB_NAME], L"Quarterly report.docx");
  EXPECT_EQ(shown[IDC_INFO_DATE_SPOOLED], L"03/14/2026");
  EXPECT_EQ(shown[IDC_INFO_TIME_SPOOLED], L"09:26:53");
  EXPECT_EQ(shown[IDC_INFO_TOTAL_PAGES], L"007");
  EXPECT_EQ(shown[IDC_INFO_USER_NAME], L"anna");
  EXPECT_EQ(shown[IDC_INFO_SOURCE_PRINTER], L"Front Desk");
  EXPECT_EQ(shown[IDC_INFO_DEST_PRINTER], L"\\\\NODE1\\Laser");
  EXPECT_EQ(shown[IDC_INFO_SCENARIO], L"C:\\Dorvane\\Invoices.scn");
  EXPECT_EQ(shown[IDC_INFO_TEMPLATES], L"Page 1: Letterhead\r\n");
  EXPECT_EQ(dvtest::ReadFileBytes(Ctl(42)), before);
}

// A job name longer than its field is shown from its start, selected whole,
// with the focus.
TEST_F(JobInformationTest, ALongJobNameShowsItsStartSelected) {
  const std::wstring name =
      L"Annual report of the northern region sales offices for the board meeting in March, final version";
  AddJob(42);
  Put(42, L"General", L"Document", name.c_str());
  ASSERT_TRUE(Start());
  SelectRows({0});
  bool focused = false, wider = false;
  DWORD from = 1, to = 0;
  int firstX = -1;
  ui::Dialog::SetModalHook([&](ui::Dialog& dialog) {
    HWND edit = dialog.Item(IDC_INFO_JOB_NAME);
    focused = GetFocus() == edit;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    // The name does not fit: from its first to its last character it is
    // wider than the field.
    RECT field = {};
    GetClientRect(edit, &field);
    const int first = static_cast<short>(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)));
    const int last = static_cast<short>(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, name.size() - 1, 0)));
    wider = last - first > field.right;
    firstX = first;
    dialog.EndDialog(IDOK);
  });
  Command(ID_FILE_VIEW_JOB_INFORMATION);
  EXPECT_TRUE(focused);
  EXPECT_EQ(0u, from);
  EXPECT_EQ(name.size(), to);
  ASSERT_TRUE(wider) << "the name must be longer than the field";
  EXPECT_GE(firstX, 0) << "the first character is in view";
}

}  // namespace
}  // namespace ctltest
