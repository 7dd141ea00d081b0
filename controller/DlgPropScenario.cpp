// The scenario editor's orientation page: its controls, its enabling rules,
// the template edit buttons and the driver-configuration list (see the
// header).
#include "controller/DlgPropScenario.h"

#include "controller/DlgEditTemplate.h"

#include <cwchar>

#include "common/PlatformHelpers.h"
#include "common/StringUtil.h"
#include "controller/resource.h"
#include "ui/App.h"
#include "ui/CommonDialogs.h"

namespace {

struct ComboItem {
  const wchar_t* text;
  int code;
};
// The DEVMODE duplex and colour values.
constexpr ComboItem kDuplexItems[] = {{L"None", DMDUP_SIMPLEX},
                                      {L"Flip on Long Edge", DMDUP_VERTICAL},
                                      {L"Flip on Short Edge", DMDUP_HORIZONTAL}};
constexpr ComboItem kColorItems[] = {{L"Black & White", DMCOLOR_MONOCHROME}, {L"Color", DMCOLOR_COLOR}};

void FillCombo(const ui::ComboBox& combo, const ComboItem* items, size_t count) {
  // Each item goes in at the top, so the list is built from the last.
  for (size_t i = count; i-- > 0;) {
    int index = static_cast<int>(SendMessageW(combo.Hwnd(), CB_INSERTSTRING, 0,
                                              reinterpret_cast<LPARAM>(items[i].text)));
    combo.SetItemData(index, items[i].code);
  }
  combo.SetCurSel(0);
}

}  // namespace

TemplateEditorOpener& ScenarioTemplateEditor() {
  static TemplateEditorOpener opener = [](const std::wstring& path) {
    CDlgEditTemplate editor;
    editor.SetFileName(path);
    editor.DoModal();
  };
  return opener;
}

CdPropScenario::CdPropScenario() : ui::Dialog(IDD_PROP_SCENARIO) {}

void CdPropScenario::DoDataExchange() {
  HWND page = Hwnd();
  editDefault.Attach(page, IDC_SCN_EDIT_DEFAULT);
  editBackside.Attach(page, IDC_SCN_EDIT_BACKSIDE);
  useBackside.Attach(page, IDC_SCN_USE_BACKSIDE);
  forceDuplex.Attach(page, IDC_SCN_FORCE_DUPLEX);
  duplex.Attach(page, IDC_SCN_DUPLEX);
  forceColor.Attach(page, IDC_SCN_FORCE_COLOR);
  color.Attach(page, IDC_SCN_COLOR);
  forceDevmode.Attach(page, IDC_SCN_FORCE_DEVMODE);
  newDriver.Attach(page, IDC_SCN_NEW_DRIVER);
  deleteDriver.Attach(page, IDC_SCN_DELETE_DRIVER);
  editDriver.Attach(page, IDC_SCN_EDIT_DRIVER);
  forceCopies.Attach(page, IDC_SCN_FORCE_COPIES);
  copies.Attach(page, IDC_SCN_COPIES);
  copiesSpin.Attach(page, IDC_SCN_COPIES_SPIN);
  driverLabel.Attach(page, IDC_SCN_DRIVER_LABEL);
  driverList.Attach(page, IDC_SCN_DRIVER_LIST);
}

bool CdPropScenario::OnInitDialog() {
  DoDataExchange();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  // A shared icon: the system keeps it for the process, the buttons only
  // show it.
  HICON pencil = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_PENCIL), IMAGE_ICON, 16, 16, LR_SHARED));
  for (const ui::Button* button : {&editDefault, &editBackside})
    SendMessageW(button->Hwnd(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(pencil));
  InitTemplateBrowse(defaultTemplate, IDC_SCN_DEFAULT_TEMPLATE);
  InitTemplateBrowse(backsideTemplate, IDC_SCN_BACKSIDE_TEMPLATE);
  FillCombo(duplex, kDuplexItems, sizeof(kDuplexItems) / sizeof(kDuplexItems[0]));
  FillCombo(color, kColorItems, sizeof(kColorItems) / sizeof(kColorItems[0]));
  copiesSpin.SetRange(1, 32767);
  return true;
}

