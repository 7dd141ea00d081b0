// The base of every symbology of the barcode encoder, and the one entry that
// picks the symbology by its number.
//
// An encoder turns a wide text into its module string: one wide character per
// module, '1' a bar and '0' a space, with no quiet zone and no human-readable
// text. An empty module string means that the symbology refused the text; the
// caller then draws the mark of a failed barcode instead of a symbol that a
// reader would take for another text.
#pragma once

#include <string>

class Barcode {
 public:
  Barcode() = default;
  virtual ~Barcode() = default;
  Barcode(const Barcode&) = delete;
  Barcode& operator=(const Barcode&) = delete;

  // The module string of a text; "" when the symbology cannot encode it.
  // Linear in the text's length; allocates only the string it returns.
  virtual std::wstring Encode(const std::wstring& text) = 0;

  void SetText(const std::wstring& value) { text = value; }
  void SetText(std::wstring&& value) { text = std::move(value); }
  const std::wstring& GetText() const { return text; }

  // Encode of the object's text.
  std::wstring GetBits() { return Encode(text); }

  // Every '1' becomes '0' and every other character '1'.
  static std::wstring ComplementBits(const std::wstring& bits);
  // The characters in reverse order.
  static std::wstring ReverseBits(const std::wstring& bits);

  // The byte an encoder looks at for a code unit, or -1 for a code unit
  // above 0xFF: such a character is outside every symbology's set and is
  // never taken for its low byte (U+0141 would otherwise print as 'A').
  static int CharByte(wchar_t c) { return c <= 0xFF ? static_cast<int>(c) : -1; }
  static bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
  // a-z become A-Z; nothing else changes.
  static wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }
  static std::wstring UpperAscii(const std::wstring& text);

 protected:
  // Appends a NUL-terminated pattern of '0' and '1' to a module string.
  static void Append(std::wstring& bits, const char* pattern);

 private:
  std::wstring text;
};

// Symbology numbers of the encoder's interface. Every number not listed
// (negative ones included) selects Code 128 with automatic B/C switching.
enum Symbology : int {
  kSymbologyCode128Auto = 0,
  kSymbologyCodabar = 1,
  kSymbologyCode39 = 2,
  kSymbologyInterleaved2of5 = 3,
  kSymbologyEan8 = 4,
  kSymbologyUpcE = 5,
  kSymbologyUpcA = 6,
  kSymbology2of5 = 7,
  kSymbologyCode128A = 8,
  kSymbologyCode128B = 9,
  kSymbologyCode128C = 10,
  kSymbologyEan13 = 11,
  kSymbologyCode93 = 12,
};

// Makes the encoder of the symbology (one object for this call, on the
// stack), gives it the text and returns its module string. Never throws
// except std::bad_alloc.
std::wstring EncodeSymbology(int symbology, std::wstring text);
