// The job preview's view; see SampleView.h.
#include "controller/SampleView.h"

#include <algorithm>

#include "common/Handles.h"
#include "common/SpooledEmf.h"
#include "controller/resource.h"
#include "ui/CmdUI.h"
#include "ui/CommonDialogs.h"

namespace {

const wchar_t kFailedToStartPrint[] = L"Failed to start print job.";
const wchar_t kPrintStopped[] = L"The printer refused a page; the job was not printed.";

// A page's frame (hundredths of a millimetre from the sheet's corner) in the
// printer's pixels, from the corner of its printable area.
RECT FrameOnSheet(const RECTL& frame, HDC dc) {
  const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  const int offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
  const int offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  return RECT{MulDiv(frame.left, dpiX, 2540) - offsetX, MulDiv(frame.top, dpiY, 2540) - offsetY,
              MulDiv(frame.right, dpiX, 2540) - offsetX, MulDiv(frame.bottom, dpiY, 2540) - offsetY};
}

}  // namespace

bool ApplyPreviewCommand(PreviewPosition& p, UINT id) {
  switch (id) {
    case ID_PREVIEW_FIRST_PAGE: p.page = 1; break;
    case ID_PREVIEW_BACK_10: p.page = std::max(p.page - 10, 1); break;
    case ID_PREVIEW_PREV_PAGE: p.page = std::max(p.page - 1, 1); break;
    case ID_PREVIEW_NEXT_PAGE: p.page = std::min(p.page + 1, p.pageCount); break;
    case ID_PREVIEW_FORWARD_10: p.page = std::min(p.page + 10, p.pageCount); break;
    case ID_PREVIEW_LAST_PAGE: p.page = p.pageCount; break;
    case ID_PREVIEW_ZOOM_IN: p.zoom = std::min(p.zoom + kPreviewZoomStep, kPreviewMaxZoom); break;
    case ID_PREVIEW_ZOOM_OUT: p.zoom = std::max(p.zoom - kPreviewZoomStep, kPreviewMinZoom); break;
    default: return false;
  }
  return true;
}

bool IsPreviewCommandEnabled(const PreviewPosition& p, UINT id) {
  switch (id) {
    case ID_PREVIEW_FIRST_PAGE:
    case ID_PREVIEW_BACK_10:
    case ID_PREVIEW_PREV_PAGE:
      return p.page >= 2;
    case ID_PREVIEW_NEXT_PAGE:
    case ID_PREVIEW_FORWARD_10:
    case ID_PREVIEW_LAST_PAGE:
      return p.page < p.pageCount;
    case ID_PREVIEW_ZOOM_IN:
      return p.zoom < kPreviewMaxZoom;
    case ID_PREVIEW_ZOOM_OUT:
      return p.zoom > kPreviewMinZoom;
    default:
      return false;
  }
}

RECT ScalePageFrame(const RECTL& frame, int zoom, int horzRes, int vertRes, int horzSize, int vertSize) {
  RECT out = {0, 0, 0, 0};
  // A device without a size (some virtual displays) would divide by zero.
  if (horzSize <= 0 || vertSize <= 0) return out;
  const double z = zoom / 100.0;
  const float horzDivisor = static_cast<float>(horzSize) * 100.0f;
  const float vertDivisor = static_cast<float>(vertSize) * 100.0f;
  auto horz = [&](LONG x) {
    return static_cast<LONG>(static_cast<double>(static_cast<float>(x)) * z * static_cast<float>(horzRes) /
                             horzDivisor);
  };
  auto vert = [&](LONG y) {
    return static_cast<LONG>(static_cast<double>(static_cast<float>(y)) * z * static_cast<float>(vertRes) /
                             vertDivisor);
  };
  out.left = horz(frame.left);
  out.right = horz(frame.right);
  out.top = vert(frame.top);
  out.bottom = vert(frame.bottom);
  return out;
}

CSampleView::~CSampleView() { Destroy(); }

bool CSampleView::CreateIn(HWND frame, UINT id) {
  return CreateView(frame, id, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL);
}

namespace {

// The page step is a tenth of the drawing, the arrow step a tenth of that.
void SetPageScrollSizes(ui::ScrollView& view, SIZE total) {
  const SIZE page = {total.cx / 10, total.cy / 10};
  view.SetScrollSizes(total, page, SIZE{page.cx / 10, page.cy / 10});
}

}  // namespace

void CSampleView::OnInitialUpdate() { SetPageScrollSizes(*this, SIZE{2000, 2000}); }

