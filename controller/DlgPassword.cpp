// The entrance-password dialog and the main frame's Password command; see
// DlgPassword.h and EntranceCheck.h.
#include "controller/DlgPassword.h"

#include "controller/EntranceCheck.h"
#include "controller/MainFrame.h"
#include "controller/resource.h"
#include "ui/CommonDialogs.h"

namespace {

constexpr wchar_t kChangeCaption[] = L"Password change";

}  // namespace

PasswordChangeVerdict CheckPasswordChange(const std::wstring& storedPassword, const PasswordChangeForm& form) {
  if (form.existing != storedPassword) return PasswordChangeVerdict::WrongExisting;
  if (form.newPassword != form.verify) return PasswordChangeVerdict::VerifyDiffers;
  if (form.newPassword.size() > kMaxEntrancePasswordLength) return PasswordChangeVerdict::NotStorable;
  for (wchar_t ch : form.newPassword)
    if (ch > 0xFF) return PasswordChangeVerdict::NotStorable;
  return PasswordChangeVerdict::Accepted;
}

CDlgPassword::CDlgPassword() : ui::Dialog(IDD_PASSWORD) { SetHelpId(ID_TOOLS_PASSWORD); }

bool CDlgPassword::OnInitDialog() {
  existingEdit.Attach(Hwnd(), IDC_PASSWORD_EXISTING);
  newEdit.Attach(Hwnd(), IDC_PASSWORD_NEW);
  verifyEdit.Attach(Hwnd(), IDC_PASSWORD_VERIFY);
  existingLabel.Attach(Hwnd(), IDC_PASSWORD_EXISTING_LABEL);
  newLabel.Attach(Hwnd(), IDC_PASSWORD_NEW_LABEL);
  verifyLabel.Attach(Hwnd(), IDC_PASSWORD_VERIFY_LABEL);
  newEdit.Show(changeMode);
  newLabel.Show(changeMode);
  verifyEdit.Show(changeMode);
  verifyLabel.Show(changeMode);
  existingEdit.Focus();
  return false;
}

void CDlgPassword::OnOK() {
  if (!changeMode) {
    // No message either way: a wrong password simply ends the dialog.
    resultPassword = existingEdit.Text();
    EndDialog(resultPassword == storedPassword ? IDOK : IDCANCEL);
    return;
  }
  PasswordChangeForm form;
  form.existing = existingEdit.Text();
  form.newPassword = newEdit.Text();
  form.verify = verifyEdit.Text();
  const wchar_t* message = nullptr;
  switch (CheckPasswordChange(storedPassword, form)) {
    case PasswordChangeVerdict::Accepted:
      resultPassword = form.newPassword;
      EndDialog(IDOK);
      return;
    case PasswordChangeVerdict::WrongExisting:
      message = L"The original password you typed is wrong, please try again.";
      break;
    case PasswordChangeVerdict::VerifyDiffers:
      message = L"There was an error in the verification of the new password, please try again.";
      break;
    case PasswordChangeVerdict::NotStorable:
      message = L"The new password may hold at most 682 characters, all of the Western (Latin-1) set, please try again.";
      break;
  }
  // The dialog stays open with the fields as typed.
  ui::ShowMessageBox(Hwnd(), message, kChangeCaption, MB_OK | MB_ICONEXCLAMATION);
}

// Tools, Password. When no password is set the existing field is left empty.
void CMainFrame::OnToolsPassword() {
  CDlgPassword dialog;
  dialog.storedPassword = ReadEntrancePassword();
  dialog.changeMode = true;
  if (dialog.DoModal(Hwnd()) == IDOK) WriteEntrancePassword(dialog.resultPassword);
}
