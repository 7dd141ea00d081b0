// Job-name rules: parsing a line, the list's operations and its storage in
// [JobnameScenarios].
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "common/JobRule.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"

namespace {

// "name|type|text|scenario;" for every rule of the list.
std::string Describe(const CJobRuleArray& rules) {
  std::wstring s;
  for (int i = 0; i < rules.GetSize(); ++i) {
    const CJobRule& r = rules.GetAt(i);
    s += r.GetName() + L"|" + std::to_wstring(r.GetSearchType()) + L"|" + r.GetSearchText() + L"|" +
         r.GetScenarioFile() + L";";
  }
  return dv::ToUtf8(s);
}

}  // namespace

TEST(JobRule, ParseTable) {
  struct Row {
    const wchar_t* key;
    const wchar_t* value;
    const wchar_t* name;
    int type;
    const wchar_t* text;
    const wchar_t* scenario;
  } rows[] = {
      {L"Invoices", L"0;#;INV;#;C:\\a.scn", L"Invoices", 0, L"INV", L"C:\\a.scn"},
      {L"  Spaced Name \t", L"2;#;Inv;#;C:\\b.scn", L"Spaced Name", 2, L"Inv", L"C:\\b.scn"},
      {L"Unset", L"-1;#;x;#;y", L"Unset", -1, L"x", L"y"},
      {L"Odd", L"7;#;x;#;y", L"Odd", 7, L"x", L"y"},
      {L"Path", L"1;#;T;#;C:\\a;#;b.scn", L"Path", 1, L"T", L"C:\\a;#;b.scn"},
      {L"Empties", L";#;;#;", L"Empties", 0, L"", L""},
      {L"NoType", L"abc;#;T;#;S", L"NoType", 0, L"T", L"S"},
      {L"OneSeparator", L"3;#;.pdf", L"OneSeparator", 3, L".pdf", L""},
      {L"NoSeparator", L"2 Invoice", L"NoSeparator", 2, L"", L""},
      {L"EmptyValue", L"", L"EmptyValue", 0, L"", L""},
      // An empty key leaves the rule as it was.
      {L"", L"1;#;new;#;new.scn", L"Before", 3, L"old", L"old.scn"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(std::wstring(r.key) + L"=" + r.value));
    CJobRule rule(L"Before", 3, L"old", L"old.scn");
    rule.Parse(r.key, r.value);
    EXPECT_EQ(rule.GetName(), r.name);
    EXPECT_EQ(rule.GetSearchType(), r.type);
    EXPECT_EQ(rule.GetSearchText(), r.text);
    EXPECT_EQ(rule.GetScenarioFile(), r.scenario);
  }
  EXPECT_EQ(CJobRule().GetSearchType(), 0);
  EXPECT_EQ(CJobRule().GetName(), L"");
}

TEST(JobRuleArray, Operations) {
  CJobRuleArray rules;
  rules.SetRule(L"A", 0, L"a", L"a.scn");
  rules.SetRule(L"B", 1, L"b", L"b.scn");
  rules.SetRule(L"C", 2, L"c", L"c.scn");
  rules.SetRule(L"B", 3, L"bb", L"bb.scn");
  EXPECT_EQ(Describe(rules), "A|0|a|a.scn;B|3|bb|bb.scn;C|2|c|c.scn;");
  rules.SetRule(L"b", 1, L"new", L"new.scn");
  EXPECT_EQ(rules.GetSize(), 4);
  EXPECT_EQ(rules.FindRule(L"b"), 3);
  EXPECT_EQ(rules.FindRule(L"C"), 2);
  EXPECT_EQ(rules.FindRule(L"c "), -1);

  EXPECT_EQ(rules.GetRuleType(L"B"), 3);
  EXPECT_EQ(rules.GetRuleText(L"B"), L"bb");
  EXPECT_EQ(rules.GetRuleScenario(L"B"), L"bb.scn");
  EXPECT_EQ(rules.GetRuleType(L"none"), 0);
  EXPECT_EQ(rules.GetRuleText(L"none"), L"");
  EXPECT_EQ(rules.GetRuleScenario(L"none"), L"");

  EXPECT_FALSE(rules.DeleteRule(L"a"));
  EXPECT_TRUE(rules.DeleteRule(L"A"));
  EXPECT_EQ(Describe(rules), "B|3|bb|bb.scn;C|2|c|c.scn;b|1|new|new.scn;");
}

TEST(JobRuleArray, SaveWritesOneLinePerRuleAndLoadsBack) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  ASSERT_TRUE(dvtest::WriteFileBytes(file, "[JobnameScenarios]\r\nOld=0;#;x;#;y\r\n[General]\r\nSelectionType=1\r\n"));
  CJobRuleArray rules;
  rules.SetRule(L"Invoices", 0, L"INV", L"C:\\a.scn");
  rules.SetRule(L"Unset", -1, L"", L"");
  rules.SetRule(L"Orders", 2, L"Order", L"C:\\o.scn");
  // Names that differ only in letter case are two rules and keep two lines.
  rules.SetRule(L"orders", 3, L".pdf", L"C:\\p.scn");
  rules.Save(file);

  const std::string text = dvtest::ReadFileBytes(file);
  EXPECT_NE(text.find("Invoices=0;#;INV;#;C:\\a.scn\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Unset=-1;#;;#;\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Old="), std::string::npos) << text;
  EXPECT_EQ(GetIniInt(L"General", L"SelectionType", file, 0), 1);

  CJobRuleArray loaded;
  EXPECT_EQ(loaded.Load(file), 4);
  EXPECT_EQ(Describe(loaded), Describe(rules));

  // An empty list leaves an empty section.
  CJobRuleArray().Save(file);
  EXPECT_EQ(loaded.Load(file), 0);
  EXPECT_EQ(loaded.GetSize(), 0);
  std::vector<std::wstring> lines;
  ReadSectionLines(L"JobnameScenarios", file, 4096, lines);
  EXPECT_TRUE(lines.empty());
}