void CSampleView::OnDraw(HDC dc) {
  const CDFVDocument* doc = GetDocument();
  if (!doc || doc->GetPathName().empty()) return;

  // A new reader on every paint: the job's file is never held open between
  // paints, so another program may change or remove it meanwhile.
  CSpooledEmf reader(doc->GetPathName());
  position.pageCount = reader.GetPageCount();
  dv::EnhMetaFileHandle page(position.page >= 1 ? reader.GetPage(position.page) : nullptr);

  ENHMETAHEADER header = {};
  if (page) GetEnhMetaFileHeader(page.get(), sizeof(header), &header);

  const RECT area = ScalePageFrame(header.rclFrame, position.zoom, GetDeviceCaps(dc, HORZRES),
                                   GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, HORZSIZE), GetDeviceCaps(dc, VERTSIZE));
  const SIZE total = {area.right - area.left, area.bottom - area.top};
  // Setting the sizes repaints: only a change may do so, or every paint
  // would ask for the next one.
  const SIZE current = TotalSize();
  if (total.cx != current.cx || total.cy != current.cy) SetPageScrollSizes(*this, total);

  if (!page) return;
  // The page is white paper on the view's grey, whatever the job draws.
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  PlayEnhMetaFile(dc, page.get(), &area);
}

bool CSampleView::OnCommand(UINT id, UINT, HWND) {
  switch (id) {
    case ID_FILE_PRINT:
      Print(false);
      return true;
    case ID_FILE_PRINT_DIRECT:
      Print(true);
      return true;
    default:
      return false;
  }
}

bool CSampleView::OnUpdate(ui::CmdUI& cmd) {
  if (cmd.Id() != ID_FILE_PRINT && cmd.Id() != ID_FILE_PRINT_DIRECT) return false;
  const CDFVDocument* doc = GetDocument();
  cmd.Enable(doc && !doc->GetPathName().empty() && position.pageCount > 0);
  return true;
}

void CSampleView::Print(bool direct) {
  const CDFVDocument* doc = GetDocument();
  if (!doc || doc->GetPathName().empty() || position.pageCount <= 0) return;
  HWND owner = GetAncestor(Hwnd(), GA_ROOT);
  PRINTDLGW pd = {};
  pd.lStructSize = sizeof(pd);
  pd.hwndOwner = owner;
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | (direct ? PD_RETURNDEFAULT : 0);
  pd.nMinPage = 1;
  pd.nMaxPage = static_cast<WORD>(std::min(position.pageCount, 0xFFFF));
  pd.nFromPage = 1;
  pd.nToPage = pd.nMaxPage;
  pd.nCopies = 1;
  const bool confirmed = ui::ShowPrintDialog(owner, pd);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  dv::DcHandle dc(pd.hDC);
  if (!confirmed) return;
  if (!dc) {
    ui::AppMessageBox(kFailedToStartPrint, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  int first = 1, last = position.pageCount;
  if (pd.Flags & PD_PAGENUMS) {
    first = pd.nFromPage;
    last = pd.nToPage;
  }
  PrintPages(dc.get(), first, last);
}

int CSampleView::PrintPages(HDC dc, int first, int last) const {
  const CDFVDocument* doc = GetDocument();
  if (!doc || doc->GetPathName().empty()) return 0;
  CSpooledEmf reader(doc->GetPathName());
  first = std::max(first, 1);
  last = std::min(last, reader.GetPageCount());
  if (first > last) return 0;

  const std::wstring name = doc->GetTitle();
  DOCINFOW di = {};
  di.cbSize = sizeof(di);
  di.lpszDocName = name.c_str();
  if (StartDocW(dc, &di) <= 0) {
    ui::AppMessageBox(kFailedToStartPrint, MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  int printed = 0;
  for (int n = first; n <= last; ++n) {
    dv::EnhMetaFileHandle page(reader.GetPage(n));
    if (StartPage(dc) <= 0) break;
    if (page) {
      ENHMETAHEADER header = {};
      GetEnhMetaFileHeader(page.get(), sizeof(header), &header);
      const RECT area = FrameOnSheet(header.rclFrame, dc);
      SetBkMode(dc, TRANSPARENT);
      PlayEnhMetaFile(dc, page.get(), &area);
    }
    if (EndPage(dc) <= 0) break;
    ++printed;
  }
  if (printed < last - first + 1) {
    // A sheet the printer refused: no part of the job is left to print.
    AbortDoc(dc);
    ui::AppMessageBox(kPrintStopped, MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  EndDoc(dc);
  return printed;
}
