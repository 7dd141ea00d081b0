// Code 39, full ASCII: every character 0 to 127 as one or two symbols of 9
// elements (3 of them wide; narrow 1 module, wide 3), each followed by a
// narrow space, between two '*' start/stop symbols. No check character.
// A character above 127 gives the empty result.
#pragma once

#include "barcode/Barcode.h"

class BarcodeCode39 final : public Barcode {
 public:
  // Upper-cases the text first, so a-z encode as capitals.
  std::wstring Encode(const std::wstring& text) override;
  // 16-module pattern of a basic-set character or '*'; nullptr otherwise.
  static const char* GetSymbolPattern(char c);
};
