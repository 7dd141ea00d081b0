// Code 128: set A, set B, set C and the automatic encoder that mixes sets B
// and C. They share the symbol table and the check symbol: the start value
// plus every following symbol's value weighted by its position (from 1),
// modulo 103.
//
// A character that the chosen set cannot hold (a byte outside it, a set C
// pair that is not two digits, a code unit above 0xFF) makes the whole
// result empty: drawing another symbol in its place would let a reader take
// the barcode for another text.
#pragma once

#include "barcode/Barcode.h"

class Barcode128 : public Barcode {
 public:
  // Symbol values of the standard's table that the encoders name.
  static constexpr int kCodeC = 99;    // in set B: change to set C
  static constexpr int kCodeB = 100;   // in set C: change to set B
  static constexpr int kStartA = 103;
  static constexpr int kStartB = 104;
  static constexpr int kStartC = 105;
  // A symbol code is the value plus 32; code 138 names the Stop symbol.
  static constexpr int kStopCode = 138;

  // The pattern of a symbol code: 11 modules for the codes 32 to 137 (values
  // 0 to 105), 13 for Stop; any other code gives the pattern of value 0.
  static const char* GetSymbolPattern(int code);

  // Symbol value of a character in set A (upper-cased first; control
  // characters 0-31 are the values 64-95) or set B; -1 when the set has none.
  static int SetAValue(wchar_t c);
  static int SetBValue(wchar_t c);
  // Set C value of two characters, or -1 unless both are digits.
  static int SetCValue(wchar_t c1, wchar_t c2);

 protected:
  // Writes start, symbols, check and Stop into a module string reserved for
  // the given number of data symbols, keeping the weighted sum as it goes.
  class SymbolWriter {
   public:
    SymbolWriter(std::wstring& bits, int startValue, size_t dataSymbols);
    void Put(int value);
    void Finish();

   private:
    std::wstring& bits_;
    unsigned long long sum_;
    unsigned long long position_ = 1;
  };
};

// Symbology 8. Upper-cases the text.
class Barcode128A final : public Barcode128 {
 public:
  std::wstring Encode(const std::wstring& text) override;
};

// Symbology 9.
class Barcode128B final : public Barcode128 {
 public:
  std::wstring Encode(const std::wstring& text) override;
};

// Symbology 10. A text of odd length gets a leading '0'.
class Barcode128C final : public Barcode128 {
 public:
  std::wstring Encode(const std::wstring& text) override;
};

// Symbology 0 and every number without a symbology of its own. Starts in
// set B (or C when the text begins with four digits), changes to set C for
// a run of at least four digits and back to B when the run ends.
class Barcode128Auto final : public Barcode128 {
 public:
  std::wstring Encode(const std::wstring& text) override;
};
