// The value prompt dialog and the main frame's Last Job Number command; see
// DlgRename.h.
#include "controller/DlgRename.h"

#include "common/InstallFolder.h"
#include "common/SettingsFile.h"
#include "controller/MainFrame.h"
#include "controller/resource.h"

CtDlgRename::CtDlgRename() : ui::Dialog(IDD_RENAME) {}

bool CtDlgRename::OnInitDialog() {
  okButton.Attach(Hwnd(), IDOK);
  cancelButton.Attach(Hwnd(), IDCANCEL);
  promptText.Attach(Hwnd(), IDC_RENAME_PROMPT);
  valueEdit.Attach(Hwnd(), IDC_RENAME_VALUE);
  valueEdit.SetText(value);
  if (hasPrompt) promptText.SetText(prompt);
  if (hasValue) valueEdit.SetText(initialValue);
  if (hasCaption) SetWindowTextW(Hwnd(), caption.c_str());
  valueEdit.Focus();
  return true;
}

void CtDlgRename::OnOK() {
  value = valueEdit.Text();
  EndDialog(IDOK);
}

INT_PTR CtDlgRename::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const INT_PTR result = ui::Dialog::DialogProc(msg, wParam, lParam);
  if (msg == WM_SHOWWINDOW && wParam) valueEdit.Focus();
  return result;
}

// Tools, Last Job Number: the text is written exactly as typed, unchecked
// and untrimmed; readers of the key as a number take its leading digits.
void CMainFrame::OnToolsLastJobNumber() {
  const std::wstring ini = GetSettingsFilePath();
  CtDlgRename dialog;
  dialog.prompt = L"Last Job Number:";
  dialog.hasPrompt = true;
  dialog.caption = L"Last Job Number";
  dialog.hasCaption = true;
  dialog.initialValue = GetIniString(kSectionGeneral, kKeyLastJobNumber, ini);
  dialog.hasValue = true;
  dialog.SetHelpId(ID_TOOLS_LAST_JOB_NUMBER);
  if (dialog.DoModal(Hwnd()) == IDOK) SetIniString(kSectionGeneral, kKeyLastJobNumber, ini, dialog.GetValue());
}
