// Code 93 value patterns, the full-ASCII expansion and the two check
// characters.
#include "barcode/BarcodeCode93.h"

#include "barcode/FullAscii.h"

namespace {

const char kBasicSet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
const char* const kPatterns[48] = {
    "100010100", "101001000", "101000100", "101000010",  // 0-3
    "100101000", "100100100", "100100010", "101010000",  // 4-7
    "100010010", "100001010", "110101000", "110100100",  // 8-11
    "110100010", "110010100", "110010010", "110001010",  // 12-15
    "101101000", "101100100", "101100010", "100110100",  // 16-19
    "100011010", "101011000", "101001100", "101000110",  // 20-23
    "100101100", "100010110", "110110100", "110110010",  // 24-27
    "110101100", "110100110", "110010110", "110011010",  // 28-31
    "101101100", "101100110", "100110110", "100111010",  // 32-35
    "100101110", "111010100", "111010010", "111001010",  // 36-39
    "101101110", "101110110", "110101110", "100100110",  // 40-43
    "111011010", "111010110", "100110010", "101011110",  // 44-47 (47 start/stop)
};

// Calls put(value) for each value of a byte 0 to 127.
template <class Put>
void ExpandByte(int b, Put&& put) {
  const FullAsciiChars chars = GetFullAscii(b);
  if (chars.shift) put(BarcodeCode93::GetValue(chars.shift, true));
  put(BarcodeCode93::GetValue(chars.symbol, false));
}

}  // namespace

const char* BarcodeCode93::GetValuePattern(int value) {
  if (value < 0 || value > kStartStop) return kPatterns[kStartStop];
  return kPatterns[value];
}

int BarcodeCode93::GetValue(char c, bool asShift) {
  if (asShift) {
    switch (c) {
      case '$': return kShiftDollar;
      case '%': return kShiftPercent;
      case '/': return kShiftSlash;
      case '+': return kShiftPlus;
      default: return -1;
    }
  }
  for (int k = 0; k < 43; ++k) {
    if (kBasicSet[k] == c) return k;
  }
  return -1;
}

std::wstring BarcodeCode93::Encode(const std::wstring& text) {
  // First pass: check the text and count the values, so that every value's
  // distance from the right end (its check weight) is known in the second.
  size_t n = 0;
  for (wchar_t c : text) {
    const int b = CharByte(c);
    if (b < 0 || b > 127) return std::wstring();
    n += GetFullAscii(b).shift ? 2 : 1;
  }
  std::wstring bits;
  bits.reserve(9 * (n + 4) + 1);
  Append(bits, kPatterns[kStartStop]);
  size_t i = 0;
  unsigned c = 0;
  unsigned k = 0;
  for (wchar_t ch : text) {
    ExpandByte(CharByte(ch), [&](int value) {
      const size_t d = n - 1 - i;
      c = (c + static_cast<unsigned>(value) * static_cast<unsigned>(d % 20 + 1)) % 47;
      k = (k + static_cast<unsigned>(value) * static_cast<unsigned>((d + 1) % 15 + 1)) % 47;
      Append(bits, kPatterns[value]);
      ++i;
    });
  }
  k = (k + c) % 47;
  Append(bits, kPatterns[c]);
  Append(bits, kPatterns[k]);
  Append(bits, kPatterns[kStartStop]);
  Append(bits, "1");
  return bits;
}
