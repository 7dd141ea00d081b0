// The two-of-five codes without check digit: Code 2 of 5 (only the five
// bars of a digit carry data) and Interleaved 2 of 5 (a pair of digits in
// the bars and spaces of one group). A character that is not a digit is
// encoded as 0.
#pragma once

#include "barcode/Barcode.h"

class Barcode2of5 final : public Barcode {
 public:
  // Start, 14 modules per character (narrow bar 1, wide bar 3, each bar
  // followed by a 1-module space), stop.
  std::wstring Encode(const std::wstring& text) override;
};

class BarcodeInterleaved2of5 final : public Barcode {
 public:
  // Start, 74 modules per pair (narrow elements 5 modules, wide 11), stop.
  std::wstring Encode(const std::wstring& text) override;
  // The text with a '0' in front when its length is odd.
  static std::wstring PrependZero(const std::wstring& text);
};

// Narrow/wide string of a digit, "NNWWN" for 0; that of 0 for a non-digit.
const char* GetTwoOfFiveWidths(wchar_t c);
