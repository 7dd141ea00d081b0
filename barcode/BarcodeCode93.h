// Code 93, full ASCII: values 0 to 46 of 9 modules each, with the shift
// values ($) (%) (/) (+) for characters outside the basic set, two check
// characters C and K, the start/stop symbol at both ends and a final bar.
// A character above 127 gives the empty result.
#pragma once

#include "barcode/Barcode.h"

class BarcodeCode93 final : public Barcode {
 public:
  static constexpr int kShiftDollar = 43;   // ($)
  static constexpr int kShiftPercent = 44;  // (%)
  static constexpr int kShiftSlash = 45;    // (/)
  static constexpr int kShiftPlus = 46;     // (+)
  static constexpr int kStartStop = 47;

  // The text is not upper-cased: a-z are (+)A to (+)Z.
  std::wstring Encode(const std::wstring& text) override;
  // 9-module pattern of a value 0 to 47; the start/stop pattern otherwise.
  static const char* GetValuePattern(int value);
  // Value of a basic-set character or of a shift character ('$' '%' '/'
  // '+' as shifts); -1 for any other.
  static int GetValue(char c, bool asShift);
};
