// The printers on the system's print processor; see DlgPrinters.h.
#include "controller/DlgPrinters.h"

#include <commctrl.h>

#include "common/StringUtil.h"
#include "controller/PrintProcessor.h"
#include "controller/resource.h"
#include "ui/CommonDialogs.h"

std::vector<PrinterChoice> ReadPrinterChoices() {
  std::vector<PrinterChoice> choices;
  for (const std::wstring& name : GetLocalPrinterNames()) {
    PrinterChoice c;
    c.name = name;
    c.processor = GetPrinterPrintProcessor(name);
    c.useDorvane = c.processor == kPrintProcessorName;
    choices.push_back(std::move(c));
  }
  return choices;
}

std::vector<std::wstring> ApplyPrinterChoices(const std::vector<PrinterChoice>& choices) {
  std::vector<std::wstring> refused;
  for (const PrinterChoice& c : choices) {
    if (c.useDorvane == (c.processor == kPrintProcessorName)) continue;
    if (!SetPrinterPrintProcessor(c.name, c.useDorvane ? kPrintProcessorName : kStandardPrintProcessor))
      refused.push_back(c.name);
  }
  return refused;
}

// Opened from the Options dialog and told of on its page of the help file.
CDlgPrinters::CDlgPrinters() : ui::Dialog(IDD_PRINTERS) { SetHelpId(ID_TOOLS_OPTIONS); }

bool CDlgPrinters::OnInitDialog() {
  list.Attach(Hwnd(), IDC_PRINTERS_LIST);
  list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client = {};
  GetClientRect(list.Hwnd(), &client);
  const int processorWidth = 120;
  list.InsertColumn(0, L"Printer", LVCFMT_LEFT, client.right - processorWidth - GetSystemMetrics(SM_CXVSCROLL));
  list.InsertColumn(1, L"Print processor", LVCFMT_LEFT, processorWidth);
  choices = ReadPrinterChoices();
  for (size_t i = 0; i < choices.size(); ++i) {
    const int row = list.InsertItem(static_cast<int>(i), choices[i].name, static_cast<LPARAM>(i));
    list.SetItemText(row, 1, choices[i].processor);
    list.SetChecked(row, choices[i].useDorvane);
  }
  return true;
}

void CDlgPrinters::OnOK() {
  for (int row = 0; row < list.ItemCount(); ++row) {
    const size_t index = static_cast<size_t>(list.ItemData(row));
    if (index < choices.size()) choices[index].useDorvane = list.IsChecked(row);
  }
  const std::vector<std::wstring> refused = ApplyPrinterChoices(choices);
  if (!refused.empty()) {
    std::wstring names;
    for (const std::wstring& name : refused) names += L"\n" + name;
    ui::AppMessageBox(dv::Format(L"The print processor of these printers could not be changed:%ls\n\n"
                                 L"Changing it needs the right to manage the printer.",
                                 names.c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
  }
  EndDialog(IDOK);
}
