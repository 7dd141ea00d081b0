// CoBarcode: one barcode of a print field drawn into a rectangle of a device
// context.
//
// The field's text is prepared for the template's barcode type (EAN and UPC
// numbers completed, their check digits verified; engine/EanUpcData.cpp),
// the type (0-16) is mapped to an encoder symbology (0-12), the module
// string comes from Strimlet.dll (loaded for this barcode alone,
// engine/BarcodeLibrary.cpp), and the bars are painted as filled
// rectangles at 0, 90, 180 or 270 degrees. EAN-13, EAN-8, UPC-E and UPC-A in
// their guard form (types 12 to 15) draw the data modules three quarters
// high.
//
// A barcode that cannot be drawn (no library, a text the symbology refuses,
// a wrong check digit, a rectangle shorter than the modules) becomes a
// solid silver block over its rectangle: the visible mark of a failed
// barcode. A rectangle of zero or negative size paints nothing at all.
#pragma once

#include <windows.h>

#include <string>

class CoBarcode {
 public:
  // Size of the buffer the module string is copied into, terminator
  // included; a longer module string counts as a failed barcode.
  static constexpr size_t kBitsBufferSize = 10000;
  // Colour of the failed-barcode block.
  static constexpr COLORREF kSilver = 0xC0C0C0;
  // The text that replaces a number whose check digit is wrong: longer than
  // every EAN and UPC symbol, so the encoder refuses it.
  static const wchar_t kRefusedText[];

  CoBarcode() = default;
  virtual ~CoBarcode() = default;
  CoBarcode(const CoBarcode&) = delete;
  CoBarcode& operator=(const CoBarcode&) = delete;

  void SetData(const std::wstring& text) { data = text; }
  const std::wstring& GetData() const { return data; }
  void SetType(int value) { type = value; }
  int GetType() const { return type; }
  void SetRotation(int degrees) { rotation = degrees; }
  int GetRotation() const { return rotation; }
  COLORREF GetBarColour() const { return barColour; }

  // Fills (x, y)-(x + width, y + height), right and bottom edges excluded,
  // with a solid brush of the colour. Nothing when width or height is not
  // positive, so an empty or inverted rectangle never paints outside itself.
  static void FillBar(HDC dc, int x, int y, int width, int height, COLORREF colour);
  static void FillRect(HDC dc, const RECT& rect, COLORREF colour);

  // Draws the barcode into rect at the rotation (degrees; any value other
  // than 90, 180 and 270 draws as 0). The context's state is as before.
  // Never throws except std::bad_alloc.
  void Draw(HDC dc, const RECT& rect, int degrees);

  // The template's barcode type to the encoder's symbology: 12 -> 11,
  // 13 -> 4, 14 -> 5, 15 -> 6, 16 -> 12, any other type unchanged.
  static int GetSymbology(int barcodeType);
  // 0-based module positions drawn short in the guard form of a type; false
  // for every position of a type without guard form.
  static bool IsShortModule(int barcodeType, int module);

  // The module string of a text in a symbology through Strimlet.dll of the
  // install folder, copied into bits (kBitsBufferSize bytes, zeroed by the
  // caller). The library is loaded and freed for this one call. Event 1014
  // when it cannot be loaded, 1015 when it has no GetBarcodeStringBits; the
  // buffer then stays empty. A text whose ANSI form does not fit the
  // buffer, a null result and a result that does not fit also leave it
  // empty (a cut module string would print another barcode).
  static void GetBarcodeBits(const std::wstring& text, int symbology, char* bits);
  // The bounded copy of a library result: false (and bits left empty) for
  // null or for a string that does not fit size bytes with its terminator.
  static bool CopyBits(const char* result, char* bits, size_t size);

  // EAN and UPC data (engine/EanUpcData.cpp).
  // Every character outside 0-9 becomes 0.
  static void ZeroNonDigits(std::wstring& text);
  // GS1 check digit of 7, 11 or 12 data digits (12 get a leading 0 first);
  // a character that is not a digit counts as 0.
  static int ComputeCheckDigit(const std::wstring& digits);
  // Completes or verifies an EAN number of 8 or 13 digits (any other length
  // is taken as 13): stray characters become 0, a short number is padded
  // with leading zeros and gets its check digit, a given check digit that
  // is wrong turns the text into kRefusedText.
  static void NormalizeEan(std::wstring& text, int length);
  // The same for UPC-A (12) and UPC-E (7; any other length is 12); UPC-E's
  // check digit is that of its UPC-A expansion.
  static void NormalizeUpc(std::wstring& text, int length);
  // The 12-digit UPC-A number (number system 0, check digit) of UPC-E
  // digits given as 6, 7 (with check digit) or 8 characters (with number
  // system and check digit); "" for any other length.
  static std::wstring ExpandUpcE(const std::wstring& text);
  // The check digit of six UPC-E digits.
  static int GetUpcECheckDigit(const std::wstring& six);
  // The six UPC-E digits of a UPC-A number (up to 12 characters; fewer
  // than 11 are padded with leading zeros, 11 get their check digit). ""
  // when the number has no UPC-E form, when its given check digit is wrong,
  // or when its number system is not 0 (the UPC-E symbol carries number
  // system 0 only).
  static std::wstring CompressUpcA(const std::wstring& text);

 private:
  std::wstring data;
  int rotation = 0;
  COLORREF barColour = 0;
  int type = 0;
};
