// Code 39 symbol patterns and the full-ASCII encoder.
#include "barcode/BarcodeCode39.h"

#include "barcode/FullAscii.h"

namespace {

// The 43 characters of the basic set and '*', in this order.
const char kBasicSet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
const char* const kPatterns[44] = {
    "1010001110111010", "1110100010101110", "1011100010101110", "1110111000101010",  // 0-3
    "1010001110101110", "1110100011101010", "1011100011101010", "1010001011101110",  // 4-7
    "1110100010111010", "1011100010111010", "1110101000101110", "1011101000101110",  // 8 9 A B
    "1110111010001010", "1010111000101110", "1110101110001010", "1011101110001010",  // C-F
    "1010100011101110", "1110101000111010", "1011101000111010", "1010111000111010",  // G-J
    "1110101010001110", "1011101010001110", "1110111010100010", "1010111010001110",  // K-N
    "1110101110100010", "1011101110100010", "1010101110001110", "1110101011100010",  // O-R
    "1011101011100010", "1010111011100010", "1110001010101110", "1000111010101110",  // S-V
    "1110001110101010", "1000101110101110", "1110001011101010", "1000111011101010",  // W-Z
    "1000101011101110", "1110001010111010", "1000111010111010", "1000100010001010",  // - . space $
    "1000100010100010", "1000101000100010", "1010001000100010", "1000101110111010",  // / + % *
};

}  // namespace

const char* BarcodeCode39::GetSymbolPattern(char c) {
  for (int k = 0; k < 44; ++k) {
    if (kBasicSet[k] == c) return kPatterns[k];
  }
  return nullptr;
}

std::wstring BarcodeCode39::Encode(const std::wstring& text) {
  size_t symbols = 2;
  for (wchar_t c : text) {
    const int b = CharByte(UpperAscii(c));
    if (b < 0 || b > 127) return std::wstring();
    symbols += GetFullAscii(b).shift ? 2 : 1;
  }
  std::wstring bits;
  bits.reserve(16 * symbols);
  const char* frame = GetSymbolPattern('*');
  Append(bits, frame);
  for (wchar_t c : text) {
    const FullAsciiChars chars = GetFullAscii(CharByte(UpperAscii(c)));
    if (chars.shift) Append(bits, GetSymbolPattern(chars.shift));
    Append(bits, GetSymbolPattern(chars.symbol));
  }
  Append(bits, frame);
  return bits;
}
