// The scenario editor and its orientation pages: what a file shows, what OK
// writes (and Cancel does not), the enabling rules, the driver-configuration
// list against a Print dialog answered by the test, the template edit
// buttons, the hex coding, and Edit > Scenario File in the main frame.
#include "controller/tests/ControllerFixture.h"

#include <algorithm>
#include <sstream>

#include "common/DriverConfig.h"
#include "common/PlatformHelpers.h"
#include "controller/DlgEditScenario.h"
#include "controller/ScenarioConfigs.h"

namespace ctltest {
namespace {

// A DEVMODE for a printer with `extra` driver-private bytes of a pattern
// that tells configurations apart.
std::vector<BYTE> MakeDevmode(const std::wstring& printer, WORD extra, BYTE mark) {
  std::vector<BYTE> bytes(sizeof(DEVMODEW) + extra, 0);
  DEVMODEW* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
  dm->dmSize = sizeof(DEVMODEW);
  dm->dmDriverExtra = extra;
  dm->dmSpecVersion = DM_SPECVERSION;
  dm->dmFields = DM_COPIES;
  dm->dmCopies = mark;
  wcsncpy(dm->dmDeviceName, printer.c_str(), CCHDEVICENAME - 1);
  for (WORD i = 0; i < extra; ++i) bytes[sizeof(DEVMODEW) + i] = static_cast<BYTE>(mark + i);
  return bytes;
}

std::wstring Hex(const std::vector<BYTE>& bytes) { return BytesToHex(bytes.data(), bytes.size()); }

class ScenarioEditorTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    file = folder.Path() + L"Test.scn";
    ui::Prompts().messageBox = [this](HWND, const std::wstring& text, const std::wstring&, UINT type) {
      messages.push_back(text);
      types.push_back(type);
      return answer;
    };
    // The Print dialog: records the seed it was given and answers with the
    // next DEVMODE, or Cancel when there is none.
    ui::Prompts().print = [this](HWND, PRINTDLGW& request) {
      seeds.push_back(BlockBytes(request.hDevMode));
      if (answers.empty()) return false;
      std::vector<BYTE> devmode = answers.front();
      answers.erase(answers.begin());
      // The dialog owns the seed and gives a block of its own.
      if (request.hDevMode) GlobalFree(request.hDevMode);
      request.hDevMode = GlobalAlloc(GMEM_MOVEABLE, devmode.size() + 16);
      BYTE* target = static_cast<BYTE*>(GlobalLock(request.hDevMode));
      memcpy(target, devmode.data(), devmode.size());
      GlobalUnlock(request.hDevMode);
      return true;
    };
    savedOpener = ScenarioTemplateEditor();
    ScenarioTemplateEditor() = [this](const std::wstring& path) { edited.push_back(path); };
  }
  void TearDown() override {
    ScenarioTemplateEditor() = savedOpener;
    if (dialog && dialog->Hwnd()) DestroyWindow(dialog->Hwnd());
    dialog.reset();
    ControllerTest::TearDown();
  }  TemplateEditorOpener savedOpener;


  static std::vector<BYTE> BlockBytes(HGLOBAL block) {
    if (!block) return {};
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
    std::vector<BYTE> bytes(p, p + GlobalSize(block));
    GlobalUnlock(block);
    return bytes;
  }

