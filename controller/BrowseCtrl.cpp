// The browse control: layout, painting, mouse, keys, timers and the two
// browse dialogs; see BrowseCtrl.h.
#include "controller/BrowseCtrl.h"

#include <commctrl.h>

#include "ui/App.h"

namespace {

// Each glyph is a 16 x 16 picture, one character a pixel:
//   . button face   K black    Y yellow   D dark yellow   W white
//   G grey          L light grey          B blue   N navy  C cyan
//   d the yellow and light-grey dither
const char* const kGlyph1[16] = {
    "................", "..........KKK...", ".........K...K.K", "..............KK",
    ".KKK.........KKK", "KWYWK...........", "KYWYWKKKKKKK....", "KWYWYWYWYWYK....",
    "KYWYWYWYWYWK....", "KWYWYWYKKKKKKKKK", "KYWYWYKDDDDDDDDK", "KWYWYKDDDDDDDDK.",
    "KYWYKDDDDDDDDK..", "KWYKDDDDDDDDK...", "KKKKKKKKKKKK....", "................",
};
const char* const kGlyph2[16] = {
    "................", "....GGGG........", "...GddddG.......", "...GddddGGGGGG..",
    "...GddddddddddGK", ".GGGGdddddddddGK", "GddddGGGGGGGddGK", "GdddddddddddGdGK",
    "GdddddddddddGdGK", "GdddddddddddGdGK", "GdddddddddddGdGK", "GdddddddddddGGKK",
    "GdddddddddddGKK.", "GGGGGGGGGGGGGK..", ".KKKKKKKKKKKKK..", "................",
};
const char* const kGlyph3[16] = {
    "................", ".GGGG...........", "GddddG..........", "GddddGGGGGGG....",
    "GdddddddddddG...", "GddddddKKKKdGK..", "GdddddKCCCCKGK..", "GddddKCCWCCCKK..",
    "GddddKCWCCCCKK..", "GddddKCCCCCCKK..", "GddddKCCCCCCKK..", "GGGGGGKCCCCKGK..",
    ".KKKKKKKKKKNBK..", "...........NBB..", "............NBB.", ".............NB.",
};

COLORREF GlyphColor(char c, int x, int y, int glyph, bool disabled) {
  const COLORREF black = RGB(0, 0, 0), grey = RGB(128, 128, 128), light = RGB(192, 192, 192);
  const COLORREF yellow = RGB(255, 255, 0), white = RGB(255, 255, 255);
  switch (c) {
    case 'K': return disabled ? grey : black;
    case 'Y': return disabled ? light : yellow;
    case 'D': return disabled ? (glyph == 1 ? grey : light) : RGB(128, 128, 0);
    case 'W': return white;
    case 'G': return grey;
    case 'L': return light;
    case 'B': return disabled ? grey : RGB(0, 0, 255);
    case 'N': return disabled ? grey : RGB(0, 0, 128);
    case 'C': return disabled ? white : RGB(0, 255, 255);
    case 'd': return ((x + y) % 2 == 0) ? (disabled ? light : yellow) : light;
    default: return CLR_INVALID;
  }
}

void Frame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  if (r.right - r.left < 1 || r.bottom - r.top < 1) return;
  auto fill = [dc](int x, int y, int cx, int cy, COLORREF c) {
    SetBkColor(dc, c);
    RECT part = {x, y, x + cx, y + cy};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &part, nullptr, 0, nullptr);
  };
  const int w = r.right - r.left, h = r.bottom - r.top;
  fill(r.left, r.top, w - 1, 1, topLeft);
  fill(r.left, r.top, 1, h - 1, topLeft);
  fill(r.right - 1, r.top, 1, h, bottomRight);
  fill(r.left, r.bottom - 1, w, 1, bottomRight);
}

