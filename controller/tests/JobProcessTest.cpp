// The job process dialog: what it shows from Dorvane.ini, the users-group
// and printer handlers, the job-name rules, the scenario edit chain, what OK
// writes (and Cancel does not), and Edit > Job Process in the main frame.
#include "controller/tests/ControllerFixture.h"

#include "common/SettingsFile.h"
#include "controller/BrowseCtrl.h"
#include "controller/DlgJobProcess.h"
#include "controller/PrintProcessor.h"

namespace ctltest {
namespace {

class JobProcessTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    Spooler().localPrinterNames = [] { return std::vector<std::wstring>{L"Zeta", L"Alpha"}; };
    ui::Prompts().messageBox = [this](HWND, const std::wstring& text, const std::wstring&, UINT type) {
      messages.push_back(text);
      types.push_back(type);
      return answer;
    };
    savedLauncher = ScenarioEditorLauncher();
    ScenarioEditorLauncher() = [this](const std::wstring& path) { edited.push_back(path); };
    savedBrowse = BrowseDialogs();
  }
  void TearDown() override {
    if (dialog && dialog->Hwnd()) DestroyWindow(dialog->Hwnd());
    dialog.reset();
    ScenarioEditorLauncher() = savedLauncher;
    BrowseDialogs() = savedBrowse;
    ControllerTest::TearDown();
  }

  void Write(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    WritePrivateProfileStringW(section, key, value, Ini().c_str());
  }
  std::wstring Read(const wchar_t* section, const wchar_t* key) const {
    return GetIniString(section, key, Ini(), L"<absent>");
  }
  void Open() {
    dialog = std::make_unique<CDlgJobProcess>();
    ASSERT_TRUE(dialog->CreateModeless(nullptr));
  }
  HWND Item(int id) const { return dialog->Item(id); }
  void Press(int id) { SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id))); }
  void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
  void Type(int id, const std::wstring& text) { dialog->SetItemText(id, text); }
  std::wstring Text(int id) const { return dialog->ItemText(id); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  std::vector<std::wstring> Items(int id) const {
    std::vector<std::wstring> items;
    const int n = static_cast<int>(SendMessageW(Item(id), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t buf[256] = {};
      SendMessageW(Item(id), LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
      items.push_back(buf);
    }
    return items;
  }
  std::vector<int> Selected(int id) const {
    std::vector<int> sel;
    for (int i = 0; i < static_cast<int>(SendMessageW(Item(id), LB_GETCOUNT, 0, 0)); ++i)
      if (SendMessageW(Item(id), LB_GETSEL, i, 0) > 0) sel.push_back(i);
    return sel;
  }
  // Selects the items as a user would, caret on the last, and notifies.
  void Select(int id, std::initializer_list<int> items) {
    SendMessageW(Item(id), LB_SETSEL, FALSE, -1);
    int caret = -1;
    for (int i : items) SendMessageW(Item(id), LB_SETSEL, TRUE, caret = i);
    if (caret >= 0) SendMessageW(Item(id), LB_SETCARETINDEX, caret, FALSE);
    SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(id)));
  }
  void TypePath(int id, const std::wstring& path) { SetWindowTextW(dialog->Field(id).EditHwnd(), path.c_str()); }
  std::wstring Path(int id) { return dialog->Field(id).GetPathName(); }

  // Two groups, a printer entry, a rule and the switches.
  void WriteSettings() {
    Write(L"General", L"DefaultScenarioFile", L"C:\\s\\default.scn");
    Write(L"General", L"SelectionType", L"0");
    Write(L"General", L"OverrideScenarioByJobname", L"1");
    Write(L"Users", L"bob", L"Sales");
    Write(L"Users", L"ann", L"Sales");
    Write(L"Users", L"joe", L"Admin");
    Write(L"Sales", L"ScenarioFile", L"C:\\s\\sales.scn");
    Write(L"Admin", L"ScenarioFile", L"C:\\s\\admin.scn");
    Write(L"PrinterScenarios", L"Alpha", L"C:\\s\\alpha.scn");
    Write(L"JobnameScenarios", L"Invoices", L"2;#;INV;#;C:\\s\\inv.scn");
  }

  ScopedSpooler spooler;
  std::function<void(const std::wstring&)> savedLauncher;
  BrowseDialogReplacements savedBrowse;
  std::vector<std::wstring> messages;
  std::vector<UINT> types;
  int answer = IDOK;
  std::vector<std::wstring> edited;
  std::unique_ptr<CDlgJobProcess> dialog;
};

