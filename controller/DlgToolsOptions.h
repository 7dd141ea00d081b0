// The Options dialog: what the print processor does with a job it cannot
// process, the job submitter, the Gatepost hand-off, cluster printer naming,
// installing or removing the print processor, and (Select Printers...) the
// printers that hand their jobs to it.
//
// Everything shown is read from Dorvane.ini when the dialog opens and written
// back, every key every time, on OK; Cancel writes nothing. The print
// processor buttons act on the spooler at once and Cancel does not undo them.
// The settings go in and out through ToolsOptions, so a test checks the
// file's side without a window.
#pragma once

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Dialog.h"

// The settings the dialog edits, as they are in the file.
struct ToolsOptions {
  int processErrorsAction = 0;
  int processRawJob = 0;
  bool useDvSubmit = false;
  bool sendToGatepost = false;
  std::wstring defaultClusterGroup;   // "" = not on a cluster
  std::wstring gatepostForcePrinter;  // "" = no dummy printer
  std::vector<std::wstring> clusterLines;  // the lines of [ClusterGroup]
};

// Reads the settings from the file. clusterComplete is false when the
// [ClusterGroup] section was too large to be read whole (the lines then hold
// what was read).
ToolsOptions ReadToolsOptions(const std::wstring& file, bool& clusterComplete);
// Writes every key of [General] the dialog owns, in a fixed order, and
// replaces [ClusterGroup] with the lines. Empty lines are left out (they
// would end the section's text early and lose the lines after them); other
// lines are written as given. Write failures are not reported.
void WriteToolsOptions(const std::wstring& file, const ToolsOptions& options);

// The radio button that shows a (ProcessErrorsAction, ProcessRawJob) pair,
// and the pair a checked radio button stands for.
int RadioForActions(int processErrorsAction, int processRawJob);
void ActionsForRadio(int radioId, int& processErrorsAction, int& processRawJob);

// The edit's text from section lines (CR LF between them) and back.
std::wstring JoinClusterLines(const std::vector<std::wstring>& lines);
std::vector<std::wstring> SplitClusterText(const std::wstring& text);

class CDlgToolsOptions final : public ui::Dialog {
 public:
  // The owner is given to DoModal (the main frame passes none).
  CDlgToolsOptions();
  CDlgToolsOptions(const CDlgToolsOptions&) = delete;
  CDlgToolsOptions& operator=(const CDlgToolsOptions&) = delete;

  int ProcessErrorsAction() const { return processErrorsAction; }
  int ProcessRawJob() const { return processRawJob; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void DoDataExchange();
  void UpdateControls();
  void UpdatePrintProcessorStatus();
  void OnInstallPrintProcessor();
  void OnRemovePrintProcessor();
  void OnSelectPrinters();
  ToolsOptions Collect();

  int processErrorsAction = 0;
  int processRawJob = 0;

  ui::Button printUnprocessed;  // 1074
  ui::Button ignoreJob;         // 1075
  ui::Button askUser;           // 1076
  ui::Button processAsPcl;      // 1080
  ui::Button useDvSubmit;       // 1027
  ui::Button sendToGatepost;    // 1026
  ui::Button useForcePrinter;   // 1028
  ui::Edit forcePrinter;        // 1029
  ui::Static processorStatus;   // 1077
  ui::Button removeProcessor;   // 1078
  ui::Button installProcessor;  // 1079
  ui::Button selectPrinters;    // 1081
  ui::Button onCluster;         // 1021
  ui::Static clusterGroupLabel; // 1022
  ui::Edit clusterGroup;        // 1023
  ui::Static assignmentLabel;   // 1024
  ui::Edit assignments;         // 1025
};