  void Open() {
    dialog = std::make_unique<CDlgEditScenario>();
    dialog->SetFileName(file);
    ASSERT_TRUE(dialog->CreateModeless(nullptr));
  }
  void Press(int id) { SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  CdPropScenario& Page(int tab) { return dialog->Page(tab); }
  // A click as the user makes it: an auto check box toggles, then tells.
  void Click(int tab, int id) {
    HWND item = GetDlgItem(Page(tab).Hwnd(), id);
    if ((GetWindowLongW(item, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
      SendMessageW(item, BM_SETCHECK, SendMessageW(item, BM_GETCHECK, 0, 0) ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageW(Page(tab).Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
  }
  void SelectTab(int index) {
    TabCtrl_SetCurSel(GetDlgItem(dialog->Hwnd(), IDC_SCN_TAB), index);
    NMHDR hdr = {GetDlgItem(dialog->Hwnd(), IDC_SCN_TAB), IDC_SCN_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog->Hwnd(), WM_NOTIFY, IDC_SCN_TAB, reinterpret_cast<LPARAM>(&hdr));
  }
  bool Checked(int tab, int id) { return IsDlgButtonChecked(Page(tab).Hwnd(), id) == BST_CHECKED; }
  bool Enabled(int tab, int id) { return IsWindowEnabled(GetDlgItem(Page(tab).Hwnd(), id)) != FALSE; }
  std::vector<std::wstring> ListNames(int tab) {
    std::vector<std::wstring> names;
    for (int i = 0; i < Page(tab).driverList.Count(); ++i) names.push_back(Page(tab).driverList.Text(i));
    return names;
  }
  void Set(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(section, key, value.c_str(), file.c_str());
  }
  // The value read whole, or "<absent>" when the key is not in the file.
  std::wstring Get(const std::wstring& section, const std::wstring& key) {
    wchar_t probe[16] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<absent>", probe, 16, file.c_str());
    if (std::wstring(probe) == L"<absent>") return probe;
    return ReadDriverConfigurationText(file, section, key);
  }
  // The "key=value" lines of the file, in file order.
  std::vector<std::string> Lines() {
    std::istringstream in(dvtest::ReadFileBytes(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) lines.push_back(line);
    }
    return lines;
  }

  std::wstring file;
  std::unique_ptr<CDlgEditScenario> dialog;
  std::vector<std::wstring> messages;
  std::vector<UINT> types;
  int answer = IDYES;
  std::vector<std::vector<BYTE>> answers;
  std::vector<std::vector<BYTE>> seeds;
  std::vector<std::wstring> edited;
};

TEST_F(ScenarioEditorTest, NewFileShowsDefaultsAndOkWritesEveryGeneralKeyInOrder) {
  Open();
  wchar_t caption[512] = {};
  GetWindowTextW(dialog->Hwnd(), caption, 512);
  EXPECT_EQ(L"Edit Scenario - " + file, caption);
  HWND tab = GetDlgItem(dialog->Hwnd(), IDC_SCN_TAB);
  ASSERT_EQ(2, TabCtrl_GetItemCount(tab));
  for (int i = 0; i < 2; ++i) {
    wchar_t text[32] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 32;
    TabCtrl_GetItem(tab, i, &item);
    EXPECT_STREQ(i == 0 ? L"Portrait" : L"Landscape", text);
  }
  EXPECT_TRUE(IsWindowVisible(Page(0).Hwnd()));
  EXPECT_FALSE(IsWindowVisible(Page(1).Hwnd()));
  EXPECT_EQ(GetDlgItem(dialog->Hwnd(), IDOK), GetFocus());
  for (int id : {IDC_SCN_EDIT_DEFAULT, IDC_SCN_EDIT_BACKSIDE})
    EXPECT_NE(0, SendMessageW(GetDlgItem(Page(1).Hwnd(), id), BM_GETIMAGE, IMAGE_ICON, 0)) << id;
  for (int t = 0; t < 2; ++t) {
    EXPECT_EQ(L"None", Page(t).duplex.LBText(Page(t).duplex.CurSel()));
    EXPECT_EQ(L"Black & White", Page(t).color.LBText(Page(t).color.CurSel()));
    EXPECT_EQ(1, Page(t).copiesSpin.Pos());
    for (int id : {IDC_SCN_USE_BACKSIDE, IDC_SCN_FORCE_DUPLEX, IDC_SCN_FORCE_COLOR, IDC_SCN_FORCE_DEVMODE,
                   IDC_SCN_FORCE_COPIES})
      EXPECT_FALSE(Checked(t, id)) << id;
    EXPECT_TRUE(ListNames(t).empty());
  }
  Press(IDOK);
  EXPECT_FALSE(IsWindow(dialog->Hwnd()));
  std::vector<std::string> expected = {"[General]"};
  for (const char* o : {"Portrait", "Landscape"})
    for (const char* k : {"DefaultTemplateFile=", "BacksideTemplateFile=", "ForceDuplex=0", "ForceColor=0",
                          "ForceDevmode=0", "ForceCopies=0"})
      expected.push_back(std::string(o) + k);
  EXPECT_EQ(expected, Lines());
}

TEST_F(ScenarioEditorTest, ValuesOfTheFileShowAndOkWritesThemBack) {
  struct Row {
    const char* name;
    const wchar_t *duplex, *color, *devmode, *copies, *backside;
    bool duplexOn, colorOn, devmodeOn, copiesOn;
    int copiesShown;
    const wchar_t *duplexOut, *colorOut, *devmodeOut, *copiesOut;
  } rows[] = {
      {"devmode and duplex both on", L"2", L"0", L"1", L"5", L"C:\\b.dpt", true, false, true, true, 5, L"2", L"0",
       L"1", L"5"},
      {"unknown codes fall back to the first item", L"7", L"9", L"0", L"0", L"", true, true, false, false, 1, L"1",
       L"1", L"0", L"0"},
      {"negative copies stay off", L"3", L"2", L"abc", L"-4", L"", true, true, false, false, 1, L"3", L"2", L"0",
       L"0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(file.c_str());
    for (const wchar_t* o : {L"Portrait", L"Landscape"}) {
      std::wstring p(o);
      Set(L"General", (p + L"DefaultTemplateFile").c_str(), L"C:\\front.dpt");
      Set(L"General", (p + L"BacksideTemplateFile").c_str(), row.backside);
      Set(L"General", (p + L"ForceDuplex").c_str(), row.duplex);
      Set(L"General", (p + L"ForceColor").c_str(), row.color);
      Set(L"General", (p + L"ForceDevmode").c_str(), row.devmode);
      Set(L"General", (p + L"ForceCopies").c_str(), row.copies);
    }
    Open();
    for (int t = 0; t < 2; ++t) {
      EXPECT_EQ(L"C:\\front.dpt", Page(t).defaultTemplate.GetPathName());
      EXPECT_EQ(row.backside, Page(t).backsideTemplate.GetPathName());
      EXPECT_EQ(*row.backside != 0, Checked(t, IDC_SCN_USE_BACKSIDE));
      EXPECT_EQ(*row.backside != 0, Enabled(t, IDC_SCN_BACKSIDE_TEMPLATE));
      EXPECT_EQ(row.duplexOn, Checked(t, IDC_SCN_FORCE_DUPLEX));
      EXPECT_EQ(row.colorOn, Checked(t, IDC_SCN_FORCE_COLOR));
      EXPECT_EQ(row.devmodeOn, Checked(t, IDC_SCN_FORCE_DEVMODE));
      EXPECT_EQ(row.copiesOn, Checked(t, IDC_SCN_FORCE_COPIES));
      EXPECT_EQ(row.copiesShown, Page(t).copiesSpin.Pos());
    }
    Press(IDOK);
    for (const wchar_t* o : {L"Portrait", L"Landscape"}) {
      std::wstring p(o);
      EXPECT_EQ(L"C:\\front.dpt", Get(L"General", p + L"DefaultTemplateFile"));
      EXPECT_EQ(row.backside, Get(L"General", p + L"BacksideTemplateFile"));
      EXPECT_EQ(row.duplexOut, Get(L"General", p + L"ForceDuplex"));
      EXPECT_EQ(row.colorOut, Get(L"General", p + L"ForceColor"));
      EXPECT_EQ(row.devmodeOut, Get(L"General", p + L"ForceDevmode"));
      EXPECT_EQ(row.copiesOut, Get(L"General", p + L"ForceCopies"));
    }
  }
}

TEST_F(ScenarioEditorTest, EditsOnTheHiddenPageAreSavedAndCancelWritesNothing) {
  Set(L"General", L"LandscapeForceCopies", L"0");
  Set(L"Other", L"Keep", L"me");
  Open();
  SelectTab(1);
  EXPECT_TRUE(IsWindowVisible(Page(1).Hwnd()));
  EXPECT_FALSE(IsWindowVisible(Page(0).Hwnd()));
  Click(1, IDC_SCN_FORCE_COPIES);
  EXPECT_TRUE(Enabled(1, IDC_SCN_COPIES));
  Click(1, IDC_SCN_USE_BACKSIDE);
  Page(1).backsideTemplate.SetPathName(L"C:\\back.dpt");
  SelectTab(0);
  EXPECT_TRUE(IsWindowVisible(Page(0).Hwnd()));
  Press(IDOK);
  EXPECT_EQ(L"1", Get(L"General", L"LandscapeForceCopies"));
  EXPECT_EQ(L"C:\\back.dpt", Get(L"General", L"LandscapeBacksideTemplateFile"));
  EXPECT_EQ(L"0", Get(L"General", L"PortraitForceCopies"));
  EXPECT_EQ(L"me", Get(L"Other", L"Keep"));

  const std::string before = dvtest::ReadFileBytes(file);
  Open();
  Click(0, IDC_SCN_FORCE_DUPLEX);
  Press(IDCANCEL);
  EXPECT_FALSE(IsWindow(dialog->Hwnd()));
  EXPECT_EQ(before, dvtest::ReadFileBytes(file));
}

TEST_F(ScenarioEditorTest, ForcingADriverConfigurationTurnsTheOtherForcesOff) {
  Set(L"General", L"PortraitForceDuplex", L"2");
  Set(L"General", L"PortraitForceColor", L"2");
  Set(L"General", L"PortraitForceCopies", L"3");
  Open();
  EXPECT_FALSE(Enabled(0, IDC_SCN_DRIVER_LIST));
  EXPECT_FALSE(Enabled(0, IDC_SCN_NEW_DRIVER));
  EXPECT_TRUE(Enabled(0, IDC_SCN_DUPLEX));
  EXPECT_FALSE(Enabled(0, IDC_SCN_BACKSIDE_TEMPLATE));
  EXPECT_FALSE(Enabled(0, IDC_SCN_EDIT_BACKSIDE));
  EXPECT_TRUE(Enabled(0, IDC_SCN_DEFAULT_TEMPLATE));
  Click(0, IDC_SCN_FORCE_DEVMODE);
  for (int id : {IDC_SCN_FORCE_DUPLEX, IDC_SCN_FORCE_COLOR, IDC_SCN_FORCE_COPIES}) {
    EXPECT_FALSE(Checked(0, id)) << id;
    EXPECT_FALSE(Enabled(0, id)) << id;
  }
  for (int id : {IDC_SCN_DUPLEX, IDC_SCN_COLOR, IDC_SCN_COPIES, IDC_SCN_COPIES_SPIN})
    EXPECT_FALSE(Enabled(0, id)) << id;
  for (int id : {IDC_SCN_NEW_DRIVER, IDC_SCN_EDIT_DRIVER, IDC_SCN_DELETE_DRIVER, IDC_SCN_DRIVER_LABEL,
                 IDC_SCN_DRIVER_LIST})
    EXPECT_TRUE(Enabled(0, id)) << id;
  Click(0, IDC_SCN_FORCE_DEVMODE);
  for (int id : {IDC_SCN_FORCE_DUPLEX, IDC_SCN_FORCE_COLOR, IDC_SCN_FORCE_COPIES}) {
    EXPECT_FALSE(Checked(0, id)) << id;
    EXPECT_TRUE(Enabled(0, id)) << id;
  }
  for (int id : {IDC_SCN_DUPLEX, IDC_SCN_COLOR, IDC_SCN_COPIES}) EXPECT_FALSE(Enabled(0, id)) << id;
  // The Landscape page was not touched.
  EXPECT_TRUE(Checked(1, IDC_SCN_FORCE_DUPLEX) == false && Enabled(1, IDC_SCN_FORCE_DUPLEX));
}

TEST_F(ScenarioEditorTest, NewConfigurationsAreStoredWholeUnderTheDriverName) {
  dvtest::TestPrinter first(L"Scenario First");
  dvtest::TestPrinter second(L"Scenario Second");
  ASSERT_TRUE(first.ok() && second.ok());
  const std::wstring driver = GetPrinterDriverName(first.Name());
  ASSERT_FALSE(driver.empty());
  ASSERT_EQ(driver, GetPrinterDriverName(second.Name()));
  // Far more than a 4096-character value: the whole of it must survive.
  const std::vector<BYTE> one = MakeDevmode(first.Name(), 3000, 1);
  const std::vector<BYTE> two = MakeDevmode(second.Name(), 3000, 2);
  Set(L"General", L"PortraitForceDevmode", L"1");
  Open();
  answers = {one, two};
  Click(0, IDC_SCN_NEW_DRIVER);
  EXPECT_EQ(std::vector<std::wstring>{driver}, ListNames(0));
  Click(0, IDC_SCN_NEW_DRIVER);
  EXPECT_EQ(std::vector<std::wstring>{driver}, ListNames(0));
  ASSERT_EQ(2u, seeds.size());
  EXPECT_TRUE(seeds[0].empty() && seeds[1].empty());  // New starts from the default printer
  Click(0, IDC_SCN_NEW_DRIVER);                       // Cancel changes nothing
  EXPECT_EQ(std::vector<std::wstring>{driver}, ListNames(0));
  Press(IDOK);
  EXPECT_EQ(Hex(two), Get(driver, L"Portrait"));
  EXPECT_EQ((sizeof(DEVMODEW) + 3000) * 2, Get(driver, L"Portrait").size());
  EXPECT_EQ(L"<absent>", Get(driver, L"Landscape"));

  // Read back whole: the Portrait page has it, the Landscape page not, and
  // a second OK writes it unchanged.
  Open();
  EXPECT_EQ(std::vector<std::wstring>{driver}, ListNames(0));
  EXPECT_TRUE(ListNames(1).empty());
  EXPECT_TRUE(Checked(0, IDC_SCN_FORCE_DEVMODE));
  Press(IDOK);
  EXPECT_EQ(Hex(two), Get(driver, L"Portrait"));
}

TEST_F(ScenarioEditorTest, EditSeedsTheDialogAndRefusesAnotherDriver) {
  dvtest::TestPrinter printer(L"Scenario Edit");
  ASSERT_TRUE(printer.ok());
  const std::wstring driver = GetPrinterDriverName(printer.Name());
  const std::vector<BYTE> stored = MakeDevmode(printer.Name(), 40, 1);
  Set(driver.c_str(), L"Portrait", Hex(stored));
  Set(L"Foreign Driver", L"Portrait", Hex(MakeDevmode(printer.Name(), 8, 5)));
  Set(L"Broken Driver", L"Portrait", L"0102");
  Open();
  auto& list = Page(0).driverList;
  std::vector<std::wstring> sorted = {L"Broken Driver", L"Foreign Driver", driver};
  std::sort(sorted.begin(), sorted.end());
  ASSERT_EQ(sorted, ListNames(0));

  // Nothing selected: nothing happens.
  Click(0, IDC_SCN_EDIT_DRIVER);
  EXPECT_TRUE(seeds.empty());

  const std::vector<BYTE> changed = MakeDevmode(printer.Name(), 40, 9);
  list.SetCurSel(list.FindStringExact(driver));
  answers = {changed};
  SendMessageW(Page(0).Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SCN_DRIVER_LIST, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list.Hwnd()));
  ASSERT_EQ(1u, seeds.size());
  EXPECT_EQ(stored, std::vector<BYTE>(seeds[0].begin(), seeds[0].begin() + stored.size()));
  EXPECT_EQ(Hex(changed), Page(0).DriverConfigs().at(driver));

  // The printer chosen has another driver than the entry: refused.
  list.SetCurSel(list.FindStringExact(L"Foreign Driver"));
  answers = {changed};
  Click(0, IDC_SCN_EDIT_DRIVER);
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(L"Can't set driver configuration since original driver is different then the new driver.\n"
            L"Please use the 'New' button to add new drivers to the list",
            messages[0]);
  EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), types[0]);
  EXPECT_EQ(Hex(MakeDevmode(printer.Name(), 8, 5)), Page(0).DriverConfigs().at(L"Foreign Driver"));

  // Stored bytes that are no complete DEVMODE do not seed the dialog.
  list.SetCurSel(0);
  Click(0, IDC_SCN_EDIT_DRIVER);
  ASSERT_EQ(3u, seeds.size());
  EXPECT_TRUE(seeds[2].empty());

  // Any check-box click refills the list, which then has no selection.
  list.SetCurSel(1);
  Click(0, IDC_SCN_USE_BACKSIDE);
  EXPECT_EQ(3, list.Count());
  EXPECT_EQ(LB_ERR, list.CurSel());
}

TEST_F(ScenarioEditorTest, DeleteSelectsTheNeighbourAndIsWrittenOnlyByOk) {
  dvtest::TestPrinter printer(L"Scenario Delete");
  ASSERT_TRUE(printer.ok());
  const std::wstring driver = GetPrinterDriverName(printer.Name());
  for (const wchar_t* name : {L"A Driver", L"B Driver", L"C Driver"}) {
    Set(name, L"Portrait", L"AB");
    Set(name, L"Landscape", L"CD");
  }
  Set(driver.c_str(), L"Portrait", L"EF");
  const std::string original = dvtest::ReadFileBytes(file);

  Open();
  auto& list = Page(0).driverList;
  ASSERT_EQ(4, list.Count());
  list.SetCurSel(3);  // the last: the new last is selected
  answer = IDNO;
  Click(0, IDC_SCN_DELETE_DRIVER);
  EXPECT_EQ(4, list.Count());
  EXPECT_EQ(dv::Format(L"Do you want to delete existing driver configuration for driver: %ls", driver.c_str()),
            messages.back());
  EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), types.back());
  answer = IDYES;
  Click(0, IDC_SCN_DELETE_DRIVER);
  EXPECT_EQ((std::vector<std::wstring>{L"A Driver", L"B Driver", L"C Driver"}), ListNames(0));
  EXPECT_EQ(2, list.CurSel());
  list.SetCurSel(1);  // the middle: the one moving up is selected
  Click(0, IDC_SCN_DELETE_DRIVER);
  EXPECT_EQ(L"C Driver", list.Text(list.CurSel()));
  Press(IDCANCEL);
  EXPECT_EQ(original, dvtest::ReadFileBytes(file));

  // Delete then New for the same driver: the file ends with the new one.
  Open();
  Page(0).driverList.SetCurSel(Page(0).driverList.FindStringExact(driver));
  Click(0, IDC_SCN_DELETE_DRIVER);
  Page(0).driverList.SetCurSel(0);
  Click(0, IDC_SCN_DELETE_DRIVER);
  const std::vector<BYTE> fresh = MakeDevmode(printer.Name(), 4, 7);
  answers = {fresh};
  Click(0, IDC_SCN_NEW_DRIVER);
  EXPECT_EQ((std::vector<std::wstring>{L"B Driver", L"C Driver", driver}), ListNames(0));
  Press(IDOK);
  EXPECT_EQ(Hex(fresh), Get(driver, L"Portrait"));
  EXPECT_EQ(L"", Get(L"A Driver", L"Portrait"));
  EXPECT_EQ(L"CD", Get(L"A Driver", L"Landscape"));
  EXPECT_EQ(L"AB", Get(L"B Driver", L"Portrait"));

  // The only entry: no selection afterwards.
  Open();
  EXPECT_EQ((std::vector<std::wstring>{L"B Driver", L"C Driver", driver}), ListNames(0));
  for (int i = 0; i < 3; ++i) {
    Page(0).driverList.SetCurSel(0);
    Click(0, IDC_SCN_DELETE_DRIVER);
  }
  EXPECT_EQ(0, Page(0).driverList.Count());
  EXPECT_EQ(LB_ERR, Page(0).driverList.CurSel());
  Press(IDCANCEL);
}

TEST_F(ScenarioEditorTest, TemplateButtonsAskForMissingFilesAndOpenTheEditor) {
  const std::wstring existing = folder.Path() + L"Front.dpt";
  dvtest::WriteFileBytes(existing, "x");
  struct Row {
    const char* name;
    std::wstring path;
    int answer;
    bool asked;
    std::wstring opened;  // empty: the editor is not opened
  } rows[] = {
      {"existing file with trailing blanks", existing + L"  ", IDYES, false, existing},
      {"white space only", L"   ", IDYES, false, L""},
      {"missing file, No", folder.Path() + L"Missing.dpt", IDNO, true, L""},
      {"missing file, Yes", folder.Path() + L"Missing.dpt", IDYES, true, folder.Path() + L"Missing.dpt"},
      {"a folder", folder.Path() + L"spool", IDYES, true, folder.Path() + L"spool"},
  };
  Open();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    messages.clear();
    edited.clear();
    answer = row.answer;
    Page(0).defaultTemplate.SetPathName(row.path);
    Click(0, IDC_SCN_EDIT_DEFAULT);
    EXPECT_EQ(row.asked ? std::vector<std::wstring>{L"The file doesn't exist, would you like to create this file?"}
                        : std::vector<std::wstring>{},
              messages);
    EXPECT_EQ(row.opened.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{row.opened}, edited);
  }
  edited.clear();
  Page(1).backsideTemplate.SetPathName(existing);
  Click(1, IDC_SCN_EDIT_BACKSIDE);
  EXPECT_EQ(std::vector<std::wstring>{existing}, edited);
}

TEST_F(ScenarioEditorTest, TooManySectionsAreWarnedAboutAndTheReadOnesShown) {
  // More section names than a 32767-character list holds.
  std::string text;
  for (int i = 0; i < 1100; ++i) text += dv::ToUtf8(dv::Format(L"[Driver Section Name Number %04d]\r\nPortrait=AB\r\n", i));
  dvtest::WriteFileBytes(file, text);
  Open();
  const std::wstring warning = L"There are too many drivers in the setup file, some of the drivers may not be read";
  EXPECT_EQ((std::vector<std::wstring>{warning, warning}), messages);  // once for each page
  EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), types[0]);
  EXPECT_GT(Page(0).driverList.Count(), 900);
  EXPECT_LT(Page(0).driverList.Count(), 1100);
  EXPECT_EQ(0, Page(1).driverList.Count());
}

