// The entrance-password dialog in its two forms. In entry mode (start-up) it
// shows one field and ends with IDOK only when the typed text is the stored
// password; in change mode (Tools, Password) it asks for the existing
// password and the new one twice and ends with IDOK only when the change is
// acceptable, with resultPassword holding the new password. Both forms
// compare exactly (case-sensitive, whole text).
#pragma once

#include <string>

#include "ui/Controls.h"
#include "ui/Dialog.h"

// The texts of the change form.
struct PasswordChangeForm {
  std::wstring existing;
  std::wstring newPassword;
  std::wstring verify;
};

enum class PasswordChangeVerdict {
  Accepted,
  WrongExisting,   // the existing text is not the stored password
  VerifyDiffers,   // the new and verify texts differ
  NotStorable,     // the new password would not come back from storage
};

// The longest password whose stored text (three characters per password
// character) fits the registry copy's 4096-byte read with its terminator.
inline constexpr size_t kMaxEntrancePasswordLength = 682;

// Judges a change form against the stored password, in this order: the
// existing text, the verify text, then whether the new password survives
// storage (at most kMaxEntrancePasswordLength characters, none above 255:
// the stored text keeps only eight bits of each character, so such a
// password would lock everyone out from the next start on). An empty new
// password with an empty verify text is accepted: it removes the password.
PasswordChangeVerdict CheckPasswordChange(const std::wstring& storedPassword, const PasswordChangeForm& form);

class CDlgPassword final : public ui::Dialog {
 public:
  CDlgPassword();
  CDlgPassword(const CDlgPassword&) = delete;
  CDlgPassword& operator=(const CDlgPassword&) = delete;

  std::wstring storedPassword;  // plain text, set by the caller
  std::wstring resultPassword;  // entry mode: typed; change mode: the new one
  bool changeMode = false;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  ui::Edit existingEdit;
  ui::Edit newEdit;
  ui::Edit verifyEdit;
  ui::Static existingLabel;
  ui::Static newLabel;
  ui::Static verifyLabel;
};
