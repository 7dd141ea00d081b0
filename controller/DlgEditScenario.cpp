// The scenario editor: the tab control over the two orientation pages and
// the "General" keys of the scenario file (see the header).
#include "controller/DlgEditScenario.h"

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "controller/resource.h"

namespace {

constexpr wchar_t kGeneral[] = L"General";

void Write(const std::wstring& file, const std::wstring& key, const std::wstring& value) {
  WritePrivateProfileStringW(kGeneral, key.c_str(), value.c_str(), file.c_str());
}

int ReadInt(const std::wstring& file, const std::wstring& key) {
  return static_cast<int>(GetPrivateProfileIntW(kGeneral, key.c_str(), 0, file.c_str()));
}

// Selects the first item whose code is value; keeps the selection when none.
void SelectCode(const ui::ComboBox& combo, int value) {
  for (int i = 0, n = combo.Count(); i < n; ++i) {
    if (static_cast<int>(combo.ItemData(i)) == value) {
      combo.SetCurSel(i);
      return;
    }
  }
}

std::wstring SelectedCode(const ui::ComboBox& combo) {
  int selected = combo.CurSel();
  return dv::Format(L"%d", selected < 0 ? 0 : static_cast<int>(combo.ItemData(selected)));
}

}  // namespace

CDlgEditScenario::CDlgEditScenario() : ui::Dialog(IDD_EDIT_SCENARIO) { SetHelpId(ID_EDIT_SCENARIO_FILE); }

void CDlgEditScenario::DoDataExchange() {
  tab.Attach(Hwnd(), IDC_SCN_TAB);
  ok.Attach(Hwnd(), IDOK);
}

bool CDlgEditScenario::OnInitDialog() {
  DoDataExchange();
  portrait.CreatePage(Hwnd());
  landscape.CreatePage(Hwnd());
  tab.DeleteAllItems();
  tab.InsertItem(0, L"Landscape");
  tab.InsertItem(0, L"Portrait");
  tab.SetCurSel(0);
  ShowSelectedPage();
  SetWindowTextW(Hwnd(), dv::Format(L"Edit Scenario - %ls", fileName.c_str()).c_str());
  LoadScenario();
  // The focus was given to OK; the dialog manager must not move it.
  return false;
}

void CDlgEditScenario::ShowSelectedPage() {
  RECT client = {};
  GetClientRect(portrait.Hwnd(), &client);
  ok.Focus();
  ShowWindow(portrait.Hwnd(), SW_HIDE);
  ShowWindow(landscape.Hwnd(), SW_HIDE);
  int selected = tab.CurSel();
  if (selected != 0 && selected != 1) return;
  SetWindowPos(Page(selected).Hwnd(), tab.Hwnd(), 12, 32, client.right - client.left, client.bottom - client.top,
               SWP_SHOWWINDOW);
}

bool CDlgEditScenario::OnNotify(NMHDR& hdr, LRESULT& result) {
  if (hdr.idFrom == IDC_SCN_TAB && hdr.code == TCN_SELCHANGE) {
    ShowSelectedPage();
    result = 0;
    return true;
  }
  return false;
}

void CDlgEditScenario::LoadScenario() {
  LoadPage(portrait, L"Portrait");
  LoadPage(landscape, L"Landscape");
}

void CDlgEditScenario::LoadPage(CdPropScenario& page, const std::wstring& prefix) {
  page.defaultTemplate.SetPathName(GetIniString(kGeneral, prefix + L"DefaultTemplateFile", fileName));
  page.backsideTemplate.SetPathName(GetIniString(kGeneral, prefix + L"BacksideTemplateFile", fileName));
  page.useBackside.SetCheck(!page.backsideTemplate.GetPathName().empty());
  int value = ReadInt(fileName, prefix + L"ForceDuplex");
  page.forceDuplex.SetCheck(value != 0);
  SelectCode(page.duplex, value);
  value = ReadInt(fileName, prefix + L"ForceColor");
  page.forceColor.SetCheck(value != 0);
  SelectCode(page.color, value);
  std::wstring devmode = GetIniString(kGeneral, prefix + L"ForceDevmode", fileName);
  page.LoadDriverConfigs(prefix, fileName);
  page.forceDevmode.SetCheck(_wtoi(devmode.c_str()) != 0);
  value = ReadInt(fileName, prefix + L"ForceCopies");
  page.forceCopies.SetCheck(value > 0);
  // The spin control holds its position within its range 1 to 32767.
  page.copiesSpin.SetPos(value < 1 ? 1 : (value > 32767 ? 32767 : value));
  page.UpdateControls();
}

void CDlgEditScenario::SaveScenario() {
  SavePage(portrait, L"Portrait");
  SavePage(landscape, L"Landscape");
}

void CDlgEditScenario::SavePage(CdPropScenario& page, const std::wstring& prefix) {
  Write(fileName, prefix + L"DefaultTemplateFile", page.defaultTemplate.GetPathName());
  Write(fileName, prefix + L"BacksideTemplateFile",
        page.useBackside.Checked() ? page.backsideTemplate.GetPathName() : std::wstring());
  Write(fileName, prefix + L"ForceDuplex", page.forceDuplex.Checked() ? SelectedCode(page.duplex) : L"0");
  Write(fileName, prefix + L"ForceColor", page.forceColor.Checked() ? SelectedCode(page.color) : L"0");
  Write(fileName, prefix + L"ForceDevmode", page.forceDevmode.Checked() ? L"1" : L"0");
  page.SaveDriverConfigs(prefix, fileName);
  Write(fileName, prefix + L"ForceCopies",
        page.forceCopies.Checked() ? dv::Format(L"%d", page.copiesSpin.Pos()) : L"0");
}

void CDlgEditScenario::OnOK() {
  SaveScenario();
  EndDialog(IDOK);
}
