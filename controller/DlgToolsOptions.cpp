// The Options dialog; see DlgToolsOptions.h.
#include "controller/DlgToolsOptions.h"

#include "common/InstallFolder.h"
#include "common/SettingsFile.h"
#include "common/StringUtil.h"
#include "controller/DlgPrinters.h"
#include "controller/PrintProcessor.h"
#include "controller/resource.h"
#include "ui/CommonDialogs.h"

namespace {

// The section is read with a buffer of this size first; the reader grows it
// until the section fits, so OK never writes back a cut section.
constexpr unsigned kClusterSectionChars = 32767;

constexpr wchar_t kTooManyPrinters[] =
    L"There are too many printers in the section of the cluster file setup file, some of the printers may not be "
    L"read";

}  // namespace

ToolsOptions ReadToolsOptions(const std::wstring& file, bool& clusterComplete) {
  ToolsOptions o;
  o.processErrorsAction = GetIniInt(kSectionGeneral, kKeyProcessErrorsAction, file, kDefaultProcessErrorsAction);
  o.processRawJob = GetIniInt(kSectionGeneral, kKeyProcessRawJob, file, kDefaultProcessRawJob);
  o.defaultClusterGroup = GetIniString(kSectionGeneral, kKeyDefaultClusterGroup, file);
  // The box shows what the reader acts on: the engine takes any value above
  // 0 as on, the print processor any non-zero value.
  o.sendToGatepost = GetIniInt(kSectionGeneral, kKeySendToGatepost, file, 0) > 0;
  o.useDvSubmit = GetIniInt(kSectionGeneral, kKeyUseDvSubmit, file, kDefaultUseDvSubmit) != 0;
  o.gatepostForcePrinter = GetIniString(kSectionGeneral, kKeyGatepostForcePrinter, file);
  clusterComplete = ReadSectionLines(kSectionClusterGroup, file, kClusterSectionChars, o.clusterLines);
  return o;
}

void WriteToolsOptions(const std::wstring& file, const ToolsOptions& o) {
  SetIniInt(kSectionGeneral, kKeyProcessErrorsAction, file, o.processErrorsAction);
  SetIniInt(kSectionGeneral, kKeyProcessRawJob, file, o.processRawJob);
  SetIniString(kSectionGeneral, kKeyDefaultClusterGroup, file, o.defaultClusterGroup);
  SetIniString(kSectionGeneral, kKeySendToGatepost, file, o.sendToGatepost ? L"1" : L"0");
  SetIniString(kSectionGeneral, kKeyGatepostForcePrinter, file, o.gatepostForcePrinter);
  SetIniString(kSectionGeneral, kKeyUseDvSubmit, file, o.useDvSubmit ? L"1" : L"0");
  // The section's text is NUL-separated lines ending in two NULs: an empty
  // line would end it early, so empty lines are left out.
  std::wstring section;
  for (const auto& line : o.clusterLines) {
    if (line.empty()) continue;
    section += line;
    section += L'\0';
  }
  section += L'\0';
  WritePrivateProfileSectionW(kSectionClusterGroup, section.c_str(), file.c_str());
}

int RadioForActions(int processErrorsAction, int processRawJob) {
  if (processErrorsAction == 1) return IDC_OPT_IGNORE_JOB;
  if (processErrorsAction == 2) return IDC_OPT_ASK_USER;
  if (processRawJob == 1) return IDC_OPT_PROCESS_AS_PCL;
  return IDC_OPT_PRINT_UNPROCESSED;
}

void ActionsForRadio(int radioId, int& processErrorsAction, int& processRawJob) {
  processErrorsAction = 0;
  processRawJob = 0;
  if (radioId == IDC_OPT_IGNORE_JOB)
    processErrorsAction = 1;
  else if (radioId == IDC_OPT_ASK_USER)
    processErrorsAction = 2;
  else if (radioId == IDC_OPT_PROCESS_AS_PCL)
    processRawJob = 1;
}

std::wstring JoinClusterLines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += L"\r\n";
    text += lines[i];
  }
  return text;
}

