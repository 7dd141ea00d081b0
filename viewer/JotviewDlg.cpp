// The viewer's dialog: list set-up, loading, refresh, clear, layout and the
// help button; see JotviewDlg.h.
#include "viewer/JotviewDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "controller/BrowseCtrl.h"
#include "ui/App.h"
#include "ui/CommonDialogs.h"
#include "viewer/resource.h"

namespace {

const wchar_t* const kColumns[] = {L"No.", L"Code", L"Event", L"Date", L"Time", L"Additional Info"};
constexpr int kInfoColumn = 5;

// The event pictures in image-list order: category 0 to 4.
const UINT kEventBitmaps[] = {IDB_JOB_ERROR, IDB_SYSTEM_ERROR, IDB_LOCK, IDB_WARNING, IDB_INFORMATION};

// The help context of the dialog: the resource base of dialog topics plus
// the template id.
constexpr ULONG_PTR kDialogHelpContext = 0x20000 + IDD_JOTVIEW_DIALOG;

HINSTANCE Instance() { return ui::App::Current() ? ui::App::Current()->Instance() : GetModuleHandleW(nullptr); }

std::wstring Caption() {
  if (ui::App::Current()) return ui::App::Current()->Title();
  return L"Jotview";
}

}  // namespace

HelpEngine& JotviewHelpEngine() {
  static HelpEngine engine = [](HWND owner, const std::wstring& file, UINT command, ULONG_PTR data) {
    return WinHelpW(owner, file.c_str(), command, data);
  };
  return engine;
}

CJotviewDlg::CJotviewDlg(const std::wstring& commandLine)
    : ui::Dialog(IDD_JOTVIEW_DIALOG), commandLine_(commandLine) {
  icon = LoadIconW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CJotviewDlg::~CJotviewDlg() { Destroy(); }

std::wstring CJotviewDlg::BrowseForLogFile() {
  CBrowseCtrl prompt;
  prompt.SetFilter(L"Log Files (*.log)|*.log|All Files (*.*)|*.*||");
  prompt.SetOFNFlags(0x1004);
  prompt.openDialog = 1;
  if (prompt.DoBrowse() != 1) return std::wstring();
  return prompt.GetPathName();
}

void CJotviewDlg::EndProgram(const std::wstring& message) {
  ui::ShowMessageBox(Hwnd(), message, Caption(), MB_OK);
  exitCode_ = 1;
  EndDialog(IDABORT);
}

bool CJotviewDlg::OnInitDialog() {
  clearButton.Attach(Hwnd(), IDC_CLEAR);
  list.Attach(Hwnd(), IDC_LIST);
  refreshButton.Attach(Hwnd(), IDC_REFRESH);
  closeButton.Attach(Hwnd(), IDCANCEL);
  helpButton.Attach(Hwnd(), ID_HELP);

  imageList.Create(16, 16, ILC_COLOR24 | ILC_MASK, 5, 2);
  for (UINT id : kEventBitmaps) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(Instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) continue;
    imageList.Add(bitmap, RGB(255, 255, 255));
    DeleteObject(bitmap);
  }
  list.SetImageList(imageList.Handle(), LVSIL_SMALL);
  list.DeleteAllItems();
  for (int i = 0; i < 6; ++i) list.InsertColumn(i, kColumns[i], LVCFMT_LEFT);

  count = 0;
  logPath = commandLine_;
  if (logPath.empty()) {
    logPath = BrowseForLogFile();
    if (logPath.empty()) {
      EndProgram(L"Please provide a valid log file");
      return true;
    }
  }
  if (!LoadLog(logPath)) return true;
  for (int i = 0; i < 6; ++i) list.SetColumnWidth(i, LVSCW_AUTOSIZE_USEHEADER);
  WidenToShowEveryColumn();
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  return true;
}

