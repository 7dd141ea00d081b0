// The job process dialog; see DlgJobProcess.h.
#include "controller/DlgJobProcess.h"

#include "controller/DlgEditScenario.h"

#include <vector>

#include "common/InstallFolder.h"
#include "common/SettingsFile.h"
#include "common/StringUtil.h"
#include "controller/PrintProcessor.h"
#include "controller/resource.h"
#include "ui/CommonDialogs.h"

namespace {

constexpr wchar_t kScenarioFilter[] = L"Dorvane Scenario Files (*.scn)|*.scn|All Files (*.*)|*.*||";
constexpr wchar_t kFileMissing[] = L"The file doesn't exist, would you like to create this file?";
constexpr const wchar_t* kSearchTypeNames[] = {L"Any Part of Text", L"Whole Text", L"Start of Text",
                                               L"End of Text"};

void EnableItem(HWND item, bool on) { EnableWindow(item, on ? TRUE : FALSE); }

// The trimmed text of a list box item.
std::wstring ItemName(const ui::ListBox& list, int index) { return dv::Trim(list.Text(index)); }

// The indices of the selected items of an extended-selection list box.
std::vector<int> SelectedItems(const ui::ListBox& list) {
  const int count = static_cast<int>(SendMessageW(list.Hwnd(), LB_GETCOUNT, 0, 0));
  std::vector<int> items(count > 0 ? count : 0);
  if (items.empty()) return items;
  const LRESULT got = SendMessageW(list.Hwnd(), LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
  items.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return items;
}

int SelectedCount(const ui::ListBox& list) {
  const LRESULT n = SendMessageW(list.Hwnd(), LB_GETSELCOUNT, 0, 0);
  return n > 0 ? static_cast<int>(n) : 0;
}

// Selects one item alone and puts the caret on it: the handlers act on the
// caret item, which must be the one the user sees selected.
void SelectOnly(const ui::ListBox& list, int index) {
  SendMessageW(list.Hwnd(), LB_SETSEL, FALSE, -1);
  if (index < 0) return;
  SendMessageW(list.Hwnd(), LB_SETSEL, TRUE, index);
  SendMessageW(list.Hwnd(), LB_SETCARETINDEX, index, FALSE);
}

// The text of the list's caret item, "" when the list has none.
std::wstring CaretText(const ui::ListBox& list) {
  const int caret = list.CurSel();
  return caret >= 0 ? list.Text(caret) : std::wstring();
}

}  // namespace

std::function<void(const std::wstring&)>& ScenarioEditorLauncher() {
  static std::function<void(const std::wstring&)> launcher = [](const std::wstring& path) {
    CDlgEditScenario editor;
    editor.SetFileName(path);
    editor.DoModal();
  };
  return launcher;
}

CDlgJobProcess::CDlgJobProcess() : ui::Dialog(IDD_JOB_PROCESS) { SetHelpId(ID_EDIT_JOB_PROCESS); }

CDlgJobProcess::~CDlgJobProcess() { Destroy(); }

CBrowseCtrl& CDlgJobProcess::Field(int id) {
  switch (id) {
    case IDC_JP_GROUP_SCENARIO:
      return groupScenario;
    case IDC_JP_PRINTER_SCENARIO:
      return printerScenario;
    case IDC_JP_RULE_SCENARIO:
      return ruleScenario;
    default:
      return defaultScenario;
  }
}

void CDlgJobProcess::DoDataExchange() {
  const HWND d = Hwnd();
  groupList.Attach(d, IDC_JP_GROUP_LIST);
  byGroup.Attach(d, IDC_JP_BY_GROUP);
  deleteGroup.Attach(d, IDC_JP_DELETE_GROUP);
  addGroup.Attach(d, IDC_JP_ADD_GROUP);
  groupName.Attach(d, IDC_JP_GROUP_NAME);
  byPrinter.Attach(d, IDC_JP_BY_PRINTER);
  userList.Attach(d, IDC_JP_USER_LIST);
  ruleList.Attach(d, IDC_JP_RULE_LIST);
  deleteRule.Attach(d, IDC_JP_DELETE_RULE);
  groupsLabel.Attach(d, IDC_JP_GROUPS_LABEL);
  printer.Attach(d, IDC_JP_PRINTER);
  usersLabel.Attach(d, IDC_JP_USERS_LABEL);
  groupScenarioLabel.Attach(d, IDC_JP_GROUP_SCENARIO_LABEL);
  printerLabel.Attach(d, IDC_JP_PRINTER_LABEL);
  printerScenarioLabel.Attach(d, IDC_JP_PRINTER_SCENARIO_LABEL);
  userName.Attach(d, IDC_JP_USER_NAME);
  addUser.Attach(d, IDC_JP_ADD_USER);
  deleteUser.Attach(d, IDC_JP_DELETE_USER);
  defaultScenario.SubclassDlgItem(d, IDC_JP_DEFAULT_SCENARIO);
  groupScenario.SubclassDlgItem(d, IDC_JP_GROUP_SCENARIO);
  printerScenario.SubclassDlgItem(d, IDC_JP_PRINTER_SCENARIO);
  editDefault.Attach(d, IDC_JP_EDIT_DEFAULT);
  editGroup.Attach(d, IDC_JP_EDIT_GROUP);
  editPrinter.Attach(d, IDC_JP_EDIT_PRINTER);
  override_.Attach(d, IDC_JP_OVERRIDE);
  ruleName.Attach(d, IDC_JP_RULE_NAME);
  addRule.Attach(d, IDC_JP_ADD_RULE);
  searchType.Attach(d, IDC_JP_SEARCH_TYPE);
  searchTypeLabel.Attach(d, IDC_JP_SEARCH_TYPE_LABEL);
  searchTextLabel.Attach(d, IDC_JP_SEARCH_TEXT_LABEL);
  searchText.Attach(d, IDC_JP_SEARCH_TEXT);
  ruleScenarioLabel.Attach(d, IDC_JP_RULE_SCENARIO_LABEL);
  ruleScenario.SubclassDlgItem(d, IDC_JP_RULE_SCENARIO);
  editRule.Attach(d, IDC_JP_EDIT_RULE);
  updateRule.Attach(d, IDC_JP_UPDATE_RULE);
}

bool CDlgJobProcess::OnInitDialog() {
  DoDataExchange();
  SetupScenarioBrowse(defaultScenario);
  SetupScenarioBrowse(printerScenario);
  SetupScenarioBrowse(groupScenario);
  SetupScenarioBrowse(ruleScenario);

  // A shared resource icon: the system owns it, nothing to free.
  const HICON pencil = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_EDIT_SCENARIO));
  for (const ui::Button* b : {&editDefault, &editPrinter, &editGroup, &editRule})
    SendMessageW(b->Hwnd(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(pencil));

  const std::wstring file = GetSettingsFilePath();
  defs.Load(file);
  for (const auto& name : GetLocalPrinterNames()) printer.AddString(name);

  override_.SetCheck(defs.overrideScenarioByJobname != 0);
  rules.Load(file);
  rules.FillListBox(ruleList.Hwnd());
  for (const wchar_t* name : kSearchTypeNames) searchType.AddString(name);

  SettingsToControls();
  return true;
}

