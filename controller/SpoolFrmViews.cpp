// The spool list's two read-only job commands: the job information dialog
// and the job preview, both for the one selected row. (The selection mark
// can rest on a row that a Ctrl+click has just deselected: the dialogs would
// then show a job that is not selected.)
#include "controller/DlgPreviewJob.h"
#include "controller/DlgViewJobInformation.h"
#include "controller/SpoolFrm.h"

void CSpoolFrm::OnViewJobInformation() {
  const int row = jobList.NextSelected(-1);
  if (row < 0) return;
  CDlgViewJobInformation dialog;
  dialog.jobNumberText = jobList.ItemText(row, 0);
  dialog.spoolFolder = GetSpoolFolder();
  dialog.DoModal();
}

void CSpoolFrm::OnPreviewJob() {
  const int row = jobList.NextSelected(-1);
  if (row < 0) return;
  CDlgPreviewJob dialog;
  dialog.path = GetSpoolFolder() + jobList.ItemText(row, 0) + L".org";
  dialog.DoModal();
}
