// The interface of Strimlet.dll, the barcode encoder.
//
// Callers load the library by its full path, bind the two functions by name
// with GetProcAddress, and hand every result back to FreeBarcodeStringBits
// before they unload it. The library keeps no state between calls, reads no
// file or setting and may be called from several threads at once.
#pragma once

extern "C" {

// The module string of a text: a new NUL-terminated string of '1' (bar) and
// '0' (space), one character per module, no quiet zone. The text is in the
// calling thread's ANSI code page; a null text is an empty one. Symbology
// numbers 0-12 as in barcode/Barcode.h; any other number is Code 128 Auto.
// Never returns null and never throws: a text the symbology cannot encode,
// and a failure inside the library (memory), give the empty string "".
typedef char* (*GetBarcodeStringBitsFn)(const char* text, int symbology);
__declspec(dllexport) char* GetBarcodeStringBits(const char* text, int symbology);

// Releases a result of GetBarcodeStringBits; null is ignored.
typedef void (*FreeBarcodeStringBitsFn)(char* bits);
__declspec(dllexport) void FreeBarcodeStringBits(char* bits);

}  // extern "C"

// An empty class whose copy assignment the library exports by ordinal 3.
// Nothing uses it; it returns the object itself.
class CStrimlet {
 public:
  CStrimlet() = default;
  CStrimlet(const CStrimlet&) = default;
  CStrimlet& operator=(const CStrimlet& other);
};
