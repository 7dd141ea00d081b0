// Scenario selection: the ignore list, the choice by group or printer with
// the default scenario, and the job-name rules that override it; and the
// choice as the control file of a job printed through the engine records it.
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "common/JobRule.h"
#include "common/StringUtil.h"
#include "engine/Scenario.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

JobInformation MakeRecord(const std::wstring& user, const std::wstring& document, const std::wstring& printer) {
  JobInformation record;
  CopyRecordText(record.userName, user);
  CopyRecordText(record.documentName, document);
  CopyRecordText(record.machineName, L"\\\\WS01");
  CopyRecordText(record.printerName, printer);
  return record;
}

std::wstring Select(const JobInformation& record) {
  CScenario scenario;
  scenario.SelectScenario(record);
  return scenario.GetScenarioFile();
}

// Users bob (Sales, with a scenario), ann (Admin, whose section has an empty
// ScenarioFile), joe (Empty, with no section at all); nobody else is in a
// group. Printers Laser and Ink have scenarios. Each row adds [General] and
// [JobnameScenarios].
const char kGroupsAndPrinters[] =
    "[Users]\r\nbob=Sales\r\nann=Admin\r\njoe=Empty\r\n"
    "[Sales]\r\nScenarioFile=C:\\scen\\sales.scn\r\n"
    "[Admin]\r\nScenarioFile=\r\n"
    "[PrinterScenarios]\r\nLaser=C:\\scen\\laser.scn\r\nInk=C:\\scen\\ink.scn\r\n";

}  // namespace

TEST(JobRuleMatch, SearchTypesAreCaseSensitive) {
  struct Row {
    int type;
    const wchar_t* text;
    const wchar_t* document;
    bool matches;
  } rows[] = {
      {0, L"Invoice", L"My Invoice 17", true},   {0, L"invoice", L"My Invoice 17", false},
      {0, L"", L"anything", true},               {0, L"", L"", true},
      {1, L"Invoice", L"Invoice", true},         {1, L"Invoice", L"Invoice 17", false},
      {1, L"", L"", true},                       {1, L"", L"x", false},
      {2, L"Inv", L"Invoice 17", true},          {2, L"Inv", L"My Invoice", false},
      {2, L"inv", L"Invoice", false},            {2, L"", L"x", true},
      {2, L"Invoice 17 and more", L"Invoice 17", false},
      {3, L".pdf", L"report.pdf", true},         {3, L".pdf", L"a.pdf.pdf", true},
      {3, L".pdf", L"report.PDF", false},        {3, L"long.pdf", L".pdf", false},
      {3, L"", L"x", true},                      {3, L".pdf", L"report.pdf.txt", false},
      {-1, L"", L"x", false},                    {4, L"x", L"x", false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(dv::Format(L"type %d, text '%ls', document '%ls'", r.type, r.text, r.document)));
    CJobRuleArray rules;
    rules.SetRule(L"Rule", r.type, r.text, L"C:\\rule.scn");
    std::wstring out = L"untouched";
    EXPECT_EQ(rules.Match(r.document, out), r.matches);
    EXPECT_EQ(out, r.matches ? L"C:\\rule.scn" : L"untouched");
  }
}

TEST(JobRuleMatch, FirstMatchingRuleWins) {
  CJobRuleArray rules;
  rules.SetRule(L"Never", -1, L"", L"C:\\never.scn");
  rules.SetRule(L"A", 0, L"Invoice", L"C:\\a.scn");
  rules.SetRule(L"B", 2, L"Inv", L"C:\\b.scn");
  std::wstring out;
  ASSERT_TRUE(rules.Match(L"Invoice 17", out));
  EXPECT_EQ(out, L"C:\\a.scn");
  ASSERT_TRUE(rules.Match(L"Inventory", out));
  EXPECT_EQ(out, L"C:\\b.scn");
}

