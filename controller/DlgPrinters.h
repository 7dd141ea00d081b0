// The printers whose jobs the system processes: every local printer with a
// check box that is on when the printer's print processor is "Dorvane".
// OK puts the newly checked printers on the print processor and hands the
// unchecked ones back to "WinPrint"; printers left as they were are not
// touched. The changes act on the spooler at once (the Options dialog's
// Cancel does not undo them); Cancel here changes nothing.
#pragma once

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Dialog.h"

// One local printer as the dialog shows it.
struct PrinterChoice {
  std::wstring name;
  std::wstring processor;  // its print processor when the dialog opened
  bool useDorvane = false;  // the check box
};

// The local printers with their print processors, checked where that is
// "Dorvane".
std::vector<PrinterChoice> ReadPrinterChoices();
// Sets the print processor of every printer whose check differs from what
// it had; the names of the printers the spooler refused (in list order).
std::vector<std::wstring> ApplyPrinterChoices(const std::vector<PrinterChoice>& choices);

class CDlgPrinters final : public ui::Dialog {
 public:
  CDlgPrinters();

  // The rows as shown now (tests read and set the check boxes through the
  // list itself).
  const ui::ListView& List() const { return list; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  ui::ListView list;
  std::vector<PrinterChoice> choices;
};
