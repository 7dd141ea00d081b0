// EMF page output: the page loop of an EMF job on the destination printer's
// device context.
//
// Every page of the spool stream is played into its cell of a sheet: the
// whole printable area for 1-up, a cell of the grid for 2, 4, 6, 9 and 16
// pages per side (left to right, then top to bottom). A single page whose
// shape does not match the job's orientation is turned by 90 or 270 degrees.
// The scenario's template layers are drawn around each sheet: background
// under its first page, foreground and fields over its last, and the
// backside page after the sheet.
//
// Any other number of pages per side (0, negative, 3, ...) prints 1-up, so
// no cell is ever empty-sized or off the sheet. A turned page's world
// transform is undone after its foreground layer, and the backside page
// follows a sheet after its EndPage: pages are never nested, and an n-up
// sheet keeps its pages together however the backside is set.
#pragma once

#include <windows.h>
#include <string>

class CScenario;
class CSpooledEmf;

// n for 1, 2, 4, 6, 9 and 16; 1 for any other value.
int EffectivePagesPerSide(int pagesPerSide);

struct SheetGrid {
  int rows = 1;
  int columns = 1;
};

// Rows and columns of a sheet by pages per side and the control file's
// orientation (2 and 6 are wider than tall on a portrait job's turned sheet).
SheetGrid GetSheetGrid(int pagesPerSide, int orientation);

// The cell of page p (1-based) on its sheet of width x height device pixels.
RECT GetPageCell(int page, int pagesPerSide, int orientation, int width, int height);

// Device measures of the printer device context.
struct DeviceMeasures {
  int horzRes = 0;
  int vertRes = 0;
  int physicalWidth = 0;
  int physicalHeight = 0;
  int physicalOffsetX = 0;
  int physicalOffsetY = 0;
};
DeviceMeasures ReadDeviceMeasures(HDC dc);

// The turn of a 1-up page by its frame and the record's orientation:
// a landscape-shaped page on a portrait job turns by 270 degrees and moves
// down by PHYSICALHEIGHT - PHYSICALOFFSETY, a portrait-shaped page on a
// landscape job by 90 degrees and moves right by PHYSICALWIDTH -
// PHYSICALOFFSETX; the turned page's cell has its right and bottom
// exchanged.
struct PageTurn {
  int angle = 0;
  float dx = 0;
  float dy = 0;
  bool exchangeCell = false;
};
PageTurn GetPageTurn(LONG frameRight, LONG frameBottom, int recordOrientation, const DeviceMeasures& measures);
XFORM GetTurnTransform(const PageTurn& turn);

// The template layers drawn around each page. The scenario's are
// ScenarioLayers; tests give their own.
class PageLayers {
 public:
  virtual ~PageLayers() = default;
  // 1 background, 0 foreground and fields, 3 backside page.
  virtual void PrintLayer(int mode, int page) = 0;
  // The control file's PageTemplates text of the page.
  virtual std::wstring Description(int page) = 0;
};

class ScenarioLayers final : public PageLayers {
 public:
  explicit ScenarioLayers(CScenario& scenario) : scenario_(scenario) {}
  void PrintLayer(int mode, int page) override;
  std::wstring Description(int page) override;

 private:
  CScenario& scenario_;
};

struct EmfPageJob {
  int totalPages = 1;
  int pagesPerSide = 1;
  int orientation = 1;        // the control file's Orientation
  int recordOrientation = 1;  // the job-information record's (turned for 2 and 6 up)
  std::wstring controlFile;   // receives PageTemplates/<page>
};

// 0, or the event that stopped the loop with its error: 1007 for a page the
// spool stream could not deliver (failedPage; the error is the reader's,
// ERROR_HANDLE_EOF when the stream ended), 1010 and 1011 for a sheet call the
// printer refused.
struct EmfPagesResult {
  int failedEvent = 0;
  DWORD error = 0;
  int failedPage = 0;
};

// Prints pages 1 to totalPages (none for 0 or less). The description of each
// page is taken after its background layer; the PageTemplates section of the
// control file receives the keys of every page reached when the loop ends
// (also on a failure exit). A page the reader cannot give, or a sheet the
// printer refuses to start or end, stops the loop: the page or sheet is
// lost, so the job must not count as printed. Playback and transform results
// are not examined.
EmfPagesResult PrintEmfPages(HDC dc, CSpooledEmf& reader, PageLayers& layers, const EmfPageJob& job);
