// The job-process settings as the job process editor edits them: users groups
// (each a list of user names and one scenario file), scenario files by
// printer name, the default scenario file and the two [General] switches.
//
// Stored in Dorvane.ini: [Users] maps a user name to a group name, each group
// keeps its ScenarioFile in a section named after it, [PrinterScenarios] maps
// a printer name to a scenario file, and [General] holds DefaultScenarioFile,
// SelectionType and OverrideScenarioByJobname. The engine reads the same keys
// straight from the file for every job. Names are compared exactly
// (case-sensitive) and used untrimmed. The model has no thread, lock or timer;
// the controller uses it on its window thread.
#pragma once

#include <windows.h>
#include <map>
#include <string>
#include <vector>

#include "common/SettingsFile.h"

class CUsersGroup {
 public:
  CUsersGroup() = default;
  virtual ~CUsersGroup() = default;
  CUsersGroup(const CUsersGroup&) = default;
  CUsersGroup& operator=(const CUsersGroup&) = default;

  const std::wstring& GetName() const { return name; }
  void SetName(const std::wstring& groupName) { name = groupName; }
  const std::wstring& GetScenarioFile() const { return scenarioFile; }
  void SetScenarioFile(const std::wstring& path) { scenarioFile = path; }
  // The user names in the order they were added.
  const std::vector<std::wstring>& GetUsers() const { return users; }

  // Empties the list box, then adds every user name in list order.
  void FillListBox(HWND listBox) const;
  // Writes Users/<user>=<group name> for every user, then the group's own
  // ScenarioFile (an empty path as an empty value). A name that no section
  // can safely carry (empty, or one of the system's own sections, see
  // IsReservedGroupName) gets no ScenarioFile written. Write results are not
  // examined.
  void Save(const std::wstring& settingsFile) const;

 private:
  friend class CDorvaneDefs;

  std::vector<std::wstring> users;
  std::wstring scenarioFile;
  std::wstring name;
};

class CDorvaneDefs {
 public:
  CDorvaneDefs() = default;
  virtual ~CDorvaneDefs() = default;

  // False and no change when a group of that name exists; otherwise appends
  // an empty group of that name (an empty name is not refused here).
  bool AddUsersGroup(const std::wstring& name);
  // False when there is no such group. The group's own section stays in the
  // settings file.
  bool RemoveUsersGroup(const std::wstring& name);
  // Appends the user to the group: false when there is no such group or the
  // user is already in it.
  bool AddUserToGroup(const std::wstring& group, const std::wstring& user);
  // False when there is no such group or the user is not in it.
  bool RemoveUserFromGroup(const std::wstring& group, const std::wstring& user);
  // Fills the list box with the group's users; leaves it unchanged when
  // there is no such group.
  void FillUserList(const std::wstring& group, HWND listBox) const;
  // Empties the list box, then adds every group name in list order.
  void FillGroupList(HWND listBox) const;

  const std::wstring& GetDefaultScenarioFile() const { return defaultScenarioFile; }
  void SetDefaultScenarioFile(const std::wstring& path) { defaultScenarioFile = path; }
  // "" when there is no such group.
  std::wstring GetGroupScenario(const std::wstring& group) const;
  // False and no change when there is no such group, and also when the
  // group's name is reserved (IsReservedGroupName): Save could not store the
  // path without writing into one of the system's own sections.
  bool SetGroupScenario(const std::wstring& group, const std::wstring& path);
  // "" when the printer has no entry.
  std::wstring GetPrinterScenario(const std::wstring& printer) const;
  // Adds or replaces the entry; empty sides are kept here (Save drops them).
  void SetPrinterScenario(const std::wstring& printer, const std::wstring& path);

  // Splits key=value at the first "=". True (outputs set) only when the "="
  // is not the first character and something follows it; otherwise false
  // with both outputs unchanged. Nothing is trimmed.
  static bool SplitKeyValue(const std::wstring& line, std::wstring& key, std::wstring& value);

  // Adds the settings of the file to the model (a fresh model is expected;
  // nothing is cleared). [Users] and [PrinterScenarios] are read whole however
  // long they are; only a section that still cannot be read whole is
  // reported by warning, and then loads the lines that were read whole.
  // A missing file or section gives the defaults.
  void Load(const std::wstring& settingsFile, SectionWarning warning = SectionWarning::ShowMessage);
  // Writes the [General] keys, rewrites [Users] from the groups, each group's
  // ScenarioFile, and rewrites [PrinterScenarios] from the entries whose two
  // sides are non-empty. Sections of removed groups stay. Write results are
  // not examined.
  void Save(const std::wstring& settingsFile) const;

  const std::vector<CUsersGroup>& GetGroups() const { return groups; }
  const std::map<std::wstring, std::wstring>& GetPrinterScenarios() const { return printerScenarios; }

  // 1: the scenario by printer name; every other value: by users group.
  int selectionType = 0;
  // Non-zero: job-name rules override the scenario chosen by group or printer.
  int overrideScenarioByJobname = 0;

 private:
  CUsersGroup* FindGroup(const std::wstring& name);
  const CUsersGroup* FindGroup(const std::wstring& name) const;

  std::vector<CUsersGroup> groups;
  std::wstring defaultScenarioFile;
  std::map<std::wstring, std::wstring> printerScenarios;
};
