// The frame's status bar: a message pane that stretches (id ID_SEPARATOR)
// and indicator panes sized from the program's string of their ids (the
// sample text, "CAP", "NUM", ...). A pane shows its text while it is
// enabled and nothing while it is disabled; on the idle pass the frame asks
// the routing chain about every indicator pane while the bar is shown. The
// bar window is a child of the frame and dies with it.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

namespace ui {

class FrameWindow;

class StatusBar {
 public:
  StatusBar() = default;
  StatusBar(const StatusBar&) = delete;
  StatusBar& operator=(const StatusBar&) = delete;

  // False when the window could not be made.
  bool Create(HWND parent, UINT id, DWORD style);
  // Sets the panes; false when the bar refused them.
  bool SetIndicators(const UINT* ids, size_t count);

  HWND Hwnd() const { return hwnd_; }
  bool IsVisible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

  int PaneCount() const { return static_cast<int>(panes_.size()); }
  // Index of the pane of a command id, or -1.
  int CommandToIndex(UINT id) const;
  // The text the pane shows now ("" while it is disabled).
  std::wstring PaneText(int index) const;
  // Sets the pane's text (shown while the pane is enabled).
  void SetPaneText(int index, const std::wstring& text);
  void EnablePane(int index, bool enabled);
  int PaneWidth(int index) const { return index >= 0 && index < PaneCount() ? panes_[index].width : 0; }

  // The message pane's text (menu prompts, the idle message).
  void SetMessageText(const std::wstring& text);

  // Asks the routing chain for every indicator pane's state and text.
  void Update(FrameWindow& frame);
  // Lays the bar along the bottom of its parent and recomputes the panes.
  void Resize();
  int Height() const;

 private:
  struct Pane {
    UINT id = 0;
    int width = 0;
    std::wstring text;
    bool enabled = true;
    std::wstring shown;
    bool sent = false;
  };
  void Show(int index);
  void SetParts();

  HWND hwnd_ = nullptr;
  std::vector<Pane> panes_;
};

}  // namespace ui
