// Scenario selection: which scenario file a job is processed with.
//
// Decided once per job from the job-information record and Dorvane.ini:
// a one-shot entry of the user in IgnoreList.ini lets the job through with
// no scenario at all; otherwise the scenario comes from the user's group (or
// the default scenario when the user is in no group) or, with SelectionType 1,
// from the printer (or the default scenario), and job-name rules may then
// override it. Everything is read afresh for every job; the only write is the
// consumption of the ignore-list entry. Nothing here shows a message or logs
// an event: the engine runs inside the spooler, where nobody could answer.
#include <cwchar>

#include "common/InstallFolder.h"
#include "common/JobRule.h"
#include "common/SettingsFile.h"
#include "engine/Scenario.h"

namespace {

const wchar_t kIgnoreListFileName[] = L"IgnoreList.ini";

// A record text up to its terminating zero, never beyond its field.
std::wstring RecordText(const wchar_t (&field)[JobInformation::kTextChars]) {
  return std::wstring(field, wcsnlen(field, JobInformation::kTextChars));
}

// The folder part of a path, with its trailing backslash.
std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool RuleMatches(int searchType, const std::wstring& text, const std::wstring& document) {
  switch (searchType) {
    case kSearchAnyPart:
      return document.find(text) != std::wstring::npos;
    case kSearchWhole:
      return document == text;
    case kSearchStart:
      return document.compare(0, text.size(), text) == 0;
    case kSearchEnd:
      return document.size() >= text.size() && document.compare(document.size() - text.size(), text.size(), text) == 0;
    default:
      return false;
  }
}

}  // namespace

bool CJobRuleArray::Match(const std::wstring& documentName, std::wstring& scenarioFile) const {
  for (const CJobRule& rule : rules) {
    if (RuleMatches(rule.GetSearchType(), rule.GetSearchText(), documentName)) {
      scenarioFile = rule.GetScenarioFile();
      return true;
    }
  }
  return false;
}

std::wstring CScenario::GetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                                     const std::wstring& def) const {
  return ::GetIniString(section, key, file.empty() ? settingsFile : file, def);
}

void CScenario::SelectScenario(const JobInformation& record) {
  userName = RecordText(record.userName);
  documentName = RecordText(record.documentName);
  machineName = RecordText(record.machineName);
  printerName = RecordText(record.printerName);
  printerDC = record.printerDC;
  orientation = record.orientation;

  groupName = GetIniString(kSectionUsers, userName, L"", L"");

  // The ignore list sits beside the settings file, in the install folder. A
  // value of 1 or more lets exactly one job of the user through plainly.
  const std::wstring ignoreList = FolderOf(settingsFile) + kIgnoreListFileName;
  if (GetIniInt(kSectionUsers, userName, ignoreList, 0) >= 1) {
    SetIniString(kSectionUsers, userName, ignoreList, L"0");
    scenarioFile.clear();
    return;
  }

  const int selectionType = GetIniInt(kSectionGeneral, kKeySelectionType, settingsFile, kDefaultSelectionType);
  if (selectionType == kSelectionByPrinter) {
    scenarioFile = GetIniString(kSectionPrinterScenarios, printerName, L"", L"");
    if (scenarioFile.empty()) scenarioFile = GetIniString(kSectionGeneral, kKeyDefaultScenarioFile, L"", L"");
  } else if (!groupName.empty()) {
    // A group without a scenario file means no scenario: the default is for
    // users in no group only.
    scenarioFile = GetIniString(groupName, kKeyScenarioFile, L"", L"");
  } else {
    scenarioFile = GetIniString(kSectionGeneral, kKeyDefaultScenarioFile, L"", L"");
  }

  if (GetIniInt(kSectionGeneral, kKeyOverrideScenarioByJobname, settingsFile, kDefaultOverrideScenarioByJobname) != 0) {
    CJobRuleArray rules;
    rules.Load(settingsFile, SectionWarning::Silent);
    // A matching rule decides even with an empty scenario file.
    std::wstring ruleScenario;
    if (rules.Match(documentName, ruleScenario)) scenarioFile = ruleScenario;
  }

  LoadTemplates();
}