TEST(JobRuleArray, LoadSkipsNamelessLinesAndReadsLongSectionsWhole) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  std::string ini =
      "[JobnameScenarios]\r\n"
      "=1;#;nameless;#;n.scn\r\n"
      "First=0;#;a;#;a.scn\r\n"
      "no separator line\r\n"
      "=2;#;nameless again;#;m.scn\r\n"
      "Second=2;#;b\r\n";
  // Far more than the 4096 characters the section is first read with.
  for (int i = 0; i < 400; ++i)
    ini += "Rule" + std::to_string(i) + "=1;#;Document " + std::to_string(i) + ";#;C:\\scen\\r" + std::to_string(i) +
           ".scn\r\n";
  ini += "[Other]\r\nx=1\r\n";
  ASSERT_TRUE(dvtest::WriteFileBytes(file, ini));

  CJobRuleArray rules;
  rules.SetRule(L"Stale", 0, L"", L"");
  EXPECT_EQ(rules.Load(file, SectionWarning::Silent), 402);
  EXPECT_EQ(rules.GetAt(0).GetName(), L"First");
  EXPECT_EQ(rules.GetAt(1).GetName(), L"Second");
  EXPECT_EQ(rules.GetAt(1).GetSearchText(), L"b");
  EXPECT_EQ(rules.GetAt(1).GetScenarioFile(), L"");
  EXPECT_EQ(rules.FindRule(L"Stale"), -1);
  EXPECT_EQ(rules.GetRuleScenario(L"Rule399"), L"C:\\scen\\r399.scn");
  EXPECT_EQ(rules.GetRuleText(L"Rule399"), L"Document 399");

  CJobRuleArray missing;
  EXPECT_EQ(missing.Load(install.Path() + L"NoSuchFile.ini"), 0);
}

TEST(JobRuleArray, FillListBoxInRuleOrder) {
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"left over"));
  CJobRuleArray rules;
  rules.SetRule(L"Zeta", 0, L"z", L"");
  rules.SetRule(L"Alpha", 0, L"a", L"");
  rules.FillListBox(list);
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  wchar_t text[16] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Zeta");
  SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Alpha");
  DestroyWindow(list);
}

// A rule is refused exactly when its stored value would not load back as it
// was: each row is saved and loaded, and the refusal must agree.
TEST(JobRuleArray, FaultsAreTheRulesThatDoNotLoadBack) {
  struct Row {
    const wchar_t* text;
    const wchar_t* scenario;
    const wchar_t* part;  // nullptr: stored whole
    const wchar_t* fault;
  } rows[] = {
      {L"a;#;b", L"", L"search text", L"it cannot hold the separator \";#;\""},
      {L";#;", L"C:\\a.scn", L"search text", L"it cannot hold the separator \";#;\""},
      {L"a;#", L"x", L"search text", L"it cannot end with \";#\", which runs into the separator \";#;\""},
      {L"two\r\nlines", L"", L"search text", L"it cannot hold a line break"},
      {L"INV", L"C:\\a.scn ", L"scenario file", L"it cannot end with a blank"},
      {L"INV", L"C:\\a\nb.scn", L"scenario file", L"it cannot hold a line break"},
      {L"INV", L" ", L"scenario file", L"it cannot end with a blank"},
      // Beyond the Basic Multilingual Plane: named whole, or by its code
      // when half of it stands alone. A UTF-8 code page holds the emoji.
      {L"Smile\U0001F600", L"", L"search text",
       GetACP() == CP_UTF8 ? nullptr : L"the settings file cannot hold \"\U0001F600\""},
      {L"INV", L"C:\\\xDE00.scn", L"scenario file", L"the settings file cannot hold a lone surrogate (U+DE00)"},
      // Whole: the separator after the second one is the path's own, blanks
      // inside the value stay, and so do the pieces of a separator.
      {L"INV", L"C:\\a;#;b.scn", nullptr, nullptr},
      {L" padded text ", L"", nullptr, nullptr},
      {L" padded text ", L" C:\\a.scn", nullptr, nullptr},
      {L"a;", L"#;b", nullptr, nullptr},
      {L"#;a", L";#", nullptr, nullptr},
      {L"a;#b", L"", nullptr, nullptr},
      {L"", L"", nullptr, nullptr},
      {L"\"quoted\"", L"'C:\\q.scn'", nullptr, nullptr},
  };
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  for (const Row& row : rows) {
    SCOPED_TRACE(dv::ToUtf8(std::wstring(L"text [") + row.text + L"] scenario [" + row.scenario + L"]"));
    std::wstring part;
    const std::wstring fault = JobRuleFault(row.text, row.scenario, part);
    EXPECT_EQ(fault, row.fault ? row.fault : L"");
    if (row.part) {
      EXPECT_EQ(part, row.part);
    }

    CJobRuleArray rules;
    rules.SetRule(L"Rule", 1, row.text, row.scenario);
    rules.Save(file);
    CJobRuleArray loaded;
    ASSERT_EQ(loaded.Load(file, SectionWarning::Silent), 1);
    const bool same = Describe(loaded) == Describe(rules);
    EXPECT_EQ(same, fault.empty()) << Describe(loaded);
  }
}
