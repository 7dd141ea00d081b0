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
  TBADDBITMAP bitmap = {instance, bitmapId};
  if (SendMessageW(hwnd_, TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&bitmap)) == -1) return false;

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
  info.fsState = state;
  SendMessageW(hwnd_, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
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
