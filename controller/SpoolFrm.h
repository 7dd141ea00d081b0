// The controller's one view: the list of the jobs in the spool folder, one
// row per control file, and the commands that act on the selected jobs.
//
// The view keeps, beside each row, what the row was made from: the control
// file's name, its size and times as the folder listing gave them, and the
// texts of its cells. A refresh (F5 and the main frame's automatic refresh)
// lists the folder, reads only the control files that are new or changed
// (or were written within seconds of their last read, when the listing's
// size and times cannot tell a rewrite at the same length), removes the
// rows whose files are gone and leaves every other row, with its
// selection, as it is: the rows, their order and their texts are those a
// rebuild from nothing would show, at the cost of a folder listing. The
// automatic refresh for a new job can do without the listing: the folder's
// change reports since the last refresh name the files to read again, and
// are used only when they include the new job's control file. The rows
// are in the text order of their numbers; a column click sorts them by job
// number, largest first and smallest first in turn, until the next refresh.
// Reprint copies a job to a new number and hands the copy to the engine
// library; delete removes a job's files and rows. The file operations need
// no window and are static so that tests reach them directly.
#pragma once

#include <windows.h>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "controller/ProfileFile.h"
#include "controller/SpoolWatch.h"
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

  // Brings the rows up to date with the control files of the spool folder:
  // rows of new files are added, rows of changed files read again, rows of
  // vanished files removed; the rows return to number-text order.
  void RefreshJobList();
  // Tells the next refresh that it is made for a new job of this number,
  // whose control file has most likely just been written. That refresh may
  // then take the changes of the folder from its change notifications
  // rather than list it, provided the new job's control file is among them;
  // any other refresh lists the folder.
  void ExpectNewJob(int number) { expectedJob = number; }
  // How many refreshes listed the folder, and how many took its change
  // notifications instead.
  unsigned FolderListings() const { return folderListings; }
  unsigned WatchedRefreshes() const { return watchedRefreshes; }
  // How many control files the list has read, rebuilds and refreshes alike.
  unsigned RowReads() const { return rowReads; }
  // Forgets every row and reads every control file again: the list as it is
  // first built.
  void RebuildJobList();

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
  // Deletes the Org, Dvm and Ctl files of a row's number text from the spool
  // folder; failures are logged as event 1 with their mask. With
  // devmodeFiles (ListDevmodeFiles), a Dvm file not in it is taken as absent.
  static void DeleteJobFiles(const std::wstring& numberText, const std::wstring& folder = GetSpoolFolder(),
                             const std::unordered_set<std::wstring>* devmodeFiles = nullptr);
  // The names of the folder's Dvm files, in upper case.
  static std::unordered_set<std::wstring> ListDevmodeFiles(const std::wstring& folder);

  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnUpdate(ui::CmdUI& cmd) override;

 protected:
  bool OnInitDialog() override;
  void OnSize(UINT type, int cx, int cy) override;
  bool OnNotify(NMHDR& hdr, LRESULT& result) override;
  INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  struct JobRow;  // one control file as its row shows it
  // The rows' new order: for each new position, the row's present index.
  using RowOrder = std::vector<size_t>;

  void OnColumnClick();
  void OnContextMenu(POINT screen);
  void SetColumnWidths(int cx);

  // Names the folder's change reports gave, each mapped to whether the
  // file was left in the folder.
  using Reports = std::unordered_map<std::wstring, bool>;

  // The two ways a refresh learns what changed. Both leave every row that
  // is still there marked with the present listing number, and give the
  // rows of new files and the count of rows read again. The reports that
  // TakeReportedChanges gathered before it gave up are handed to the
  // listing, which reads those files again too.
  void ListFolder(Reports& reported, std::vector<std::unique_ptr<JobRow>>& added, size_t& changed);
  bool TakeReportedChanges(int newJob, Reports& reported, std::vector<std::unique_ptr<JobRow>>& added,
                           size_t& changed);
  std::unique_ptr<JobRow> NewRow(const WIN32_FIND_DATAW& listed);
  // Reads the row's control file and takes the listing's word on it; true
  // when a cell's text changed.
  bool ReadRow(JobRow& row, const WIN32_FIND_DATAW& listed);
  void ShowTexts(int index, const JobRow& row, bool newRow) const;
  // False when the control refused a row (it is left out).
  bool InsertRows(std::vector<std::unique_ptr<JobRow>> added);
  void RemoveRows(const std::vector<bool>& remove);
  void Reorder(RowOrder order);
  void ReturnToTextOrder();

  ui::ListView jobList;
  int firstSize = 1;
  std::wstring spoolFolder;
  // The rows in the list's order, and the same rows by control file name.
  std::vector<std::unique_ptr<JobRow>> rows;
  std::unordered_map<std::wstring_view, JobRow*> rowsByFile;  // keys: the rows' own names
  // The rows in the order the last folder listing gave their files, and
  // that listing's number; emptied whenever rows go outside a refresh.
  std::vector<JobRow*> listingOrder;
  unsigned listing = 0;
  // False after a column click: the next refresh restores the text order.
  bool textOrder = true;
  // Set again before every listing, so that it reports every change made
  // after the listing began; the old one is replaced only after the new one
  // watches. listNext: the next refresh must list (a row was refused).
  std::unique_ptr<SpoolWatch> watch;
  bool listNext = false;
  // Kept from one control file's read to the next, so that reading the
  // files of a large spool folder allocates nothing per file but the rows.
  CProfileFile reader;
  std::wstring readPath, cellBuffer, numberBuffer;
  int expectedJob = 0;
  unsigned folderListings = 0, watchedRefreshes = 0, rowReads = 0;
};
