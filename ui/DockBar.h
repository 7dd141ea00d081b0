// A toolbar that docks on any side of its frame or floats in a small tool
// window of its own.
//
// The dock bar is a window of the layer that holds the frame's ToolBar
// control. Docked, it is a child of the frame with a gripper at its start
// (the left end of a horizontal bar, the top of a vertical one), and the
// frame lays it along its side in RecalcLayout, the view taking the rest.
// Floating, it is the client of a WS_EX_TOOLWINDOW popup owned by the frame,
// captioned with the bar's title, without a gripper. Bars on the left and the
// right stand one button per row (every button wrapped, CCS_VERT).
//
// Dragging: a press on the gripper, or on the floating window's caption,
// captures the mouse and shows a drag rectangle where the bar would go. On
// release the bar docks on the side of the frame whose edge the pointer is
// near (ChooseDockSide), and floats at the rectangle otherwise; a release
// without a move leaves the bar where it was. A right click, Escape or the
// loss of the capture cancels the drag. A double click on the floating
// window's caption docks the bar again on the side it last had; its close
// box hides the bar.
//
// The toolbar control's own visibility is the bar's: Show hides or shows it
// wherever it is (with its floating window), and ToolBar::IsVisible tells.
// The toolbar's commands and notifications reach the frame in every state.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <string>

#include "ui/Window.h"

namespace ui {

class FrameWindow;
class ToolBar;

enum class DockSide { Top, Bottom, Left, Right, Float };

// Where a bar dropped with the pointer at point goes: the side of area whose
// edge is nearest to point, when point lies within zone pixels of that edge
// (inside area or outside it); Float otherwise. area and point in the same
// coordinates (the frame's dock area on the screen).
DockSide ChooseDockSide(const RECT& area, POINT point, int zone);

class DockBar;

// The floating bar's tool window: caption drags, double clicks and the close
// box go to its dock bar.
class DockFloatWindow final : public Window {
 public:
  explicit DockFloatWindow(DockBar& bar) : bar_(bar) {}
  ~DockFloatWindow() override;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  DockBar& bar_;
};

class DockBar final : public Window {
 public:
  DockBar() : floating_(*this) {}
  ~DockBar() override;

  // Styles the toolbar control must be created with (besides WS_CHILD,
  // WS_VISIBLE and its TBSTYLE_ bits): the dock bar places and sizes it.
  static constexpr DWORD kToolBarStyle = CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;

  // Creates the bar's window in frame, docked at the top; the toolbar control
  // is then created with Hwnd() as its parent and handed to Attach. title
  // captions the floating window. False when the window was not created.
  bool Create(FrameWindow& frame, UINT id, const std::wstring& title);
  // Takes the toolbar created in this bar and lays it out for the bar's side.
  void Attach(ToolBar& toolBar);

  DockSide Side() const { return side_; }
  bool IsVertical() const { return side_ == DockSide::Left || side_ == DockSide::Right; }
  // Docks on side; DockSide::Float floats the bar where it last floated.
  void Dock(DockSide side);
  // Floats the bar with its tool window's top-left corner at topLeft
  // (screen coordinates).
  void Float(POINT topLeft);
  HWND FloatingWindow() const { return floating_.Hwnd(); }

  // Shows or hides the bar wherever it is, with a new frame layout.
  void Show(bool show);
  bool IsShown() const;

  // The frame's state passed on to the floating tool window: enabled with
  // the frame (a modal dialog disables both), and in front of the frame
  // once the frame is active again. This Wine can leave the owned tool window
  // behind its owner when a modal dialog of the frame ends, as the server
  // stacks the frame last: KeepInFrontLater, called on the frame's
  // activation, puts it in front once the activation is over.
  void EnableFloating(bool enable);
  void KeepInFrontLater();
  void KeepInFront();

  // Takes the strip of a docked, shown bar from area (the frame's client
  // coordinates) and moves the bar there; otherwise area stays whole.
  void Layout(RECT& area);

  // Dragging, started by the gripper or the floating caption at a screen
  // point; EndDrag(false) cancels.
  void BeginDrag(POINT screen);
  bool IsDragging() const { return dragging_; }
  void EndDrag(bool apply);
  // The drag rectangle's window while a drag is on (null otherwise).
  HWND DragRectWindow() const { return dragRect_; }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnPaint() override;

 private:
  friend class DockFloatWindow;
  void SetOrientation(bool vertical);
  SIZE BarSize(bool vertical, bool gripper) const;
  // The floating tool window's outer size.
  SIZE FloatWindowSize() const;
  RECT GripperRect() const;
  void TrackTo(POINT screen);
  RECT DockAreaOnScreen() const;
  void ShowDragRect(const RECT& rect);

  FrameWindow* frame_ = nullptr;
  ToolBar* toolBar_ = nullptr;
  DockFloatWindow floating_;
  std::wstring title_;
  DockSide side_ = DockSide::Top;
  DockSide lastDocked_ = DockSide::Top;
  POINT lastFloat_ = {100, 100};
  // The toolbar's size laid out horizontally and vertically.
  SIZE horzSize_ = {0, 0};
  SIZE vertSize_ = {0, 0};

  bool dragging_ = false;
  bool moved_ = false;
  POINT dragStart_ = {0, 0};
  POINT grab_ = {0, 0};  // pointer's offset in the rectangle being dragged
  DockSide target_ = DockSide::Float;
  RECT targetRect_ = {0, 0, 0, 0};
  HWND dragRect_ = nullptr;
};

}  // namespace ui