void CdPropScenario::InitTemplateBrowse(CBrowseCtrl& field, int id) {
  field.style = (field.style & BCS_EDITABLE) | BCS_GLYPH | BCS_GLYPH3;
  field.openDialog = 1;
  field.defaultExt.clear();
  field.SetFilter(L"Dorvane Page Template Files (*.dpt)|*.dpt|All Files (*.*)|*.*||");
  field.SetOFNFlags(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
  field.notifyMessage = WM_BROWSECTRL_NOTIFY;
  field.SubclassDlgItem(Hwnd(), id);
}

bool CdPropScenario::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_SCN_DRIVER_LIST) {
    if (code == LBN_DBLCLK) OnEditDriver();
    return code == LBN_DBLCLK;
  }
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_SCN_USE_BACKSIDE:
    case IDC_SCN_FORCE_DUPLEX:
    case IDC_SCN_FORCE_COLOR:
    case IDC_SCN_FORCE_COPIES:
      UpdateControls();
      return true;
    case IDC_SCN_FORCE_DEVMODE:
      OnForceDevmode();
      return true;
    case IDC_SCN_EDIT_DEFAULT:
      EditTemplateFile(defaultTemplate.GetPathName());
      return true;
    case IDC_SCN_EDIT_BACKSIDE:
      EditTemplateFile(backsideTemplate.GetPathName());
      return true;
    case IDC_SCN_NEW_DRIVER:
      OnNewDriver();
      return true;
    case IDC_SCN_EDIT_DRIVER:
      OnEditDriver();
      return true;
    case IDC_SCN_DELETE_DRIVER:
      OnDeleteDriver();
      return true;
    default:
      return false;
  }
}

void CdPropScenario::UpdateControls() {
  bool backside = useBackside.Checked();
  EnableWindow(defaultTemplate.Hwnd(), TRUE);
  EnableWindow(backsideTemplate.Hwnd(), backside);
  editBackside.Enable(backside);
  duplex.Enable(forceDuplex.Checked());
  color.Enable(forceColor.Checked());
  bool devmode = forceDevmode.Checked();
  forceDuplex.Enable(!devmode);
  forceColor.Enable(!devmode);
  forceCopies.Enable(!devmode);
  for (const ui::Control* control :
       std::initializer_list<const ui::Control*>{&newDriver, &deleteDriver, &editDriver, &driverLabel, &driverList})
    control->Enable(devmode);
  FillDriverList();
  copies.Enable(forceCopies.Checked());
  copiesSpin.Enable(forceCopies.Checked());
}

void CdPropScenario::OnForceDevmode() {
  if (forceDevmode.Checked()) {
    forceDuplex.SetCheck(false);
    forceColor.SetCheck(false);
    forceCopies.SetCheck(false);
  }
  UpdateControls();
}