TEST(ScenarioSelection, SettingsTable) {
  struct Row {
    const char* name;
    const char* general;  // [General] lines, nullptr for no settings file at all
    const char* rules;    // [JobnameScenarios] lines
    const wchar_t* user;
    const wchar_t* document;
    const wchar_t* printer;
    const wchar_t* scenario;
  } rows[] = {
      {"no settings file", nullptr, "", L"bob", L"Doc", L"Laser", L""},
      {"by group", "SelectionType=0\r\nDefaultScenarioFile=C:\\def.scn\r\n", "", L"bob", L"Doc", L"Laser",
       L"C:\\scen\\sales.scn"},
      {"user names are looked up as the profile functions do", "DefaultScenarioFile=C:\\def.scn\r\n", "", L"BOB",
       L"Doc", L"Laser", L"C:\\scen\\sales.scn"},
      {"group with an empty ScenarioFile gets no scenario", "DefaultScenarioFile=C:\\def.scn\r\n", "", L"ann",
       L"Doc", L"Laser", L""},
      {"group without a section, selection type 2", "SelectionType=2\r\nDefaultScenarioFile=C:\\def.scn\r\n", "",
       L"joe", L"Doc", L"Laser", L""},
      {"user in no group gets the default", "DefaultScenarioFile=C:\\def.scn\r\n", "", L"zoe", L"Doc", L"Laser",
       L"C:\\def.scn"},
      {"user in no group, no default", "SelectionType=0\r\n", "", L"zoe", L"Doc", L"Laser", L""},
      {"by printer", "SelectionType=1\r\nDefaultScenarioFile=C:\\def.scn\r\n", "", L"bob", L"Doc", L"Ink",
       L"C:\\scen\\ink.scn"},
      {"by printer, printer not listed", "SelectionType=1\r\nDefaultScenarioFile=C:\\def.scn\r\n", "", L"bob",
       L"Doc", L"Other", L"C:\\def.scn"},
      {"by printer, printer not listed, no default", "SelectionType=1\r\n", "", L"bob", L"Doc", L"Other", L""},
      {"rules are not read while the override is off", "OverrideScenarioByJobname=0\r\n",
       "R=0;#;Doc;#;C:\\rule.scn\r\n", L"bob", L"Doc", L"Laser", L"C:\\scen\\sales.scn"},
      {"first matching rule wins", "OverrideScenarioByJobname=1\r\n",
       "A=0;#;Invoice;#;C:\\a.scn\r\nB=2;#;Inv;#;C:\\b.scn\r\n", L"bob", L"Invoice 17", L"Laser", L"C:\\a.scn"},
      {"rule overrides the printer choice", "SelectionType=1\r\nOverrideScenarioByJobname=1\r\n",
       "A=0;#;Invoice;#;C:\\a.scn\r\nPdf=3;#;.pdf;#;C:\\pdf.scn\r\n", L"bob", L"report.pdf", L"Laser",
       L"C:\\pdf.scn"},
      {"rule overrides a group without scenario", "OverrideScenarioByJobname=1\r\n", "Pdf=3;#;.pdf;#;C:\\pdf.scn\r\n",
       L"ann", L"a.pdf.pdf", L"Laser", L"C:\\pdf.scn"},
      {"no rule matches: the group's scenario stays", "OverrideScenarioByJobname=1\r\n",
       "Pdf=3;#;.pdf;#;C:\\pdf.scn\r\nWhole=1;#;report;#;C:\\w.scn\r\n", L"bob", L"report.PDF", L"Laser",
       L"C:\\scen\\sales.scn"},
      {"a matching rule with an empty scenario gives none", "OverrideScenarioByJobname=1\r\n", "Plain=2;#;Plain;#;\r\n",
       L"bob", L"Plain letter", L"Laser", L""},
      {"a rule of no known type never matches", "OverrideScenarioByJobname=2\r\n",
       "Unset=-1;#;;#;C:\\unset.scn\r\nOdd=9;#;;#;C:\\odd.scn\r\n", L"zoe", L"Doc", L"Laser", L""},
  };
  int index = 0;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    dvtest::ScopedInstallFolder install(dv::Format(L"ScenarioSelection_SettingsTable_%d", index++));
    if (r.general) {
      const std::string ini = std::string(kGroupsAndPrinters) + "[General]\r\n" + r.general +
                              "[JobnameScenarios]\r\n" + r.rules;
      ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), ini));
    }
    EXPECT_EQ(Select(MakeRecord(r.user, r.document, r.printer)), r.scenario);
  }
}

