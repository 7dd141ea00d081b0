// Control wrappers; see Controls.h.
#include "ui/Controls.h"

namespace ui {

namespace {

std::wstring WindowText(HWND hwnd) {
  int n = hwnd ? GetWindowTextLengthW(hwnd) : 0;
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> buf(n + 1, L'\0');
  int got = GetWindowTextW(hwnd, buf.data(), n + 1);
  return std::wstring(buf.data(), got > 0 ? got : 0);
}

}  // namespace

std::wstring Control::Text() const { return WindowText(hwnd_); }

int ListView::InsertColumn(int index, const std::wstring& header, int format, int width) const {
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
  column.fmt = format;
  column.pszText = const_cast<wchar_t*>(header.c_str());
  column.iSubItem = index;
  if (width >= 0) {
    column.mask |= LVCF_WIDTH;
    column.cx = width;
  }
  return static_cast<int>(Send(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
}

int ListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring ListView::ColumnHeader(int column) const {
  wchar_t buf[256] = {};
  LVCOLUMNW info = {};
  info.mask = LVCF_TEXT;
  info.pszText = buf;
  info.cchTextMax = 256;
  if (!Send(LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info))) return std::wstring();
  return buf;
}

int ListView::InsertItem(int index, const wchar_t* text, LPARAM data) const {
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text);
  item.lParam = data;
  return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetItemText(int index, int column, const wchar_t* text) const {
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text);
  return Send(LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::wstring ListView::ItemText(int index, int column) const {
  // LVM_GETITEMTEXT tells the length only by filling the buffer: grow it
  // until the text fits with room to spare.
  for (int size = 256; size <= 65536; size *= 4) {
    std::vector<wchar_t> buf(size, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buf.data();
    item.cchTextMax = size;
    int n = static_cast<int>(Send(LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
    if (n < size - 1) return std::wstring(buf.data(), n > 0 ? n : 0);
  }
  return std::wstring();
}

LPARAM ListView::ItemData(int index) const {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return item.lParam;
}

bool ListView::SetItemData(int index, LPARAM data) const {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = data;
  return Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

void ListView::Select(int index, bool selected) const {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  Send(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

void ListView::SetChecked(int index, bool checked) const {
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  Send(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

bool ListView::ItemRect(int index, RECT& rect) const {
  rect = {};
  rect.left = LVIR_BOUNDS;
  return Send(LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != 0;
}

void ListView::SetRedraw(bool on) const {
  Send(WM_SETREDRAW, on ? TRUE : FALSE);
  if (on) InvalidateRect(Hwnd(), nullptr, TRUE);
}

std::wstring ListBox::Text(int index) const {
  int n = static_cast<int>(Send(LB_GETTEXTLEN, index));
  if (n == LB_ERR || n <= 0) return std::wstring();
  std::vector<wchar_t> buf(n + 1, L'\0');
  int got = static_cast<int>(Send(LB_GETTEXT, index, reinterpret_cast<LPARAM>(buf.data())));
  return got == LB_ERR ? std::wstring() : std::wstring(buf.data(), got);
}

std::wstring ComboBox::LBText(int index) const {
  int n = static_cast<int>(Send(CB_GETLBTEXTLEN, index));
  if (n == CB_ERR || n <= 0) return std::wstring();
  std::vector<wchar_t> buf(n + 1, L'\0');
  int got = static_cast<int>(Send(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buf.data())));
  return got == CB_ERR ? std::wstring() : std::wstring(buf.data(), got);
}

int Tab::InsertItem(int index, const std::wstring& text) const {
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  return static_cast<int>(Send(TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
}

RECT Tab::DisplayRect() const {
  RECT rect = {};
  GetClientRect(Hwnd(), &rect);
  Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
  return rect;
}

bool ToolTip::Create(HWND owner) {
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
  Attach(tip);
  return tip != nullptr;
}

bool ToolTip::AddTool(HWND tool, const std::wstring& text) const {
  TTTOOLINFOW info = {};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(tool);
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  return Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void ToolTip::Destroy() {
  if (Hwnd()) DestroyWindow(Hwnd());
  Attach(nullptr);
}

bool ImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  Destroy();
  list_ = ImageList_Create(cx, cy, flags, initial, grow);
  return list_ != nullptr;
}

void ImageList::Destroy() {
  if (list_) ImageList_Destroy(list_);
  list_ = nullptr;
}

}  // namespace ui
