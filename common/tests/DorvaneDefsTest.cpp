// Users groups and job-process settings: the model's operations and its
// load and save through Dorvane.ini.
#include <gtest/gtest.h>

#include "common/DorvaneDefs.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"

namespace {

// "Group(user,user)=scenario;...|printer=scenario;..." of a model.
std::string Describe(const CDorvaneDefs& defs) {
  std::wstring s;
  for (const CUsersGroup& g : defs.GetGroups()) {
    s += g.GetName() + L"(";
    for (size_t i = 0; i < g.GetUsers().size(); ++i) s += (i ? L"," : L"") + g.GetUsers()[i];
    s += L")=" + g.GetScenarioFile() + L";";
  }
  s += L"|";
  for (const auto& p : defs.GetPrinterScenarios()) s += p.first + L"=" + p.second + L";";
  return dv::ToUtf8(s);
}

std::vector<std::wstring> Section(const std::wstring& section, const std::wstring& file) {
  std::vector<std::wstring> lines;
  ReadSectionLines(section, file, 32767, lines);
  return lines;
}

using Lines = std::vector<std::wstring>;

// A list box in a hidden window, for the Fill operations.
class ListBox {
 public:
  ListBox() {
    hwnd_ = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  ~ListBox() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HWND get() const { return hwnd_; }
  Lines Items() const {
    Lines items;
    const int count = static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::wstring text(SendMessageW(hwnd_, LB_GETTEXTLEN, i, 0), L'\0');
      SendMessageW(hwnd_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
      items.push_back(text);
    }
    return items;
  }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace

TEST(DorvaneDefs, LoadTable) {
  struct Row {
    const char* name;
    const char* ini;
    const char* model;
    const wchar_t* defaultScenario;
    int selectionType;
    int override;
  } rows[] = {
      {"missing file", nullptr, "|", L"", 0, 0},
      {"groups in the order of their first user line",
       "[General]\r\nDefaultScenarioFile=C:\\d.scn\r\nSelectionType=1\r\nOverrideScenarioByJobname=1\r\n"
       "[Users]\r\nbob=Sales\r\njoe=Admin\r\nann=Sales\r\nbob=Sales\r\n"
       "[Sales]\r\nScenarioFile=C:\\s.scn\r\n[Admin]\r\nScenarioFile=C:\\a.scn\r\n",
       "Sales(bob,ann)=C:\\s.scn;Admin(joe)=C:\\a.scn;|", L"C:\\d.scn", 1, 1},
      {"lines that do not split are skipped", "[Users]\r\n=Sales\r\nbob=\r\nbob\r\nann=Sales\r\n", "Sales(ann)=;|", L"",
       0, 0},
      {"group name after the first =", "[Users]\r\nbob=a=b\r\n", "a=b(bob)=;|", L"", 0, 0},
      {"groups differing in case share one section",
       "[Users]\r\nbob=Sales\r\nann=sales\r\n[SALES]\r\nScenarioFile=C:\\s.scn\r\n",
       "Sales(bob)=C:\\s.scn;sales(ann)=C:\\s.scn;|", L"", 0, 0},
      {"selection type 2 is kept", "[General]\r\nSelectionType=2\r\n", "|", L"", 2, 0},
      {"a group named like a system section reads that section",
       "[General]\r\nScenarioFile=C:\\g.scn\r\n[Users]\r\nbob=General\r\n", "General(bob)=C:\\g.scn;|", L"", 0, 0},
      {"printers: a later line replaces, broken lines skipped",
       "[PrinterScenarios]\r\nLaser=C:\\1.scn\r\nInk=C:\\i.scn\r\nLaser=C:\\2.scn\r\n=C:\\x.scn\r\nEmpty=\r\n", "|Ink=C:\\i.scn;Laser=C:\\2.scn;",
       L"", 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    dvtest::ScopedInstallFolder install;
    if (r.ini) {
      ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), r.ini));
    }
    CDorvaneDefs defs;
    defs.Load(GetSettingsFilePath());
    EXPECT_EQ(Describe(defs), r.model);
    EXPECT_EQ(defs.GetDefaultScenarioFile(), r.defaultScenario);
    EXPECT_EQ(defs.selectionType, r.selectionType);
    EXPECT_EQ(defs.overrideScenarioByJobname, r.override);
  }
}

TEST(DorvaneDefs, GroupAndUserOperations) {
  CDorvaneDefs defs;
  EXPECT_TRUE(defs.AddUsersGroup(L"Sales"));
  EXPECT_TRUE(defs.AddUsersGroup(L"sales"));
  EXPECT_FALSE(defs.AddUsersGroup(L"Sales"));
  EXPECT_TRUE(defs.AddUserToGroup(L"Sales", L"bob"));
  EXPECT_FALSE(defs.AddUserToGroup(L"Sales", L"bob"));
  EXPECT_TRUE(defs.AddUserToGroup(L"Sales", L"Bob"));
  EXPECT_FALSE(defs.AddUserToGroup(L"Nobody", L"bob"));
  EXPECT_TRUE(defs.SetGroupScenario(L"Sales", L"C:\\s.scn"));
  EXPECT_FALSE(defs.SetGroupScenario(L"SALES", L"C:\\x.scn"));
  EXPECT_EQ(defs.GetGroupScenario(L"Sales"), L"C:\\s.scn");
  EXPECT_EQ(defs.GetGroupScenario(L"Nobody"), L"");
  EXPECT_EQ(Describe(defs), "Sales(bob,Bob)=C:\\s.scn;sales()=;|");

  EXPECT_FALSE(defs.RemoveUserFromGroup(L"Sales", L"BOB"));
  EXPECT_TRUE(defs.RemoveUserFromGroup(L"Sales", L"bob"));
  EXPECT_FALSE(defs.RemoveUserFromGroup(L"Nobody", L"Bob"));
  EXPECT_FALSE(defs.RemoveUsersGroup(L"SALES"));
  EXPECT_TRUE(defs.RemoveUsersGroup(L"sales"));
  EXPECT_EQ(Describe(defs), "Sales(Bob)=C:\\s.scn;|");

  defs.SetPrinterScenario(L"Laser", L"C:\\1.scn");
  defs.SetPrinterScenario(L"Laser", L"C:\\2.scn");
  EXPECT_EQ(defs.GetPrinterScenario(L"Laser"), L"C:\\2.scn");
  EXPECT_EQ(defs.GetPrinterScenario(L"laser"), L"");
}

TEST(DorvaneDefs, SplitKeyValue) {
  struct Row {
    const wchar_t* line;
    bool ok;
    const wchar_t* key;
    const wchar_t* value;
  } rows[] = {
      {L"bob=Sales", true, L"bob", L"Sales"}, {L"bob=a=b", true, L"bob", L"a=b"},
      {L" bob = x ", true, L" bob ", L" x "}, {L"=Sales", false, L"k", L"v"},
      {L"bob=", false, L"k", L"v"},           {L"bob", false, L"k", L"v"},
      {L"", false, L"k", L"v"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(r.line));
    std::wstring key = L"k", value = L"v";
    EXPECT_EQ(CDorvaneDefs::SplitKeyValue(r.line, key, value), r.ok);
    EXPECT_EQ(key, r.key);
    EXPECT_EQ(value, r.value);
  }
}

TEST(DorvaneDefs, SaveWritesTheSectionsAndLoadsBack) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  // Left-overs the save must replace, and a removed group's section it keeps.
  ASSERT_TRUE(dvtest::WriteFileBytes(file,
                                     "[Users]\r\nold=Gone\r\n[Gone]\r\nScenarioFile=C:\\gone.scn\r\n"
                                     "[PrinterScenarios]\r\nOldPrinter=C:\\o.scn\r\n"));
  CDorvaneDefs defs;
  defs.Load(file);
  ASSERT_TRUE(defs.RemoveUsersGroup(L"Gone"));
  defs.AddUsersGroup(L"A");
  defs.AddUsersGroup(L"B");
  defs.AddUsersGroup(L"Lonely");
  defs.AddUserToGroup(L"A", L"bob");
  defs.AddUserToGroup(L"A", L"ann");
  defs.AddUserToGroup(L"B", L"bob");
  defs.SetGroupScenario(L"A", L"C:\\a.scn");
  defs.SetGroupScenario(L"Lonely", L"C:\\l.scn");
  defs.SetPrinterScenario(L"Laser", L"C:\\1.scn");
  defs.SetPrinterScenario(L"OldPrinter", L"");  // an empty side drops the line
  defs.SetPrinterScenario(L"", L"C:\\nameless.scn");
  defs.SetDefaultScenarioFile(L"");
  defs.selectionType = 2;
  defs.overrideScenarioByJobname = 1;
  defs.Save(file);

