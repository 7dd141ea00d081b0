// The About box; see AboutDlg.h.
#include "controller/AboutDlg.h"

#include "common/PlatformHelpers.h"
#include "common/StringUtil.h"
#include "controller/resource.h"

CAboutDlg::CAboutDlg() : ui::Dialog(IDD_ABOUTBOX) {}

std::wstring CAboutDlg::LegalNotice() {
  return L"Dorvane print-job post-processing for Windows print servers.\n"
         L"Copyright (C) KVD. All rights reserved.\n"
         L"This program is protected by copyright law and international treaties.\n"
         L"Unauthorised reproduction or distribution of this program, or any\n"
         L"portion of it, may result in civil and criminal penalties and will be\n"
         L"prosecuted to the maximum extent possible under the law.";
}

bool CAboutDlg::OnInitDialog() {
  picture.Attach(Hwnd(), IDC_ABOUT_PICTURE);
  versionLine.Attach(Hwnd(), IDC_ABOUT_VERSION);
  legalNotice.Attach(Hwnd(), IDC_ABOUT_NOTICE);
  legalNotice.SetText(LegalNotice());
  versionLine.SetText(dv::Format(L"%ls %ls", L"Version:", GetProductVersion().c_str()));
  SetWindowTextW(Hwnd(), L"About Dorvane");
  return true;
}
