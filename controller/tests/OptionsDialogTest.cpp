// The Options dialog: what it shows from Dorvane.ini, what OK writes (and
// Cancel does not), the enabling rules, the print processor buttons and the
// printer choice against a fake spooler, and Tools > Options in the main
// frame.
#include "controller/tests/ControllerFixture.h"

#include <functional>
#include <map>
#include <set>
#include <utility>

#include "common/SettingsFile.h"
#include "controller/DlgPrinters.h"
#include "controller/DlgToolsOptions.h"
#include "controller/PrintProcessor.h"

namespace ctltest {
namespace {

constexpr int kRadios[] = {IDC_OPT_PRINT_UNPROCESSED, IDC_OPT_IGNORE_JOB, IDC_OPT_ASK_USER, IDC_OPT_PROCESS_AS_PCL};

class OptionsDialogTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    auto& s = Spooler();
    s.enumPrintProcessors = [this](std::vector<std::wstring>& names) {
      names.assign(registered.begin(), registered.end());
      return true;
    };
    s.printProcessorDirectory = [](std::wstring&) { return false; };
    s.addPrintProcessor = [this](const std::wstring&, const std::wstring& name) {
      registered.insert(name);
      return TRUE;
    };
    s.deletePrintProcessor = [this](const std::wstring& name) { return deleteOk && registered.erase(name) ? TRUE : FALSE; };
    s.localPrinterNames = [] { return std::vector<std::wstring>(); };
    ui::Prompts().messageBox = [this](HWND, const std::wstring& text, const std::wstring&, UINT type) {
      messages.push_back(text);
      types.push_back(type);
      statusAtMessage = dialog ? Text(IDC_OPT_PROCESSOR_STATUS) : L"";
      return IDOK;
    };
  }
  void TearDown() override {
    if (dialog && dialog->Hwnd()) DestroyWindow(dialog->Hwnd());
    dialog.reset();
    ControllerTest::TearDown();
  }

