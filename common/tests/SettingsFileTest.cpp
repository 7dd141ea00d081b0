// Settings-file names: reserved group names and the list-section reader.
#include <gtest/gtest.h>

#include "common/DorvaneDefs.h"
#include "common/InstallFolder.h"
#include "common/JobRule.h"
#include "common/SettingsFile.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"

TEST(IsReservedGroupName, SystemSectionsInAnyCase) {
  struct Row {
    const wchar_t* name;
    bool reserved;
  } rows[] = {
      {L"General", true},          {L"GENERAL", true},        {L"users", true},
      {L"PrinterScenarios", true}, {L"jobnamescenarios", true}, {L"Job", true},
      {L"JOB", true},              {L"ClusterGroup", true},   {L"clustergroup", true},
      {L"Sales", false},           {L"Jobs", false},          {L" General", false},
      {L"", false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(r.name));
    EXPECT_EQ(IsReservedGroupName(r.name), r.reserved);
  }
}

TEST(SettingsFile, MissingFileReadsAsDefaults) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeyAutoRefreshSpool, file, kDefaultAutoRefreshSpool), 1);
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeyDeleteFilesAfter, file, kDefaultDeleteFilesAfter), 1);
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeySelectionType, file, kDefaultSelectionType), 0);
  EXPECT_EQ(GetIniString(kSectionGeneral, kKeyDefaultScenarioFile, file), L"");
  std::vector<std::wstring> lines{L"stale"};
  EXPECT_TRUE(ReadSectionLines(kSectionUsers, file, 32767, lines));
  EXPECT_TRUE(lines.empty());
}

TEST(SettingsFile, NumbersAreReadFromTheirStart) {
  dvtest::ScopedInstallFolder install;
  ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(),
                                     "[General]\r\nLastJobNumber=12abc\r\nSelectionType=x1\r\n"));
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeyLastJobNumber, install.SettingsFile(), kDefaultLastJobNumber), 12);
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeySelectionType, install.SettingsFile(), kDefaultSelectionType), 0);
}

TEST(ReadSectionLines, GrowsUntilTheSectionFits) {
  dvtest::ScopedInstallFolder install;
  // About 60000 characters of lines: more than the 32767 the list sections
  // start with.
  std::string ini = "[Users]\r\n";
  for (int i = 0; i < 3000; ++i) ini += "user" + std::to_string(i) + "=Group" + std::to_string(i % 7) + "\r\n";
  ini += "[Other]\r\nx=1\r\n";
  ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), ini));

  std::vector<std::wstring> lines;
  EXPECT_TRUE(ReadSectionLines(kSectionUsers, install.SettingsFile(), 32767, lines));
  ASSERT_EQ(lines.size(), 3000u);
  EXPECT_EQ(lines.front(), L"user0=Group0");
  EXPECT_EQ(lines.back(), L"user2999=Group3");

  // A section that still does not fit at the largest size is reported, with
  // what was read.
  EXPECT_FALSE(ReadSectionLines(kSectionUsers, install.SettingsFile(), 64, lines, 1024));
  EXPECT_FALSE(lines.empty());
  EXPECT_LT(lines.size(), 3000u);
  EXPECT_EQ(lines.front(), L"user0=Group0");
}

TEST(ReadSectionLines, SectionThatFillsTheBufferExactly) {
  dvtest::ScopedInstallFolder install;
  // "a=bcdefg", its NUL and the closing NUL are exactly 10 characters: a
  // 10-character buffer comes back as size - 2 both for this section and for
  // one that does not fit, so the reader must look once more.
  ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), "[S]\r\na=bcdefg\r\n"));
  std::vector<std::wstring> lines;
  EXPECT_TRUE(ReadSectionLines(L"S", install.SettingsFile(), 10, lines));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], L"a=bcdefg");
}

