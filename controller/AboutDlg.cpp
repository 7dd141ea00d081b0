// The About box; see AboutDlg.h.
#include "controller/AboutDlg.h"

#include "common/PlatformHelpers.h"
#include "common/StringUtil.h"
#include "controller/resource.h"
#include "ui/ToolBar.h"

CAboutDlg::CAboutDlg() : ui::Dialog(IDD_ABOUTBOX) {}

std::wstring CAboutDlg::LegalNotice() {
  // One paragraph per thought, wrapped by the static control: hard line
  // breaks inside a sentence leave single words on lines of their own.
  return L"Dorvane print-job post-processing for Windows print servers.\n"
         L"Copyright (C) KVD. All rights reserved.\n"
         L"This program is protected by copyright law and international treaties. Unauthorised reproduction or "
         L"distribution of this program, or any portion of it, may result in civil and criminal penalties and will "
         L"be prosecuted to the maximum extent possible under the law.";
}

bool CAboutDlg::OnInitDialog() {
  picture.Attach(Hwnd(), IDC_ABOUT_PICTURE);
  // The template's copy keeps the bitmap's classic grey, a box on any other
  // face colour: the picture is shown again with its colours mapped, and the
  // template's copy, which the static hands back, is deleted.
  pictureBitmap.reset(ui::LoadButtonBitmap(GetModuleHandleW(nullptr), IDB_ABOUT));
  if (pictureBitmap) {
    if (HBITMAP old = picture.SetBitmap(static_cast<HBITMAP>(pictureBitmap.get()))) DeleteObject(old);
  }
  versionLine.Attach(Hwnd(), IDC_ABOUT_VERSION);
  legalNotice.Attach(Hwnd(), IDC_ABOUT_NOTICE);
  legalNotice.SetText(LegalNotice());
  versionLine.SetText(dv::Format(L"%ls %ls", L"Version:", GetProductVersion().c_str()));
  SetWindowTextW(Hwnd(), L"About Dorvane");
  return true;
}