RECT Deflated(RECT r, int by) {
  InflateRect(&r, -by, -by);
  return r;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Memory bitmap of a face's size filled with the button-face colour, copied
// to the face rectangle when drawn.
class FaceBitmap {
 public:
  FaceBitmap(HDC target, int cx, int cy)
      : target_(target), dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, cx, cy)), cx_(cx),
        cy_(cy) {
    old_ = dc_ && bitmap_ ? SelectObject(dc_, bitmap_) : nullptr;
    RECT all = {0, 0, cx, cy};
    if (old_) FillRect(dc_, &all, GetSysColorBrush(COLOR_BTNFACE));
  }
  ~FaceBitmap() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  FaceBitmap(const FaceBitmap&) = delete;
  FaceBitmap& operator=(const FaceBitmap&) = delete;
  HDC Dc() const { return old_ ? dc_ : nullptr; }
  void CopyTo(const RECT& face) const {
    if (old_) BitBlt(target_, face.left, face.top, face.right - face.left, face.bottom - face.top, dc_, 0, 0, SRCCOPY);
  }
  int Width() const { return cx_; }
  int Height() const { return cy_; }

 private:
  HDC target_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_ = nullptr;
  int cx_, cy_;
};

}  // namespace

BrowseDialogReplacements& BrowseDialogs() {
  static BrowseDialogReplacements replacements;
  return replacements;
}

CBrowseCtrl::CBrowseCtrl() = default;

CBrowseCtrl::~CBrowseCtrl() {
  // A window made by Create belongs to the control; a subclassed dialog
  // button stays with its dialog and is only released.
  if (createdByCreate && Hwnd()) DestroyWindow(Hwnd());
  DestroyChildren();
  Destroy();
}

bool CBrowseCtrl::Create(const RECT& rect, HWND parent, UINT id, DWORD styleBits, UINT notify) {
  if (!parent && ui::App::Current()) parent = ui::App::Current()->MainHwnd();
  if (!parent || Hwnd()) return false;
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!button) return false;
  notifyMessage = notify;
  createdByCreate = 1;
  style = styleBits;
  if (!Subclass(button)) {
    DestroyWindow(button);
    return false;
  }
  return Initialize();
}

bool CBrowseCtrl::SubclassDlgItem(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (!button || !Subclass(button)) return false;
  return createdByCreate ? true : Initialize();
}

bool CBrowseCtrl::Initialize() {
  if (!Hwnd() || !IsWindow(Hwnd())) return false;
  RecalcLayout(false);
  if (faceText.empty()) {
    const int n = GetWindowTextLengthW(Hwnd());
    std::vector<wchar_t> caption(n + 1, L'\0');
    GetWindowTextW(Hwnd(), caption.data(), n + 1);
    faceText = caption.data();
  }
  SetWindowTextW(Hwnd(), L"");
  // The text face depends on the caption just taken.
  RecalcLayout(false);
  const bool editMade = CreateEdit();
  CreateToolTip();
  SetTimer(Hwnd(), kFocusTimer, 1, nullptr);
  return editMade && toolTip != nullptr;
}

void CBrowseCtrl::RecalcLayout(bool moveEdit) {
  RECT client = {};
  if (Hwnd()) GetClientRect(Hwnd(), &client);
  buttonRect = client;
  SIZE face = {16, 16};
  int buttonFaceWidth = 16;
  if (!(style & BCS_GLYPH)) {
    face = {0, 0};
    if (HDC dc = GetDC(Hwnd())) {
      HFONT font = reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0));
      HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
      if (!faceText.empty()) GetTextExtentPoint32W(dc, faceText.c_str(), static_cast<int>(faceText.size()), &face);
      if (old) SelectObject(dc, old);
      ReleaseDC(Hwnd(), dc);
    }
    buttonFaceWidth = face.cx < 16 ? 16 : face.cx;
  }
  const int buttonWidth = buttonFaceWidth + 11;
  if (client.right - client.left > buttonWidth) {
    if (style & BCS_BUTTONLEFT)
      buttonRect.right = buttonRect.left + buttonWidth;
    else
      buttonRect.left = buttonRect.right - buttonWidth;
  }
  // The face sits centred inside the button less its 2-pixel border, cut to
  // that area when it does not fit.
  RECT inner = Deflated(buttonRect, 2);
  const int spareX = (inner.right - inner.left) - face.cx;
  const int spareY = (inner.bottom - inner.top) - face.cy;
  faceRect.left = inner.left + (spareX > 0 ? spareX / 2 : 0);
  faceRect.top = inner.top + (spareY > 0 ? spareY / 2 : 0);
  faceRect.right = faceRect.left + face.cx;
  faceRect.bottom = faceRect.top + face.cy;
  if (faceRect.right > inner.right) faceRect.right = inner.right;
  if (faceRect.bottom > inner.bottom) faceRect.bottom = inner.bottom;
  if (faceRect.right < faceRect.left) faceRect.right = faceRect.left;
  if (faceRect.bottom < faceRect.top) faceRect.bottom = faceRect.top;

  editRect = client;
  if (style & BCS_BUTTONLEFT)
    editRect.left = buttonRect.right;
  else
    editRect.right = buttonRect.left;
  if (toolTip) {
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = Hwnd();
    info.uId = kToolId;
    info.rect = buttonRect;
    SendMessageW(toolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
  }
  if (moveEdit && edit)
    MoveWindow(edit, editRect.left, editRect.top, editRect.right - editRect.left, editRect.bottom - editRect.top,
               TRUE);
}