  EXPECT_EQ(Section(L"Users", file), (Lines{L"bob=B", L"ann=A"}));
  EXPECT_EQ(Section(L"A", file), (Lines{L"ScenarioFile=C:\\a.scn"}));
  EXPECT_EQ(Section(L"B", file), (Lines{L"ScenarioFile="}));
  EXPECT_EQ(Section(L"Lonely", file), (Lines{L"ScenarioFile=C:\\l.scn"}));
  EXPECT_EQ(Section(L"Gone", file), (Lines{L"ScenarioFile=C:\\gone.scn"}));
  EXPECT_EQ(Section(L"PrinterScenarios", file), (Lines{L"Laser=C:\\1.scn"}));
  EXPECT_EQ(Section(L"General", file),
            (Lines{L"DefaultScenarioFile=", L"SelectionType=2", L"OverrideScenarioByJobname=1"}));

  // The user saved last wins; a group without users does not come back.
  CDorvaneDefs again;
  again.Load(file);
  EXPECT_EQ(Describe(again), "B(bob)=;A(ann)=C:\\a.scn;|Laser=C:\\1.scn;");
  EXPECT_EQ(again.selectionType, 2);
  EXPECT_EQ(again.overrideScenarioByJobname, 1);
}

TEST(DorvaneDefs, ReservedGroupNamesNeverWriteIntoSystemSections) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  // Hand-edited: users in groups named like the system's sections.
  ASSERT_TRUE(dvtest::WriteFileBytes(file,
                                     "[General]\r\nSelectionType=0\r\n"
                                     "[Users]\r\nbob=General\r\nann=clustergroup\r\njoe=JOB\r\nsue=Sales\r\n"
                                     "[ClusterGroup]\r\nLaser=Cluster1\r\n"));
  CDorvaneDefs defs;
  defs.Load(file);
  ASSERT_EQ(defs.GetGroups().size(), 4u);
  EXPECT_FALSE(defs.SetGroupScenario(L"General", L"C:\\g.scn"));
  EXPECT_FALSE(defs.SetGroupScenario(L"clustergroup", L"C:\\c.scn"));
  EXPECT_TRUE(defs.SetGroupScenario(L"Sales", L"C:\\s.scn"));
  // An editor that added such a group directly cannot make it write either.
  defs.AddUsersGroup(L"Users");
  defs.AddUserToGroup(L"Users", L"tom");
  defs.Save(file);

  EXPECT_EQ(Section(L"ClusterGroup", file), (Lines{L"Laser=Cluster1"}));
  EXPECT_EQ(GetIniString(L"General", L"ScenarioFile", file, L"none"), L"none");
  EXPECT_EQ(GetIniString(L"Job", L"ScenarioFile", file, L"none"), L"none");
  EXPECT_EQ(GetIniString(L"Users", L"ScenarioFile", file, L"none"), L"none");
  EXPECT_EQ(Section(L"Sales", file), (Lines{L"ScenarioFile=C:\\s.scn"}));
  EXPECT_EQ(Section(L"Users", file), (Lines{L"bob=General", L"ann=clustergroup", L"joe=JOB", L"sue=Sales", L"tom=Users"}));
}