TEST_F(JobProcessTest, OpeningShowsTheSettingsOfTheFile) {
  WriteSettings();
  Open();
  EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog->Hwnd(), IDC_JP_BY_GROUP));
  EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog->Hwnd(), IDC_JP_BY_PRINTER));
  EXPECT_EQ((std::vector<std::wstring>{L"Admin", L"Sales"}), Items(IDC_JP_GROUP_LIST));
  EXPECT_EQ((std::vector<int>{0}), Selected(IDC_JP_GROUP_LIST));
  EXPECT_EQ(L"Admin", dialog->CurrentGroup());
  EXPECT_EQ((std::vector<std::wstring>{L"joe"}), Items(IDC_JP_USER_LIST));
  EXPECT_EQ(L"C:\\s\\admin.scn", Path(IDC_JP_GROUP_SCENARIO));
  EXPECT_EQ(L"C:\\s\\default.scn", Path(IDC_JP_DEFAULT_SCENARIO));
  EXPECT_EQ(L"", Path(IDC_JP_PRINTER_SCENARIO));
  EXPECT_EQ(L"", Path(IDC_JP_RULE_SCENARIO));
  EXPECT_EQ(2, SendMessageW(Item(IDC_JP_PRINTER), CB_GETCOUNT, 0, 0));
  EXPECT_EQ(CB_ERR, SendMessageW(Item(IDC_JP_PRINTER), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog->Hwnd(), IDC_JP_OVERRIDE));
  EXPECT_EQ((std::vector<std::wstring>{L"Invoices"}), Items(IDC_JP_RULE_LIST));
  EXPECT_EQ(4, SendMessageW(Item(IDC_JP_SEARCH_TYPE), CB_GETCOUNT, 0, 0));
  EXPECT_EQ(CB_ERR, SendMessageW(Item(IDC_JP_SEARCH_TYPE), CB_GETCURSEL, 0, 0));
  // By users group: the printer controls are off; no rule selected.
  EXPECT_TRUE(Enabled(IDC_JP_ADD_USER));
  EXPECT_FALSE(Enabled(IDC_JP_PRINTER));
  EXPECT_FALSE(Enabled(IDC_JP_EDIT_PRINTER));
  EXPECT_TRUE(Enabled(IDC_JP_ADD_RULE));
  EXPECT_FALSE(Enabled(IDC_JP_DELETE_RULE));
  wchar_t caption[32] = {};
  GetWindowTextW(dialog->Hwnd(), caption, 32);
  EXPECT_STREQ(L"Dialog", caption);

  Click(IDC_JP_BY_PRINTER);
  EXPECT_EQ(1, dialog->Defs().selectionType);
  EXPECT_TRUE(Enabled(IDC_JP_PRINTER));
  EXPECT_FALSE(Enabled(IDC_JP_GROUP_LIST));
  EXPECT_FALSE(Enabled(IDC_JP_ADD_USER));
}

TEST_F(JobProcessTest, SystemSectionNamesAreRefusedAsGroupNames) {
  Open();
  for (const wchar_t* name : {L" users ", L"GENERAL", L"  Job", L"printerscenarios", L"JobnameScenarios",
                              L"ClusterGroup", L"clustergroup "}) {
    SCOPED_TRACE(name);
    messages.clear();
    Type(IDC_JP_GROUP_NAME, name);
    Press(IDC_JP_ADD_GROUP);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(L"\"" + dv::Trim(name) + L"\" is not a legal group name, please select a different name for the group",
              messages[0]);
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), types.back());
    EXPECT_EQ(name, Text(IDC_JP_GROUP_NAME));
    EXPECT_TRUE(Items(IDC_JP_GROUP_LIST).empty());
  }
  EXPECT_TRUE(dialog->Defs().GetGroups().empty());
}