bool CBrowseCtrl::CreateEdit() {
  if (!Hwnd()) return false;
  std::wstring text;
  if (edit) {
    const int n = GetWindowTextLengthW(edit);
    std::vector<wchar_t> buf(n + 1, L'\0');
    GetWindowTextW(edit, buf.data(), n + 1);
    text = buf.data();
    RemoveWindowSubclass(edit, &CBrowseCtrl::EditProc, 0);
    DestroyWindow(edit);
    edit = nullptr;
  }
  DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_NOHIDESEL;
  if (!(style & BCS_EDITABLE)) editStyle |= ES_READONLY;
  if (!IsWindowEnabled(Hwnd())) editStyle |= WS_DISABLED;
  // Busy while the kept text goes back in, so that rebuilding the edit does
  // not count as typing.
  const int wasBusy = busy;
  busy = 1;
  edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(), editStyle, editRect.left, editRect.top,
                         editRect.right - editRect.left, editRect.bottom - editRect.top, Hwnd(),
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)), GetModuleHandleW(nullptr), nullptr);
  busy = wasBusy;
  if (!edit) return false;
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
  SetWindowSubclass(edit, &CBrowseCtrl::EditProc, 0, reinterpret_cast<DWORD_PTR>(this));
  ShowWindow(edit, SW_SHOW);
  return true;
}

void CBrowseCtrl::CreateToolTip() {
  if (toolTip) DestroyWindow(toolTip);
  toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr, GetModuleHandleW(nullptr),
                            nullptr);
  if (!toolTip) return;
  TTTOOLINFOW info = {};
  info.cbSize = sizeof(info);
  // The tool tip watches the control's mouse messages itself.
  info.uFlags = TTF_SUBCLASS;
  info.hwnd = Hwnd();
  info.uId = kToolId;
  info.rect = buttonRect;
  info.lpszText = const_cast<wchar_t*>(toolTipText.c_str());
  SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CBrowseCtrl::DestroyChildren() {
  if (HWND self = Hwnd()) {
    KillTimer(self, kHoverTimer);
    KillTimer(self, kFocusTimer);
  }
  if (edit) {
    RemoveWindowSubclass(edit, &CBrowseCtrl::EditProc, 0);
    if (IsWindow(edit)) DestroyWindow(edit);
    edit = nullptr;
  }
  if (toolTip) {
    if (IsWindow(toolTip)) DestroyWindow(toolTip);
    toolTip = nullptr;
  }
}

// ---- Path and result ----

std::wstring CBrowseCtrl::FirstResultPath() const { return result.empty() ? std::wstring() : std::wstring(result.data()); }

std::vector<std::wstring> CBrowseCtrl::ResultPaths() const {
  std::vector<std::wstring> paths;
  size_t at = 0;
  for (int i = 0; i < resultCount && at < result.size(); ++i) {
    std::wstring path(result.data() + at);
    at += path.size() + 1;
    paths.push_back(path);
  }
  return paths;
}

void CBrowseCtrl::SetResult(const std::vector<std::wstring>& paths) {
  result.clear();
  resultLength = 0;
  for (const auto& p : paths) {
    result.insert(result.end(), p.begin(), p.end());
    result.push_back(L'\0');
    resultLength += static_cast<int>(p.size()) + 1;
  }
  result.push_back(L'\0');
  resultLength += 1;
  resultCount = static_cast<int>(paths.size());
}

bool CBrowseCtrl::IsTypedPathDifferent() const {
  const std::wstring chosen = FirstResultPath();
  if (typedText.size() != chosen.size()) return true;
  if (typedText.empty()) return false;
  return CompareStringOrdinal(typedText.c_str(), static_cast<int>(typedText.size()), chosen.c_str(),
                              static_cast<int>(chosen.size()), TRUE) != CSTR_EQUAL;
}

