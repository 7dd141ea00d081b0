// Code 2 of 5 and Interleaved 2 of 5.
#include "barcode/Barcode2of5.h"

namespace {

const char* const kWidths[10] = {
    "NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW", "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN",
};

const char k2of5Start[] = "1110111010";
const char k2of5Stop[] = "111010111";
const char kI25Start[] = "11111000001111100000";
const char kI25Stop[] = "111111111110000011111";

void AppendRun(std::wstring& bits, wchar_t module, size_t count) { bits.append(count, module); }

}  // namespace

const char* GetTwoOfFiveWidths(wchar_t c) { return Barcode::IsDigit(c) ? kWidths[c - L'0'] : kWidths[0]; }

std::wstring Barcode2of5::Encode(const std::wstring& text) {
  std::wstring bits;
  bits.reserve(10 + 14 * text.size() + 9);
  Append(bits, k2of5Start);
  for (wchar_t c : text) {
    for (const char* w = GetTwoOfFiveWidths(UpperAscii(c)); *w; ++w) {
      AppendRun(bits, L'1', *w == 'W' ? 3 : 1);
      bits.push_back(L'0');
    }
  }
  Append(bits, k2of5Stop);
  return bits;
}

std::wstring BarcodeInterleaved2of5::PrependZero(const std::wstring& text) {
  return text.size() % 2 ? L"0" + text : text;
}

std::wstring BarcodeInterleaved2of5::Encode(const std::wstring& text) {
  // An odd text is read as if it had a leading '0' (PrependZero), without
  // copying it.
  const size_t n = text.size();
  const bool odd = (n % 2) != 0;
  auto at = [&](size_t i) -> wchar_t { return odd ? (i == 0 ? L'0' : text[i - 1]) : text[i]; };
  const size_t pairs = (n + 1) / 2;
  std::wstring bits;
  bits.reserve(20 + 74 * pairs + 21);
  Append(bits, kI25Start);
  for (size_t p = 0; p < pairs; ++p) {
    const char* barWidths = GetTwoOfFiveWidths(at(2 * p));
    const char* spaceWidths = GetTwoOfFiveWidths(at(2 * p + 1));
    for (int e = 0; e < 5; ++e) {
      AppendRun(bits, L'1', barWidths[e] == 'W' ? 11 : 5);
      AppendRun(bits, L'0', spaceWidths[e] == 'W' ? 11 : 5);
    }
  }
  Append(bits, kI25Stop);
  return bits;
}
