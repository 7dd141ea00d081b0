// The frame's toolbar: a flat common-control toolbar built from a button
// table (command ids, ID_SEPARATOR for a gap) and one bitmap holding the
// images of the buttons side by side. Tooltips come from the frame (the text
// after "\n" of each command's string). On the idle pass the frame updates the
// buttons' states through the command routing chain while the bar is shown.
// The toolbar window is a child of the frame and dies with it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <vector>

namespace ui {

class FrameWindow;

class ToolBar {
 public:
  ToolBar() = default;
  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  // Creates the bar (style: WS_CHILD, WS_VISIBLE, TBSTYLE_ and CCS_ bits) and
  // loads the images from bitmapId of the program, imageCx x imageCy each.
  // False when the window or its images could not be made.
  bool Create(HWND parent, UINT id, DWORD style, UINT bitmapId, int imageCx, int imageCy, const UINT* buttons,
              size_t count);

  HWND Hwnd() const { return hwnd_; }
  bool IsVisible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
  const std::vector<UINT>& Buttons() const { return buttons_; }

  // TBSTATE_ bits of a button; 0 when there is no such button.
  BYTE ButtonState(UINT command) const;
  void SetButtonState(UINT command, BYTE state) const;

  // Asks the routing chain for every button's state.
  void Update(FrameWindow& frame) const;
  // Height of the bar as laid out for the parent's current width.
  int Height() const;

 private:
  HWND hwnd_ = nullptr;
  std::vector<UINT> buttons_;
};

}  // namespace ui
