// Job-name rules: named rules that choose a job's scenario file by its
// document name when OverrideScenarioByJobname is on.
//
// A rule is a name, a search type, a search text and a scenario file; the
// ordered rule list is stored in [JobnameScenarios] of Dorvane.ini as one line
// per rule, <name>=<type>;#;<text>;#;<scenario file> (the separator is not
// escaped). The controller's job process dialog edits the list; the engine
// loads it with the same reader for every job and matches it.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "common/SettingsFile.h"

// Search types: how the search text is compared with the document name
// (case-sensitive). Any other value is stored and read back unchanged and
// never matches.
enum JobRuleSearchType {
  kSearchAnyPart = 0,  // "Any Part of Text": contains
  kSearchWhole = 1,    // "Whole Text": equals
  kSearchStart = 2,    // "Start of Text": starts with
  kSearchEnd = 3,      // "End of Text": ends with
};

inline constexpr wchar_t kJobRuleSeparator[] = L";#;";

class CJobRule {
 public:
  CJobRule() = default;
  CJobRule(const std::wstring& ruleName, int type, const std::wstring& text, const std::wstring& scenario)
      : name(ruleName), searchType(type), searchText(text), scenarioFile(scenario) {}

  // Fills the rule from one line of the section. An empty key leaves the
  // rule unchanged; the name is the key without blanks at its ends. The type
  // is the decimal number at the start of the value (0 when there is none),
  // the text runs from the first separator to the second and the scenario
  // file is everything after the second. A separator that is missing leaves
  // the parts after it empty.
  void Parse(const std::wstring& key, const std::wstring& value);

  std::wstring GetName() const { return name; }
  int GetSearchType() const { return searchType; }
  std::wstring GetSearchText() const { return searchText; }
  std::wstring GetScenarioFile() const { return scenarioFile; }
  // The stored value: "%d;#;%s;#;%s" of type, text and scenario file.
  std::wstring FormatValue() const;

 private:
  std::wstring name;
  int searchType = 0;
  std::wstring searchText;
  std::wstring scenarioFile;
};

// Why a rule with this search text and scenario file would not load back
// unchanged from its stored value, as a clause after "... is not a legal
// <what>: " with its part (L"search text" or L"scenario file") in `part`;
// "" when it would. The separator is not escaped, so the text cannot hold it,
// nor end in the start of one; everything after the second separator is the
// scenario file, which may hold it.
std::wstring JobRuleFault(const std::wstring& searchText, const std::wstring& scenarioFile, std::wstring& part);

class CJobRuleArray {
 public:
  CJobRuleArray() = default;
  ~CJobRuleArray() = default;

  // Replaces the list by the rules of [JobnameScenarios], in the order of the
  // section's lines, and returns their number. The section is read whole
  // however long it is; lines without a name are skipped. Only a section that
  // still cannot be read whole is reported by warning, and then loads the
  // lines read whole. A missing file or section gives an empty list.
  int Load(const std::wstring& settingsFile, SectionWarning warning = SectionWarning::ShowMessage);
  // Rewrites [JobnameScenarios] from the list in one write, so that rules
  // whose names differ only in letter case keep their own lines and a reader
  // never sees the section half written. The write result is not examined.
  void Save(const std::wstring& settingsFile) const;

  // Index of the first rule with exactly that name (case-sensitive), or -1.
  int FindRule(const std::wstring& name) const;
  // Replaces the rule of that name in place, or appends a new one.
  void SetRule(const std::wstring& name, int searchType, const std::wstring& searchText,
               const std::wstring& scenarioFile);
  // Removes the rule of that name; false when there is none.
  bool DeleteRule(const std::wstring& name);
  // The rule's members; 0 and "" when no rule has the name.
  int GetRuleType(const std::wstring& name) const;
  std::wstring GetRuleText(const std::wstring& name) const;
  std::wstring GetRuleScenario(const std::wstring& name) const;
  // Empties the list box, then adds every rule's name in list order.
  void FillListBox(HWND listBox) const;

  // The engine's matcher (defined in the engine, not in this library): the
  // first rule in list order whose text matches the document name gives its
  // scenario file and true; false with scenarioFile untouched when none does.
  bool Match(const std::wstring& documentName, std::wstring& scenarioFile) const;

  int GetSize() const { return static_cast<int>(rules.size()); }
  const CJobRule& GetAt(int index) const { return rules[index]; }

 private:
  std::vector<CJobRule> rules;
};
