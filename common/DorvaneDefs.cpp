// Users groups and job-process settings; see DorvaneDefs.h.
#include "common/DorvaneDefs.h"

#include <algorithm>

#include "common/InstallFolder.h"

namespace {

// The list sections start from the size the controller has always used and
// grow from there (ReadSectionLines).
constexpr unsigned kListSectionChars = 32767;

const wchar_t kTooManyUsers[] = L"There are too many users in the setup file, some of the users may not be read";
const wchar_t kTooManyPrinters[] =
    L"There are too many printers in the setup file, some of the printers may not be read";

void FillList(HWND listBox, const std::vector<std::wstring>& items) {
  SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : items) SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

// Reads a list section whole. A section that still does not fit is reported
// once and loses its last line, which may be cut: a cut user, printer or path
// is never taken for a real one.
std::vector<std::wstring> ReadListSection(const wchar_t* section, const std::wstring& file, SectionWarning warning,
                                          const wchar_t* tooMany) {
  std::vector<std::wstring> lines;
  if (!ReadSectionLines(section, file, kListSectionChars, lines)) {
    if (!lines.empty()) lines.pop_back();
    ShowSectionWarning(warning, tooMany);
  }
  return lines;
}

}  // namespace

void CUsersGroup::FillListBox(HWND listBox) const { FillList(listBox, users); }

void CUsersGroup::Save(const std::wstring& settingsFile) const {
  for (const std::wstring& user : users) SetIniString(kSectionUsers, user, settingsFile, name);
  if (name.empty() || IsReservedGroupName(name)) return;
  SetIniString(name, kKeyScenarioFile, settingsFile, scenarioFile);
}

CUsersGroup* CDorvaneDefs::FindGroup(const std::wstring& name) {
  for (CUsersGroup& g : groups)
    if (g.name == name) return &g;
  return nullptr;
}

const CUsersGroup* CDorvaneDefs::FindGroup(const std::wstring& name) const {
  for (const CUsersGroup& g : groups)
    if (g.name == name) return &g;
  return nullptr;
}

bool CDorvaneDefs::AddUsersGroup(const std::wstring& name) {
  if (FindGroup(name)) return false;
  CUsersGroup group;
  group.name = name;
  groups.push_back(group);
  return true;
}

bool CDorvaneDefs::RemoveUsersGroup(const std::wstring& name) {
  for (auto it = groups.begin(); it != groups.end(); ++it) {
    if (it->name == name) {
      groups.erase(it);
      return true;
    }
  }
  return false;
}

bool CDorvaneDefs::AddUserToGroup(const std::wstring& group, const std::wstring& user) {
  CUsersGroup* g = FindGroup(group);
  if (!g) return false;
  if (std::find(g->users.begin(), g->users.end(), user) != g->users.end()) return false;
  g->users.push_back(user);
  return true;
}

bool CDorvaneDefs::RemoveUserFromGroup(const std::wstring& group, const std::wstring& user) {
  CUsersGroup* g = FindGroup(group);
  if (!g) return false;
  auto it = std::find(g->users.begin(), g->users.end(), user);
  if (it == g->users.end()) return false;
  g->users.erase(it);
  return true;
}

void CDorvaneDefs::FillUserList(const std::wstring& group, HWND listBox) const {
  if (const CUsersGroup* g = FindGroup(group)) g->FillListBox(listBox);
}

void CDorvaneDefs::FillGroupList(HWND listBox) const {
  std::vector<std::wstring> names;
  for (const CUsersGroup& g : groups) names.push_back(g.name);
  FillList(listBox, names);
}

std::wstring CDorvaneDefs::GetGroupScenario(const std::wstring& group) const {
  const CUsersGroup* g = FindGroup(group);
  return g ? g->scenarioFile : std::wstring();
}

bool CDorvaneDefs::SetGroupScenario(const std::wstring& group, const std::wstring& path) {
  CUsersGroup* g = FindGroup(group);
  if (!g || IsReservedGroupName(group)) return false;
  g->scenarioFile = path;
  return true;
}

std::wstring CDorvaneDefs::GetPrinterScenario(const std::wstring& printer) const {
  auto it = printerScenarios.find(printer);
  return it == printerScenarios.end() ? std::wstring() : it->second;
}

void CDorvaneDefs::SetPrinterScenario(const std::wstring& printer, const std::wstring& path) {
  printerScenarios[printer] = path;
}

bool CDorvaneDefs::SplitKeyValue(const std::wstring& line, std::wstring& key, std::wstring& value) {
  const size_t eq = line.find(L'=');
  if (eq == std::wstring::npos || eq == 0 || eq + 1 >= line.size()) return false;
  key = line.substr(0, eq);
  value = line.substr(eq + 1);
  return true;
}

void CDorvaneDefs::Load(const std::wstring& settingsFile, SectionWarning warning) {
  defaultScenarioFile = GetIniString(kSectionGeneral, kKeyDefaultScenarioFile, settingsFile);
  selectionType = GetIniInt(kSectionGeneral, kKeySelectionType, settingsFile, kDefaultSelectionType);
  overrideScenarioByJobname =
      GetIniInt(kSectionGeneral, kKeyOverrideScenarioByJobname, settingsFile, kDefaultOverrideScenarioByJobname);

  std::wstring key, value;
  for (const std::wstring& line : ReadListSection(kSectionUsers, settingsFile, warning, kTooManyUsers)) {
    if (!SplitKeyValue(line, key, value)) continue;
    // Groups come into being in the order of their first user line.
    if (!AddUserToGroup(value, key)) {
      AddUsersGroup(value);
      AddUserToGroup(value, key);
    }
  }
  for (CUsersGroup& g : groups) g.scenarioFile = GetIniString(g.name, kKeyScenarioFile, settingsFile);

  for (const std::wstring& line : ReadListSection(kSectionPrinterScenarios, settingsFile, warning, kTooManyPrinters)) {
    if (SplitKeyValue(line, key, value)) printerScenarios[key] = value;
  }
}

void CDorvaneDefs::Save(const std::wstring& settingsFile) const {
  SetIniString(kSectionGeneral, kKeyDefaultScenarioFile, settingsFile, defaultScenarioFile);
  SetIniInt(kSectionGeneral, kKeySelectionType, settingsFile, selectionType);
  SetIniInt(kSectionGeneral, kKeyOverrideScenarioByJobname, settingsFile, overrideScenarioByJobname);

  WritePrivateProfileSectionW(kSectionUsers, L"\0", settingsFile.c_str());
  for (const CUsersGroup& g : groups) g.Save(settingsFile);

  WritePrivateProfileSectionW(kSectionPrinterScenarios, L"\0", settingsFile.c_str());
  for (const auto& entry : printerScenarios) {
    if (entry.first.empty() || entry.second.empty()) continue;
    SetIniString(kSectionPrinterScenarios, entry.first, settingsFile, entry.second);
  }
}
