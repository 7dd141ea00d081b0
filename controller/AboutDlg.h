// The About box: the program's picture, its version line and a legal notice.
#pragma once

#include "ui/Controls.h"
#include "ui/Dialog.h"

class CAboutDlg final : public ui::Dialog {
 public:
  CAboutDlg();

  // The notice shown in the box, six lines.
  static std::wstring LegalNotice();

 protected:
  bool OnInitDialog() override;

 private:
  ui::Static picture;
  ui::Static versionLine;
  ui::Static legalNotice;
};