TEST(ScenarioSelection, IgnoreListLetsOneJobThroughPlainly) {
  struct Row {
    const char* name;
    const char* ignoreList;  // nullptr: no IgnoreList.ini
    const wchar_t* first;    // scenario of the user's first job
    const char* valueAfter;  // bob's ignore-list value after the first job
  } rows[] = {
      {"value 1", "[Users]\r\nbob=1\r\n", L"", "0"},
      {"value 5", "[Users]\r\nbob=5\r\n", L"", "0"},
      {"value 0", "[Users]\r\nbob=0\r\n", L"C:\\scen\\sales.scn", "0"},
      {"another user's entry", "[Users]\r\nann=1\r\n", L"C:\\scen\\sales.scn", "none"},
      {"no ignore list", nullptr, L"C:\\scen\\sales.scn", "none"},
  };
  int index = 0;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    dvtest::ScopedInstallFolder install(dv::Format(L"ScenarioSelection_IgnoreList_%d", index++));
    // Every job would otherwise get a scenario, also through a rule.
    ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(),
                                       std::string(kGroupsAndPrinters) +
                                           "[General]\r\nOverrideScenarioByJobname=1\r\n"
                                           "[JobnameScenarios]\r\nAll=0;#;;#;C:\\scen\\sales.scn\r\n"));
    const std::wstring ignoreList = install.Path() + L"IgnoreList.ini";
    if (r.ignoreList) {
      ASSERT_TRUE(dvtest::WriteFileBytes(ignoreList, r.ignoreList));
    }

    JobInformation record = MakeRecord(L"bob", L"Doc", L"Laser");
    record.printerDC = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x1234));
    record.orientation = 2;
    CScenario scenario;
    scenario.SelectScenario(record);
    EXPECT_EQ(scenario.GetScenarioFile(), r.first);
    EXPECT_EQ(scenario.userName, L"bob");
    EXPECT_EQ(scenario.groupName, L"Sales");
    EXPECT_EQ(scenario.machineName, L"\\\\WS01");
    EXPECT_EQ(scenario.printerDC, record.printerDC);
    EXPECT_EQ(scenario.orientation, 2);
    EXPECT_EQ(dv::ToUtf8(GetIniString(L"Users", L"bob", ignoreList, L"none")), r.valueAfter);
    // The permission is used up: the next job is selected normally.
    EXPECT_EQ(Select(record), L"C:\\scen\\sales.scn");
  }
}

TEST(ScenarioSelection, LongValuesAndLongRuleSections) {
  dvtest::ScopedInstallFolder install;
  // A group scenario path of 5000 characters comes back cut to 4095.
  const std::string longPath = "C:\\" + std::string(4997, 'p');
  std::string ini = "[Users]\r\nbob=Sales\r\nann=Long\r\n[Long]\r\nScenarioFile=" + longPath +
                    "\r\n[Sales]\r\nScenarioFile=C:\\sales.scn\r\n[General]\r\nOverrideScenarioByJobname=1\r\n"
                    "[JobnameScenarios]\r\n";
  // The matching rule stands after more than 4096 characters of rules.
  for (int i = 0; i < 300; ++i)
    ini += "Rule" + std::to_string(i) + "=1;#;Document number " + std::to_string(i) + ";#;C:\\r" +
           std::to_string(i) + ".scn\r\n";
  ini += "Last=2;#;Quarterly;#;C:\\last.scn\r\n";
  ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), ini));

  EXPECT_EQ(Select(MakeRecord(L"ann", L"Doc", L"Laser")), dv::FromUtf8(longPath.substr(0, 4095)));
  EXPECT_EQ(Select(MakeRecord(L"bob", L"Quarterly report", L"Laser")), L"C:\\last.scn");
  EXPECT_EQ(Select(MakeRecord(L"bob", L"Document number 299", L"Laser")), L"C:\\r299.scn");
  EXPECT_EQ(Select(MakeRecord(L"bob", L"Other", L"Laser")), L"C:\\sales.scn");
}