std::wstring CBrowseCtrl::GetPathName() const {
  if (typed && IsTypedPathDifferent()) return typedText;
  return FirstResultPath();
}

void CBrowseCtrl::SetPathName(const std::wstring& path) {
  if (edit) SetWindowTextW(edit, path.c_str());
  SetResult({path});
}

void CBrowseCtrl::ShowInEdit(const std::wstring& path) {
  if (!edit) return;
  SetWindowTextW(edit, path.c_str());
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void CBrowseCtrl::DeselectEdit() {
  if (!edit) return;
  const int n = GetWindowTextLengthW(edit);
  SendMessageW(edit, EM_SETSEL, n, n);
}

// ---- Browsing ----

int CBrowseCtrl::DoBrowse() {
  if (busy) return 2;
  busy = 1;
  const int chosen = (style & BCS_FOLDER) ? BrowseForFolder() : BrowseForFile();
  if (notifyMessage != 0) SendToParent(notifyMessage, chosen);
  busy = 0;
  return chosen;
}

int CBrowseCtrl::Browse() {
  const int chosen = DoBrowse();
  HWND parent = Hwnd() ? GetParent(Hwnd()) : nullptr;
  if (parent) PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Hwnd()), BN_CLICKED), 0);
  return chosen;
}

int CBrowseCtrl::BrowseForFile() {
  // The "|" separators become the NULs the dialog wants; "||" ends the list.
  std::wstring filterList = filter;
  for (auto& c : filterList)
    if (c == L'|') c = L'\0';
  filterList.push_back(L'\0');

  std::vector<wchar_t> names(65536, L'\0');
  const std::wstring current = GetPathName();
  current.copy(names.data(), names.size() - 1);

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = Hwnd() ? GetParent(Hwnd()) : nullptr;
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = filter.empty() ? nullptr : filterList.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = static_cast<DWORD>(names.size() - 1);
  ofn.lpstrTitle = dialogTitle.empty() ? nullptr : dialogTitle.c_str();
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  ofn.Flags = ofnFlags;
  BOOL ok = FALSE;
  if (BrowseDialogs().file)
    ok = BrowseDialogs().file(ofn) ? TRUE : FALSE;
  else
    ok = openDialog ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!ok) return 2;

  // One full path, or (multiple selection) the folder followed by the bare
  // names, each ending in a NUL, the list in a second NUL.
  std::vector<std::wstring> paths;
  const wchar_t* first = names.data();
  const wchar_t* next = first + wcslen(first) + 1;
  if ((ofnFlags & OFN_ALLOWMULTISELECT) && *next) {
    std::wstring folder = first;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    for (; *next; next += wcslen(next) + 1) paths.push_back(folder + next);
  } else {
    paths.push_back(first);
  }
  SetResult(paths);
  readOnlyOn = (ofn.Flags & OFN_READONLY) ? 1 : 0;
  ShowInEdit(paths.front());
  typed = 0;
  typedText = paths.front();
  return 1;
}

namespace {

struct FolderStart {
  std::wstring title;
  std::wstring path;
};

int CALLBACK BrowseFolderCallback(HWND dialog, UINT msg, LPARAM, LPARAM data) {
  const auto* start = reinterpret_cast<const FolderStart*>(data);
  if (msg == BFFM_INITIALIZED && start) {
    if (!start->title.empty()) SetWindowTextW(dialog, start->title.c_str());
    if (!start->path.empty()) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->path.c_str()));
  }
  return 0;
}

}  // namespace

int CBrowseCtrl::BrowseForFolder() {
  FolderStart start{dialogTitle, GetPathName()};
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = Hwnd() ? GetParent(Hwnd()) : nullptr;
  info.pszDisplayName = display;
  info.lpszTitle = folderPrompt.c_str();
  info.ulFlags = bifFlags;
  info.lpfn = &BrowseFolderCallback;
  info.lParam = reinterpret_cast<LPARAM>(&start);

  std::wstring chosen;
  if (BrowseDialogs().folder) {
    if (!BrowseDialogs().folder(info, chosen)) return 2;
  } else {
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item) return 2;
    wchar_t path[MAX_PATH + 2] = {};
    // A choice without a file-system path gives the empty string.
    if (!SHGetPathFromIDListW(item, path)) path[0] = L'\0';
    CoTaskMemFree(item);
    chosen = path;
  }
  SetResult({chosen});
  resultLength = static_cast<int>(chosen.size());
  readOnlyOn = 0;
  ShowInEdit(chosen);
  typed = 0;
  typedText = chosen;
  return 1;
}

