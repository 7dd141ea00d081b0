// Job-name rules and their storage; see JobRule.h.
#include "common/JobRule.h"

#include <climits>
#include <cwchar>

#include "common/StringUtil.h"

namespace {

// The section starts from the size the rule list has always been read with
// and grows from there (ReadSectionLines).
constexpr unsigned kRuleSectionChars = 4096;

const wchar_t kTooManyRules[] = L"There are too many job rules, some of the rules may not be read";

// The decimal number at the start of the text: blanks, a sign, digits;
// 0 when there is none, clamped to the 32-bit range.
int LeadingNumber(const std::wstring& text) {
  const long n = wcstol(text.c_str(), nullptr, 10);
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

}  // namespace

void CJobRule::Parse(const std::wstring& key, const std::wstring& value) {
  if (key.empty()) return;
  name = dv::Trim(key);
  const size_t sepLength = wcslen(kJobRuleSeparator);
  const size_t first = value.find(kJobRuleSeparator);
  searchType = LeadingNumber(value.substr(0, first));
  searchText.clear();
  scenarioFile.clear();
  if (first == std::wstring::npos) return;
  const size_t textStart = first + sepLength;
  const size_t second = value.find(kJobRuleSeparator, textStart);
  if (second == std::wstring::npos) {
    searchText = value.substr(textStart);
    return;
  }
  searchText = value.substr(textStart, second - textStart);
  scenarioFile = value.substr(second + sepLength);
}

std::wstring CJobRule::FormatValue() const {
  return dv::Format(L"%d%ls%ls%ls%ls", searchType, kJobRuleSeparator, searchText.c_str(), kJobRuleSeparator,
                    scenarioFile.c_str());
}

std::wstring JobRuleFault(const std::wstring& searchText, const std::wstring& scenarioFile, std::wstring& part) {
  part = L"search text";
  if (searchText.find(kJobRuleSeparator) != std::wstring::npos)
    return dv::Format(L"it cannot hold the separator \"%ls\"", kJobRuleSeparator);
  // "a;#" followed by the separator reads as "a" and a separator.
  const std::wstring separatorStart(kJobRuleSeparator, wcslen(kJobRuleSeparator) - 1);
  if (searchText.size() >= separatorStart.size() &&
      searchText.compare(searchText.size() - separatorStart.size(), separatorStart.size(), separatorStart) == 0)
    return dv::Format(L"it cannot end with \"%ls\", which runs into the separator \"%ls\"", separatorStart.c_str(),
                      kJobRuleSeparator);
  std::wstring fault = SettingsValuePartFault(searchText, false);
  if (!fault.empty()) return fault;
  part = L"scenario file";
  return SettingsValuePartFault(scenarioFile, true);
}

int CJobRuleArray::Load(const std::wstring& settingsFile, SectionWarning warning) {
  std::vector<std::wstring> lines;
  if (!ReadSectionLines(kSectionJobnameScenarios, settingsFile, kRuleSectionChars, lines)) {
    // The last line may be cut: a cut path must never be matched.
    if (!lines.empty()) lines.pop_back();
    ShowSectionWarning(warning, kTooManyRules);
  }
  rules.clear();
  for (const std::wstring& line : lines) {
    const size_t eq = line.find(L'=');
    if (eq == std::wstring::npos) continue;
    const std::wstring key = line.substr(0, eq);
    if (dv::Trim(key).empty()) continue;
    CJobRule rule;
    rule.Parse(key, line.substr(eq + 1));
    rules.push_back(rule);
  }
  return GetSize();
}

void CJobRuleArray::Save(const std::wstring& settingsFile) const {
  // key=value lines, each ended by a NUL, the list ended by one more.
  std::wstring text;
  for (const CJobRule& rule : rules) {
    text += rule.GetName();
    text += L'=';
    text += rule.FormatValue();
    text += L'\0';
  }
  text += L'\0';
  WritePrivateProfileSectionW(kSectionJobnameScenarios, text.c_str(), settingsFile.c_str());
}

int CJobRuleArray::FindRule(const std::wstring& name) const {
  for (size_t i = 0; i < rules.size(); ++i)
    if (rules[i].GetName() == name) return static_cast<int>(i);
  return -1;
}

void CJobRuleArray::SetRule(const std::wstring& name, int searchType, const std::wstring& searchText,
                            const std::wstring& scenarioFile) {
  const CJobRule rule(name, searchType, searchText, scenarioFile);
  const int index = FindRule(name);
  if (index >= 0)
    rules[index] = rule;
  else
    rules.push_back(rule);
}

bool CJobRuleArray::DeleteRule(const std::wstring& name) {
  const int index = FindRule(name);
  if (index < 0) return false;
  rules.erase(rules.begin() + index);
  return true;
}

int CJobRuleArray::GetRuleType(const std::wstring& name) const {
  const int index = FindRule(name);
  return index < 0 ? 0 : rules[index].GetSearchType();
}

std::wstring CJobRuleArray::GetRuleText(const std::wstring& name) const {
  const int index = FindRule(name);
  return index < 0 ? std::wstring() : rules[index].GetSearchText();
}

std::wstring CJobRuleArray::GetRuleScenario(const std::wstring& name) const {
  const int index = FindRule(name);
  return index < 0 ? std::wstring() : rules[index].GetScenarioFile();
}

void CJobRuleArray::FillListBox(HWND listBox) const {
  SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
  for (const CJobRule& rule : rules)
    SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rule.GetName().c_str()));
}
