// Thin wrappers over the platform's controls. A wrapper holds the control's
// HWND and never owns it: the control lives and dies with its dialog or
// parent window. Attach a wrapper in OnInitDialog (or after creating the
// control); a wrapper that is not attached sends to no window and reads as
// empty.
//
// ImageList is the exception: an image list is not a window, and the wrapper
// owns the list it created (destroyed with the wrapper).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace ui {

class Control {
 public:
  Control() = default;
  explicit Control(HWND hwnd) : hwnd_(hwnd) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Attaches to a control of a dialog; false when there is no such control.
  bool Attach(HWND dialog, int id) {
    hwnd_ = GetDlgItem(dialog, id);
    return hwnd_ != nullptr;
  }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Hwnd() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

  std::wstring Text() const;
  void SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }
  void Show(bool show) const { ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE); }
  bool IsVisible() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
  void Enable(bool enable) const { EnableWindow(hwnd_, enable ? TRUE : FALSE); }
  bool IsEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
  void Focus() const { SetFocus(hwnd_); }
  void Move(int x, int y, int cx, int cy, bool repaint = true) const { MoveWindow(hwnd_, x, y, cx, cy, repaint); }
  int Id() const { return GetDlgCtrlID(hwnd_); }

 protected:
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return hwnd_ ? SendMessageW(hwnd_, msg, wParam, lParam) : 0;
  }

 private:
  HWND hwnd_ = nullptr;
};

class ListView : public Control {
 public:
  int InsertColumn(int index, const std::wstring& header, int format = LVCFMT_LEFT, int width = -1) const;
  int ColumnCount() const;
  bool SetColumnWidth(int column, int width) const { return Send(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0; }
  int ColumnWidth(int column) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column)); }
  std::wstring ColumnHeader(int column) const;

  // Inserts a row at index (a sorted list puts it where its text belongs);
  // the row's index, or -1.
  int InsertItem(int index, const std::wstring& text, LPARAM data = 0) const {
    return InsertItem(index, text.c_str(), data);
  }
  int InsertItem(int index, const wchar_t* text, LPARAM data = 0) const;
  bool SetItemText(int item, int column, const std::wstring& text) const { return SetItemText(item, column, text.c_str()); }
  bool SetItemText(int item, int column, const wchar_t* text) const;
  std::wstring ItemText(int item, int column) const;
  LPARAM ItemData(int item) const;
  bool SetItemData(int item, LPARAM data) const;
  int ItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, item) != 0; }
  bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }

  int SelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
  // The next selected row after `after` (-1 for the first), or -1.
  int NextSelected(int after) const { return static_cast<int>(Send(LVM_GETNEXTITEM, after, LVNI_SELECTED)); }
  int SelectionMark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
  void SetSelectionMark(int item) const { Send(LVM_SETSELECTIONMARK, 0, item); }
  void Select(int item, bool selected) const;
  bool IsSelected(int item) const { return (Send(LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) != 0; }
  // The row's check box (a list with LVS_EX_CHECKBOXES).
  bool IsChecked(int item) const {
    return ((Send(LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2;
  }
  void SetChecked(int item, bool checked) const;
  bool ItemRect(int item, RECT& rect) const;

  bool SortItems(PFNLVCOMPARE compare, LPARAM param) const {
    return Send(LVM_SORTITEMS, param, reinterpret_cast<LPARAM>(compare)) != 0;
  }
  void SetExtendedStyle(DWORD mask, DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style); }
  HIMAGELIST SetImageList(HIMAGELIST list, int kind) const {
    return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(list)));
  }
  void SetRedraw(bool on) const;
};

