// The controller's one view: the list of the jobs in the spool folder, one
// row per control file, and the commands that act on the selected jobs.
//
// The rows exist only in the list control: every rebuild empties it and
// reads the control files again (RefreshJobList: on F5, on the main frame's
// automatic refresh, and once when the view is first sized). A column click
// sorts by job number, largest first and smallest first in turn. Reprint
// copies a job to a new number and hands the copy to the engine library;
// delete removes a job's files. The file operations need no window and are
// static so that tests reach them directly.
#pragma once

#include <windows.h>
#include <array>
#include <string>

#include "ui/Controls.h"
#include "ui/FormView.h"

// The job-number order of a column click: with ascending false the larger
// number comes first, with ascending true the smaller; equal numbers are
// equal. A three-way comparison of two rows' item data for LVM_SORTITEMS.
int CALLBACK CompareJobNumbers(LPARAM a, LPARAM b, LPARAM ascending);

// Direction of the next column click; false (largest first) at start-up,
// shared by every sort and never reset by a rebuild.
extern bool g_sortAscending;

class CSpoolFrm final : public ui::FormView {
 public:
  static constexpr int kColumnCount = 9;

  CSpoolFrm();
  ~CSpoolFrm() override;

  static std::wstring GetSpoolFolder();  // install folder + "spool\"
  static std::wstring GetIniFile();      // install folder + "Dorvane.ini"

  // Rebuilds every row from the control files of the spool folder.
  void RefreshJobList();
  // Adds the row of one control file (its full path).
  void AddJobToList(const std::wstring& path);

  int JobCount() const { return jobList.ItemCount(); }
  const ui::ListView& JobList() const { return jobList; }

  // Widths of the nine columns for a view cx pixels wide; none is negative.
  static std::array<int, kColumnCount> ColumnWidths(int cx);

  // The row that View Job Information and Preview act on: the one selected
  // row, -1 unless exactly one row is selected.
  int SingleSelectedRow() const;

  // Job commands.
  void OnReprintJobs();
  void ReprintJob(int oldNumber);
  // Copies the job's Org, Dvm (when it has one) and Ctl files to a number
  // that no other job uses yet, from LastJobNumber + 1 on, and writes that
  // number to LastJobNumber before copying. Failed copies are logged as
  // event 2 with their mask and do not stop the others. Returns the new
  // number, or 0 (nothing copied, LastJobNumber unchanged, event 2 with mask
  // 7) when no free number was found within the bound.
  static int CopyJobToNewNumber(int oldNumber);
  // True when the job's Dvm file exists and is not a folder.
  static bool IsEmfJob(int number);
  void OnDeleteJobs();
  // Show the job of the first selected row in list order (the only one,
  // when the command is enabled): its control file (View Job Information) or
  // its spool data (Preview), modally.
  void OnViewJobInformation();
  void OnPreviewJob();
  // Deletes the Org, Dvm and Ctl files of a row's number text; failures are
  // logged as event 1 with their mask.
  static void DeleteJobFiles(const std::wstring& numberText);

  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnUpdate(ui::CmdUI& cmd) override;

 protected:
  bool OnInitDialog() override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnNotify(NMHDR& hdr, LRESULT& result) override;
  INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnColumnClick();
  void OnContextMenu(POINT screen);
  void SetColumnWidths(int cx);

  ui::ListView jobList;
  ui::ListBox dirList;
  int firstSize = 1;
  std::wstring spoolFolder;
};
