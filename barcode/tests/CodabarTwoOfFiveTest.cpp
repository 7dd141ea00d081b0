// Codabar, Code 2 of 5 and Interleaved 2 of 5 against the element patterns
// of their standards (written as narrow/wide elements here).
#include <gtest/gtest.h>

#include "barcode/tests/BarcodeTestHelpers.h"

using bctest::Bits;
using bctest::NarrowWide;

namespace {

// A Codabar character from its 7 elements, with its narrow gap.
std::string Cb(const char* elements) { return NarrowWide(elements, 1, 3) + "0"; }

const char kCbA[] = "NNWWNWN";
const char kCbB[] = "NWNWNNW";
const char kCbC[] = "NNNWNWW";
const char kCbD[] = "NNNWWWN";
const char kCb0[] = "NNNNNWW";
const char kCb1[] = "NNNNWWN";
const char kCb2[] = "NNNWNNW";
const char kCb3[] = "WWNNNNN";

// Code 2 of 5: five bars of 1 or 3 modules, each followed by one module of
// space.
std::string TwoOfFive(const char* bars) {
  std::string out;
  for (const char* b = bars; *b; ++b) out += std::string(*b == 'W' ? 3 : 1, '1') + "0";
  return out;
}

}  // namespace

TEST(Codabar, StartStopAndCharacters) {
  struct Row {
    const char* name;
    const wchar_t* text;
    std::string expected;
  };
  const Row rows[] = {
      {"123", L"123", Cb(kCbA) + Cb(kCb1) + Cb(kCb2) + Cb(kCb3) + Cb(kCbB)},
      {"c123d upper-cased", L"c123d", Cb(kCbC) + Cb(kCb1) + Cb(kCb2) + Cb(kCb3) + Cb(kCbD)},
      {"A123", L"A123", Cb(kCbA) + Cb(kCb1) + Cb(kCb2) + Cb(kCb3) + Cb(kCbB)},
      {"empty", L"", Cb(kCbA) + Cb(kCbB)},
      {"E is 0", L"1E", Cb(kCbA) + Cb(kCb1) + Cb(kCb0) + Cb(kCbB)},
      {"single A", L"A", Cb(kCbA)},
      {"punctuation", L"-$:/.+",
       Cb(kCbA) + Cb("NNNWWNN") + Cb("NNWWNNN") + Cb("WNNNWNW") + Cb("WNWNNNW") + Cb("WNWNWNN") +
           Cb("NNWNWNW") + Cb(kCbB)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Bits(1, row.text), row.expected);
  }
  EXPECT_EQ(Bits(1, L"").size(), 28u);
  // A code unit above 0xFF is outside the set, not its low byte 'A'.
  EXPECT_EQ(Bits(1, L"1\x0141"), Bits(1, L"10"));
}

TEST(TwoOfFive, StartStopAndDigits) {
  const std::string start = "1110111010";  // wide, wide, narrow bar
  const std::string stop = "111010111";    // wide, narrow, wide bar
  EXPECT_EQ(Bits(7, L""), start + stop);
  EXPECT_EQ(Bits(7, L"").size(), 19u);
  EXPECT_EQ(Bits(7, L"0"), start + TwoOfFive("NNWWN") + stop);
  EXPECT_EQ(Bits(7, L"1239"), start + TwoOfFive("WNNNW") + TwoOfFive("NWNNW") + TwoOfFive("WWNNN") +
                                  TwoOfFive("NWNWN") + stop);
  EXPECT_EQ(Bits(7, L"4X"), Bits(7, L"40"));
}

TEST(Interleaved2of5, PairsInBarsAndSpaces) {
  const std::string start = "11111000001111100000";
  const std::string stop = "111111111110000011111";
  EXPECT_EQ(Bits(3, L"").size(), 41u);
  EXPECT_EQ(Bits(3, L""), start + stop);
  // 1 (WNNNW) in the bars, 2 (NWNNW) in the spaces.
  EXPECT_EQ(Bits(3, L"12"), start + NarrowWide("WNNWNNNNWW", 5, 11) + stop);
  EXPECT_EQ(Bits(3, L"123"), Bits(3, L"0123"));
  EXPECT_EQ(Bits(3, L"123456").size(), 41u + 3 * 74);
  EXPECT_EQ(Bits(3, L"A9"), Bits(3, L"09"));
}
