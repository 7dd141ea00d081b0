// A scroll view: a child window that shows a drawing larger than itself
// through its scroll bars. The derived view sets the drawing's size in
// pixels and draws it in OnDraw at its own coordinates; the layer moves the
// viewport origin by the scroll position and handles the scroll bars, the
// keyboard-free scroll messages and the mouse wheel. A click gives the view
// the focus.
#pragma once

#include <windows.h>

#include "ui/Window.h"

namespace ui {

class ScrollView : public Window {
 public:
  // Creates the view as a child of parent; false when it was not created.
  bool CreateView(HWND parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL);

  // Size of the whole drawing, the distance of one page step (a click
  // beside the thumb, Page Up/Down; 0: the window's size) and of one
  // scroll-bar arrow step.
  void SetScrollSizes(SIZE total, SIZE page, SIZE line);
  SIZE TotalSize() const { return total_; }
  // Top-left point of the drawing shown at the window's top-left corner.
  POINT ScrollPosition() const { return pos_; }
  // Scrolls so that point is at the top-left, within the drawing's limits.
  void ScrollTo(POINT point);

 protected:
  virtual void OnDraw(HDC dc) = 0;

  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnPaint() override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  void UpdateBars();
  void Scroll(int bar, int request);
  int Limit(int bar) const;

  SIZE total_ = {0, 0};
  SIZE page_ = {0, 0};
  SIZE line_ = {16, 16};
  POINT pos_ = {0, 0};
};

}  // namespace ui
