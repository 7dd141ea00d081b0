// A small modal prompt for one line of text. The caller may replace its
// caption and prompt and give the field a first value (each with its flag)
// before showing it, and reads the typed text with GetValue after IDOK. Any
// text is accepted, the empty one too. The main frame's Last Job Number
// command shows and sets LastJobNumber through it.
#pragma once

#include <string>

#include "ui/Controls.h"
#include "ui/Dialog.h"

class CtDlgRename final : public ui::Dialog {
 public:
  CtDlgRename();
  CtDlgRename(const CtDlgRename&) = delete;
  CtDlgRename& operator=(const CtDlgRename&) = delete;

  std::wstring GetValue() const { return value; }

  std::wstring value;         // the edit's text when OK was pressed
  std::wstring prompt;        // for the prompt, when hasPrompt
  std::wstring initialValue;  // the edit's first text, when hasValue
  std::wstring caption;       // the dialog's caption, when hasCaption
  bool hasPrompt = false;
  bool hasValue = false;
  bool hasCaption = false;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  ui::Button okButton;
  ui::Button cancelButton;
  ui::Static promptText;
  ui::Edit valueEdit;
};
