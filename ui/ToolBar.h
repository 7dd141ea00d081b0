// The frame's toolbar: a flat common-control toolbar built from a button
// table (command ids, ID_SEPARATOR for a gap) and one bitmap holding the
// images of the buttons side by side. Tooltips come from the frame (the text
// after "\n" of each command's string). On the idle pass the frame updates the
// buttons' states through the command routing chain while the bar is shown.
// The toolbar window is a child of the frame (or of its DockBar) and dies
// with it.
//
// The strip is drawn on the classic button colours: when it is loaded, black,
// dark grey, light grey and white become the system's button text, shadow,
// face and highlight colours (MapButtonColor), and the images go into an
// image list with a mask of the face colour, so that the control draws
// disabled buttons as etched outlines of their images.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class FrameWindow;

// The system colour a strip's pixel of a classic button colour stands for;
// any other colour is kept.
COLORREF MapButtonColor(COLORREF color);

// A bitmap resource of the module as a 32-bit bitmap with its classic button
// colours mapped (MapButtonColor), for pictures drawn on the button face;
// null when the resource is missing. The caller deletes it.
HBITMAP LoadButtonBitmap(HINSTANCE instance, UINT bitmapId);

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
  // Sets the state bits; the button keeps its line break (TBSTATE_WRAP),
  // which belongs to the bar's layout.
  void SetButtonState(UINT command, BYTE state) const;

  // Lays the buttons out one per row with CCS_VERT (a bar docked on the
  // left or right), or in one row.
  void SetVertical(bool vertical) const;
  // The extent of the laid-out buttons.
  SIZE LaidOutSize() const;

  // Asks the routing chain for every button's state.
  void Update(FrameWindow& frame) const;
  // Height of the bar as laid out for the parent's current width.
  int Height() const;

 private:
  HWND hwnd_ = nullptr;
  ImageList images_;
  std::vector<UINT> buttons_;
};

}  // namespace ui
