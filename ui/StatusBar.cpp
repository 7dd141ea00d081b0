// Status bar panes and their updates; see StatusBar.h.
#include "ui/StatusBar.h"

#include <commctrl.h>

#include "ui/App.h"
#include "ui/CmdUI.h"
#include "ui/FrameWindow.h"
#include "ui/StandardIds.h"

namespace ui {

namespace {

// Room around a pane's sample text: the pane's borders and a little air.
constexpr int kPanePadding = 12;

class PaneCmdUI final : public CmdUI {
 public:
  PaneCmdUI(StatusBar& bar, int index, UINT id) : CmdUI(id), bar_(bar), index_(index) {}

 private:
  void DoEnable(bool on) override { bar_.EnablePane(index_, on); }
  void DoSetText(const std::wstring& text) override { bar_.SetPaneText(index_, text); }
  StatusBar& bar_;
  int index_;
};

}  // namespace

bool StatusBar::Create(HWND parent, UINT id, DWORD style) {
  hwnd_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  return hwnd_ != nullptr;
}

bool StatusBar::SetIndicators(const UINT* ids, size_t count) {
  if (!hwnd_ || count == 0) return false;
  panes_.assign(count, Pane());
  HDC dc = GetDC(hwnd_);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  for (size_t i = 0; i < count; ++i) {
    Pane& pane = panes_[i];
    pane.id = ids[i];
    if (pane.id == ID_SEPARATOR) continue;
    pane.text = App::Current() ? App::Current()->String(pane.id) : std::wstring();
    SIZE size = {};
    GetTextExtentPoint32W(dc, pane.text.c_str(), static_cast<int>(pane.text.size()), &size);
    pane.width = size.cx + kPanePadding;
  }
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  SetParts();
  for (int i = 0; i < PaneCount(); ++i) Show(i);
  return true;
}

int StatusBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < PaneCount(); ++i)
    if (panes_[i].id == id) return i;
  return -1;
}

std::wstring StatusBar::PaneText(int index) const {
  return index >= 0 && index < PaneCount() ? panes_[index].shown : std::wstring();
}

void StatusBar::SetPaneText(int index, const std::wstring& text) {
  if (index < 0 || index >= PaneCount()) return;
  panes_[index].text = text;
  Show(index);
}

void StatusBar::EnablePane(int index, bool enabled) {
  if (index < 0 || index >= PaneCount()) return;
  panes_[index].enabled = enabled;
  Show(index);
}

void StatusBar::SetMessageText(const std::wstring& text) { SetPaneText(CommandToIndex(ID_SEPARATOR), text); }

void StatusBar::Show(int index) {
  Pane& pane = panes_[index];
  std::wstring shown = pane.enabled ? pane.text : std::wstring();
  // Only a change is sent: the idle pass runs after every burst of messages
  // and an unchanged pane must not flicker.
  if (pane.sent && shown == pane.shown) return;
  pane.sent = true;
  pane.shown = shown;
  SendMessageW(hwnd_, SB_SETTEXTW, index, reinterpret_cast<LPARAM>(pane.shown.c_str()));
}

void StatusBar::SetParts() {
  if (!hwnd_ || panes_.empty()) return;
  RECT client = {};
  GetClientRect(hwnd_, &client);
  std::vector<int> edges(panes_.size());
  int right = client.right;
  for (int i = PaneCount() - 1; i >= 0; --i) {
    edges[i] = right;
    if (panes_[i].id != ID_SEPARATOR) right -= panes_[i].width;
  }
  // The message pane takes what the others leave, never less than nothing.
  for (int i = 0; i < PaneCount(); ++i)
    if (edges[i] < 0) edges[i] = 0;
  SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void StatusBar::Update(FrameWindow& frame) {
  for (int i = 0; i < PaneCount(); ++i) {
    if (panes_[i].id == ID_SEPARATOR) continue;
    PaneCmdUI cmd(*this, i, panes_[i].id);
    cmd.Finish(frame.RouteUpdate(cmd));
  }
}

void StatusBar::Resize() {
  if (!hwnd_) return;
  SendMessageW(hwnd_, WM_SIZE, 0, 0);
  SetParts();
}

int StatusBar::Height() const {
  if (!hwnd_) return 0;
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

}  // namespace ui
