// The spool list: rows kept up to date from the control files, columns,
// sorting, command enabling and the context menu. The job commands
// themselves are in SpoolFrmJobs.cpp.
//
// Each row is read once from its control file and then kept with what the
// folder listing said of the file (size, creation and last-write time); a
// refresh lists the folder and reads again only the files whose listing
// changed, or that were written so shortly before their last read that the
// listing cannot tell (the clock's coarse steps); the automatic refresh for
// a new job reads again only the control files that the folder's change
// reports name and those same recent ones, when it can be sure that the
// reports are complete (SpoolWatch), and lists the folder otherwise. The
// rows follow the list control's own text order (lstrcmpW of
// the number texts, as LVS_SORTASCENDING places them), but the view places
// them itself: the control's sorted insert walks its rows from the top, so a
// new job, whose number is the largest, would be compared with every row.
#include "controller/SpoolFrm.h"

#include <algorithm>
#include <climits>
#include <numeric>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "controller/ProfileFile.h"
#include "controller/resource.h"
#include "ui/App.h"
#include "ui/CmdUI.h"

bool g_sortAscending = false;

namespace {

struct Column {
  const wchar_t* header;
  const wchar_t* key;  // General/<key> of the control file; column 0 has none
};

const Column kColumns[CSpoolFrm::kColumnCount] = {
    {L"File Number", nullptr},        {L"Job Name", L"Document"},       {L"Status", L"Status"},
    {L"Date", L"DateSpooled"},        {L"time", L"TimeSpooled"},        {L"User Name", L"UserName"},
    {L"Source Printer", L"SourcePrinterName"}, {L"Destination Printer", L"PrinterName"}, {L"Pages", L"TotalPages"},
};

// The decimal digits at the start of a text as a number, 0 when there are
// none; a number too large for an int stops at INT_MAX.
int LeadingNumber(std::wstring_view text) {
  long long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    value = value * 10 + (c - L'0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// Whether a name from the folder listing is the given file name; compared
// in place, as it is done for every file at every refresh.
bool IsName(const std::wstring& name, const wchar_t* listed) {
  const size_t n = name.size();
  for (size_t i = 0; i < n; ++i)
    if (listed[i] != name[i]) return false;  // a shorter name stops at its NUL
  return listed[n] == L'\0';
}

bool AllDigits(std::wstring_view text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Orders item data by the position a sort gives each value (unique values).
int CALLBACK ByPosition(LPARAM a, LPARAM b, LPARAM positions) {
  const auto& position = *reinterpret_cast<const std::unordered_map<LPARAM, size_t>*>(positions);
  const size_t pa = position.find(a)->second, pb = position.find(b)->second;
  return pa < pb ? -1 : pa > pb ? 1 : 0;
}

int CALLBACK ByValue(LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : a > b ? 1 : 0; }

// More rows than a screen holds: a refresh that changes more rows than this
// redraws the list once at the end rather than row by row.
constexpr size_t kRedrawBatch = 64;

// How long a refresh for a new job waits for that job's report before it
// lists the folder instead.
constexpr DWORD kReportWait = 20;

// How much older than the read of its row a control file's times must be
// for its size and times to tell that it has not changed since. The file
// system's clock moves in steps (about 15.6 ms on NTFS, two seconds on
// FAT): a file rewritten at the same length within the step of the read
// keeps the stamp the row was read with. A row read sooner after a write
// than this is read again by the next refresh, until a read finds its file
// older. In 100-ns units.
constexpr ULONGLONG kTrustedAge = 3ull * 10000000;

// The coarsest step of a file system's clock (FAT's two seconds), by which
// a file's time may lie ahead of the system's clock at its write.
constexpr ULONGLONG kClockStep = 2ull * 10000000;

ULONGLONG Ticks(const FILETIME& time) {
  return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

struct CSpoolFrm::JobRow {
  std::wstring fileName;  // as the listing gave it
  size_t numberLength = 0;  // column 0 is the name up to its last "."
  LPARAM data = 0;          // item data: the number text's value
  // The texts of columns 1 to 8, each ended by a NUL, in one block (empty
  // before the first read): a row keeps a few blocks of its own rather than
  // one per cell, which thousands of rows would leave scattered through the
  // heap for later allocations to search past.
  std::wstring cells;
  std::array<uint32_t, kColumnCount - 1> starts = {};  // of each text in cells
  // The listing's word on the file when it was read. A file that could not
  // be read has none, so that the next refresh tries it again; nor can that
  // word be trusted for a file written shortly before it was read
  // (kTrustedAge), which the next refresh reads again too.
  bool stamped = false;
  bool recent = false;
  DWORD sizeHigh = 0, sizeLow = 0;
  FILETIME created = {}, written = {};
  // Work of one refresh: the last listing that held the file, and whether
  // the row's cells must show newly read texts.
  unsigned listing = 0;
  size_t place = 0;  // in the last listing's order
  bool dirty = false;
  bool removed = false;  // on its way out of the list
  // The row's place in text order, taken when a column click leaves it.
  size_t textRank = 0;

  std::wstring_view Number() const { return std::wstring_view(fileName).substr(0, numberLength); }
  // The text of column 1 to 8, NUL-terminated (a value holds no NUL).
  const wchar_t* Text(int column) const { return cells.empty() ? L"" : cells.c_str() + starts[column - 1]; }

  bool SameStamp(const WIN32_FIND_DATAW& data) const {
    return stamped && sizeHigh == data.nFileSizeHigh && sizeLow == data.nFileSizeLow &&
           SameTime(created, data.ftCreationTime) && SameTime(written, data.ftLastWriteTime);
  }

  // The list control's text order: lstrcmpW of the number texts. Of two
  // names that compare equal (x.ctl and x.ctlx), the later one in the
  // folder listing's order (lstrcmpiW) comes first, as when the control
  // sorts the listing in as it comes.
  bool Before(const JobRow& other) const {
    // Texts of digits alone (the print processor's names) compare the same
    // way code by code, without the cost of a linguistic comparison.
    const std::wstring_view number = Number(), otherNumber = other.Number();
    const int byText = AllDigits(number) && AllDigits(otherNumber)
                           ? number.compare(otherNumber)
                           : lstrcmpW(std::wstring(number).c_str(), std::wstring(otherNumber).c_str());
    if (byText != 0) return byText < 0;
    const int byName = lstrcmpiW(other.fileName.c_str(), fileName.c_str());
    if (byName != 0) return byName < 0;
    return other.fileName < fileName;
  }
};

int CALLBACK CompareJobNumbers(LPARAM a, LPARAM b, LPARAM ascending) {
  if (a == b) return 0;
  const bool aFirst = ascending ? a < b : a > b;
  return aFirst ? -1 : 1;
}

CSpoolFrm::CSpoolFrm() : ui::FormView(IDD_DORVANE_FORM), spoolFolder(GetSpoolFolder()) {}

CSpoolFrm::~CSpoolFrm() { Destroy(); }

std::wstring CSpoolFrm::GetSpoolFolder() { return GetInstallDirectory() + L"spool\\"; }

std::wstring CSpoolFrm::GetIniFile() { return GetInstallDirectory() + L"Dorvane.ini"; }

bool CSpoolFrm::OnInitDialog() {
  jobList.Attach(Hwnd(), IDC_JOB_LIST);
  return true;
}

std::array<int, CSpoolFrm::kColumnCount> CSpoolFrm::ColumnWidths(int cx) {
  if (cx < 0) cx = 0;
  const int u = cx / 29;
  std::array<int, kColumnCount> widths = {3 * u, 6 * u, 2 * u, 2 * u, 2 * u, 4 * u, 4 * u, 4 * u, cx - 27 * u - 4};
  // A view narrower than 4 pixels (minimised) would leave the last column a
  // negative width.
  if (widths[8] < 0) widths[8] = 0;
  return widths;
}

void CSpoolFrm::SetColumnWidths(int cx) {
  const auto widths = ColumnWidths(cx);
  for (int i = 0; i < kColumnCount; ++i) jobList.SetColumnWidth(i, static_cast<short>(widths[i]));
}

void CSpoolFrm::OnSize(UINT, int cx, int cy) {
  if (!jobList) return;
  jobList.Move(0, 0, cx, cy);
  if (firstSize == 1) {
    for (int i = 0; i < kColumnCount; ++i) jobList.InsertColumn(i, kColumns[i].header, LVCFMT_LEFT);
    firstSize = 0;
    // The columns get their widths at once: a first size that is also the
    // last (a frame already at its final size) must not leave them at 0.
    SetColumnWidths(cx);
    RebuildJobList();
    return;
  }
  SetColumnWidths(cx);
}

void CSpoolFrm::RebuildJobList() {
  jobList.DeleteAllItems();
  rows.clear();
  rowsByFile.clear();
  listingOrder.clear();
  textOrder = true;
  RefreshJobList();
}

void CSpoolFrm::RefreshJobList() {
  const int newJob = expectedJob;
  expectedJob = 0;
  ++listing;
  std::vector<std::unique_ptr<JobRow>> added;
  size_t changed = 0;
  // The change reports gathered by a refresh that then lists the folder
  // after all are still word of what changed: the listing reads those files
  // again too.
  Reports reported;
  if (newJob > 0 && TakeReportedChanges(newJob, reported, added, changed)) {
    ++watchedRefreshes;
  } else {
    ListFolder(reported, added, changed);
    ++folderListings;
  }
  size_t listed = 0;
  for (const auto& row : rows) listed += row->listing == listing ? 1 : 0;
  if (added.empty() && changed == 0 && listed == rows.size() && textOrder) return;

  // Redrawing is held over changes to many rows only: for a few (the usual
  // refresh, one new job at the end), the control's own invalidation of the
  // rows it changed costs less than repainting the whole list afterwards.
  const size_t touched = added.size() + changed + (rows.size() - listed);
  const bool batch = touched > kRedrawBatch || !textOrder;
  if (batch) jobList.SetRedraw(false);
  if (changed != 0 || listed < rows.size()) {
    std::vector<bool> gone(rows.size(), false);
    for (size_t i = 0; i < rows.size(); ++i) {
      JobRow& row = *rows[i];
      gone[i] = row.listing != listing;
      if (row.dirty) ShowTexts(static_cast<int>(i), row, false);
      row.dirty = false;
    }
    if (listed < rows.size()) RemoveRows(gone);
  }
  if (!textOrder) ReturnToTextOrder();
  if (!added.empty() && !InsertRows(std::move(added))) {
    // A refused row is tried again by the next listing.
    listingOrder.clear();
    listNext = true;
  }
  if (batch) jobList.SetRedraw(true);
}

std::unique_ptr<CSpoolFrm::JobRow> CSpoolFrm::NewRow(const WIN32_FIND_DATAW& listed) {
  auto row = std::make_unique<JobRow>();
  row->fileName = listed.cFileName;
  row->numberLength = std::min(row->fileName.rfind(L'.'), row->fileName.size());
  row->data = LeadingNumber(row->Number());
  ReadRow(*row, listed);
  row->listing = listing;
  return row;
}

void CSpoolFrm::ListFolder(Reports& reported, std::vector<std::unique_ptr<JobRow>>& added, size_t& changed) {
  // A new watch starts before the listing: a change made while the folder
  // is listed is reported to the next refresh, even if the listing saw it.
  // The old watch is asked for its last reports after that, so that no
  // change falls between the two; a rewrite they name is read again even
  // when the file's size and times are those its row was read with.
  auto newWatch = std::make_unique<SpoolWatch>();
  newWatch->Start(spoolFolder);
  if (watch) watch->Collect(reported);
  watch = std::move(newWatch);
  listNext = false;
  const auto reportedChanged = [&](const JobRow& row) {
    const auto found = reported.find(row.fileName);
    return found != reported.end() && found->second;
  };
  std::vector<JobRow*> order;
  order.reserve(listingOrder.size() + 1);
  // The folder lists its files in the same order each time, so each name is
  // first compared with the row that came next in the last listing; only a
  // name that is not there is looked up.
  size_t next = 0;
  std::wstring name;
  // The full path pattern leaves the process's current folder alone. Files
  // only: a sub-folder named like a control file is no job. A missing spool
  // folder lists nothing and so empties the list.
  WIN32_FIND_DATAW data;
  dv::FindHandle find(FindFirstFileW((spoolFolder + L"*.ctl").c_str(), &data));
  if (find) {
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      JobRow* known = nullptr;
      if (next < listingOrder.size() && IsName(listingOrder[next]->fileName, data.cFileName)) {
        known = listingOrder[next++];
      } else {
        name.assign(data.cFileName);
        const auto found = rowsByFile.find(name);
        if (found != rowsByFile.end()) {
          known = found->second;
          // The names after it most likely follow it as they did before.
          if (known->place < listingOrder.size() && listingOrder[known->place] == known) next = known->place + 1;
        }
      }
      if (!known) {
        auto row = NewRow(data);
        row->place = order.size();
        order.push_back(row.get());
        added.push_back(std::move(row));
        continue;
      }
      // A name listed twice (a folder changing under the listing) is one row.
      if (known->listing == listing) continue;
      known->listing = listing;
      known->place = order.size();
      order.push_back(known);
      if ((known->recent || !known->SameStamp(data) || reportedChanged(*known)) && ReadRow(*known, data)) {
        known->dirty = true;
        ++changed;
      }
    } while (FindNextFileW(find.get(), &data));
  }
  listingOrder = std::move(order);
}

namespace {

enum class NameKind { kOther, kControlFile, kDoubt };

// Whether a reported name is one that the listing's "*.ctl" gives. A name
// is also listed when its short name matches, and a short name's extension
// is made of the first letters of the long one, spaces left out: every name
// whose extension so begins with "ctl" but is not plainly ".ctl", and every
// name of a form that the listing might give otherwise, is left to it.
NameKind KindOfName(const std::wstring& name) {
  if (name.empty() || name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos || name.back() == L'.' ||
      name.back() == L' ')
    return NameKind::kDoubt;
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return NameKind::kOther;
  std::wstring letters;
  for (size_t i = dot + 1; i < name.size() && letters.size() < 3; ++i) {
    const wchar_t c = name[i];
    if (c == L' ') continue;
    if (c > 0x7f) return NameKind::kDoubt;  // short forms of other letters vary
    letters += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  }
  if (letters != L"ctl") return NameKind::kOther;
  const bool plain = dot > 0 && name.size() == dot + 4 && letters.size() == 3 && name.find(L' ', dot) == std::wstring::npos;
  return plain ? NameKind::kControlFile : NameKind::kDoubt;
}

}  // namespace

bool CSpoolFrm::TakeReportedChanges(int newJob, Reports& reported, std::vector<std::unique_ptr<JobRow>>& added,
                                    size_t& changed) {
  // The new job's control file must be among the reports: its report may
  // still be on its way (it is waited for a little), and a watch that
  // reports nothing any more (its folder removed or replaced) is found out
  // by it. Reports are delivered in the order of the changes, so those of
  // every change made before the new job was written are in too.
  const auto sawNewJob = [&] {
    for (const auto& [name, present] : reported)
      if (present && KindOfName(name) == NameKind::kControlFile &&
          LeadingNumber(name.substr(0, name.rfind(L'.'))) == newJob)
        return true;
    return false;
  };
  if (!watch || listNext || !watch->Collect(reported)) return false;
  if (!sawNewJob()) {
    watch->WaitForReport(kReportWait);
    if (!watch->Collect(reported) || !sawNewJob()) return false;
  }

  // What the folder says of each reported control file now, and of the
  // files that could not be read last time (no report comes when their
  // writer lets go) or were read too soon after a write to trust their
  // stamps. Nothing is changed until every name is clear.
  struct Entry {
    JobRow* row;
    bool present;
    WIN32_FIND_DATAW data;
  };
  std::vector<Entry> entries;
  const auto look = [&](const std::wstring& name, JobRow* row, bool present) {
    Entry entry = {row, false, {}};
    if (present) {
      dv::FindHandle find(FindFirstFileW((spoolFolder + name).c_str(), &entry.data));
      entry.present = find && !(entry.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
      // Under another form of the name the file is the listing's to place.
      if (entry.present && name != entry.data.cFileName) return false;
    }
    if (entry.present || row) entries.push_back(entry);
    return true;
  };
  for (const auto& [name, present] : reported) {
    switch (KindOfName(name)) {
      case NameKind::kOther:
        continue;
      case NameKind::kDoubt:
        return false;
      case NameKind::kControlFile:
        break;
    }
    const auto found = rowsByFile.find(name);
    if (!look(name, found == rowsByFile.end() ? nullptr : found->second, present)) return false;
  }
  for (const auto& row : rows)
    if ((!row->stamped || row->recent) && reported.count(row->fileName) == 0 &&
        !look(row->fileName, row.get(), true))
      return false;

  for (const auto& row : rows) row->listing = listing;
  for (const Entry& entry : entries) {
    if (!entry.present) {
      entry.row->listing = 0;  // gone
    } else if (!entry.row) {
      auto row = NewRow(entry.data);
      row->place = listingOrder.size();
      listingOrder.push_back(row.get());
      added.push_back(std::move(row));
    } else if (ReadRow(*entry.row, entry.data)) {
      // A report is word that the file changed, whatever its stamp says: a
      // rewrite at the same length within one step of the clock leaves the
      // same size and times.
      entry.row->dirty = true;
      ++changed;
    }
  }
  return true;
}

bool CSpoolFrm::ReadRow(JobRow& row, const WIN32_FIND_DATAW& listed) {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG size = static_cast<ULONGLONG>(listed.nFileSizeHigh) << 32 | listed.nFileSizeLow;
  // The reader and the path are the view's own, kept from file to file.
  readPath.assign(spoolFolder).append(row.fileName);
  row.stamped = reader.Read(readPath, size);
  row.sizeHigh = listed.nFileSizeHigh;
  row.sizeLow = listed.nFileSizeLow;
  row.created = listed.ftCreationTime;
  row.written = listed.ftLastWriteTime;
  // The later of the two times: a copy keeps its source's last-write time.
  // Only a time within the few seconds before the read (or within one step
  // of the coarsest file system clock after it) is recent: a file stamped
  // further ahead (a clock set back, a copy from a machine whose clock is
  // ahead) would get a time other than the listed one from any rewrite
  // now, so its stamp can be trusted.
  const ULONGLONG latest = std::max(Ticks(listed.ftCreationTime), Ticks(listed.ftLastWriteTime));
  row.recent = latest >= Ticks(now) ? latest - Ticks(now) <= kClockStep : Ticks(now) - latest < kTrustedAge;
  ++rowReads;
  // A file that cannot be read shows only its number, as missing keys do.
  std::array<std::wstring_view, kColumnCount - 1> texts;
  bool differs = false;
  for (int column = 1; column < kColumnCount; ++column) {
    texts[column - 1] = reader.Value(L"General", kColumns[column].key);
    differs = differs || texts[column - 1] != row.Text(column);
  }
  if (!differs) return false;
  // The new block is put together in a buffer kept for it and copied into
  // the row at its size.
  cellBuffer.clear();
  for (int column = 1; column < kColumnCount; ++column) {
    row.starts[column - 1] = static_cast<uint32_t>(cellBuffer.size());
    cellBuffer.append(texts[column - 1]).push_back(L'\0');
  }
  row.cells = cellBuffer;
  return true;
}

void CSpoolFrm::ShowTexts(int index, const JobRow& row, bool newRow) const {
  for (int column = 1; column < kColumnCount; ++column) {
    const wchar_t* text = row.Text(column);
    if (newRow && *text == L'\0') continue;  // a new row's cells are empty
    jobList.SetItemText(index, column, text);
  }
}

bool CSpoolFrm::InsertRows(std::vector<std::unique_ptr<JobRow>> added) {
  bool all = true;
  std::sort(added.begin(), added.end(), [](const auto& a, const auto& b) { return a->Before(*b); });
  // The new rows go in from the smallest: each one's place is found by
  // halving from the place of the one before it.
  size_t from = 0;
  for (auto& row : added) {
    const auto place = std::upper_bound(rows.begin() + static_cast<std::ptrdiff_t>(from), rows.end(), row,
                                        [](const auto& a, const auto& b) { return a->Before(*b); });
    const size_t index = static_cast<size_t>(place - rows.begin());
    // A row the control refuses is skipped; the next refresh tries it again.
    numberBuffer.assign(row->Number());
    if (jobList.InsertItem(static_cast<int>(index), numberBuffer.c_str(), row->data) < 0) {
      all = false;
      continue;
    }
    ShowTexts(static_cast<int>(index), *row, true);
    rowsByFile[row->fileName] = row.get();  // the key is a view of the row's own name
    rows.insert(place, std::move(row));
    from = index + 1;
  }
  return all;
}

void CSpoolFrm::RemoveRows(const std::vector<bool>& remove) {
  // The rows leave the last listing's order too, which stays good for the
  // files that remain.
  bool any = false;
  for (size_t i = 0; i < rows.size(); ++i)
    if (remove[i]) any = rows[i]->removed = true;
  if (!any) return;
  listingOrder.erase(
      std::remove_if(listingOrder.begin(), listingOrder.end(), [](const JobRow* row) { return row->removed; }),
      listingOrder.end());
  for (size_t i = 0; i < listingOrder.size(); ++i) listingOrder[i]->place = i;
  // From the bottom, so that the indices still to come stay valid.
  for (size_t i = rows.size(); i-- > 0;) {
    if (!remove[i]) continue;
    jobList.DeleteItem(static_cast<int>(i));
    rowsByFile.erase(rows[i]->fileName);
  }
  size_t kept = 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (!remove[i]) rows[kept++] = std::move(rows[i]);
  rows.resize(kept);
}

void CSpoolFrm::Reorder(RowOrder order) {
  // The control sorts by item data. Where every row's number differs, each
  // number's new position orders them; equal numbers would leave the
  // control free to place those rows either way, so then each row carries
  // its position as item data for the sort and gets its number back after.
  std::unordered_map<LPARAM, size_t> position;
  bool unique = true;
  for (size_t p = 0; p < order.size() && unique; ++p) unique = position.emplace(rows[order[p]]->data, p).second;
  if (unique) {
    jobList.SortItems(&ByPosition, reinterpret_cast<LPARAM>(&position));
  } else {
    for (size_t p = 0; p < order.size(); ++p) jobList.SetItemData(static_cast<int>(order[p]), static_cast<LPARAM>(p));
    jobList.SortItems(&ByValue, 0);
    for (size_t p = 0; p < order.size(); ++p) jobList.SetItemData(static_cast<int>(p), rows[order[p]]->data);
  }
  std::vector<std::unique_ptr<JobRow>> sorted;
  sorted.reserve(rows.size());
  for (size_t index : order) sorted.push_back(std::move(rows[index]));
  rows = std::move(sorted);
}

void CSpoolFrm::ReturnToTextOrder() {
  RowOrder order(rows.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rows[a]->textRank < rows[b]->textRank; });
  Reorder(std::move(order));
  textOrder = true;
}

void CSpoolFrm::OnColumnClick() {
  // Each row's place in text order is kept for the next refresh, which
  // returns to it without comparing texts again.
  if (textOrder)
    for (size_t i = 0; i < rows.size(); ++i) rows[i]->textRank = i;
  textOrder = false;
  const LPARAM ascending = g_sortAscending ? 1 : 0;
  RowOrder order(rows.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return CompareJobNumbers(rows[a]->data, rows[b]->data, ascending) < 0;
  });
  Reorder(std::move(order));
  g_sortAscending = !g_sortAscending;
}

int CSpoolFrm::SingleSelectedRow() const { return jobList.SelectedCount() == 1 ? jobList.NextSelected(-1) : -1; }

bool CSpoolFrm::OnNotify(NMHDR& hdr, LRESULT& result) {
  if (hdr.idFrom != IDC_JOB_LIST) return false;
  switch (hdr.code) {
    case LVN_COLUMNCLICK:
      OnColumnClick();
      result = 0;
      return true;
    case LVN_DELETEALLITEMS:
      // The rows' item data own nothing: no notification for each row.
      result = TRUE;
      return true;
    default:
      return false;
  }
}

bool CSpoolFrm::OnCommand(UINT id, UINT, HWND) {
  switch (id) {
    case ID_VIEW_REFRESH_NOW:
      RefreshJobList();
      return true;
    case ID_FILE_PRINT:
      OnReprintJobs();
      return true;
    case ID_FILE_DELETE_JOBS:
      OnDeleteJobs();
      return true;
    case ID_FILE_VIEW_JOB_INFORMATION:
      OnViewJobInformation();
      return true;
    case ID_FILE_PRINT_PREVIEW:
      OnPreviewJob();
      return true;
    case ID_FILE_EMPTY_SPOOL:
      return true;  // offered, and does nothing
    default:
      return false;
  }
}

bool CSpoolFrm::OnUpdate(ui::CmdUI& cmd) {
  switch (cmd.Id()) {
    case ID_FILE_PRINT:
    case ID_FILE_DELETE_JOBS:
      cmd.Enable(jobList.SelectedCount() > 0);
      return true;
    case ID_FILE_VIEW_JOB_INFORMATION:
    case ID_FILE_PRINT_PREVIEW:
      cmd.Enable(SingleSelectedRow() >= 0);
      return true;
    case ID_VIEW_REFRESH_NOW:
    case ID_FILE_EMPTY_SPOOL:
      return true;
    default:
      return false;
  }
}

void CSpoolFrm::OnContextMenu(POINT screen) {
  if (jobList.SelectedCount() == 0) return;
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: under the row that holds the selection mark, or the
    // first selected row.
    int row = jobList.SelectionMark();
    if (row < 0 || !jobList.IsSelected(row)) row = jobList.NextSelected(-1);
    RECT rect = {};
    jobList.ItemRect(row, rect);
    screen = {rect.left + 8, rect.bottom};
    ClientToScreen(jobList.Hwnd(), &screen);
  }
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_SPOOL_CONTEXT));
  if (!menu) return;
  ui::App* app = ui::App::Current();
  HWND owner = app && app->MainHwnd() ? app->MainHwnd() : GetParent(Hwnd());
  // The chosen command goes to the main window and from there down the
  // routing chain, as if it came from the File menu.
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
  DestroyMenu(menu);
}

INT_PTR CSpoolFrm::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CONTEXTMENU) {
    OnContextMenu(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return TRUE;
  }
  return ui::FormView::DialogProc(msg, wParam, lParam);
}
