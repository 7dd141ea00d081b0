// The job information dialog; see DlgViewJobInformation.h.
#include "controller/DlgViewJobInformation.h"

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "controller/resource.h"
#include "ui/App.h"

JobInformation ReadJobInformation(const std::wstring& spoolFolder, const std::wstring& numberText) {
  const std::wstring ctl = dv::Format(L"%ls%ls.%ls", spoolFolder.c_str(), numberText.c_str(), L"Ctl");
  auto general = [&ctl](const wchar_t* key) { return GetIniString(L"General", key, ctl, L""); };
  JobInformation info;
  info.document = general(L"Document");
  info.fileNumber = numberText;
  info.dateSpooled = general(L"DateSpooled");
  info.timeSpooled = general(L"TimeSpooled");
  info.totalPages = general(L"TotalPages");
  info.userName = general(L"UserName");
  info.sourcePrinter = general(L"SourcePrinterName");
  info.printerName = general(L"PrinterName");
  info.scenarioFile = general(L"ScenarioFile");
  // The pages are numbered without gaps: the first page without a value ends
  // the list, whatever later keys hold.
  for (int n = 1;; ++n) {
    const std::wstring value = GetIniString(L"PageTemplates", dv::Format(L"%d", n), ctl, L"");
    if (value.empty()) break;
    info.templates += dv::Format(L"Page %d: %ls\r\n", n, value.c_str());
  }
  return info;
}

CDlgViewJobInformation::CDlgViewJobInformation() : ui::Dialog(IDD_VIEW_JOB_INFORMATION) {
  SetHelpId(ID_FILE_VIEW_JOB_INFORMATION);
}

CDlgViewJobInformation::~CDlgViewJobInformation() { Destroy(); }

void CDlgViewJobInformation::DoDataExchange() {
  jobName.Attach(Hwnd(), IDC_INFO_JOB_NAME);
  fileNumber.Attach(Hwnd(), IDC_INFO_FILE_NUMBER);
  dateSpooled.Attach(Hwnd(), IDC_INFO_DATE_SPOOLED);
  timeSpooled.Attach(Hwnd(), IDC_INFO_TIME_SPOOLED);
  totalPages.Attach(Hwnd(), IDC_INFO_TOTAL_PAGES);
  userName.Attach(Hwnd(), IDC_INFO_USER_NAME);
  sourcePrinter.Attach(Hwnd(), IDC_INFO_SOURCE_PRINTER);
  destinationPrinter.Attach(Hwnd(), IDC_INFO_DEST_PRINTER);
  scenarioUsed.Attach(Hwnd(), IDC_INFO_SCENARIO);
  pageTemplates.Attach(Hwnd(), IDC_INFO_TEMPLATES);
}

bool CDlgViewJobInformation::OnInitDialog() {
  DoDataExchange();
  const JobInformation info = ReadJobInformation(spoolFolder, jobNumberText);
  jobName.SetText(info.document);
  fileNumber.SetText(info.fileNumber);
  dateSpooled.SetText(info.dateSpooled);
  timeSpooled.SetText(info.timeSpooled);
  totalPages.SetText(info.totalPages);
  userName.SetText(info.userName);
  sourcePrinter.SetText(info.sourcePrinter);
  destinationPrinter.SetText(info.printerName);
  scenarioUsed.SetText(info.scenarioFile);
  pageTemplates.SetText(info.templates);
  // The job name has the focus with its text selected, as the dialog would
  // give it, but with the caret at its start (the selection is made from the
  // end back to the start): a name longer than its field shows how it
  // begins, not how it ends.
  SetFocus(jobName.Hwnd());
  SendMessageW(jobName.Hwnd(), EM_SETSEL, static_cast<WPARAM>(info.document.size()), 0);
  return false;
}

bool CDlgViewJobInformation::OnCommand(UINT id, UINT code, HWND) {
  if (id != IDHELP || code != BN_CLICKED) return false;
  if (ui::App::Current()) ui::App::Current()->ShowHelp(Hwnd(), L"jobinfo.htm");
  return true;
}