TEST_F(JobProcessTest, AddingGroupsAndUsers) {
  WriteSettings();
  Open();
  Type(IDC_JP_GROUP_NAME, L"  Staff ");
  Press(IDC_JP_ADD_GROUP);
  EXPECT_EQ((std::vector<std::wstring>{L"Staff", L"Admin", L"Sales"}), Items(IDC_JP_GROUP_LIST));
  EXPECT_EQ((std::vector<int>{0}), Selected(IDC_JP_GROUP_LIST));
  EXPECT_EQ(L"", Text(IDC_JP_GROUP_NAME));
  EXPECT_TRUE(Items(IDC_JP_USER_LIST).empty());
  // No selection change was notified: the field still belongs to Admin.
  EXPECT_EQ(L"Admin", dialog->CurrentGroup());
  EXPECT_EQ(L"C:\\s\\admin.scn", Path(IDC_JP_GROUP_SCENARIO));
  // The new group is the one at the caret: a user added now goes to it.
  Type(IDC_JP_USER_NAME, L"lee");
  Press(IDC_JP_ADD_USER);
  EXPECT_EQ((std::vector<std::wstring>{L"lee"}), Items(IDC_JP_USER_LIST));
  ASSERT_EQ(3u, dialog->Defs().GetGroups().size());
  EXPECT_EQ((std::vector<std::wstring>{L"lee"}), dialog->Defs().GetGroups()[2].GetUsers());

  // An existing name in another case is only selected, and lists no users.
  Type(IDC_JP_GROUP_NAME, L"sales");
  Press(IDC_JP_ADD_GROUP);
  EXPECT_EQ(3u, Items(IDC_JP_GROUP_LIST).size());
  EXPECT_EQ((std::vector<int>{2}), Selected(IDC_JP_GROUP_LIST));
  EXPECT_TRUE(Items(IDC_JP_USER_LIST).empty());
  EXPECT_EQ(3u, dialog->Defs().GetGroups().size());

  Type(IDC_JP_GROUP_NAME, L"   ");
  Press(IDC_JP_ADD_GROUP);
  EXPECT_EQ(3u, dialog->Defs().GetGroups().size());
  EXPECT_TRUE(messages.empty());

  // Users go to the group at the caret.
  Select(IDC_JP_GROUP_LIST, {0});
  EXPECT_EQ(L"Staff", dialog->CurrentGroup());
  Type(IDC_JP_USER_NAME, L"a=b");
  Press(IDC_JP_ADD_USER);
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(L"\"a=b\" is not a legal user name\nA user name cannot hold \"=\".", messages[0]);
  EXPECT_EQ(L"a=b", Text(IDC_JP_USER_NAME));
  Type(IDC_JP_USER_NAME, L" kim ");
  Press(IDC_JP_ADD_USER);
  EXPECT_EQ((std::vector<std::wstring>{L"kim", L"lee"}), Items(IDC_JP_USER_LIST));
  EXPECT_EQ(L"", Text(IDC_JP_USER_NAME));

  // Deleting the selected users and groups.
  Select(IDC_JP_USER_LIST, {0});
  EXPECT_TRUE(Enabled(IDC_JP_DELETE_USER));
  Press(IDC_JP_DELETE_USER);
  EXPECT_EQ((std::vector<std::wstring>{L"lee"}), Items(IDC_JP_USER_LIST));
  Select(IDC_JP_GROUP_LIST, {0, 2});
  EXPECT_FALSE(Enabled(IDC_JP_ADD_USER));  // needs exactly one group
  EXPECT_EQ(L"Staff", dialog->CurrentGroup());
  Press(IDC_JP_DELETE_GROUP);
  EXPECT_EQ((std::vector<std::wstring>{L"Admin"}), Items(IDC_JP_GROUP_LIST));

  Press(IDOK);
  EXPECT_EQ(L"Admin", Read(L"Users", L"joe"));
  EXPECT_EQ(L"<absent>", Read(L"Users", L"bob"));
  EXPECT_EQ(L"<absent>", Read(L"Users", L"kim"));
}