// ---- Messages ----

void CBrowseCtrl::SendToParent(UINT msg, WPARAM wParam) {
  HWND parent = Hwnd() ? GetParent(Hwnd()) : nullptr;
  if (parent) SendMessageW(parent, msg, wParam, reinterpret_cast<LPARAM>(Hwnd()));
}

void CBrowseCtrl::Redraw(const RECT* part) {
  if (!Hwnd()) return;
  InvalidateRect(Hwnd(), part, TRUE);
  UpdateWindow(Hwnd());
}

void CBrowseCtrl::OnLButtonDown(POINT pt) {
  if (PtInRect(&buttonRect, pt)) {
    DeselectEdit();
    SendToParent(WM_BROWSECTRL_PRESSED, 1);
    SetCapture(Hwnd());
    pressed = 1;
  }
  Redraw();
}

void CBrowseCtrl::OnLButtonUp(POINT pt) {
  if (GetCapture() != Hwnd()) return;
  ReleaseCapture();
  pressed = 0;
  Redraw(&buttonRect);
  if (PtInRect(&buttonRect, pt)) Browse();
}

void CBrowseCtrl::OnMouseMove(POINT pt) {
  if (hover || !PtInRect(&buttonRect, pt)) return;
  hover = 1;
  if (GetCapture() == Hwnd()) pressed = 1;
  SetTimer(Hwnd(), kHoverTimer, 1, nullptr);
  Redraw(&buttonRect);
}

void CBrowseCtrl::OnTimer(UINT_PTR id) {
  if (id == kHoverTimer && hover) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    RECT screen = buttonRect;
    MapWindowPoints(Hwnd(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
    if (!PtInRect(&screen, cursor)) {
      KillTimer(Hwnd(), kHoverTimer);
      hover = 0;
      pressed = 0;
      Redraw();
    }
  } else if (id == kFocusTimer && edit) {
    const bool focused = GetFocus() == edit;
    if (focused && !editHasFocus) {
      editHasFocus = 1;
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    } else if (!focused && editHasFocus) {
      editHasFocus = 0;
      DeselectEdit();
      // The owner takes a typed path when the field is left.
      SendToParent(WM_BROWSECTRL_PRESSED, 1);
    }
  }
}

void CBrowseCtrl::OnSetFocus(HWND from) {
  KillTimer(Hwnd(), kFocusTimer);
  if (!editHasFocus && from != edit && edit) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    editHasFocus = 1;
  }
  SetTimer(Hwnd(), kFocusTimer, 1, nullptr);
}

LRESULT CALLBACK CBrowseCtrl::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<CBrowseCtrl*>(ref);
  // Enter in the edit browses as the button does; the dialog manager would
  // otherwise take it as the dialog's default button.
  switch (msg) {
    case WM_GETDLGCODE:
      if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
        return DefSubclassProc(hwnd, msg, wParam, lParam) | DLGC_WANTALLKEYS;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        self->Browse();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r') return 0;
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CBrowseCtrl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (msg) {
    // The button's own mouse and space handling is left out: it would send
    // a second BN_CLICKED beside the posted one and paint its own face.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnLButtonDown(pt);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(pt);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(pt);
      return DefProc(msg, wParam, lParam);
    case WM_TIMER:
      OnTimer(wParam);
      if (wParam == kHoverTimer || wParam == kFocusTimer) return 0;
      return DefProc(msg, wParam, lParam);
    case WM_SETFOCUS:
      OnSetFocus(reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_GETDLGCODE:
      if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
        return DefProc(msg, wParam, lParam) | DLGC_WANTALLKEYS;
      return DefProc(msg, wParam, lParam);
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        pressed = 1;
        Redraw(&buttonRect);
        return 0;
      }
      if (wParam == VK_RETURN) {
        Browse();
        return 0;
      }
      return DefProc(msg, wParam, lParam);
    case WM_KEYUP:
      if (wParam == VK_SPACE) {
        pressed = 0;
        Redraw(&buttonRect);
        Browse();
        return 0;
      }
      return DefProc(msg, wParam, lParam);
    case WM_SIZE:
    case WM_MOVE: {
      LRESULT r = DefProc(msg, wParam, lParam);
      RecalcLayout(true);
      return r;
    }
    case WM_ENABLE: {
      LRESULT r = DefProc(msg, wParam, lParam);
      if (edit) EnableWindow(edit, wParam ? TRUE : FALSE);
      Redraw();
      return r;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE && edit) {
        if ((style & BCS_EDITABLE) && !busy) {
          const int n = GetWindowTextLengthW(edit);
          std::vector<wchar_t> buf(n + 1, L'\0');
          GetWindowTextW(edit, buf.data(), n + 1);
          typedText = buf.data();
          typed = 1;
        }
        return 0;
      }
      return DefProc(msg, wParam, lParam);
    case WM_DESTROY:
      DestroyChildren();
      return DefProc(msg, wParam, lParam);
    default:
      return ui::Window::WndProc(msg, wParam, lParam);
  }
}