void CDlgJobProcess::SetupScenarioBrowse(CBrowseCtrl& field) {
  const DWORD wanted = BCS_GLYPH | BCS_GLYPH3 | (field.style & BCS_EDITABLE);
  if (field.style != wanted) {
    field.style = wanted;
    if (field.Hwnd()) {
      field.RecalcLayout(false);
      field.CreateEdit();
      RedrawWindow(field.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
  }
  field.openDialog = 1;
  field.defaultExt.clear();
  field.SetFilter(kScenarioFilter);
  field.SetOFNFlags(OFN_EXPLORER | OFN_HIDEREADONLY);
  field.notifyMessage = WM_BROWSECTRL_NOTIFY;
  field.SetPathName(AddTrailingBackslash(GetModuleFolder()));
}

void CDlgJobProcess::SettingsToControls() {
  const bool byPrinterName = defs.selectionType == 1;
  byPrinter.SetCheck(byPrinterName);
  byGroup.SetCheck(!byPrinterName);

  defs.FillGroupList(groupList.Hwnd());
  if (groupList.Count() > 0) {
    SelectOnly(groupList, 0);
    currentGroup = groupList.Text(0);
  } else {
    currentGroup.clear();
  }
  defs.FillUserList(currentGroup, userList.Hwnd());
  defaultScenario.SetPathName(defs.GetDefaultScenarioFile());
  groupScenario.SetPathName(defs.GetGroupScenario(currentGroup));
  printerScenario.SetPathName(L"");
  ruleScenario.SetPathName(L"");
  UpdateControls();
}

void CDlgJobProcess::UpdateControls() {
  const bool groups = byGroup.Checked();
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{&groupsLabel, &groupList, &groupName, &addGroup})
    c->Enable(groups);
  const int selectedGroups = SelectedCount(groupList);
  deleteGroup.Enable(groups && selectedGroups > 0);
  const bool oneGroup = groups && groupList.Count() > 0 && selectedGroups == 1;
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{&usersLabel, &userList, &groupScenarioLabel,
                                                                        &editGroup, &userName, &addUser})
    c->Enable(oneGroup);
  EnableItem(groupScenario.Hwnd(), oneGroup);
  deleteUser.Enable(oneGroup && SelectedCount(userList) > 0);

  const bool printers = byPrinter.Checked();
  for (const ui::Control* c :
       std::initializer_list<const ui::Control*>{&printerLabel, &printer, &printerScenarioLabel, &editPrinter})
    c->Enable(printers);
  EnableItem(printerScenario.Hwnd(), printers);

  const bool overriding = override_.Checked();
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &ruleName, &addRule, &ruleList, &searchTextLabel, &searchText, &searchTypeLabel, &searchType,
           &ruleScenarioLabel, &editRule})
    c->Enable(overriding);
  EnableItem(ruleScenario.Hwnd(), overriding);
  const bool ruleSelected = overriding && SelectedCount(ruleList) > 0;
  deleteRule.Enable(ruleSelected);
  updateRule.Enable(ruleSelected);
}