  void Open() {
    dialog = std::make_unique<CDlgToolsOptions>();
    ASSERT_TRUE(dialog->CreateModeless(nullptr));
  }
  void Click(int id) { SendMessageW(dialog->Item(id), BM_CLICK, 0, 0); }
  void Press(int id) { SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  bool IsChecked(int id) const { return IsDlgButtonChecked(dialog->Hwnd(), id) == BST_CHECKED; }
  bool IsEnabled(int id) const { return IsWindowEnabled(dialog->Item(id)) != FALSE; }
  std::wstring Text(int id) const { return dialog->ItemText(id); }
  void Type(int id, const std::wstring& text) { dialog->SetItemText(id, text); }
  int CheckedRadio() const {
    int checked = 0, count = 0;
    for (int id : kRadios)
      if (IsChecked(id)) checked = id, ++count;
    return count == 1 ? checked : -count;
  }
  std::vector<std::wstring> ClusterLines() const {
    std::vector<std::wstring> lines;
    EXPECT_TRUE(ReadSectionLines(kSectionClusterGroup, Ini(), 1024, lines));
    return lines;
  }
  void WriteCluster(const std::wstring& lines) {
    WritePrivateProfileSectionW(kSectionClusterGroup, lines.c_str(), Ini().c_str());
  }

  ScopedSpooler spooler;
  std::set<std::wstring> registered;
  bool deleteOk = true;
  std::vector<std::wstring> messages;
  std::vector<UINT> types;
  std::wstring statusAtMessage;
  std::unique_ptr<CDlgToolsOptions> dialog;
};

TEST_F(OptionsDialogTest, RadioButtonsShowTheActionsAndOkWritesTheirPair) {
  struct Row {
    const char* name;
    const wchar_t* action;
    const wchar_t* raw;
    int radio;
    const wchar_t* writtenAction;
    const wchar_t* writtenRaw;
  } rows[] = {
      {"nothing set", nullptr, nullptr, IDC_OPT_PRINT_UNPROCESSED, L"0", L"0"},
      {"ignore beats RAW", L"1", L"1", IDC_OPT_IGNORE_JOB, L"1", L"0"},
      {"ask", L"2", L"0", IDC_OPT_ASK_USER, L"2", L"0"},
      {"PCL5", L"0", L"1", IDC_OPT_PROCESS_AS_PCL, L"0", L"1"},
      {"unknown action counts as 0", L"5", L"0", IDC_OPT_PRINT_UNPROCESSED, L"0", L"0"},
      {"unknown action with RAW", L"5", L"1", IDC_OPT_PROCESS_AS_PCL, L"0", L"1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetGeneral(kKeyProcessErrorsAction, row.action);
    SetGeneral(kKeyProcessRawJob, row.raw);
    Open();
    EXPECT_EQ(row.radio, CheckedRadio());
    for (int id : kRadios) EXPECT_TRUE(IsEnabled(id));
    Press(IDOK);
    EXPECT_FALSE(IsWindow(dialog->Hwnd()));
    EXPECT_EQ(row.writtenAction, General(kKeyProcessErrorsAction));
    EXPECT_EQ(row.writtenRaw, General(kKeyProcessRawJob));
  }
  // A choice made in the dialog.
  Open();
  Click(IDC_OPT_ASK_USER);
  EXPECT_EQ(IDC_OPT_ASK_USER, CheckedRadio());
  Press(IDOK);
  EXPECT_EQ(L"2", General(kKeyProcessErrorsAction));
  EXPECT_EQ(2, dialog->ProcessErrorsAction());
}

TEST_F(OptionsDialogTest, ClusterGroupOffStillShowsAndWritesTheAssignments) {
  WriteCluster(std::wstring(L"P1=G1\0P2=G2\0", 13));
  Open();
  EXPECT_FALSE(IsChecked(IDC_OPT_ON_CLUSTER));
  for (int id : {IDC_OPT_CLUSTER_GROUP_LABEL, IDC_OPT_CLUSTER_GROUP, IDC_OPT_ASSIGNMENT_LABEL, IDC_OPT_ASSIGNMENTS})
    EXPECT_FALSE(IsEnabled(id));
  EXPECT_EQ(L"P1=G1\r\nP2=G2", Text(IDC_OPT_ASSIGNMENTS));
  Press(IDOK);
  EXPECT_EQ(L"", General(kKeyDefaultClusterGroup));  // present, empty
  EXPECT_EQ((std::vector<std::wstring>{L"P1=G1", L"P2=G2"}), ClusterLines());
}

TEST_F(OptionsDialogTest, UncheckingTheClusterKeepsTheGroupTextOutOfTheFile) {
  SetGeneral(kKeyDefaultClusterGroup, L"North");
  Open();
  EXPECT_TRUE(IsChecked(IDC_OPT_ON_CLUSTER));
  EXPECT_TRUE(IsEnabled(IDC_OPT_ASSIGNMENTS));
  EXPECT_EQ(L"North", Text(IDC_OPT_CLUSTER_GROUP));
  // Empty lines are left out: they would end the section early.
  Type(IDC_OPT_ASSIGNMENTS, L"P1=G1\r\n\r\nP3=G3\r\n");
  Click(IDC_OPT_ON_CLUSTER);
  EXPECT_FALSE(IsEnabled(IDC_OPT_CLUSTER_GROUP));
  EXPECT_EQ(L"North", Text(IDC_OPT_CLUSTER_GROUP));
  Press(IDOK);
  EXPECT_EQ(L"", General(kKeyDefaultClusterGroup));
  EXPECT_EQ((std::vector<std::wstring>{L"P1=G1", L"P3=G3"}), ClusterLines());
}

TEST_F(OptionsDialogTest, LongClusterSectionIsShownAndWrittenBackWhole) {
  std::wstring section;
  std::vector<std::wstring> expected;
  for (int i = 0; i < 2500; ++i) {
    expected.push_back(dv::Format(L"Printer%04d=Group%04d", i, i % 7));
    section += expected.back() + L'\0';
  }
  section += L'\0';
  ASSERT_GT(section.size(), 32767u);
  WriteCluster(section);
  Open();
  EXPECT_TRUE(messages.empty());
  Press(IDOK);
  EXPECT_EQ(expected, ClusterLines());
}

TEST_F(OptionsDialogTest, DummyPrinterIsWrittenEvenWithTheHandOffOff) {
  Open();
  EXPECT_FALSE(IsChecked(IDC_OPT_SEND_TO_GATEPOST));
  EXPECT_FALSE(IsEnabled(IDC_OPT_USE_FORCE_PRINTER));
  EXPECT_FALSE(IsEnabled(IDC_OPT_FORCE_PRINTER));
  Click(IDC_OPT_SEND_TO_GATEPOST);
  EXPECT_TRUE(IsEnabled(IDC_OPT_USE_FORCE_PRINTER));
  EXPECT_FALSE(IsEnabled(IDC_OPT_FORCE_PRINTER));
  Click(IDC_OPT_USE_FORCE_PRINTER);
  EXPECT_TRUE(IsEnabled(IDC_OPT_FORCE_PRINTER));
  Type(IDC_OPT_FORCE_PRINTER, L" Dummy PS ");
  Click(IDC_OPT_SEND_TO_GATEPOST);
  EXPECT_FALSE(IsEnabled(IDC_OPT_USE_FORCE_PRINTER));
  EXPECT_FALSE(IsEnabled(IDC_OPT_FORCE_PRINTER));
  Click(IDC_OPT_USE_DVSUBMIT);
  Press(IDOK);
  EXPECT_EQ(L"0", General(kKeySendToGatepost));
  // Written untrimmed; the profile read strips the blanks again.
  wchar_t raw[64] = {};
  GetPrivateProfileStringW(kSectionGeneral, kKeyGatepostForcePrinter, L"", raw, 64, Ini().c_str());
  EXPECT_STREQ(L"Dummy PS", raw);
  EXPECT_EQ(L"1", General(kKeyUseDvSubmit));
}

TEST_F(OptionsDialogTest, CheckBoxesShowWhatTheReadersActOn) {
  struct Row {
    const char* name;
    const wchar_t* gatepost;
    const wchar_t* submit;
    const wchar_t* printer;
    bool gatepostOn, submitOn, printerOn;
  } rows[] = {
      {"all off", nullptr, nullptr, nullptr, false, false, false},
      {"on", L"1", L"1", L"Dummy", true, true, true},
      {"2 counts as on", L"2", L"2", L"", true, true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetGeneral(kKeySendToGatepost, row.gatepost);
    SetGeneral(kKeyUseDvSubmit, row.submit);
    SetGeneral(kKeyGatepostForcePrinter, row.printer);
    Open();
    EXPECT_EQ(row.gatepostOn, IsChecked(IDC_OPT_SEND_TO_GATEPOST));
    EXPECT_EQ(row.submitOn, IsChecked(IDC_OPT_USE_DVSUBMIT));
    EXPECT_EQ(row.printerOn, IsChecked(IDC_OPT_USE_FORCE_PRINTER));
    EXPECT_EQ(row.gatepostOn && row.printerOn, IsEnabled(IDC_OPT_FORCE_PRINTER));
    Press(IDOK);
    EXPECT_EQ(row.gatepostOn ? L"1" : L"0", General(kKeySendToGatepost));
    EXPECT_EQ(row.submitOn ? L"1" : L"0", General(kKeyUseDvSubmit));
  }
}

TEST_F(OptionsDialogTest, PrintProcessorButtonsActAtOnceAndCancelWritesNothing) {
  registered = {L"winprint", L"Dorvane"};
  Open();
  EXPECT_EQ(L"Dorvane print processor is: installed", Text(IDC_OPT_PROCESSOR_STATUS));
  EXPECT_FALSE(IsEnabled(IDC_OPT_INSTALL_PROCESSOR));
  EXPECT_TRUE(IsEnabled(IDC_OPT_REMOVE_PROCESSOR));

  Press(IDC_OPT_REMOVE_PROCESSOR);
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(L"Dorvane Print Processor successfully uninstalled.", messages[0]);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), types[0]);
  EXPECT_EQ(L"Dorvane print processor is: not installed", statusAtMessage);
  EXPECT_TRUE(IsEnabled(IDC_OPT_INSTALL_PROCESSOR));
  EXPECT_FALSE(IsEnabled(IDC_OPT_REMOVE_PROCESSOR));

  Press(IDC_OPT_INSTALL_PROCESSOR);
  ASSERT_EQ(2u, messages.size());
  EXPECT_EQ(L"Dorvane Print Processor successfully installed.", messages[1]);
  EXPECT_EQ(L"Dorvane print processor is: installed", statusAtMessage);

  deleteOk = false;
  Press(IDC_OPT_REMOVE_PROCESSOR);
  ASSERT_EQ(3u, messages.size());
  EXPECT_EQ(L"Dorvane Print Processor couldn't be uninstalled.\n\n"
            L"Try to restart the print spooler service, and try again.\n"
            L"If it still unsuccessful, try to reboot your computer and then uninstall it again.",
            messages[2]);
  EXPECT_EQ(L"Dorvane print processor is: installed", statusAtMessage);

  Spooler().addPrintProcessor = [](const std::wstring&, const std::wstring&) { return FALSE; };
  registered.clear();
  Press(IDC_OPT_INSTALL_PROCESSOR);
  ASSERT_EQ(4u, messages.size());
  EXPECT_EQ(L"Dorvane Print Processor couldn't be installed.", messages[3]);
  EXPECT_EQ(L"Dorvane print processor is: not installed", statusAtMessage);

  Click(IDC_OPT_IGNORE_JOB);
  Press(IDCANCEL);
  EXPECT_FALSE(IsWindow(dialog->Hwnd()));
  EXPECT_FALSE(dvtest::FileExistsAt(Ini()));
}

TEST_F(OptionsDialogTest, SelectPrintersPutsCheckedPrintersOnThePrintProcessor) {
  std::map<std::wstring, std::wstring> processors = {
      {L"Front desk", L"Dorvane"}, {L"Warehouse", L"winprint"}, {L"Accounts", L"WinPrint"}};
  std::vector<std::pair<std::wstring, std::wstring>> changes;
  Spooler().localPrinterNames = [] { return std::vector<std::wstring>{L"Front desk", L"Warehouse", L"Accounts"}; };
  Spooler().printerPrintProcessor = [&](const std::wstring& printer) { return processors[printer]; };
  Spooler().setPrinterPrintProcessor = [&](const std::wstring& printer, const std::wstring& processor) {
    changes.emplace_back(printer, processor);
    if (printer == L"Accounts") return FALSE;  // not ours to manage
    processors[printer] = processor;
    return TRUE;
  };

  // Only while the print processor is installed.
  Open();
  EXPECT_FALSE(IsEnabled(IDC_OPT_PRINTERS));
  DestroyWindow(dialog->Hwnd());
  registered = {L"Dorvane"};
  Open();
  ASSERT_TRUE(IsEnabled(IDC_OPT_PRINTERS));

  // Each run of the printer dialog: what it shows, then the script's answer.
  std::vector<std::vector<std::pair<std::wstring, bool>>> shown;
  std::function<void(CDlgPrinters&)> answer;
  ui::Dialog::SetModalHook([&](ui::Dialog& d) {
    if (d.TemplateId() != IDD_PRINTERS || !answer) return;
    auto& printers = static_cast<CDlgPrinters&>(d);
    const ui::ListView& list = printers.List();
    std::vector<std::pair<std::wstring, bool>> rows;
    for (int row = 0; row < list.ItemCount(); ++row) rows.emplace_back(list.ItemText(row, 0), list.IsChecked(row));
    shown.push_back(rows);
    auto script = std::move(answer);
    answer = nullptr;
    script(printers);
  });

  // Cancel changes nothing.
  answer = [](CDlgPrinters& d) {
    d.List().SetChecked(1, true);
    SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  };
  Press(IDC_OPT_PRINTERS);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], (std::vector<std::pair<std::wstring, bool>>{
                          {L"Front desk", true}, {L"Warehouse", false}, {L"Accounts", false}}));
  EXPECT_TRUE(changes.empty());

  // OK changes the printers whose check changed; a refused one is named.
  answer = [](CDlgPrinters& d) {
    d.List().SetChecked(0, false);
    d.List().SetChecked(1, true);
    d.List().SetChecked(2, true);
    SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  Press(IDC_OPT_PRINTERS);
  EXPECT_EQ(changes, (std::vector<std::pair<std::wstring, std::wstring>>{
                         {L"Front desk", L"WinPrint"}, {L"Warehouse", L"Dorvane"}, {L"Accounts", L"Dorvane"}}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            L"The print processor of these printers could not be changed:\nAccounts\n\n"
            L"Changing it needs the right to manage the printer.");

  // The next run shows the printers as they now are; OK with nothing
  // changed touches no printer.
  changes.clear();
  answer = [](CDlgPrinters& d) { SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
  Press(IDC_OPT_PRINTERS);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2], (std::vector<std::pair<std::wstring, bool>>{
                          {L"Front desk", false}, {L"Warehouse", true}, {L"Accounts", false}}));
  EXPECT_TRUE(changes.empty());
  ui::Dialog::SetModalHook(nullptr);
}

