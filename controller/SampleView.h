// The job preview's view: one page of a spooled EMF job at a chosen zoom,
// read through the same spool reader the engine prints with. Every paint
// builds a new reader on the document's file, so nothing is held between
// paints and a file that is gone shows no page.
//
// The page and zoom rules (PreviewPosition) and the page scaling
// (ScalePageFrame) need no window and are free functions for the tests.
#pragma once

#include <windows.h>

#include "controller/DFVCtrl.h"
#include "ui/ScrollView.h"

// The page shown, the job's page count and the zoom in percent.
struct PreviewPosition {
  int page = 1;
  int pageCount = 1;
  int zoom = 100;
};

constexpr int kPreviewMinZoom = 10;
constexpr int kPreviewMaxZoom = 1000;
constexpr int kPreviewZoomStep = 10;

// True when id is one of the eight page and zoom commands (then it was
// applied to position).
bool ApplyPreviewCommand(PreviewPosition& position, UINT id);
// Whether a page or zoom command is enabled at position; false for other ids.
bool IsPreviewCommandEnabled(const PreviewPosition& position, UINT id);

// A page's frame rectangle (hundredths of a millimetre) in device pixels at
// zoom percent, for a device of horzRes x vertRes pixels and horzSize x
// vertSize millimetres, truncated toward zero. A device that reports no size
// gives an empty rectangle.
RECT ScalePageFrame(const RECTL& frame, int zoom, int horzRes, int vertRes, int horzSize, int vertSize);

class CSampleView final : public ui::ScrollView, public CDFVView {
 public:
  CSampleView() = default;
  ~CSampleView() override;

  bool CreateIn(HWND frame, UINT id) override;
  ui::Window& ViewWindow() override { return *this; }
  void OnInitialUpdate() override;

  const PreviewPosition& Position() const { return position; }
  PreviewPosition& Position() { return position; }

  // Draws the current page at the current zoom (the paint handler's work).
  // Counts the file's pages and sets the scroll sizes to the drawn page.
  void OnDraw(HDC dc) override;

  // ID_FILE_PRINT: the Print dialog (all pages or a range of the job's
  // pages, copies by the driver), then the pages at their real size on the
  // chosen printer. ID_FILE_PRINT_DIRECT: the same on the default printer
  // without the dialog. Both are enabled while the document has a file in
  // which the last paint found pages.
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnUpdate(ui::CmdUI& cmd) override;
  // Prints pages first to last of the document's file on dc, each at its
  // real size and place on the sheet; the number of pages printed, or -1
  // when the document could not be started (reported to the user).
  int PrintPages(HDC dc, int first, int last) const;

 private:
  void Print(bool direct);

  PreviewPosition position;
};