void CDlgJobProcess::OnAddGroup() {
  const std::wstring name = dv::Trim(groupName.Text());
  // Each group keeps its scenario in a section named after it: a name that
  // is one of the system's own sections (in any letter case, as the profile
  // functions see it) would overwrite that section's keys.
  if (IsReservedGroupName(name)) {
    ui::AppMessageBox(
        dv::Format(L"\"%ls\" is not a legal group name, please select a different name for the group", name.c_str()),
        MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (!name.empty() && RefuseName(name, SettingsName::SectionAndValue, L"group")) return;
  if (!name.empty()) AddGroupToList(name);
  ShowGroupUsers(name);
  groupName.SetText(L"");
  groupList.Focus();
  UpdateControls();
}

bool CDlgJobProcess::AddGroupToList(const std::wstring& name) {
  const int found = groupList.FindStringExact(name);
  if (found != LB_ERR) {
    SelectOnly(groupList, found);
    return false;
  }
  defs.AddUsersGroup(name);
  groupList.InsertString(0, name);
  SelectOnly(groupList, 0);
  return true;
}

void CDlgJobProcess::ShowGroupUsers(const std::wstring& group) {
  userList.ResetContent();
  defs.FillUserList(group, userList.Hwnd());
}

void CDlgJobProcess::OnSelectByUsersGroup() {
  defs.selectionType = 0;
  UpdateControls();
}

void CDlgJobProcess::OnSelectByPrinter() {
  defs.selectionType = 1;
  UpdateControls();
}

void CDlgJobProcess::OnSelchangeGroupList() {
  defs.SetGroupScenario(currentGroup, groupScenario.GetPathName());
  if (SelectedCount(groupList) == 1) {
    currentGroup = CaretText(groupList);
    ShowGroupUsers(currentGroup);
    groupScenario.SetPathName(defs.GetGroupScenario(currentGroup));
  }
  UpdateControls();
}

void CDlgJobProcess::OnAddUser() {
  const std::wstring user = dv::Trim(userName.Text());
  // The [Users] lines are user=group: the user name is a key there.
  if (!user.empty() && RefuseName(user, SettingsName::Key, L"user")) return;
  const std::wstring group = CaretText(groupList);
  if (!user.empty()) AddUserToList(group, user);
  userName.SetText(L"");
  userList.Focus();
  UpdateControls();
}

bool CDlgJobProcess::AddUserToList(const std::wstring& group, const std::wstring& user) {
  const int found = userList.FindStringExact(user);
  if (found != LB_ERR) {
    SelectOnly(userList, found);
    return false;
  }
  defs.AddUserToGroup(group, user);
  userList.InsertString(0, user);
  SelectOnly(userList, 0);
  return true;
}

void CDlgJobProcess::OnDeleteGroup() {
  const std::vector<int> selected = SelectedItems(groupList);
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    const std::wstring name = ItemName(groupList, *it);
    if (!name.empty()) RemoveGroup(name);
  }
  userList.ResetContent();
  UpdateControls();
}

void CDlgJobProcess::RemoveGroup(const std::wstring& name) {
  const int found = groupList.FindStringExact(name);
  defs.RemoveUsersGroup(name);
  if (found != LB_ERR) groupList.DeleteString(found);
  SelectOnly(groupList, -1);
}

void CDlgJobProcess::OnDeleteUser() {
  const std::wstring group = CaretText(groupList);
  const std::vector<int> selected = SelectedItems(userList);
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    const std::wstring user = ItemName(userList, *it);
    if (!user.empty()) RemoveUser(group, user);
  }
  UpdateControls();
}