namespace {

// Whether the name comes back unchanged through the real stores: saved by the
// model that owns it, loaded back by the same model and looked up the way the
// engine looks it up. The neighbours before and after it must survive too.
bool KeyRoundTrips(const std::wstring& name, const std::wstring& file) {
  DeleteFileW(file.c_str());
  CDorvaneDefs defs;
  defs.AddUsersGroup(L"Sales");
  for (const wchar_t* user : {L"ann", name.c_str(), L"zoe"}) defs.AddUserToGroup(L"Sales", user);
  defs.SetPrinterScenario(name, L"C:\\p.scn");
  defs.SetPrinterScenario(L"Laser", L"C:\\l.scn");
  defs.Save(file);
  CJobRuleArray rules;
  rules.SetRule(L"First", 0, L"x", L"C:\\f.scn");
  rules.SetRule(name, 1, L"y]", L"C:\\r.scn");
  rules.SetRule(L"Last", 2, L"z", L"C:\\z.scn");
  rules.Save(file);

  CDorvaneDefs loaded;
  loaded.Load(file, SectionWarning::Silent);
  CJobRuleArray loadedRules;
  loadedRules.Load(file, SectionWarning::Silent);
  const std::vector<std::wstring> users{L"ann", name, L"zoe"};
  return loaded.GetGroups().size() == 1 && loaded.GetGroups()[0].GetUsers() == users &&
         loaded.GetPrinterScenario(name) == L"C:\\p.scn" && loaded.GetPrinterScenario(L"Laser") == L"C:\\l.scn" &&
         GetIniString(kSectionUsers, name, file) == L"Sales" &&
         GetIniString(kSectionPrinterScenarios, name, file) == L"C:\\p.scn" && loadedRules.GetSize() == 3 &&
         loadedRules.FindRule(name) == 1 && loadedRules.GetRuleScenario(name) == L"C:\\r.scn";
}

bool GroupRoundTrips(const std::wstring& name, const std::wstring& file) {
  DeleteFileW(file.c_str());
  CDorvaneDefs defs;
  for (const std::wstring& group : {std::wstring(L"Before"), name, std::wstring(L"After")}) {
    defs.AddUsersGroup(group);
    defs.AddUserToGroup(group, L"u" + std::to_wstring(defs.GetGroups().size()));
    defs.SetGroupScenario(group, L"C:\\" + std::to_wstring(defs.GetGroups().size()) + L".scn");
  }
  defs.Save(file);
  CDorvaneDefs loaded;
  loaded.Load(file, SectionWarning::Silent);
  return loaded.GetGroups().size() == 3 && loaded.GetGroups()[1].GetName() == name &&
         loaded.GetGroupScenario(name) == L"C:\\2.scn" && loaded.GetGroupScenario(L"After") == L"C:\\3.scn" &&
         GetIniString(kSectionUsers, L"u2", file) == name && GetIniString(name, kKeyScenarioFile, file) == L"C:\\2.scn";
}

}  // namespace

// The rule is derived from, and held against, what the private-profile
// functions really give back: every name it accepts comes back unchanged,
// and every name that does not come back is refused with a reason.
TEST(SettingsNameFault, AgreesWithTheRealRoundTrip) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = install.SettingsFile();
  std::vector<std::wstring> names{L"",      L"Sales",  L"\"ab\"", L"'ab'", L"\"ab'", L"\"ab",
                                  L"[ab]",  L"[ab",    L"ab]",    L"\"\"", L"a\u00e9b", L"a\u0394b",
                                  L"\u4e2d", L"a\x01" L"b", std::wstring(5000, L'x'), L"a\U0001F600b",
                                  L"a\xD83D" L"b", L"a\xDE00"};
  const std::wstring probes = L" !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\t\r\n\v\f";
  for (wchar_t c : probes) {
    const std::wstring one(1, c);
    for (const std::wstring& name : {one, one + L"ab", L"a" + one + L"b", L"ab" + one}) names.push_back(name);
  }
  int refusedKeys = 0, refusedGroups = 0;
  for (const std::wstring& name : names) {
    SCOPED_TRACE(dv::ToUtf8(name.size() > 20 ? L"long name" : name));
    const std::wstring keyFault = SettingsNameFault(name, SettingsName::Key);
    EXPECT_EQ(keyFault.empty(), KeyRoundTrips(name, file)) << dv::ToUtf8(keyFault);
    const std::wstring groupFault = SettingsNameFault(name, SettingsName::SectionAndValue);
    if (name.find(L']') != std::wstring::npos) {
      // Kept out although this platform's reader gives it back (see the rule).
      EXPECT_FALSE(groupFault.empty());
    } else {
      EXPECT_EQ(groupFault.empty(), GroupRoundTrips(name, file)) << dv::ToUtf8(groupFault);
    }
    refusedKeys += !keyFault.empty();
    refusedGroups += !groupFault.empty();
  }
  // The table reaches both sides of the rule.
  EXPECT_GT(refusedKeys, 0);
  EXPECT_LT(refusedKeys, static_cast<int>(names.size()));
  EXPECT_GT(refusedGroups, 0);
  EXPECT_LT(refusedGroups, static_cast<int>(names.size()));
}

TEST(SettingsNameFault, NamesTheOffendingCharacter) {
  struct Row {
    const wchar_t* name;
    SettingsName kind;
    const wchar_t* fault;
  } rows[] = {
      {L"[Draft]", SettingsName::Key, L"it cannot start with \"[\""},
      {L"a=b", SettingsName::Key, L"it cannot hold \"=\""},
      {L";old", SettingsName::Key, L"it cannot start with \";\""},
      {L"", SettingsName::Key, L"it cannot be empty"},
      {L"a]b", SettingsName::SectionAndValue, L"it cannot hold \"]\""},
      {L"\"Sales\"", SettingsName::SectionAndValue, L"it cannot be enclosed in \"\"\""},
      {L"Sales ", SettingsName::SectionAndValue, L"it cannot end with a blank"},
      {L"a=b", SettingsName::SectionAndValue, L""},
      // Beyond the Basic Multilingual Plane: named whole, or by its code
      // when half of it stands alone. A UTF-8 code page holds the emoji.
      {L"Smile\U0001F600", SettingsName::Key,
       GetACP() == CP_UTF8 ? L"" : L"the settings file cannot hold \"\U0001F600\""},
      {L"ab\xD83D", SettingsName::SectionAndValue, L"the settings file cannot hold a lone surrogate (U+D83D)"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(r.name));
    EXPECT_EQ(SettingsNameFault(r.name, r.kind), r.fault);
  }
}