TEST_F(OptionsDialogTest, ToolsOptionsRunsTheDialogFromTheMainFrame) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(frame->IsCommandEnabled(ID_TOOLS_OPTIONS));
  int shown = 0;
  ui::Dialog::SetModalHook([&](ui::Dialog& d) {
    if (d.TemplateId() != IDD_TOOLS_OPTIONS) return;
    ++shown;
    wchar_t caption[64] = {};
    GetWindowTextW(d.Hwnd(), caption, 64);
    EXPECT_STREQ(L"Options", caption);
    SendMessageW(d.Item(IDC_OPT_ASK_USER), BM_CLICK, 0, 0);
    SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(ID_TOOLS_OPTIONS);
  EXPECT_EQ(1, shown);
  EXPECT_EQ(L"2", General(kKeyProcessErrorsAction));
  EXPECT_EQ(L"0", General(kKeyUseDvSubmit));
}

TEST(ToolsOptionsTextTest, ClusterTextSplitsAndJoinsByLines) {
  EXPECT_EQ(L"P1=G1\r\nP2=G2", JoinClusterLines({L"P1=G1", L"P2=G2"}));
  EXPECT_EQ(L"", JoinClusterLines({}));
  EXPECT_EQ((std::vector<std::wstring>{L"P1=G1", L"P2=G2"}), SplitClusterText(L"P1=G1\r\nP2=G2"));
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"", L"b", L""}), SplitClusterText(L"a\r\n\nb\r\n"));
}

}  // namespace
}  // namespace ctltest
