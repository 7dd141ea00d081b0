// The job process dialog: how a job's scenario file is chosen (by users
// group or by printer name), the users groups with their users and scenario
// files, each printer's scenario file, the default scenario file, and the
// job-name rules that can override the choice.
//
// Every opening reads Dorvane.ini afresh; all edits change only the
// in-memory model (defs, rules) until OK, which rewrites the job-process
// sections and [JobnameScenarios]; Cancel writes nothing. The edit buttons
// beside the four scenario fields open the scenario editor on the field's
// path. Everything runs on the controller's window thread inside the modal
// loop.
#pragma once

#include <functional>
#include <string>

#include "common/DorvaneDefs.h"
#include "common/SettingsFile.h"
#include "common/JobRule.h"
#include "controller/BrowseCtrl.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

// Runs the scenario editor modally on a scenario file path (passed as the
// field holds it: possibly relative, or empty). The job process dialog's
// edit buttons call it; while it is empty they open nothing. Tests replace it.
std::function<void(const std::wstring&)>& ScenarioEditorLauncher();

class CDlgJobProcess final : public ui::Dialog {
 public:
  CDlgJobProcess();
  ~CDlgJobProcess() override;
  CDlgJobProcess(const CDlgJobProcess&) = delete;
  CDlgJobProcess& operator=(const CDlgJobProcess&) = delete;

  // The model being edited, for tests.
  const CDorvaneDefs& Defs() const { return defs; }
  const CJobRuleArray& Rules() const { return rules; }
  const std::wstring& CurrentGroup() const { return currentGroup; }
  CBrowseCtrl& Field(int id);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void DoDataExchange();
  void SetupScenarioBrowse(CBrowseCtrl& field);
  void SettingsToControls();
  void UpdateControls();

  void OnAddGroup();
  void OnSelectByUsersGroup();
  void OnSelectByPrinter();
  void OnSelchangeGroupList();
  void OnAddUser();
  void OnDeleteGroup();
  void OnDeleteUser();
  void OnSelchangeUserList();
  // True, after a message that says why, when the settings file cannot hold
  // the name unchanged: what names the kind of name ("group", "rule", ...).
  bool RefuseName(const std::wstring& name, SettingsName kind, const wchar_t* what);
  // The message of such a refusal: what is refused (a group name, a search
  // text) on the first line, why on the second.
  static void ShowRefusal(const std::wstring& value, const std::wstring& what, const std::wstring& fault);
  void OnBrowsePressed(HWND field);
  void OnBrowseDone(WPARAM result, HWND field);
  void OnSelchangePrinter();

  bool AddGroupToList(const std::wstring& name);
  bool AddUserToList(const std::wstring& group, const std::wstring& user);
  void RemoveGroup(const std::wstring& name);
  void RemoveUser(const std::wstring& group, const std::wstring& user);
  void ShowGroupUsers(const std::wstring& group);
  // report: whether a printer name the settings file cannot hold is refused
  // with a message (after the file dialog) or silently (before it).
  void OnScenarioChosen(HWND field, bool report = true);
  void EditScenarioFile(CBrowseCtrl& field);

  // Job-name rules.
  void OnOverrideByJobName();
  void OnAddRule();
  void OnSelchangeRuleList();
  void OnDeleteRule();
  void OnChangeRuleName();
  // False when the rule name was refused.
  bool OnUpdateRule();

  std::wstring currentGroup;
  CDorvaneDefs defs;
  CJobRuleArray rules;

  ui::ListBox groupList;        // 1000
  ui::Button byGroup;           // 1001
  ui::Button deleteGroup;       // 1002
  ui::Button addGroup;          // 1003
  ui::Edit groupName;           // 1004
  ui::Button byPrinter;         // 1005
  ui::ListBox userList;         // 1006
  ui::ListBox ruleList;         // 1007
  ui::Button deleteRule;        // 1008
  ui::Static groupsLabel;       // 1009
  ui::ComboBox printer;         // 1011
  ui::Static usersLabel;        // 1012
  ui::Static groupScenarioLabel;    // 1013
  ui::Static printerLabel;      // 1014
  ui::Static printerScenarioLabel;  // 1015
  ui::Edit userName;            // 1016
  ui::Button addUser;           // 1017
  ui::Button deleteUser;        // 1018
  CBrowseCtrl defaultScenario;  // 1019
  CBrowseCtrl groupScenario;    // 1020
  CBrowseCtrl printerScenario;  // 1021
  ui::Button editDefault;       // 1022
  ui::Button editGroup;         // 1023
  ui::Button editPrinter;       // 1024
  ui::Button override_;         // 1025
  ui::Edit ruleName;            // 1026
  ui::Button addRule;           // 1027
  ui::ComboBox searchType;      // 1028
  ui::Static searchTypeLabel;   // 1029
  ui::Static searchTextLabel;   // 1030
  ui::Edit searchText;          // 1031
  ui::Static ruleScenarioLabel; // 1032
  CBrowseCtrl ruleScenario;     // 1033
  ui::Button editRule;          // 1034
  ui::Button updateRule;        // 1035
};
