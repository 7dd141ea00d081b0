// One print field of a page template (CFieldData) and the shared reader and
// writer of its section in a template file (*.dpt):
//
//   [Field_<n>]  DataFormat, FieldName, PrintText, TextTop, TextLeft,
//                TextDirection, TextFont, PrintBarcode, BarcodeTop,
//                BarcodeLeft, BarcodeWidth, BarcodeHeight, BarcodeRotate,
//                BarcodeType
//
// The controller's template editor and the engine read fields through the
// same Load. Positions and sizes are whole millimetres from the top-left
// corner of the paper. The drawing members (MmToDevice, Draw) belong to the
// engine and are defined there (engine/FieldDrawing.cpp); programs that do
// not draw fields do not link them.
#pragma once

#include <windows.h>
#include <string>

#include "common/FontString.h"

// The eight field kinds.
extern const wchar_t kFieldUserName[];      // "User Name"
extern const wchar_t kFieldPrinterName[];   // "Printer Name"
extern const wchar_t kFieldDocumentName[];  // "Document Name"
extern const wchar_t kFieldMachineName[];   // "Machine Name"
extern const wchar_t kFieldGroup[];         // "Group"
extern const wchar_t kFieldTime[];          // "Time"
extern const wchar_t kFieldDate[];          // "Date"
extern const wchar_t kFieldMixedData[];     // "Mixed Data"

// "Field_" followed by the 1-based position.
std::wstring FieldSectionName(int position);

// The most fields a template file may declare. The editor makes eight; a
// NumFields beyond this (or below 1) is taken as a damaged file and gives a
// template without fields rather than a giant allocation.
constexpr int kMaxTemplateFields = 1000;

class CFieldData {
 public:
  CFieldData() = default;
  virtual ~CFieldData() = default;
  // Copies are deep: every member, the print text included.
  CFieldData(const CFieldData&) = default;
  CFieldData& operator=(const CFieldData&) = default;

  // Writes the fourteen keys of section Field_<position>; keys of the
  // section that are not among them stay. Write results are not examined.
  void Save(const std::wstring& templateFile, int position) const;
  // Reads the fourteen keys of section Field_<position> with the file's read
  // defaults (BarcodeWidth 300, BarcodeHeight 50, the default font string);
  // a missing file or section gives those defaults. The print text is kept.
  void Load(const std::wstring& templateFile, int position);

  const std::wstring& GetFieldName() const { return FieldName; }
  const std::wstring& GetDataFormat() const { return DataFormat; }
  const std::wstring& GetPrintText() const { return printValue; }
  void SetPrintText(const std::wstring& text) { printValue = text; }

  // Engine only. Device units of a millimetre position measured from the
  // paper's edge: resolution x mm / 25.4 truncated, less the physical offset
  // of the axis (device coordinates start at the printable area). Positions
  // far outside any page are clamped first, so the result cannot overflow.
  static int MmToDevice(HDC dc, int mm, bool horizontal);
  // Engine only. Draws the text part when PrintText is set, then the barcode
  // part when PrintBarcode is set; leaves the context's font, text colour and
  // background mode as they were. A null context draws nothing.
  void Draw(HDC dc) const;

  std::wstring DataFormat;
  std::wstring FieldName;
  int PrintText = 0;
  int TextTop = 0;
  int TextLeft = 0;
  int TextDirection = 0;
  std::wstring TextFont = kDefaultFontString;
  int PrintBarcode = 0;
  int BarcodeTop = 0;
  int BarcodeLeft = 0;
  int BarcodeWidth = 0;
  int BarcodeHeight = 0;
  int BarcodeRotate = 0;
  int BarcodeType = 0;
  std::wstring printValue;
};
