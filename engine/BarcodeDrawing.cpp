// CoBarcode's painting: data preparation by type, the guard-form margin,
// the module width and the bars at four rotations.
#include "engine/BarcodeDrawing.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "common/Handles.h"

const wchar_t CoBarcode::kRefusedText[] = L"              ";

void CoBarcode::FillBar(HDC dc, int x, int y, int width, int height, COLORREF colour) {
  if (width <= 0 || height <= 0) return;
  dv::GdiObject brush(CreateSolidBrush(colour));
  if (!brush) return;
  const RECT r = {x, y, x + width, y + height};
  ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void CoBarcode::FillRect(HDC dc, const RECT& rect, COLORREF colour) {
  FillBar(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, colour);
}

int CoBarcode::GetSymbology(int barcodeType) {
  switch (barcodeType) {
    case 12: return 11;
    case 13: return 4;
    case 14: return 5;
    case 15: return 6;
    case 16: return 12;
    default: return barcodeType;
  }
}

bool CoBarcode::IsShortModule(int barcodeType, int module) {
  auto in = [module](int from, int to) { return module >= from && module <= to; };
  switch (barcodeType) {
    case 12: return in(3, 45) || in(49, 91);  // EAN-13
    case 13: return in(3, 30) || in(36, 63);  // EAN-8
    case 14: return in(3, 45);                // UPC-E
    case 15: return in(10, 45) || in(50, 83); // UPC-A: first and last digit stay long
    default: return false;
  }
}

namespace {

int Trunc(double value) { return static_cast<int>(std::trunc(value)); }

}  // namespace

void CoBarcode::Draw(HDC dc, const RECT& rect, int degrees) {
  rotation = degrees;
  const bool turned = rotation == 90 || rotation == 270;
  std::wstring text = data;

  // A UPC-E field may be given its number in UPC-A form.
  bool refused = false;
  if ((type == 5 || type == 14) && text.size() >= 8 && text.size() <= 12) {
    text = CompressUpcA(text);
    // No UPC-E form (or a wrong check digit): the failed-barcode block, not
    // the symbol of zero that padding the empty text would give.
    refused = text.empty();
  }
  switch (type) {
    case 11:
    case 12: NormalizeEan(text, 13); break;
    case 4:
    case 13: NormalizeEan(text, 8); break;
    case 6:
    case 15: NormalizeUpc(text, 12); break;
    case 5:
    case 14:
      if (!refused) NormalizeUpc(text, 7);
      break;
    default: break;
  }

  // Margins in 64 bits: no rectangle can overflow them.
  long long left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
  if (type == 12) {
    if (rotation == 90) {
      bottom -= Trunc(static_cast<double>(bottom - top) / 13);
    } else if (rotation == 180) {
      right -= Trunc(static_cast<double>(right - left) / 13);
    } else if (rotation == 270) {
      top += Trunc(static_cast<double>(bottom - top) / 13);
    } else {
      left += Trunc(static_cast<double>(right - left) / 13);
    }
  } else if (type == 15) {
    if (turned) {
      const int m = Trunc(static_cast<double>(bottom - top) / 12);
      top += m;
      bottom -= m;
    } else {
      const int m = Trunc(static_cast<double>(right - left) / 12);
      left += m;
      right -= m;
    }
  }
  const RECT area = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                     static_cast<LONG>(bottom)};
  // A rectangle of zero or negative size has no inside: every fill below
  // (the silver block and each bar) is refused by FillBar, so nothing is
  // painted outside it, while the library is still bound as for any field.
  if (refused) {
    FillRect(dc, area, kSilver);
    return;
  }

  std::vector<char> bits(kBitsBufferSize, 0);
  GetBarcodeBits(text, GetSymbology(type), bits.data());
  const size_t n = std::strlen(bits.data());
  if (n == 0) {
    FillRect(dc, area, kSilver);
    return;
  }
  const long long length = turned ? area.bottom - area.top : area.right - area.left;
  const long long w = static_cast<long long>(std::floor(static_cast<double>(length) / static_cast<double>(n)));
  if (w <= 0) {
    FillRect(dc, area, kSilver);
    return;
  }

  const bool guard = type >= 12 && type <= 15;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const int shortHeight = Trunc(0.75 * height);
  const int shortWidth = Trunc(0.75 * width);
  for (size_t i = 0; i < n; ++i) {
    if (bits[i] != '1') continue;
    const bool isShort = guard && IsShortModule(type, static_cast<int>(i));
    // Offsets stay within the bar axis (n * w <= length).
    const int forward = static_cast<int>(static_cast<long long>(i) * w);
    const int backward = static_cast<int>(static_cast<long long>(n - 1 - i) * w);
    const int size = static_cast<int>(w);
    switch (rotation) {
      case 180:
        if (isShort) {
          FillBar(dc, area.left + backward, area.top + Trunc(0.25 * height), size, shortHeight, barColour);
        } else {
          FillBar(dc, area.left + backward, area.top, size, height, barColour);
        }
        break;
      case 270:
        if (isShort) {
          FillBar(dc, area.left + Trunc(0.25 * width), area.top + forward, shortWidth, size, barColour);
        } else {
          FillBar(dc, area.left, area.top + forward, width, size, barColour);
        }
        break;
      case 90:
        FillBar(dc, area.left, area.top + backward, isShort ? shortWidth : width, size, barColour);
        break;
      default:
        FillBar(dc, area.left + forward, area.top, size, isShort ? shortHeight : height, barColour);
        break;
    }
  }
}