// ---- Painting ----

void CBrowseCtrl::DrawFrame(HDC dc) const {
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
  const COLORREF light = GetSysColor(COLOR_3DLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  if (style & BCS_FLAT) {
    if (pressed)
      Frame(dc, buttonRect, dark, highlight);
    else if (hover)
      Frame(dc, buttonRect, highlight, shadow);
    return;
  }
  if (pressed) {
    Frame(dc, buttonRect, dark, dark);
    Frame(dc, Deflated(buttonRect, 1), shadow, shadow);
  } else {
    Frame(dc, buttonRect, highlight, dark);
    Frame(dc, Deflated(buttonRect, 1), light, shadow);
  }
}

void CBrowseCtrl::DrawTextFace(HDC dc, const RECT& face) const {
  if (faceText.empty() || IsEmpty(face)) return;
  FaceBitmap bitmap(dc, face.right - face.left, face.bottom - face.top);
  HDC mem = bitmap.Dc();
  if (!mem) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(mem, font) : nullptr;
  SetBkMode(mem, TRANSPARENT);
  const int n = static_cast<int>(faceText.size());
  if (IsWindowEnabled(Hwnd())) {
    SetTextColor(mem, GetSysColor(COLOR_BTNTEXT));
    TextOutW(mem, 0, 0, faceText.c_str(), n);
  } else {
    SetTextColor(mem, GetSysColor(COLOR_BTNHIGHLIGHT));
    TextOutW(mem, 1, 1, faceText.c_str(), n);
    SetTextColor(mem, GetSysColor(COLOR_BTNSHADOW));
    TextOutW(mem, 0, 0, faceText.c_str(), n);
  }
  if (oldFont) SelectObject(mem, oldFont);
  bitmap.CopyTo(face);
}

void CBrowseCtrl::DrawGlyphFace(HDC dc, const RECT& face, int glyph) const {
  if (IsEmpty(face)) return;
  const char* const* rows = glyph == 1 ? kGlyph1 : glyph == 2 ? kGlyph2 : kGlyph3;
  FaceBitmap bitmap(dc, 16, 16);
  HDC mem = bitmap.Dc();
  if (!mem) return;
  const bool disabled = !IsWindowEnabled(Hwnd());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16 && rows[y][x]; ++x) {
      const COLORREF c = GlyphColor(rows[y][x], x, y, glyph, disabled);
      if (c != CLR_INVALID) SetPixelV(mem, x, y, c);
    }
  }
  bitmap.CopyTo(face);
}

bool CBrowseCtrl::OnPaint() {
  ui::PaintDc paint(Hwnd());
  Paint(paint.Dc());
  return true;
}

void CBrowseCtrl::Paint(HDC dc) {
  FillRect(dc, &buttonRect, GetSysColorBrush(COLOR_BTNFACE));
  DrawFrame(dc);
  RECT face = faceRect;
  if (pressed) OffsetRect(&face, 1, 1);
  if (!(style & BCS_GLYPH)) {
    DrawTextFace(dc, face);
  } else {
    const int glyph = (style & BCS_GLYPH1) ? 1 : (style & BCS_GLYPH2) ? 2 : (style & BCS_GLYPH3) ? 3 : 0;
    if (glyph) DrawGlyphFace(dc, face, glyph);
  }
}
