// Hand-off from field drawing to barcode drawing: a field printed as a
// barcode gives its print text, its template barcode type (0-16) and its
// rotation, with the rectangle already in device units.
#pragma once

#include <windows.h>
#include <string>

// Draws one field's barcode into rect (left, top, right, bottom in device
// units, each corner converted on its own). Leaves the context's state as it
// was. Never throws.
void DrawFieldBarcode(HDC dc, const std::wstring& text, int barcodeType, const RECT& rect, int rotation);