TEST(DorvaneDefs, LongSectionsLoadAndSaveWhole) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  // Each section well over the 32767 characters it is first read with.
  std::string ini = "[Users]\r\n";
  const std::string longName(40, 'x');
  for (int i = 0; i < 700; ++i) ini += longName + std::to_string(i) + "=Group" + std::to_string(i % 3) + "\r\n";
  ini += "[PrinterScenarios]\r\n";
  for (int i = 0; i < 700; ++i)
    ini += "Printer" + std::to_string(i) + "=C:\\scenarios\\" + longName + std::to_string(i) + ".scn\r\n";
  ASSERT_TRUE(dvtest::WriteFileBytes(file, ini));

  CDorvaneDefs defs;
  defs.Load(file, SectionWarning::Silent);
  ASSERT_EQ(defs.GetGroups().size(), 3u);
  size_t users = 0;
  for (const CUsersGroup& g : defs.GetGroups()) users += g.GetUsers().size();
  EXPECT_EQ(users, 700u);
  EXPECT_EQ(defs.GetPrinterScenarios().size(), 700u);
  EXPECT_EQ(defs.GetPrinterScenario(L"Printer699"), L"C:\\scenarios\\" + std::wstring(40, L'x') + L"699.scn");

  defs.Save(file);
  CDorvaneDefs again;
  again.Load(file, SectionWarning::Silent);
  EXPECT_EQ(Describe(again), Describe(defs));
}

TEST(DorvaneDefs, FillListBoxes) {
  ListBox list;
  ASSERT_NE(list.get(), nullptr);
  CDorvaneDefs defs;
  defs.AddUsersGroup(L"Sales");
  defs.AddUsersGroup(L"Admin");
  defs.AddUserToGroup(L"Sales", L"bob");
  defs.AddUserToGroup(L"Sales", L"ann");
  defs.FillGroupList(list.get());
  EXPECT_EQ(list.Items(), (Lines{L"Sales", L"Admin"}));
  defs.FillUserList(L"Sales", list.get());
  EXPECT_EQ(list.Items(), (Lines{L"bob", L"ann"}));
  // No such group: the list box keeps what it shows.
  defs.FillUserList(L"sales", list.get());
  EXPECT_EQ(list.Items(), (Lines{L"bob", L"ann"}));
}
