// Codabar: digits, - $ : / . + and the start/stop characters A B C D; 7
// elements per character (narrow 1 module, wide 3), each followed by a
// narrow space. No check character; a character outside the set is encoded
// as 0.
#pragma once

#include "barcode/Barcode.h"

class BarcodeCodabar final : public Barcode {
 public:
  // Upper-cases the text, puts A in front unless it starts with A-D and
  // appends B unless it ends with A-D.
  std::wstring Encode(const std::wstring& text) override;
  // Pattern of a character; that of '0' for one outside the set.
  static const char* GetCharPattern(wchar_t c);
};