std::vector<std::wstring> SplitClusterText(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

CDlgToolsOptions::CDlgToolsOptions() : ui::Dialog(IDD_TOOLS_OPTIONS) { SetHelpId(ID_TOOLS_OPTIONS); }

void CDlgToolsOptions::DoDataExchange() {
  const HWND d = Hwnd();
  onCluster.Attach(d, IDC_OPT_ON_CLUSTER);
  clusterGroupLabel.Attach(d, IDC_OPT_CLUSTER_GROUP_LABEL);
  clusterGroup.Attach(d, IDC_OPT_CLUSTER_GROUP);
  assignmentLabel.Attach(d, IDC_OPT_ASSIGNMENT_LABEL);
  assignments.Attach(d, IDC_OPT_ASSIGNMENTS);
  sendToGatepost.Attach(d, IDC_OPT_SEND_TO_GATEPOST);
  useDvSubmit.Attach(d, IDC_OPT_USE_DVSUBMIT);
  useForcePrinter.Attach(d, IDC_OPT_USE_FORCE_PRINTER);
  forcePrinter.Attach(d, IDC_OPT_FORCE_PRINTER);
  printUnprocessed.Attach(d, IDC_OPT_PRINT_UNPROCESSED);
  ignoreJob.Attach(d, IDC_OPT_IGNORE_JOB);
  askUser.Attach(d, IDC_OPT_ASK_USER);
  processorStatus.Attach(d, IDC_OPT_PROCESSOR_STATUS);
  removeProcessor.Attach(d, IDC_OPT_REMOVE_PROCESSOR);
  installProcessor.Attach(d, IDC_OPT_INSTALL_PROCESSOR);
  selectPrinters.Attach(d, IDC_OPT_PRINTERS);
  processAsPcl.Attach(d, IDC_OPT_PROCESS_AS_PCL);
}

bool CDlgToolsOptions::OnInitDialog() {
  DoDataExchange();
  bool clusterComplete = true;
  const ToolsOptions o = ReadToolsOptions(GetSettingsFilePath(), clusterComplete);
  processErrorsAction = o.processErrorsAction;
  processRawJob = o.processRawJob;

  const int radio = RadioForActions(processErrorsAction, processRawJob);
  printUnprocessed.SetCheck(radio == IDC_OPT_PRINT_UNPROCESSED);
  ignoreJob.SetCheck(radio == IDC_OPT_IGNORE_JOB);
  askUser.SetCheck(radio == IDC_OPT_ASK_USER);
  processAsPcl.SetCheck(radio == IDC_OPT_PROCESS_AS_PCL);

  UpdatePrintProcessorStatus();

  clusterGroup.SetText(o.defaultClusterGroup);
  onCluster.SetCheck(!o.defaultClusterGroup.empty());
  sendToGatepost.SetCheck(o.sendToGatepost);
  useDvSubmit.SetCheck(o.useDvSubmit);
  forcePrinter.SetText(o.gatepostForcePrinter);
  useForcePrinter.SetCheck(!o.gatepostForcePrinter.empty());

  // The dialog is not visible yet; the lines that were read are shown all
  // the same.
  if (!clusterComplete) ui::AppMessageBox(kTooManyPrinters, MB_OK | MB_ICONEXCLAMATION);
  // No limit of its own: a long section must come back whole on OK.
  assignments.SetLimitText(0);
  assignments.SetText(JoinClusterLines(o.clusterLines));

  UpdateControls();
  return true;
}

void CDlgToolsOptions::UpdateControls() {
  const bool cluster = onCluster.Checked();
  clusterGroupLabel.Enable(cluster);
  clusterGroup.Enable(cluster);
  assignmentLabel.Enable(cluster);
  assignments.Enable(cluster);
  const bool gatepost = sendToGatepost.Checked();
  useForcePrinter.Enable(gatepost);
  forcePrinter.Enable(gatepost && useForcePrinter.Checked());
}

void CDlgToolsOptions::UpdatePrintProcessorStatus() {
  const bool installed = IsPrintProcessorInstalled(kPrintProcessorName) != FALSE;
  installProcessor.Enable(!installed);
  removeProcessor.Enable(installed);
  // A printer can be put on the print processor only while it is there.
  selectPrinters.Enable(installed);
  processorStatus.SetText(
      dv::Format(L"Dorvane print processor is: %ls", installed ? L"installed" : L"not installed"));
}

void CDlgToolsOptions::OnInstallPrintProcessor() {
  const std::wstring text = InstallPrintProcessor() ? L"Dorvane Print Processor successfully installed."
                                                    : L"Dorvane Print Processor couldn't be installed.";
  UpdatePrintProcessorStatus();
  ui::AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CDlgToolsOptions::OnRemovePrintProcessor() {
  const std::wstring text =
      UninstallPrintProcessor(kPrintProcessorName)
          ? std::wstring(L"Dorvane Print Processor successfully uninstalled.")
          : dv::Format(L"%ls\n\n%ls\n%ls", L"Dorvane Print Processor couldn't be uninstalled.",
                       L"Try to restart the print spooler service, and try again.",
                       L"If it still unsuccessful, try to reboot your computer and then uninstall it again.");
  UpdatePrintProcessorStatus();
  ui::AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CDlgToolsOptions::OnSelectPrinters() {
  CDlgPrinters printers;
  printers.DoModal(Hwnd());
}

bool CDlgToolsOptions::OnCommand(UINT id, UINT code, HWND control) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_OPT_REMOVE_PROCESSOR:
      OnRemovePrintProcessor();
      return true;
    case IDC_OPT_INSTALL_PROCESSOR:
      OnInstallPrintProcessor();
      return true;
    case IDC_OPT_PRINTERS:
      OnSelectPrinters();
      return true;
    case IDC_OPT_ON_CLUSTER:
    case IDC_OPT_SEND_TO_GATEPOST:
    case IDC_OPT_USE_FORCE_PRINTER:
      UpdateControls();
      return true;
    default:
      return false;
  }
}

ToolsOptions CDlgToolsOptions::Collect() {
  ToolsOptions o;
  const int radio = ignoreJob.Checked()      ? IDC_OPT_IGNORE_JOB
                    : askUser.Checked()      ? IDC_OPT_ASK_USER
                    : processAsPcl.Checked() ? IDC_OPT_PROCESS_AS_PCL
                                             : IDC_OPT_PRINT_UNPROCESSED;
  ActionsForRadio(radio, processErrorsAction, processRawJob);
  o.processErrorsAction = processErrorsAction;
  o.processRawJob = processRawJob;
  o.defaultClusterGroup = onCluster.Checked() ? clusterGroup.Text() : std::wstring();
  o.sendToGatepost = sendToGatepost.Checked();
  // Kept whether or not the hand-off itself is on.
  o.gatepostForcePrinter = useForcePrinter.Checked() ? forcePrinter.Text() : std::wstring();
  o.useDvSubmit = useDvSubmit.Checked();
  o.clusterLines = SplitClusterText(assignments.Text());
  return o;
}

void CDlgToolsOptions::OnOK() {
  WriteToolsOptions(GetSettingsFilePath(), Collect());
  EndDialog(IDOK);
}
