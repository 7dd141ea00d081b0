// Barcode part of a print field. The bars are not drawn yet: a field with
// PrintBarcode set prints its text part only.
#include "engine/FieldBarcode.h"

void DrawFieldBarcode(HDC /*dc*/, const std::wstring& /*text*/, int /*barcodeType*/, const RECT& /*rect*/,
                      int /*rotation*/) {}