TEST_F(JobProcessTest, ScenarioFieldsStoreTheirPathsWhereTheyBelong) {
  WriteSettings();
  Open();
  // A path typed into the group field goes to the current group when another
  // group is selected.
  TypePath(IDC_JP_GROUP_SCENARIO, L"C:\\s\\typed.scn");
  Select(IDC_JP_GROUP_LIST, {1});
  EXPECT_EQ(L"Sales", dialog->CurrentGroup());
  EXPECT_EQ(L"C:\\s\\sales.scn", Path(IDC_JP_GROUP_SCENARIO));
  EXPECT_EQ(L"C:\\s\\typed.scn", dialog->Defs().GetGroupScenario(L"Admin"));

  // Printer scenarios: shown on selection, stored when the button is pressed,
  // also for a typed printer name.
  Click(IDC_JP_BY_PRINTER);
  SendMessageW(Item(IDC_JP_PRINTER), CB_SETCURSEL, 0, 0);  // sorted: Alpha
  SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_JP_PRINTER, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(Item(IDC_JP_PRINTER)));
  EXPECT_EQ(L"C:\\s\\alpha.scn", Path(IDC_JP_PRINTER_SCENARIO));
  SetWindowTextW(Item(IDC_JP_PRINTER), L"Typed Printer");
  TypePath(IDC_JP_PRINTER_SCENARIO, L"C:\\s\\typedprinter.scn");
  SendMessageW(dialog->Hwnd(), WM_BROWSECTRL_PRESSED, 0,
               reinterpret_cast<LPARAM>(dialog->Field(IDC_JP_PRINTER_SCENARIO).Hwnd()));
  EXPECT_EQ(L"C:\\s\\typedprinter.scn", dialog->Defs().GetPrinterScenario(L"Typed Printer"));
  // A cancelled browse stores nothing.
  TypePath(IDC_JP_PRINTER_SCENARIO, L"C:\\s\\cancelled.scn");
  SendMessageW(dialog->Hwnd(), WM_BROWSECTRL_NOTIFY, 2,
               reinterpret_cast<LPARAM>(dialog->Field(IDC_JP_PRINTER_SCENARIO).Hwnd()));
  EXPECT_EQ(L"C:\\s\\typedprinter.scn", dialog->Defs().GetPrinterScenario(L"Typed Printer"));

  // OK stores the default field's path but not the typed group path of Sales.
  TypePath(IDC_JP_DEFAULT_SCENARIO, L"C:\\s\\newdefault.scn");
  TypePath(IDC_JP_GROUP_SCENARIO, L"C:\\s\\unsaved.scn");
  Press(IDOK);
  EXPECT_EQ(L"C:\\s\\newdefault.scn", Read(L"General", L"DefaultScenarioFile"));
  EXPECT_EQ(L"1", Read(L"General", L"SelectionType"));
  EXPECT_EQ(L"C:\\s\\typed.scn", Read(L"Admin", L"ScenarioFile"));
  EXPECT_EQ(L"C:\\s\\sales.scn", Read(L"Sales", L"ScenarioFile"));
  EXPECT_EQ(L"C:\\s\\typedprinter.scn", Read(L"PrinterScenarios", L"Typed Printer"));
  EXPECT_EQ(L"C:\\s\\alpha.scn", Read(L"PrinterScenarios", L"Alpha"));
  EXPECT_EQ(L"2;#;INV;#;C:\\s\\inv.scn", Read(L"JobnameScenarios", L"Invoices"));
}