void CJotviewDlg::InsertRow(int index, const LogRow& row, int number) {
  const std::wstring no = std::to_wstring(number);
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.iImage = row.icon;
  item.pszText = const_cast<wchar_t*>(no.c_str());
  const int at = static_cast<int>(SendMessageW(list.Hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (at < 0) return;
  list.SetItemText(at, 1, row.code);
  list.SetItemText(at, 2, row.event);
  list.SetItemText(at, 3, row.date);
  list.SetItemText(at, 4, row.time);
  list.SetItemText(at, 5, row.info);
}

bool CJotviewDlg::AddLogLine(const std::string& line) {
  LogRow row;
  if (!SplitLogLine(line, row)) return false;
  InsertRow(0, row, count + 1);
  ++count;
  return true;
}

bool CJotviewDlg::LoadLog(const std::wstring& path) {
  std::vector<std::string> lines;
  if (!ReadLogLines(path, lines)) {
    EndProgram(L"Log file couldn't be opened");
    return false;
  }
  std::vector<LogRow> rows;
  rows.reserve(lines.size());
  for (const auto& line : lines) {
    LogRow row;
    if (SplitLogLine(line, row)) rows.push_back(std::move(row));
  }
  // The rows go in newest first from the top, each below the one before:
  // the same list as inserting every line at the top, without moving all
  // rows on every insert of a long log.
  list.SetRedraw(false);
  const int first = count;
  for (size_t i = rows.size(); i-- > 0;)
    InsertRow(static_cast<int>(rows.size() - 1 - i), rows[i], first + static_cast<int>(i) + 1);
  count += static_cast<int>(rows.size());
  list.SetRedraw(true);
  SetWindowTextW(Hwnd(), (L"Event Log Viewer (" + std::to_wstring(rows.size()) + L" Events)").c_str());
  return true;
}

void CJotviewDlg::OnRefresh() {
  count = 0;
  list.DeleteAllItems();
  LoadLog(logPath);
}

void CJotviewDlg::OnClear() {
  // No question and no message: a file that cannot be deleted (another
  // program holds it open for writing) simply shows its lines again.
  ClearLogFile(logPath);
  OnRefresh();
}

void CJotviewDlg::OnHelp() {
  if (JotviewHelpEngine()(Hwnd(), helpFilePath, HELP_CONTEXT, kDialogHelpContext)) helpShown_ = true;
}

bool CJotviewDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_REFRESH:
      OnRefresh();
      return true;
    case IDC_CLEAR:
      OnClear();
      return true;
    case ID_HELP:
      OnHelp();
      return true;
    default:
      return false;
  }
}

void CJotviewDlg::WidenToShowEveryColumn() {
  // A column sized to header and contents can still cut its header short
  // under Wine ("Co..." for "Code"), and the last one fills the list whatever
  // its contents: headers and contents are measured apart here.
  auto headerWidth = [this](int column) {
    return static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETSTRINGWIDTHW, 0,
                                         reinterpret_cast<LPARAM>(kColumns[column]))) +
           2 * GetSystemMetrics(SM_CXEDGE) + 12;
  };
  int columns = 0;
  for (int i = 0; i < kInfoColumn; ++i) {
    if (list.ColumnWidth(i) < headerWidth(i)) list.SetColumnWidth(i, headerWidth(i));
    columns += list.ColumnWidth(i);
  }
  list.SetColumnWidth(kInfoColumn, LVSCW_AUTOSIZE);
  columns += std::max(list.ColumnWidth(kInfoColumn), headerWidth(kInfoColumn));
  list.SetColumnWidth(kInfoColumn, LVSCW_AUTOSIZE_USEHEADER);
  RECT inside = {};
  GetClientRect(list.Hwnd(), &inside);
  // Room for a vertical scroll bar too, which a longer log brings.
  const int missing = columns + GetSystemMetrics(SM_CXVSCROLL) - inside.right;
  if (missing <= 0) return;
  RECT window = {};
  GetWindowRect(Hwnd(), &window);
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = std::min<int>(window.right - window.left + missing, work.right - work.left);
  // Only the size changes: the dialog layer then centres the wider window.
  SetWindowPos(Hwnd(), nullptr, 0, 0, width, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CJotviewDlg::OnSize(UINT type, int w, int h) {
  if (!list) return;
  const int y = h - 34;
  clearButton.Move(w - 328, y, 75, 23);
  refreshButton.Move(w - 247, y, 75, 23);
  helpButton.Move(w - 166, y, 75, 23);
  closeButton.Move(w - 85, y, 75, 23);
  list.Move(11, 11, w - 22, h - 49);
  list.SetColumnWidth(kInfoColumn, LVSCW_AUTOSIZE_USEHEADER);
  InvalidateRect(Hwnd(), nullptr, TRUE);
  UpdateWindow(Hwnd());
}

bool CJotviewDlg::OnPaintMinimized() {
  if (!IsIconic(Hwnd())) return false;
  ui::PaintDc paint(Hwnd());
  SendMessageW(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Dc()), 0);
  RECT client = {};
  GetClientRect(Hwnd(), &client);
  const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(paint.Dc(), x, y, icon);
  return true;
}

INT_PTR CJotviewDlg::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = 347;
      info->ptMinTrackSize.y = 200;
      return TRUE;
    }
    case WM_PAINT:
      return OnPaintMinimized() ? TRUE : FALSE;
    case WM_HELP:
      // F1 asks for the same help as the Help button.
      OnHelp();
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon);
    case WM_DESTROY:
      // The help window closes with the viewer.
      if (helpShown_) JotviewHelpEngine()(Hwnd(), helpFilePath, HELP_QUIT, 0);
      helpShown_ = false;
      return ui::Dialog::DialogProc(msg, wParam, lParam);
    default:
      return ui::Dialog::DialogProc(msg, wParam, lParam);
  }
}
