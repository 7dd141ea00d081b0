// The job information dialog: what one job's control file records (names,
// spool date and time, page count, printers, the scenario the engine chose
// and the page templates it laid on each page). It only reads: whatever is
// typed into its fields is dropped when it closes.
#pragma once

#include <string>

#include "ui/Controls.h"
#include "ui/Dialog.h"

// The fields of the dialog as read from a control file, exactly as the file
// holds them.
struct JobInformation {
  std::wstring document;
  std::wstring fileNumber;  // the caller's number text itself
  std::wstring dateSpooled;
  std::wstring timeSpooled;
  std::wstring totalPages;
  std::wstring userName;
  std::wstring sourcePrinter;
  std::wstring printerName;
  std::wstring scenarioFile;
  // "Page n: <value>\r\n" for PageTemplates keys 1, 2, ... up to the first
  // key without a value.
  std::wstring templates;
};

// Reads the control file "<spoolFolder><numberText>.Ctl". A missing file or
// key gives empty fields; nothing is reported.
JobInformation ReadJobInformation(const std::wstring& spoolFolder, const std::wstring& numberText);

class CDlgViewJobInformation final : public ui::Dialog {
 public:
  CDlgViewJobInformation();
  ~CDlgViewJobInformation() override;

  // Set by the caller before the dialog runs: the eight-digit number text of
  // the job and the spool folder with its trailing backslash.
  std::wstring jobNumberText;
  std::wstring spoolFolder;

 protected:
  bool OnInitDialog() override;
  // Help opens the help page of this dialog.
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void DoDataExchange();

  ui::Edit jobName;
  ui::Edit fileNumber;
  ui::Edit dateSpooled;
  ui::Edit timeSpooled;
  ui::Edit totalPages;
  ui::Edit userName;
  ui::Edit sourcePrinter;
  ui::Edit destinationPrinter;
  ui::Edit scenarioUsed;
  ui::Edit pageTemplates;
};