// Every kind of name the dialog stores is refused, with a message that names
// the character, when the settings file could not give it back unchanged;
// nothing is added, and what OK writes loads back whole.
TEST_F(JobProcessTest, NamesTheSettingsFileCannotHoldAreRefused) {
  struct Row {
    const char* name;
    int edit;  // where the name is typed
    const wchar_t* typed;
    const wchar_t* message;
  } rows[] = {
      {"rule opening a section", IDC_JP_RULE_NAME, L"[Draft]",
       L"\"[Draft]\" is not a legal rule name\nA rule name cannot start with \"[\"."},
      {"rule with =", IDC_JP_RULE_NAME, L"a=b", L"\"a=b\" is not a legal rule name\nA rule name cannot hold \"=\"."},
      {"rule as a comment", IDC_JP_RULE_NAME, L";old", L"\";old\" is not a legal rule name\nA rule name cannot start with \";\"."},
      {"empty rule", IDC_JP_RULE_NAME, L"", L"\"\" is not a legal rule name\nA rule name cannot be empty."},
      {"rule with a blank at its end", IDC_JP_RULE_NAME, L"Draft ",
       L"\"Draft \" is not a legal rule name\nA rule name cannot end with a blank."},
      {"group with ]", IDC_JP_GROUP_NAME, L"a]b", L"\"a]b\" is not a legal group name\nA group name cannot hold \"]\"."},
      {"quoted group", IDC_JP_GROUP_NAME, L" 'Sales' ",
       L"\"'Sales'\" is not a legal group name\nA group name cannot be enclosed in \"'\"."},
      {"user as a comment", IDC_JP_USER_NAME, L";kim", L"\";kim\" is not a legal user name\nA user name cannot start with \";\"."},
      {"printer with =", IDC_JP_PRINTER, L"HP=4", L"\"HP=4\" is not a legal printer name\nA printer name cannot hold \"=\"."},
      // The rule's text and scenario file share its value with the separator.
      {"search text with the separator", IDC_JP_SEARCH_TEXT, L"a;#;b",
       L"\"a;#;b\" is not a legal search text\nA search text cannot hold the separator \";#;\"."},
      {"search text ending in a part of it", IDC_JP_SEARCH_TEXT, L"Draft;#",
       L"\"Draft;#\" is not a legal search text\nA search text cannot end with \";#\", which runs into the separator "
       L"\";#;\"."},
      {"scenario file with a blank at its end", IDC_JP_RULE_SCENARIO, L"C:\\s\\r.scn ",
       L"\"C:\\s\\r.scn \" is not a legal scenario file\nA scenario file cannot end with a blank."},
      // A character beyond the Basic Multilingual Plane is named whole, both
      // its surrogates; half of one is named by its code. A UTF-8 code page
      // holds the emoji (no message).
      {"rule with an emoji", IDC_JP_RULE_NAME, L"Smile\U0001F600",
       GetACP() == CP_UTF8 ? nullptr
                           : L"\"Smile\U0001F600\" is not a legal rule name\nThe settings file cannot hold \"\U0001F600\"."},
      {"search text with a lone surrogate", IDC_JP_SEARCH_TEXT, L"ab\xD83D" L"cd",
       L"\"ab\xD83D" L"cd\" is not a legal search text\nThe settings file cannot hold a lone surrogate (U+D83D)."},
  };
  WriteSettings();
  Open();
  Click(IDC_JP_BY_PRINTER);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (!row.message) continue;
    messages.clear();
    if (row.edit == IDC_JP_RULE_SCENARIO)
      TypePath(row.edit, row.typed);
    else
      Type(row.edit, row.typed);
    switch (row.edit) {
      case IDC_JP_RULE_NAME: Press(IDC_JP_ADD_RULE); break;
      case IDC_JP_SEARCH_TEXT:
      case IDC_JP_RULE_SCENARIO:
        // Both by Add and by Update of a listed rule.
        Type(IDC_JP_RULE_NAME, L"sep");
        Press(IDC_JP_ADD_RULE);
        ASSERT_EQ(1u, messages.size());
        messages.clear();
        Type(IDC_JP_RULE_NAME, L"Invoices");
        Press(IDC_JP_UPDATE_RULE);
        break;
      case IDC_JP_GROUP_NAME: Click(IDC_JP_BY_GROUP); Press(IDC_JP_ADD_GROUP); break;
      case IDC_JP_USER_NAME: Click(IDC_JP_BY_GROUP); Press(IDC_JP_ADD_USER); break;
      default:
        Click(IDC_JP_BY_PRINTER);
        TypePath(IDC_JP_PRINTER_SCENARIO, L"C:\\s\\p.scn");
        // Refused silently before the file dialog, with the message after it.
        SendMessageW(dialog->Hwnd(), WM_BROWSECTRL_PRESSED, 0,
                     reinterpret_cast<LPARAM>(dialog->Field(IDC_JP_PRINTER_SCENARIO).Hwnd()));
        EXPECT_TRUE(messages.empty());
        SendMessageW(dialog->Hwnd(), WM_BROWSECTRL_NOTIFY, 1,
                     reinterpret_cast<LPARAM>(dialog->Field(IDC_JP_PRINTER_SCENARIO).Hwnd()));
        break;
    }
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(row.message, messages[0]);
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), types.back());
    if (row.edit == IDC_JP_RULE_SCENARIO) {
      EXPECT_EQ(row.typed, Path(row.edit)) << "the typed path stays to be mended";
      TypePath(row.edit, L"");
    } else {
      EXPECT_EQ(row.typed, Text(row.edit)) << "the typed name stays to be mended";
      if (row.edit == IDC_JP_SEARCH_TEXT) Type(row.edit, L"");
    }
  }
  EXPECT_EQ(L"INV", dialog->Rules().GetRuleText(L"Invoices"));
  EXPECT_EQ((std::vector<std::wstring>{L"Invoices"}), Items(IDC_JP_RULE_LIST));
  EXPECT_EQ((std::vector<std::wstring>{L"Admin", L"Sales"}), Items(IDC_JP_GROUP_LIST));
  EXPECT_EQ((std::vector<std::wstring>{L"joe"}), Items(IDC_JP_USER_LIST));
  EXPECT_EQ(1u, dialog->Defs().GetPrinterScenarios().size());

  // A rule after the refused ones is stored and loads back with the others.
  Type(IDC_JP_RULE_NAME, L"Orders");
  Press(IDC_JP_ADD_RULE);
  Press(IDOK);
  CJobRuleArray saved;
  EXPECT_EQ(2, saved.Load(Ini(), SectionWarning::Silent));
  EXPECT_EQ(1, saved.FindRule(L"Orders"));
}

