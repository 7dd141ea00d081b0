// The engine's drawing of one print field: its text in the field's font,
// colour and direction at a millimetre position, and its barcode in a
// millimetre rectangle (handed to DrawFieldBarcode).
#include <cmath>

#include "common/FieldData.h"
#include "common/FontString.h"
#include "common/Handles.h"
#include "engine/FieldBarcode.h"

namespace {

// A page of 100 m is beyond any printer; clamping here keeps the device
// units well inside what GDI and a 32-bit integer hold at any resolution.
constexpr int kMaxFieldMm = 100000;

// A corner of the barcode rectangle: position plus size, without overflow.
int MmSum(int position, int size) {
  const long long sum = static_cast<long long>(position) + size;
  if (sum > kMaxFieldMm) return kMaxFieldMm;
  if (sum < -kMaxFieldMm) return -kMaxFieldMm;
  return static_cast<int>(sum);
}

}  // namespace

int CFieldData::MmToDevice(HDC dc, int mm, bool horizontal) {
  if (mm > kMaxFieldMm) mm = kMaxFieldMm;
  if (mm < -kMaxFieldMm) mm = -kMaxFieldMm;
  const int dpi = GetDeviceCaps(dc, horizontal ? LOGPIXELSX : LOGPIXELSY);
  const int offset = GetDeviceCaps(dc, horizontal ? PHYSICALOFFSETX : PHYSICALOFFSETY);
  const double units = std::trunc(static_cast<double>(dpi) * (static_cast<double>(mm) / 25.4));
  return static_cast<int>(units) - offset;
}

void CFieldData::Draw(HDC dc) const {
  if (!dc) return;
  if (PrintText != 0) {
    COLORREF colour = 0;
    LOGFONTW font{};
    ParseFontString(TextFont, colour, font);
    // The string holds points; the printer wants a character height.
    font.lfHeight = -MulDiv(font.lfHeight, GetDeviceCaps(dc, LOGPIXELSY), 72);
    // Tenths of a degree, counter-clockwise. Whole turns are dropped first
    // so that no angle can overflow.
    const int tenths = (TextDirection % 360) * 10;
    font.lfEscapement = tenths;
    font.lfOrientation = tenths;
    dv::GdiObject created(CreateFontIndirectW(&font));
    {
      dv::SelectGuard selected(dc, created.get());
      const COLORREF oldColour = GetTextColor(dc);
      const int oldMode = GetBkMode(dc);
      const int x = MmToDevice(dc, TextLeft, true);
      const int y = MmToDevice(dc, TextTop, false);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, colour);
      TextOutW(dc, x, y, printValue.c_str(), static_cast<int>(printValue.size()));
      SetTextColor(dc, oldColour);
      SetBkMode(dc, oldMode);
    }
  }
  if (PrintBarcode != 0) {
    // Each corner on its own: truncation may make the width differ by one
    // from the converted width.
    const RECT rect = {MmToDevice(dc, BarcodeLeft, true), MmToDevice(dc, BarcodeTop, false),
                       MmToDevice(dc, MmSum(BarcodeLeft, BarcodeWidth), true),
                       MmToDevice(dc, MmSum(BarcodeTop, BarcodeHeight), false)};
    DrawFieldBarcode(dc, printValue, BarcodeType, rect, BarcodeRotate);
  }
}
