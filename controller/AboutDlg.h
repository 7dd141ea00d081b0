// The About box: the program's picture, its version line and a legal notice.
// The picture is drawn on the dialog's face colour, like a toolbar's images.
#pragma once

#include "common/Handles.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

class CAboutDlg final : public ui::Dialog {
 public:
  CAboutDlg();

  // The notice shown in the box: three paragraphs that the box wraps.
  static std::wstring LegalNotice();

 protected:
  bool OnInitDialog() override;

 private:
  ui::Static picture;
  dv::GdiObject pictureBitmap;  // the picture's colours mapped; the static only shows it
  ui::Static versionLine;
  ui::Static legalNotice;
};