TEST(ScenarioSelection, PrintedJobRecordsTheChosenScenario) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  struct Row {
    const char* name;
    const char* general;     // [General] lines besides DeleteFilesAfter=0
    const char* ignoreList;  // nullptr: none
    const wchar_t* user;
    const wchar_t* document;
    const wchar_t* scenario;  // file name in the install folder; "" none
  } rows[] = {
      {"no job-process settings", "", nullptr, L"alice", L"Report", L""},
      {"by group", "DefaultScenarioFile=@default.scn\r\n", nullptr, L"bob", L"Report", L"sales.scn"},
      {"user in no group", "DefaultScenarioFile=@default.scn\r\n", nullptr, L"alice", L"Report", L"default.scn"},
      {"by printer", "SelectionType=1\r\n", nullptr, L"bob", L"Report", L"printer.scn"},
      {"job-name rule", "OverrideScenarioByJobname=1\r\n", nullptr, L"bob", L"Invoice 17", L"invoice.scn"},
      {"ignore list", "OverrideScenarioByJobname=1\r\n", "[Users]\r\nbob=1\r\n", L"bob", L"Invoice 17", L""},
  };
  int index = 0;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    printer.ClearOutput();
    dvtest::ScopedInstallFolder install(dv::Format(L"ScenarioSelection_PrintedJob_%d", index++));
    const std::string folder = dv::ToUtf8(install.Path());
    for (const char* scn : {"sales.scn", "default.scn", "printer.scn", "invoice.scn"})
      ASSERT_TRUE(dvtest::WriteFileBytes(install.Path() + dv::FromUtf8(scn), ""));
    std::string general = r.general;
    for (size_t at; (at = general.find('@')) != std::string::npos;) general.replace(at, 1, folder);
    const std::string ini = "[General]\r\nDeleteFilesAfter=0\r\n" + general +
                            "[Users]\r\nbob=Sales\r\n[Sales]\r\nScenarioFile=" + folder + "sales.scn\r\n" +
                            "[JobnameScenarios]\r\nInvoices=2;#;Invoice;#;" + folder + "invoice.scn\r\n";
    ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), ini));
    SetIniString(L"PrinterScenarios", printer.Name(), install.SettingsFile(), install.Path() + L"printer.scn");
    if (r.ignoreList) {
      ASSERT_TRUE(dvtest::WriteFileBytes(install.Path() + L"IgnoreList.ini", r.ignoreList));
    }

    dvfix::EmfJobSpec spec;
    spec.printer = printer.Name();
    spec.user = r.user;
    spec.document = r.document;
    const int job = dvfix::SpoolEmfJob(spec);
    ASSERT_GT(job, 0);
    EXPECT_EQ(dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll")), 1);
    EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 1);
    const std::wstring expected = *r.scenario ? install.Path() + r.scenario : std::wstring();
    EXPECT_EQ(GetIniString(L"General", L"ScenarioFile", dvfix::SpoolFilePath(job, L"Ctl"), L"?"), expected);
    if (r.ignoreList) {
      EXPECT_EQ(GetIniString(L"Users", r.user, install.Path() + L"IgnoreList.ini"), L"0");
    }
  }
}