TEST_F(JobProcessTest, CancelLeavesTheFileAsItWas) {
  WriteSettings();
  const std::string before = dvtest::ReadFileBytes(Ini());
  Open();
  Type(IDC_JP_GROUP_NAME, L"New");
  Press(IDC_JP_ADD_GROUP);
  Click(IDC_JP_BY_PRINTER);
  Type(IDC_JP_RULE_NAME, L"Rule");
  Press(IDC_JP_ADD_RULE);
  Press(IDCANCEL);
  EXPECT_EQ(before, dvtest::ReadFileBytes(Ini()));
}

TEST_F(JobProcessTest, RuleEditing) {
  WriteSettings();
  Open();
  // A new rule without a search type stores -1 and comes at the end.
  Type(IDC_JP_RULE_NAME, L"Orders");
  EXPECT_TRUE(Enabled(IDC_JP_ADD_RULE));
  EXPECT_FALSE(Enabled(IDC_JP_UPDATE_RULE));
  Type(IDC_JP_SEARCH_TEXT, L"ORD");
  Press(IDC_JP_ADD_RULE);
  EXPECT_EQ((std::vector<std::wstring>{L"Invoices", L"Orders"}), Items(IDC_JP_RULE_LIST));
  EXPECT_EQ(-1, dialog->Rules().GetRuleType(L"Orders"));
  // A name in another case is a new rule.
  Type(IDC_JP_RULE_NAME, L"invoices");
  EXPECT_TRUE(Enabled(IDC_JP_ADD_RULE));
  Press(IDC_JP_ADD_RULE);
  EXPECT_EQ(3, dialog->Rules().GetSize());

  // Selecting a rule fills its fields and turns Add into Update and Delete.
  Select(IDC_JP_RULE_LIST, {0});
  EXPECT_EQ(L"Invoices", Text(IDC_JP_RULE_NAME));
  EXPECT_EQ(L"INV", Text(IDC_JP_SEARCH_TEXT));
  EXPECT_EQ(2, SendMessageW(Item(IDC_JP_SEARCH_TYPE), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(L"C:\\s\\inv.scn", Path(IDC_JP_RULE_SCENARIO));
  EXPECT_FALSE(Enabled(IDC_JP_ADD_RULE));
  EXPECT_TRUE(Enabled(IDC_JP_UPDATE_RULE));
  EXPECT_TRUE(Enabled(IDC_JP_DELETE_RULE));

  // Update changes the rule in place.
  SendMessageW(Item(IDC_JP_SEARCH_TYPE), CB_SETCURSEL, 3, 0);
  TypePath(IDC_JP_RULE_SCENARIO, L"C:\\s\\inv2.scn");
  Press(IDC_JP_UPDATE_RULE);
  EXPECT_EQ(0, dialog->Rules().FindRule(L"Invoices"));
  EXPECT_EQ(3, dialog->Rules().GetRuleType(L"Invoices"));
  EXPECT_EQ(L"C:\\s\\inv2.scn", dialog->Rules().GetRuleScenario(L"Invoices"));

  // With several selected, only the caret's rule goes.
  Select(IDC_JP_RULE_LIST, {0, 1});
  EXPECT_EQ(L"Orders", Text(IDC_JP_RULE_NAME));
  Press(IDC_JP_DELETE_RULE);
  EXPECT_EQ((std::vector<std::wstring>{L"Invoices", L"invoices"}), Items(IDC_JP_RULE_LIST));
  EXPECT_EQ(-1, dialog->Rules().FindRule(L"Orders"));
  // The name stays and Update appends the rule again, unlisted until a refill.
  EXPECT_EQ(L"Orders", Text(IDC_JP_RULE_NAME));
  EXPECT_TRUE(Enabled(IDC_JP_UPDATE_RULE));
  Press(IDC_JP_UPDATE_RULE);
  EXPECT_EQ(2, dialog->Rules().FindRule(L"Orders"));
  EXPECT_EQ(2u, Items(IDC_JP_RULE_LIST).size());

  // Switching the override off disables the rule controls and keeps the rules.
  Click(IDC_JP_OVERRIDE);
  for (int id : {IDC_JP_RULE_NAME, IDC_JP_ADD_RULE, IDC_JP_RULE_LIST, IDC_JP_SEARCH_TYPE, IDC_JP_SEARCH_TEXT,
                 IDC_JP_RULE_SCENARIO, IDC_JP_EDIT_RULE, IDC_JP_DELETE_RULE, IDC_JP_UPDATE_RULE}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(Enabled(id));
  }
  Press(IDOK);
  EXPECT_EQ(L"0", Read(L"General", L"OverrideScenarioByJobname"));
  CJobRuleArray saved;
  EXPECT_EQ(3, saved.Load(Ini(), SectionWarning::Silent));
  EXPECT_EQ(L"Invoices", saved.GetAt(0).GetName());
  EXPECT_EQ(L"invoices", saved.GetAt(1).GetName());
  EXPECT_EQ(L"Orders", saved.GetAt(2).GetName());
  EXPECT_EQ(-1, saved.GetAt(2).GetSearchType());
}

TEST_F(JobProcessTest, EditButtonsOpenTheScenarioEditor) {
  WriteSettings();
  const std::wstring existing = folder.Path() + L"existing.scn";
  dvtest::WriteFileBytes(existing, "[General]\r\n");
  Open();

  // An existing file opens at once, as the field holds it.
  TypePath(IDC_JP_DEFAULT_SCENARIO, existing + L"  ");
  Press(IDC_JP_EDIT_DEFAULT);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ((std::vector<std::wstring>{existing}), edited);

  // A missing file asks first; No ends the chain.
  edited.clear();
  answer = IDNO;
  TypePath(IDC_JP_GROUP_SCENARIO, L"C:\\nowhere\\missing.scn");
  Press(IDC_JP_EDIT_GROUP);
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(L"The file doesn't exist, would you like to create this file?", messages[0]);
  EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), types[0]);
  EXPECT_TRUE(edited.empty());

  // An empty field browses first; a cancelled browse leaves nothing to
  // edit and ends the chain without a question.
  int browsed = 0;
  BrowseDialogs().file = [&](OPENFILENAMEW& ofn) {
    ++browsed;
    EXPECT_STREQ(L"Dorvane Scenario Files (*.scn)", ofn.lpstrFilter);
    return false;
  };
  answer = IDYES;
  messages.clear();
  dialog->Field(IDC_JP_RULE_SCENARIO).SetPathName(L"");
  Press(IDC_JP_EDIT_RULE);
  EXPECT_EQ(1, browsed);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(edited.empty());
}

TEST_F(JobProcessTest, EditJobProcessCommandRunsTheDialog) {
  WriteSettings();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(frame->IsCommandEnabled(ID_EDIT_JOB_PROCESS));
  int shown = 0;
  ui::Dialog::SetModalHook([&](ui::Dialog& d) {
    if (d.TemplateId() != IDD_JOB_PROCESS) return;
    ++shown;
    SendMessageW(d.Item(IDC_JP_BY_PRINTER), BM_CLICK, 0, 0);
    SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(ID_EDIT_JOB_PROCESS);
  EXPECT_EQ(1, shown);
  EXPECT_EQ(L"1", General(L"SelectionType"));
  EXPECT_EQ(L"Sales", Read(L"Users", L"bob"));
}

}  // namespace
}  // namespace ctltest
