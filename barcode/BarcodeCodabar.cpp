// Codabar character patterns and the encoder.
#include "barcode/BarcodeCodabar.h"

#include <cstring>

namespace {

const char kCharset[] = "0123456789-$:/.+ABCD";
const char* const kPatterns[20] = {
    "101010001110", "101011100010", "101000101110", "111000101010", "101110100010",  // 0-4
    "111010100010", "100010101110", "100010111010", "100011101010", "111010001010",  // 5-9
    "101000111010", "101110001010",                                                  // - $
    "11101011101110", "11101110101110", "11101110111010", "10111011101110",          // : / . +
    "10111000100010", "10001000101110", "10100010001110", "10100011100010",          // A B C D
};

bool IsStartStop(wchar_t c) { return c >= L'A' && c <= L'D'; }

}  // namespace

const char* BarcodeCodabar::GetCharPattern(wchar_t c) {
  for (int k = 0; k < 20; ++k) {
    if (static_cast<wchar_t>(kCharset[k]) == c) return kPatterns[k];
  }
  return kPatterns[0];
}

std::wstring BarcodeCodabar::Encode(const std::wstring& text) {
  const bool addStart = text.empty() || !IsStartStop(UpperAscii(text.front()));
  const bool addStop = text.empty() || !IsStartStop(UpperAscii(text.back()));
  size_t length = 0;
  for (wchar_t c : text) length += std::strlen(GetCharPattern(UpperAscii(c)));
  length += (addStart ? 14 : 0) + (addStop ? 14 : 0);
  std::wstring bits;
  bits.reserve(length);
  if (addStart) Append(bits, GetCharPattern(L'A'));
  for (wchar_t c : text) Append(bits, GetCharPattern(UpperAscii(c)));
  if (addStop) Append(bits, GetCharPattern(L'B'));
  return bits;
}
