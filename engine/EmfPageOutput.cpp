// EMF page output; see EmfPageOutput.h.
#include "engine/EmfPageOutput.h"

#include <cmath>
#include <memory>

#include "common/Handles.h"
#include "common/SpooledEmf.h"
#include "common/StringUtil.h"
#include "engine/DocumentCalls.h"
#include "engine/JobFiles.h"
#include "engine/Scenario.h"

namespace {

// Holds a turned page's world transform from the moment it is set until the
// page's foreground layer is drawn, then puts back the graphics mode, mapping
// mode and transform that were in force before, so that the backside page
// and the next page's background are drawn untransformed.
class WorldTransformGuard {
 public:
  explicit WorldTransformGuard(HDC dc) : dc_(dc), graphicsMode_(GetGraphicsMode(dc)), mapMode_(GetMapMode(dc)) {
    if (!GetWorldTransform(dc, &transform_)) transform_ = XFORM{1, 0, 0, 1, 0, 0};
  }
  ~WorldTransformGuard() {
    SetGraphicsMode(dc_, GM_ADVANCED);  // a transform can only be set in the advanced mode
    SetWorldTransform(dc_, &transform_);
    SetMapMode(dc_, mapMode_);
    SetGraphicsMode(dc_, graphicsMode_);
  }
  WorldTransformGuard(const WorldTransformGuard&) = delete;
  WorldTransformGuard& operator=(const WorldTransformGuard&) = delete;

 private:
  HDC dc_;
  int graphicsMode_;
  int mapMode_;
  XFORM transform_;
};

}  // namespace

int EffectivePagesPerSide(int pagesPerSide) {
  switch (pagesPerSide) {
    case 1:
    case 2:
    case 4:
    case 6:
    case 9:
    case 16:
      return pagesPerSide;
    default:
      return 1;
  }
}

SheetGrid GetSheetGrid(int pagesPerSide, int orientation) {
  switch (EffectivePagesPerSide(pagesPerSide)) {
    case 2:
      return orientation == 1 ? SheetGrid{1, 2} : SheetGrid{2, 1};
    case 4:
      return {2, 2};
    case 6:
      return orientation == 1 ? SheetGrid{2, 3} : SheetGrid{3, 2};
    case 9:
      return {3, 3};
    case 16:
      return {4, 4};
    default:
      return {1, 1};
  }
}

RECT GetPageCell(int page, int pagesPerSide, int orientation, int width, int height) {
  const int n = EffectivePagesPerSide(pagesPerSide);
  const SheetGrid grid = GetSheetGrid(n, orientation);
  const int cellH = static_cast<int>(static_cast<double>(height) / grid.rows);
  const int cellW = static_cast<int>(static_cast<double>(width) / grid.columns);
  // page - 1 is taken modulo n as a non-negative index.
  const int i = ((page - 1) % n + n) % n;
  const int row = i / grid.columns;
  const int column = i % grid.columns;
  return RECT{column * cellW, row * cellH, (column + 1) * cellW, (row + 1) * cellH};
}

DeviceMeasures ReadDeviceMeasures(HDC dc) {
  DeviceMeasures m;
  m.horzRes = GetDeviceCaps(dc, HORZRES);
  m.vertRes = GetDeviceCaps(dc, VERTRES);
  m.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
  m.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
  m.physicalOffsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
  m.physicalOffsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  return m;
}

PageTurn GetPageTurn(LONG frameRight, LONG frameBottom, int recordOrientation, const DeviceMeasures& m) {
  PageTurn turn;
  if (frameRight > frameBottom && recordOrientation == 1) {
    turn.angle = 270;
    turn.dy = static_cast<float>(m.physicalHeight - m.physicalOffsetY);
    turn.exchangeCell = true;
  } else if (frameRight < frameBottom && recordOrientation == 2) {
    turn.angle = 90;
    turn.dx = static_cast<float>(m.physicalWidth - m.physicalOffsetX);
    turn.exchangeCell = true;
  }
  return turn;
}

XFORM GetTurnTransform(const PageTurn& turn) {
  const double theta = std::atan(1.0) * turn.angle / 45;
  XFORM x;
  x.eM11 = static_cast<float>(std::cos(theta));
  x.eM12 = static_cast<float>(std::sin(theta));
  x.eM21 = static_cast<float>(-std::sin(theta));
  x.eM22 = static_cast<float>(std::cos(theta));
  x.eDx = turn.dx;
  x.eDy = turn.dy;
  return x;
}

void ScenarioLayers::PrintLayer(int mode, int page) { scenario_.PrintTemplate(mode, page); }

std::wstring ScenarioLayers::Description(int page) { return scenario_.GetDescription(page); }

EmfPagesResult PrintEmfPages(HDC dc, CSpooledEmf& reader, PageLayers& layers, const EmfPageJob& job) {
  EmfPagesResult result;
  PageTemplatesSection pageTemplates(job.controlFile);
  const int n = EffectivePagesPerSide(job.pagesPerSide);
  const DeviceMeasures measures = ReadDeviceMeasures(dc);
  bool sheetOpen = false;
  for (int p = 1; p <= job.totalPages; ++p) {
    const int i = (p - 1) % n;
    const bool lastOnSheet = n == 1 || i == n - 1 || p == job.totalPages;
    // The page comes first: a page the stream cannot deliver fails the job
    // before anything of it is drawn.
    dv::EnhMetaFileHandle page(reader.GetPage(p));
    if (!page) {
      result.failedEvent = 1007;
      result.error = GetLastError();
      result.failedPage = p;
      return result;
    }
    // The template's layers cover the whole sheet: the background goes
    // under the sheet's first page and the foreground over its last one, so
    // that the layers of one page never cover another page of the sheet (on
    // a 1-up sheet both come with every page).
    const bool firstOnSheet = !sheetOpen;
    if (!sheetOpen) {
      if (GetDocumentCalls().startPage(dc) <= 0) {
        result.failedEvent = 1010;
        result.error = GetLastError();
        return result;
      }
      sheetOpen = true;
    }
    if (firstOnSheet) layers.PrintLayer(1, p);
    pageTemplates.Add(p, layers.Description(p));
    {
      RECT cell = GetPageCell(p, n, job.orientation, measures.horzRes, measures.vertRes);
      std::unique_ptr<WorldTransformGuard> turned;
      if (n == 1) {
        ENHMETAHEADER header = {};
        GetEnhMetaFileHeader(page.get(), sizeof(header), &header);
        PageTurn turn = GetPageTurn(header.rclFrame.right, header.rclFrame.bottom, job.recordOrientation, measures);
        if (turn.exchangeCell) {
          LONG right = cell.right;
          cell.right = cell.bottom;
          cell.bottom = right;
        }
        turned.reset(new WorldTransformGuard(dc));
        const XFORM transform = GetTurnTransform(turn);
        SetGraphicsMode(dc, GM_ADVANCED);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWorldTransform(dc, &transform);
      }
      SetBkMode(dc, TRANSPARENT);
      PlayEnhMetaFile(dc, page.get(), &cell);
      page.reset();
      if (lastOnSheet) layers.PrintLayer(0, p);
    }  // the turn ends with the page's foreground layer
    if (!lastOnSheet) continue;
    sheetOpen = false;
    if (GetDocumentCalls().endPage(dc) <= 0) {
      result.failedEvent = 1011;
      result.error = GetLastError();
      return result;
    }
    // The back page follows the whole sheet, so an n-up sheet keeps all its
    // pages and a back page of its own.
    layers.PrintLayer(3, p);
  }
  return result;
}
