// Toolbar creation and button updates; see ToolBar.h.
#include "ui/ToolBar.h"

#include "ui/CmdUI.h"
#include "ui/FrameWindow.h"
#include "ui/StandardIds.h"

namespace ui {

namespace {

class ToolCmdUI final : public CmdUI {
 public:
  ToolCmdUI(HWND bar, UINT id) : CmdUI(id), bar_(bar) {}

 private:
  // TB_ENABLEBUTTON and TB_CHECKBUTTON change their own bit only, so an
  // update handler may set the whole state afterwards.
  void DoEnable(bool on) override { SendMessageW(bar_, TB_ENABLEBUTTON, Id(), MAKELPARAM(on ? TRUE : FALSE, 0)); }
  void DoSetCheck(bool on) override { SendMessageW(bar_, TB_CHECKBUTTON, Id(), MAKELPARAM(on ? TRUE : FALSE, 0)); }
  HWND bar_;
};

}  // namespace

COLORREF MapButtonColor(COLORREF color) {
  static const struct {
    COLORREF classic;
    int system;
  } kColors[] = {
      {RGB(0x00, 0x00, 0x00), COLOR_BTNTEXT},
      {RGB(0x80, 0x80, 0x80), COLOR_BTNSHADOW},
      {RGB(0xC0, 0xC0, 0xC0), COLOR_BTNFACE},
      {RGB(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT},
  };
  for (const auto& entry : kColors)
    if (entry.classic == color) return GetSysColor(entry.system);
  return color;
}

HBITMAP LoadButtonBitmap(HINSTANCE instance, UINT bitmapId) {
  HBITMAP loaded = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!loaded) return nullptr;
  BITMAP info = {};
  GetObjectW(loaded, sizeof(info), &info);
  // Drawn into a 32-bit section whatever its depth, so that every pixel can
  // be read and changed in one form.
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = info.bmWidth;
  bmi.bmiHeader.biHeight = -info.bmHeight;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP mapped = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (mapped) {
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, loaded);
    HGDIOBJ oldTo = SelectObject(to, mapped);
    BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    GdiFlush();
    auto* pixel = static_cast<DWORD*>(bits);
    for (LONG i = 0, n = static_cast<LONG>(info.bmWidth) * info.bmHeight; i < n; ++i) {
      // A section's pixel is 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
      const DWORD p = pixel[i];
      const COLORREF c = MapButtonColor(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      pixel[i] = (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
    }
  }
  DeleteObject(loaded);
  return mapped;
}

bool ToolBar::Create(HWND parent, UINT id, DWORD style, UINT bitmapId, int imageCx, int imageCy, const UINT* buttons,
                     size_t count) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  hwnd_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
  if (!hwnd_) return false;
  SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(hwnd_, TB_SETBITMAPSIZE, 0, MAKELPARAM(imageCx, imageCy));

  int images = 0;
  for (size_t i = 0; i < count; ++i)
    if (buttons[i] != ID_SEPARATOR) ++images;
  HBITMAP strip = LoadButtonBitmap(instance, bitmapId);
  if (!strip) return false;
  images_.Create(imageCx, imageCy, ILC_COLOR24 | ILC_MASK, images, 0);
  // The face colour is the images' background: masked out, the button's own
  // face shows through, and the mask gives the disabled image its outline.
  const int added = images_.Add(strip, GetSysColor(COLOR_BTNFACE));
  DeleteObject(strip);
  if (added == -1) return false;
  SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.Handle()));

  std::vector<TBBUTTON> table(count);
  int image = 0;
  for (size_t i = 0; i < count; ++i) {
    TBBUTTON& b = table[i];
    b = {};
    b.idCommand = static_cast<int>(buttons[i]);
    if (buttons[i] == ID_SEPARATOR) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = image++;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
    }
  }
  if (!SendMessageW(hwnd_, TB_ADDBUTTONSW, table.size(), reinterpret_cast<LPARAM>(table.data()))) return false;
  buttons_.assign(buttons, buttons + count);
  SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
  return true;
}

BYTE ToolBar::ButtonState(UINT command) const {
  LRESULT state = SendMessageW(hwnd_, TB_GETSTATE, command, 0);
  return state == -1 ? 0 : static_cast<BYTE>(state);
}

void ToolBar::SetButtonState(UINT command, BYTE state) const {
  TBBUTTONINFOW info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_STATE;
  info.fsState = static_cast<BYTE>(state | (ButtonState(command) & TBSTATE_WRAP));
  SendMessageW(hwnd_, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
}

void ToolBar::SetVertical(bool vertical) const {
  const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
  SetWindowLongW(hwnd_, GWL_STYLE, vertical ? style | CCS_VERT : style & ~CCS_VERT);
  // Separators share ids (0): the buttons are reached by index.
  const int count = static_cast<int>(SendMessageW(hwnd_, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button = {};
    if (!SendMessageW(hwnd_, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STATE;
    info.fsState = static_cast<BYTE>(vertical ? button.fsState | TBSTATE_WRAP : button.fsState & ~TBSTATE_WRAP);
    SendMessageW(hwnd_, TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
}

SIZE ToolBar::LaidOutSize() const {
  SIZE extent = {0, 0};
  const int count = static_cast<int>(SendMessageW(hwnd_, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT r = {};
    if (!SendMessageW(hwnd_, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r))) continue;
    if (r.right > extent.cx) extent.cx = r.right;
    if (r.bottom > extent.cy) extent.cy = r.bottom;
  }
  return extent;
}

void ToolBar::Update(FrameWindow& frame) const {
  for (UINT id : buttons_) {
    if (id == ID_SEPARATOR) continue;
    ToolCmdUI cmd(hwnd_, id);
    cmd.Finish(frame.RouteUpdate(cmd));
  }
}

int ToolBar::Height() const {
  if (!hwnd_) return 0;
  SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

}  // namespace ui
