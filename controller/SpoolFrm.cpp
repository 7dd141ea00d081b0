// The spool list: rows from the control files, columns, sorting, command
// enabling and the context menu. The job commands themselves are in
// SpoolFrmJobs.cpp.
#include "controller/SpoolFrm.h"

#include <climits>

#include "common/InstallFolder.h"
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
int LeadingNumber(const std::wstring& text) {
  long long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    value = value * 10 + (c - L'0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

}  // namespace

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
  dirList.Attach(Hwnd(), IDC_DIR_LIST);
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
    RefreshJobList();
    return;
  }
  SetColumnWidths(cx);
}

void CSpoolFrm::RefreshJobList() {
  // The listing takes the full path pattern, so the process's current folder
  // is never changed; files only (no DDL_DIRECTORY), so that sub-folders do
  // not become rows. A missing spool folder gives an empty list.
  dirList.ResetContent();
  dirList.Dir(DDL_READWRITE, spoolFolder + L"*.ctl");
  jobList.SetRedraw(false);
  jobList.DeleteAllItems();
  // The list's own sort places every row. The entries go in from the last
  // to the first: a sorted list view finds a new row's place by walking its
  // rows from the top, so each row then stops at the first one instead of
  // walking past all the others (10,000 jobs would cost 50 million text
  // comparisons in name order).
  for (int i = dirList.Count() - 1; i >= 0; --i) AddJobToList(spoolFolder + dirList.Text(i));
  jobList.SetRedraw(true);
}

void CSpoolFrm::AddJobToList(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  const size_t start = slash == std::wstring::npos ? 0 : slash + 1;
  size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || dot < start) dot = path.size();
  const std::wstring number = path.substr(start, dot - start);

  // The list's own ascending text sort puts the row in place.
  const int row = jobList.InsertItem(jobList.ItemCount(), number, LeadingNumber(number));
  if (row < 0) return;
  for (int column = 1; column < kColumnCount; ++column)
    jobList.SetItemText(row, column, GetIniString(L"General", kColumns[column].key, path));
}

void CSpoolFrm::OnColumnClick() {
  jobList.SortItems(&CompareJobNumbers, g_sortAscending ? 1 : 0);
  g_sortAscending = !g_sortAscending;
}

int CSpoolFrm::SingleSelectedRow() const { return jobList.SelectedCount() == 1 ? jobList.NextSelected(-1) : -1; }

bool CSpoolFrm::OnNotify(NMHDR& hdr, LRESULT& result) {
  if (hdr.idFrom == IDC_JOB_LIST && hdr.code == LVN_COLUMNCLICK) {
    OnColumnClick();
    result = 0;
    return true;
  }
  return false;
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
