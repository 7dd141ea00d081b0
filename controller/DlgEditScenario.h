// CDlgEditScenario: the modal editor of one scenario file (*.scn), with a
// Portrait and a Landscape page (CdPropScenario) on a tab control.
//
// The whole file is read when the dialog opens and every key of "General"
// plus the pages' driver configurations are written on OK; Cancel writes
// nothing. A file that does not exist shows as an empty scenario and is
// created by OK. Write failures (read-only file, missing folder) are not
// reported: the dialog closes as usual.
#pragma once

#include <string>

#include "controller/DlgPropScenario.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

class CDlgEditScenario final : public ui::Dialog {
 public:
  CDlgEditScenario();
  CDlgEditScenario(const CDlgEditScenario&) = delete;
  CDlgEditScenario& operator=(const CDlgEditScenario&) = delete;

  // The scenario file, set before the dialog runs (may be relative or
  // empty: the private-profile functions then decide where it is).
  void SetFileName(const std::wstring& path) { fileName = path; }
  const std::wstring& FileName() const { return fileName; }

  void LoadScenario();
  void SaveScenario();
  void ShowSelectedPage();

  CdPropScenario& Page(int tab) { return tab == 0 ? portrait : landscape; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnNotify(NMHDR& hdr, LRESULT& result) override;

 private:
  void DoDataExchange();
  void LoadPage(CdPropScenario& page, const std::wstring& prefix);
  void SavePage(CdPropScenario& page, const std::wstring& prefix);

  CdPropScenario portrait;
  CdPropScenario landscape;
  ui::Tab tab;    // 1006
  ui::Button ok;  // 1
  std::wstring fileName;
};