void CDlgJobProcess::RemoveUser(const std::wstring& group, const std::wstring& user) {
  const int found = userList.FindStringExact(user);
  defs.RemoveUserFromGroup(group, user);
  if (found != LB_ERR) userList.DeleteString(found);
  SelectOnly(userList, -1);
}

void CDlgJobProcess::OnSelchangeUserList() { UpdateControls(); }

bool CDlgJobProcess::RefuseName(const std::wstring& name, SettingsName kind, const wchar_t* what) {
  const std::wstring fault = SettingsNameFault(name, kind);
  if (fault.empty()) return false;
  ShowRefusal(name, std::wstring(what) + L" name", fault);
  return true;
}

void CDlgJobProcess::ShowRefusal(const std::wstring& value, const std::wstring& what, const std::wstring& fault) {
  // The reason gets a line of its own, so that the message box breaks no
  // line within it: "it cannot hold ..." reads "A user name cannot hold ...".
  std::wstring reason = fault;
  if (reason.compare(0, 3, L"it ") == 0)
    reason = L"A " + what + reason.substr(2);
  else if (!reason.empty())
    reason[0] = towupper(reason[0]);
  ui::AppMessageBox(dv::Format(L"\"%ls\" is not a legal %ls\n%ls.", value.c_str(), what.c_str(), reason.c_str()),
                    MB_OK | MB_ICONEXCLAMATION);
}

void CDlgJobProcess::OnBrowsePressed(HWND field) { OnScenarioChosen(field, false); }

void CDlgJobProcess::OnBrowseDone(WPARAM result, HWND field) {
  if (result == 1) OnScenarioChosen(field);
}

void CDlgJobProcess::OnScenarioChosen(HWND field, bool report) {
  if (field == defaultScenario.Hwnd()) {
    defs.SetDefaultScenarioFile(defaultScenario.GetPathName());
  } else if (field == groupScenario.Hwnd()) {
    defs.SetGroupScenario(currentGroup, groupScenario.GetPathName());
  } else if (field == printerScenario.Hwnd()) {
    // A typed printer name is a key of [PrinterScenarios]; an empty one is
    // never written, as before.
    const std::wstring name = printer.Text();
    if (!name.empty() && (report ? RefuseName(name, SettingsName::Key, L"printer")
                                 : !SettingsNameFault(name, SettingsName::Key).empty()))
      return;
    defs.SetPrinterScenario(name, printerScenario.GetPathName());
  }
  // The rule's field is read when a rule is added or updated.
}

void CDlgJobProcess::OnSelchangePrinter() {
  const int sel = printer.CurSel();
  const std::wstring name = sel >= 0 ? printer.LBText(sel) : std::wstring();
  printerScenario.SetPathName(defs.GetPrinterScenario(name));
}