TEST(ScenarioHexTest, BytesAndTextConvertBothWays) {
  const BYTE bytes[] = {0x00, 0x0A, 0xFF, 0x7C};
  EXPECT_EQ(L"000AFF7C", BytesToHex(bytes, 4));
  struct Row {
    const wchar_t* text;
    std::vector<BYTE> bytes;
  } rows[] = {
      {L"000AFF7C", {0x00, 0x0A, 0xFF, 0x7C}},
      {L"000aff7c", {0x00, 0x0A, 0xFF, 0x7C}},
      {L"ABC", {0xAB, 0x00}},
      {L"", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(dv::ToUtf8(row.text));
    EXPECT_EQ(row.bytes, HexToBytes(row.text));
  }
  std::vector<BYTE> devmode = MakeDevmode(L"P", 10, 1);
  EXPECT_EQ(devmode.size(), CompleteDevmodeLength(devmode.data(), devmode.size()));
  EXPECT_EQ(0u, CompleteDevmodeLength(devmode.data(), devmode.size() - 1));
  EXPECT_EQ(0u, CompleteDevmodeLength(devmode.data(), 20));
}

TEST_F(ScenarioEditorTest, EditScenarioFileOpensTheEditorOnTheChosenPath) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(frame->IsCommandEnabled(ID_EDIT_SCENARIO_FILE));
  std::vector<ui::FileDialogRequest> requests;
  ui::Prompts().file = [&](HWND, const ui::FileDialogRequest& request, std::wstring& path) {
    requests.push_back(request);
    path = file;
    return requests.size() == 1;  // OK the first time, Cancel the second
  };
  int shown = 0;
  ui::Dialog::SetModalHook([&](ui::Dialog& d) {
    if (d.TemplateId() != IDD_EDIT_SCENARIO) return;
    ++shown;
    SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(ID_EDIT_SCENARIO_FILE);
  ASSERT_EQ(1u, requests.size());
  EXPECT_TRUE(requests[0].open);
  EXPECT_EQ(L"Open / Create Scenario files", requests[0].title);
  EXPECT_EQ(L"scn", requests[0].defaultExtension);
  EXPECT_EQ(L"*.scn", requests[0].fileName);
  EXPECT_EQ(L"Dorvane Scenario Files (*.scn)|*.scn|All Files (*.*)|*.*||", requests[0].filter);
  EXPECT_EQ(DWORD(OFN_PATHMUSTEXIST), requests[0].flags);
  EXPECT_EQ(1, shown);
  EXPECT_EQ(L"0", Get(L"General", L"LandscapeForceCopies"));
  DeleteFileW(file.c_str());
  Command(ID_EDIT_SCENARIO_FILE);
  EXPECT_EQ(1, shown);
  EXPECT_FALSE(dvtest::FileExistsAt(file));
}

}  // namespace
}  // namespace ctltest
