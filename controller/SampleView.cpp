// The job preview's view; see SampleView.h.
#include "controller/SampleView.h"

#include <algorithm>

#include "common/Handles.h"
#include "common/SpooledEmf.h"
#include "controller/resource.h"

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

void CSampleView::OnInitialUpdate() { SetScrollSizes(SIZE{2000, 2000}, SIZE{20, 20}); }

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
  if (total.cx != current.cx || total.cy != current.cy) SetScrollSizes(total, SIZE{total.cx / 100, total.cy / 100});

  if (!page) return;
  SetBkMode(dc, TRANSPARENT);
  PlayEnhMetaFile(dc, page.get(), &area);
}