void CDlgJobProcess::EditScenarioFile(CBrowseCtrl& field) {
  std::wstring path = field.GetPathName();
  while (!path.empty() && iswspace(path.back())) path.pop_back();
  if (path.empty() && !field.busy) {
    if (field.DoBrowse() != 2) {
      path = field.GetPathName();
      while (!path.empty() && iswspace(path.back())) path.pop_back();
    }
  }
  // Still no file (the browse was cancelled): there is nothing to edit, and
  // an editor without a file name would drop everything entered in it.
  if (path.empty()) return;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (ui::AppMessageBox(kFileMissing, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  }
  if (ScenarioEditorLauncher()) ScenarioEditorLauncher()(path);
}

void CDlgJobProcess::OnOverrideByJobName() {
  defs.overrideScenarioByJobname = override_.Checked() ? 1 : 0;
  UpdateControls();
}

void CDlgJobProcess::OnSelchangeRuleList() {
  const std::wstring name = CaretText(ruleList);
  // Setting the text runs OnChangeRuleName through EN_CHANGE.
  ruleName.SetText(name);
  searchText.SetText(rules.GetRuleText(name));
  searchType.SetCurSel(rules.GetRuleType(name));
  ruleScenario.SetPathName(rules.GetRuleScenario(name));
}

void CDlgJobProcess::OnChangeRuleName() {
  const bool listed = rules.FindRule(ruleName.Text()) >= 0;
  addRule.Enable(!listed);
  updateRule.Enable(listed);
  deleteRule.Enable(listed);
}

bool CDlgJobProcess::OnUpdateRule() {
  // The rule's name is its key in [JobnameScenarios].
  const std::wstring name = ruleName.Text();
  if (RefuseName(name, SettingsName::Key, L"rule")) return false;
  // The text and the scenario file share the line's value, joined by the
  // separator.
  const std::wstring text = searchText.Text();
  const std::wstring scenario = ruleScenario.GetPathName();
  std::wstring part;
  const std::wstring fault = JobRuleFault(text, scenario, part);
  if (!fault.empty()) {
    ShowRefusal(part == L"search text" ? text : scenario, part, fault);
    return false;
  }
  rules.SetRule(name, searchType.CurSel(), text, scenario);
  return true;
}

void CDlgJobProcess::OnAddRule() {
  if (OnUpdateRule()) rules.FillListBox(ruleList.Hwnd());
}

void CDlgJobProcess::OnDeleteRule() {
  const int caret = ruleList.CurSel();
  if (caret < 0) return;
  if (rules.DeleteRule(ruleList.Text(caret))) ruleList.DeleteString(caret);
}

void CDlgJobProcess::OnOK() {
  const std::wstring file = GetSettingsFilePath();
  defs.SetDefaultScenarioFile(defaultScenario.GetPathName());
  defs.Save(file);
  rules.Save(file);
  ui::Dialog::OnOK();
}

bool CDlgJobProcess::OnCommand(UINT id, UINT code, HWND control) {
  switch (code) {
    case BN_CLICKED:
      switch (id) {
        case IDC_JP_ADD_GROUP: OnAddGroup(); return true;
        case IDC_JP_BY_GROUP: OnSelectByUsersGroup(); return true;
        case IDC_JP_BY_PRINTER: OnSelectByPrinter(); return true;
        case IDC_JP_ADD_USER: OnAddUser(); return true;
        case IDC_JP_DELETE_GROUP: OnDeleteGroup(); return true;
        case IDC_JP_DELETE_USER: OnDeleteUser(); return true;
        case IDC_JP_EDIT_DEFAULT: EditScenarioFile(defaultScenario); return true;
        case IDC_JP_EDIT_PRINTER: EditScenarioFile(printerScenario); return true;
        case IDC_JP_EDIT_GROUP: EditScenarioFile(groupScenario); return true;
        case IDC_JP_EDIT_RULE: EditScenarioFile(ruleScenario); return true;
        case IDC_JP_OVERRIDE: OnOverrideByJobName(); return true;
        case IDC_JP_ADD_RULE: OnAddRule(); return true;
        case IDC_JP_DELETE_RULE: OnDeleteRule(); return true;
        case IDC_JP_UPDATE_RULE: OnUpdateRule(); return true;
        // The click a path field posts after its browse dialog.
        case IDC_JP_DEFAULT_SCENARIO:
        case IDC_JP_GROUP_SCENARIO:
        case IDC_JP_PRINTER_SCENARIO:
        case IDC_JP_RULE_SCENARIO:
          return true;
        default: return false;
      }
    case LBN_SELCHANGE:  // also CBN_SELCHANGE (both are 1)
      switch (id) {
        case IDC_JP_GROUP_LIST: OnSelchangeGroupList(); return true;
        case IDC_JP_USER_LIST: OnSelchangeUserList(); return true;
        case IDC_JP_RULE_LIST: OnSelchangeRuleList(); return true;
        case IDC_JP_PRINTER: OnSelchangePrinter(); return true;
        default: return false;
      }
    case EN_CHANGE:
      if (id == IDC_JP_RULE_NAME) {
        OnChangeRuleName();
        return true;
      }
      return false;
    default:
      return false;
  }
}

INT_PTR CDlgJobProcess::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_BROWSECTRL_PRESSED) {
    OnBrowsePressed(reinterpret_cast<HWND>(lParam));
    SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, 0);
    return TRUE;
  }
  if (msg == WM_BROWSECTRL_NOTIFY) {
    OnBrowseDone(wParam, reinterpret_cast<HWND>(lParam));
    SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, 0);
    return TRUE;
  }
  return ui::Dialog::DialogProc(msg, wParam, lParam);
}
