// Barcode part of a print field: one CoBarcode for the field's print text
// and type, drawn into the field's rectangle.
#include "engine/FieldBarcode.h"

#include "engine/BarcodeDrawing.h"

void DrawFieldBarcode(HDC dc, const std::wstring& text, int barcodeType, const RECT& rect, int rotation) {
  try {
    CoBarcode barcode;
    barcode.SetData(text);
    barcode.SetType(barcodeType);
    barcode.Draw(dc, rect, rotation);
  } catch (...) {
    // Out of memory: the barcode is lost, the page goes on.
  }
}