class ListBox : public Control {
 public:
  int AddString(const std::wstring& text) const {
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  int InsertString(int index, const std::wstring& text) const {
    return static_cast<int>(Send(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
  }
  bool DeleteString(int index) const { return Send(LB_DELETESTRING, index) != LB_ERR; }
  void ResetContent() const { Send(LB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }
  std::wstring Text(int index) const;
  int CurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
  void SetCurSel(int index) const { Send(LB_SETCURSEL, index); }
  // Index of the entry equal to text ignoring case, or -1.
  int FindStringExact(const std::wstring& text, int after = -1) const {
    return static_cast<int>(Send(LB_FINDSTRINGEXACT, after, reinterpret_cast<LPARAM>(text.c_str())));
  }
  LPARAM ItemData(int index) const { return Send(LB_GETITEMDATA, index); }
  void SetItemData(int index, LPARAM data) const { Send(LB_SETITEMDATA, index, data); }
  // Adds the names matching a pattern (a full path may be given) with the
  // DDL_ attributes; the index of the last name added, or LB_ERR.
  int Dir(UINT attributes, const std::wstring& pattern) const {
    return static_cast<int>(Send(LB_DIR, attributes, reinterpret_cast<LPARAM>(pattern.c_str())));
  }
};

class ComboBox : public Control {
 public:
  int AddString(const std::wstring& text) const {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  void ResetContent() const { Send(CB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  std::wstring LBText(int index) const;
  int CurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  void SetCurSel(int index) const { Send(CB_SETCURSEL, index); }
  int FindStringExact(const std::wstring& text, int after = -1) const {
    return static_cast<int>(Send(CB_FINDSTRINGEXACT, after, reinterpret_cast<LPARAM>(text.c_str())));
  }
  LPARAM ItemData(int index) const { return Send(CB_GETITEMDATA, index); }
  void SetItemData(int index, LPARAM data) const { Send(CB_SETITEMDATA, index, data); }
};

class Edit : public Control {
 public:
  void SetLimitText(int chars) const { Send(EM_SETLIMITTEXT, chars); }
  void SetSel(int start, int end) const { Send(EM_SETSEL, start, end); }
  void ReplaceSel(const std::wstring& text) const { Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str())); }
  bool Modified() const { return Send(EM_GETMODIFY) != 0; }
  void SetReadOnly(bool on) const { Send(EM_SETREADONLY, on ? TRUE : FALSE); }
};

class Button : public Control {
 public:
  bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetCheck(bool on) const { Send(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }
};

class Static : public Control {
 public:
  HBITMAP SetBitmap(HBITMAP bitmap) const {
    return reinterpret_cast<HBITMAP>(Send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  }
  HICON SetIcon(HICON icon) const { return reinterpret_cast<HICON>(Send(STM_SETICON, reinterpret_cast<WPARAM>(icon))); }
};

class Tab : public Control {
 public:
  int InsertItem(int index, const std::wstring& text) const;
  int Count() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
  int CurSel() const { return static_cast<int>(Send(TCM_GETCURSEL)); }
  int SetCurSel(int index) const { return static_cast<int>(Send(TCM_SETCURSEL, index)); }
  void DeleteAllItems() const { Send(TCM_DELETEALLITEMS); }
  // The display area inside the tabs, in the control's client coordinates.
  RECT DisplayRect() const;
};

class UpDown : public Control {
 public:
  void SetRange(int low, int high) const { Send(UDM_SETRANGE32, low, high); }
  // The position as the control's signed 16-bit value.
  int Pos() const { return static_cast<short>(LOWORD(Send(UDM_GETPOS))); }
  void SetPos(int pos) const { Send(UDM_SETPOS, 0, MAKELPARAM(static_cast<short>(pos), 0)); }
  void SetBuddy(HWND buddy) const { Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)); }
};

class ToolTip : public Control {
 public:
  // Creates a tooltip window owned by owner; false when it cannot be created.
  bool Create(HWND owner);
  bool AddTool(HWND tool, const std::wstring& text) const;
  void Activate(bool on) const { Send(TTM_ACTIVATE, on ? TRUE : FALSE); }
  void Destroy();
};

class ImageList {
 public:
  ImageList() = default;
  ~ImageList() { Destroy(); }
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  bool Create(int cx, int cy, UINT flags = ILC_COLOR24 | ILC_MASK, int initial = 4, int grow = 4);
  void Destroy();
  // Adds a bitmap (split into images of the list's width) with a mask
  // colour; the first new index or -1. The bitmap stays the caller's.
  int Add(HBITMAP bitmap, COLORREF mask) const { return list_ ? ImageList_AddMasked(list_, bitmap, mask) : -1; }
  int AddIcon(HICON icon) const { return list_ ? ImageList_AddIcon(list_, icon) : -1; }
  int Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }
  HIMAGELIST Handle() const { return list_; }

 private:
  HIMAGELIST list_ = nullptr;
};

}  // namespace ui
