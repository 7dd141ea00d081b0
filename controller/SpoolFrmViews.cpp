// The spool list's two read-only job commands: the job information dialog
// and the job preview, both for the row that holds the selection mark.
#include "controller/DlgPreviewJob.h"
#include "controller/DlgViewJobInformation.h"
#include "controller/SpoolFrm.h"

void CSpoolFrm::OnViewJobInformation() {
  const int row = jobList.SelectionMark();
  if (row < 0) return;
  CDlgViewJobInformation dialog;
  dialog.jobNumberText = jobList.ItemText(row, 0);
  dialog.spoolFolder = GetSpoolFolder();
  dialog.DoModal();
}

void CSpoolFrm::OnPreviewJob() {
  const int row = jobList.SelectionMark();
  if (row < 0) return;
  CDlgPreviewJob dialog;
  dialog.path = GetSpoolFolder() + jobList.ItemText(row, 0) + L".org";
  dialog.DoModal();
}