void CdPropScenario::EditTemplateFile(const std::wstring& typed) {
  std::wstring path = typed;
  while (!path.empty() && iswspace(path.back())) path.pop_back();
  if (path.empty()) return;
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (Message(L"The file doesn't exist, would you like to create this file?", MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
  }
  if (ScenarioTemplateEditor()) ScenarioTemplateEditor()(path);
}

int CdPropScenario::Message(const std::wstring& text, UINT type) const {
  ui::App* app = ui::App::Current();
  return ui::ShowMessageBox(Hwnd(), text, app ? app->Title() : std::wstring(), type);
}

bool CdPropScenario::RunPrintDialog(HGLOBAL devmode, std::wstring& driver, std::vector<BYTE>& bytes) {
  PRINTDLGW request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = Hwnd();
  request.hDevMode = devmode;
  request.Flags = PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
  bool chosen = ui::ShowPrintDialog(Hwnd(), request);
  if (chosen && request.hDevMode) {
    // The block may be larger than the DEVMODE; only the sizes its own
    // header states, and only when they fit the block, are the
    // configuration.
    size_t available = GlobalSize(request.hDevMode);
    if (const BYTE* locked = static_cast<const BYTE*>(GlobalLock(request.hDevMode))) {
      size_t length = CompleteDevmodeLength(locked, available);
      if (length) {
        const DEVMODEW* dm = reinterpret_cast<const DEVMODEW*>(locked);
        // The device name field is 32 characters and need not end in a zero.
        std::wstring printer(dm->dmDeviceName, wcsnlen(dm->dmDeviceName, CCHDEVICENAME));
        driver = GetPrinterDriverName(printer);
        bytes.assign(locked, locked + length);
      } else {
        chosen = false;
      }
      GlobalUnlock(request.hDevMode);
    } else {
      chosen = false;
    }
  } else {
    chosen = false;
  }
  if (request.hDevMode) GlobalFree(request.hDevMode);
  if (request.hDevNames) GlobalFree(request.hDevNames);
  return chosen;
}

void CdPropScenario::OnNewDriver() {
  std::wstring driver;
  std::vector<BYTE> bytes;
  if (RunPrintDialog(nullptr, driver, bytes)) StoreDriverConfig(driver, bytes.data(), bytes.size());
  FillDriverList();
}

void CdPropScenario::OnEditDriver() {
  int selected = driverList.CurSel();
  if (selected < 0) return;
  std::wstring name = driverList.Text(selected);
  std::wstring driver;
  std::vector<BYTE> bytes;
  if (!RunPrintDialog(DevmodeFromHex(name), driver, bytes)) return;
  if (driver != name) {
    Message(L"Can't set driver configuration since original driver is different then the new driver.\n"
            L"Please use the 'New' button to add new drivers to the list",
            MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  StoreDriverConfig(driver, bytes.data(), bytes.size());
}

void CdPropScenario::OnDeleteDriver() {
  int selected = driverList.CurSel();
  if (selected < 0) return;
  std::wstring name = driverList.Text(selected);
  if (Message(dv::Format(L"Do you want to delete existing driver configuration for driver: %ls", name.c_str()),
              MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  driverConfigs.erase(name);
  removedDrivers.push_back(name);
  driverList.DeleteString(selected);
  int count = driverList.Count();
  if (count > 0) driverList.SetCurSel(selected < count ? selected : count - 1);
}

void CdPropScenario::StoreDriverConfig(const std::wstring& driver, const BYTE* bytes, size_t count) {
  driverConfigs[driver] = BytesToHex(bytes, count);
}

HGLOBAL CdPropScenario::DevmodeFromHex(const std::wstring& driver) const {
  auto found = driverConfigs.find(driver);
  if (found == driverConfigs.end()) return nullptr;
  std::vector<BYTE> bytes = HexToBytes(found->second);
  // Bytes that are no complete DEVMODE would make the Print dialog and the
  // driver read past them: the dialog then starts as for a new one.
  size_t length = CompleteDevmodeLength(bytes.data(), bytes.size());
  if (!length) return nullptr;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length);
  if (!block) return nullptr;
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    return nullptr;
  }
  memcpy(target, bytes.data(), length);
  GlobalUnlock(block);
  return block;
}

void CdPropScenario::FillDriverList() {
  driverList.ResetContent();
  for (const auto& entry : driverConfigs) driverList.AddString(entry.first);
}

void CdPropScenario::LoadDriverConfigs(const std::wstring& orientation, const std::wstring& file) {
  if (!ReadDriverConfigs(file, orientation, driverConfigs))
    Message(L"There are too many drivers in the setup file, some of the drivers may not be read",
            MB_OK | MB_ICONEXCLAMATION);
}

void CdPropScenario::SaveDriverConfigs(const std::wstring& orientation, const std::wstring& file) {
  WriteDriverConfigs(file, orientation, removedDrivers, driverConfigs);
}
