// EAN-13, EAN-8, UPC-A and UPC-E from digit texts.
//
// EAN-13, EAN-8 and UPC-A encode the number as passed, check digit included:
// the caller completes and verifies it. UPC-E (number system 0) takes six
// digits and computes the check digit that chooses the parities, or takes
// it as a seventh character. A text longer than the symbology's length gives
// the empty result; a shorter one is padded on the left with '0'. Any
// character that is not a digit is encoded as 0.
#pragma once

#include <array>
#include <cstddef>

#include "barcode/Barcode.h"

class BarcodeEAN_UPC : public Barcode {
 public:
  // Left-hand odd-parity code (set A) of a digit, 7 modules; a non-digit
  // gets the code of 0.
  static const char* GetLCode(wchar_t c);
  // Right-hand code: the L-code with every module inverted.
  static const char* GetRCode(wchar_t c);
  // Left-hand even-parity code: the R-code reversed.
  static const char* GetGCode(wchar_t c);

  // Value of a digit; 0 for any other character.
  static int DigitValue(wchar_t c) { return IsDigit(c) ? c - L'0' : 0; }

  // Check digit of a digit string: from the left, the 1st, 3rd, 5th...
  // digits weigh 3 and the others 1; the result takes the weighted sum up
  // to the next multiple of ten.
  static int ComputeCheckDigit(const wchar_t* digits, size_t count);
  static int ComputeCheckDigit(const std::wstring& digits) { return ComputeCheckDigit(digits.data(), digits.size()); }

  // Up to 13 digits held without allocating.
  struct Digits {
    std::array<wchar_t, 13> d{};
    size_t count = 0;
    wchar_t operator[](size_t i) const { return d[i]; }
  };
  // The text padded on the left with '0' to the length (at most 13); false
  // when the text is longer than that.
  static bool Pad(const std::wstring& text, size_t length, Digits& out);

 protected:
  // Guards and the shared frame of EAN-13, EAN-8 and UPC-A.
  static std::wstring EncodeFlat(const std::wstring& text, size_t length, const char* leftParity);
};

// Symbology 11: 95 modules; the first digit chooses the parities of the
// next six.
class BarcodeEAN13 final : public BarcodeEAN_UPC {
 public:
  std::wstring Encode(const std::wstring& text) override;
  // Parities for a first digit: '1' the G-code, '0' the L-code.
  static const char* GetParity(wchar_t firstDigit);
};

// Symbology 4: 67 modules.
class BarcodeEAN8 final : public BarcodeEAN_UPC {
 public:
  std::wstring Encode(const std::wstring& text) override;
};

// Symbology 6: 95 modules; number system and check digit as passed.
class BarcodeUPCA final : public BarcodeEAN_UPC {
 public:
  std::wstring Encode(const std::wstring& text) override;
};

// Symbology 5: 51 modules, number system 0.
class BarcodeUPCE final : public BarcodeEAN_UPC {
 public:
  std::wstring Encode(const std::wstring& text) override;
  // Check digit of six digits d1-d6: that of their zero-suppressed UPC-A
  // expansion with number system 0.
  static int ComputeCheckDigit(const Digits& six);
  // Parities for a check digit: '0' the G-code, '1' the L-code.
  static const char* GetParity(wchar_t checkDigit);
};
