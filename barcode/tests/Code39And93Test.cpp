// Code 39 and Code 93 against examples worked out from their standards:
// element patterns, the full-ASCII pairs and Code 93's two check characters.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "barcode/BarcodeCode39.h"
#include "barcode/BarcodeCode93.h"
#include "barcode/tests/BarcodeTestHelpers.h"

using bctest::Bits;
using bctest::NarrowWide;
using bctest::Runs;

namespace {

// A Code 39 character from the standard's bar/space notation, with its
// narrow intercharacter gap.
std::string C39(const char* elements) { return NarrowWide(elements, 1, 3) + "0"; }

const char kStar[] = "NWNNWNWNN";

}  // namespace

TEST(Code39, WorkedExamples) {
  const std::string star = C39(kStar);
  const std::string a = C39("WNNNNWNNW");
  const std::string one = C39("WNNWNNNNW");
  const std::string b = C39("NNWNNWNNW");
  const std::string plus = C39("NWNNNWNWN");
  const std::string slash = C39("NWNWNNNWN");
  const std::string j = C39("NNNNWWWNN");
  EXPECT_EQ(Bits(2, L"A1"), star + a + one + star);
  EXPECT_EQ(Bits(2, L"A1").size(), 64u);
  EXPECT_EQ(Bits(2, L"a1"), Bits(2, L"A1"));
  EXPECT_EQ(Bits(2, L"a+b"), star + a + plus + b + star);
  EXPECT_EQ(Bits(2, L""), star + star);
  // A '*' in the data is the pair /J, never a start/stop in mid-symbol.
  EXPECT_EQ(Bits(2, L"*"), star + slash + j + star);
  EXPECT_EQ(std::string(BarcodeCode39::GetSymbolPattern('0')), C39("NNNWWNWNN"));
}

TEST(Code39, FullAsciiPairs) {
  struct Row {
    std::wstring character;
    const wchar_t* pair;
  };
  const Row rows[] = {
      {std::wstring(1, L'\0'), L"%U"}, {L"\x01", L"$A"}, {L"\x1A", L"$Z"}, {L"\x1B", L"%A"},
      {L"\x1F", L"%E"}, {L"!", L"/A"}, {L"#", L"/C"}, {L"&", L"/F"}, {L")", L"/I"},
      {L",", L"/L"}, {L":", L"/Z"}, {L";", L"%F"}, {L"?", L"%J"}, {L"@", L"%V"},
      {L"[", L"%K"}, {L"_", L"%O"}, {L"`", L"%W"}, {L"{", L"%P"}, {L"\x7F", L"%T"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.pair, row.pair + 2));
    EXPECT_EQ(Bits(2, row.character), Bits(2, row.pair));
    EXPECT_EQ(Bits(2, row.character).size(), 64u);
  }
  // $ % + / - . and blank stand for themselves.
  for (const wchar_t* c : {L"$", L"%", L"+", L"/", L"-", L".", L" "}) EXPECT_EQ(Bits(2, c).size(), 48u);
}

TEST(Code39, EverySymbolIsNineElementsThreeWide) {
  for (int b = 0; b < 128; ++b) {
    SCOPED_TRACE(b);
    const std::string bits = Bits(2, std::wstring(1, static_cast<wchar_t>(b)));
    ASSERT_TRUE(bits.size() == 48 || bits.size() == 64);
    for (size_t s = 0; s < bits.size(); s += 16) {
      std::vector<int> runs = Runs(bits.substr(s, 15));
      ASSERT_EQ(runs.size(), 9u);
      int wide = 0;
      for (int r : runs) {
        ASSERT_TRUE(r == 1 || r == 3);
        wide += r == 3;
      }
      EXPECT_EQ(wide, 3);
      EXPECT_EQ(bits[s + 15], '0');
    }
  }
}

TEST(Code39And93, RefuseBytesAbove127) {
  for (int symbology : {2, 12}) {
    SCOPED_TRACE(symbology);
    EXPECT_EQ(Bits(symbology, L"AB\x80"), "");
    EXPECT_EQ(Bits(symbology, L"\xFF" L"1"), "");
    // Low byte 0x41 would read as A.
    EXPECT_EQ(Bits(symbology, L"\x0141"), "");
  }
}

namespace {

// Code 93 value patterns of the standard for the values the examples use.
std::string V93(int value) { return BarcodeCode93::GetValuePattern(value); }

std::string Code93Of(std::initializer_list<int> values, int c, int k) {
  std::string out = "101011110";
  for (int v : values) out += V93(v);
  return out + V93(c) + V93(k) + "101011110" + "1";
}

}  // namespace

TEST(Code93, ChecksAndShifts) {
  // The standard's example: TEST93 has the check characters "+6".
  EXPECT_EQ(Bits(12, L"TEST93"), Code93Of({29, 14, 28, 29, 9, 3}, 41, 6));
  // a is (+)A: values 46 and 10; C = 46*2 + 10 = 102 mod 47 = 8;
  // K = 46*3 + 10*2 + 8 = 166 mod 47 = 25.
  EXPECT_EQ(Bits(12, L"a"), Code93Of({46, 10}, 8, 25));
  // @ is (%)V: 44 and 31; C = 119 mod 47 = 25; K = 132 + 62 + 25 = 219 mod 47 = 31.
  EXPECT_EQ(Bits(12, L"@"), Code93Of({44, 31}, 25, 31));
  // * is (/)J: 45 and 19; C = 109 mod 47 = 15; K = 135 + 38 + 15 = 188 mod 47 = 0.
  EXPECT_EQ(Bits(12, L"*"), Code93Of({45, 19}, 15, 0));
  EXPECT_EQ(Bits(12, L""), Code93Of({}, 0, 0));
  EXPECT_EQ(Bits(12, L"").size(), 37u);
  // The standard's table: 0 and A, the start/stop character.
  EXPECT_EQ(V93(0), bctest::Widths("131112"));
  EXPECT_EQ(V93(10), bctest::Widths("211113"));
  EXPECT_EQ(V93(47), bctest::Widths("111141"));
}

TEST(Code93, WeightsStartAgainAfterTwentyAndFifteen) {
  // 25 values: C's weights run 1-20 and again 1-5 from the right, K's 1-15
  // twice (C counted as the rightmost). Worked out here term by term.
  const std::wstring text = L"0123456789ABCDEFGHIJKLMNO";
  int c = 0, k = 0;
  const int n = 25;
  for (int i = 0; i < n; ++i) {
    const int value = i;  // the digits and letters are their own values 0-24
    c += value * ((n - 1 - i) % 20 + 1);
    k += value * ((n - i) % 15 + 1);
  }
  c %= 47;
  k = (k + c) % 47;
  const std::string bits = Bits(12, text);
  ASSERT_EQ(bits.size(), 9u * (25 + 4) + 1);
  EXPECT_EQ(bits.substr(9 * 26, 9), V93(c));
  EXPECT_EQ(bits.substr(9 * 27, 9), V93(k));
}

TEST(Code93, ValueTableHasTheStandardsShape) {
  // Every value: 3 bars and 3 spaces of 1 to 4 modules, 9 in all; all
  // different.
  std::set<std::string> seen;
  for (int v = 0; v <= 47; ++v) {
    SCOPED_TRACE(v);
    const std::string p = V93(v);
    ASSERT_EQ(p.size(), 9u);
    std::vector<int> runs = Runs(p);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(p.front(), '1');
    for (int r : runs) EXPECT_LE(r, 4);
    seen.insert(p);
  }
  EXPECT_EQ(seen.size(), 48u);
}

namespace {

// The symbol table of the Code 93 standard (AIM USS-93), written as the
// standard gives it: the widths of bar, space, bar, space, bar, space for
// values 0-46 (0-9, A-Z, - . space $ / + %, then the shift characters ($)
// (%) (/) (+)) and the start/stop character.
const char* const kUss93Widths[48] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",  // 0-9
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",  // A-J
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",  // K-T
    "221121", "222111", "112122", "112221", "122121", "123111",                                          // U-Z
    "121131", "311112", "311211", "321111", "112131", "113121", "211131",                                // - . $/+%
    "121221", "312111", "311121", "122211",                                                              // shifts
    "111141",                                                                                            // start/stop
};

// A whole Code 93 symbol of the given values from the standard's table,
// with the check characters worked out by the standard's weights.
std::string Uss93Symbol(const std::vector<int>& values) {
  const int n = static_cast<int>(values.size());
  int c = 0, k = 0;
  for (int i = 0; i < n; ++i) {
    c += values[i] * ((n - 1 - i) % 20 + 1);
    k += values[i] * ((n - i) % 15 + 1);
  }
  c %= 47;
  k = (k + c) % 47;
  std::string out = bctest::Widths(kUss93Widths[47]);
  for (int v : values) out += bctest::Widths(kUss93Widths[v]);
  return out + bctest::Widths(kUss93Widths[c]) + bctest::Widths(kUss93Widths[k]) + bctest::Widths(kUss93Widths[47]) +
         "1";
}

}  // namespace

TEST(Code93, EveryValueAsTheStandardsTableGivesIt) {
  // Each of the 43 characters of the basic set on its own, and each shift
  // character through a full-ASCII character that needs it: $A is 1, %V is
  // the at sign, /A is the exclamation mark, +A is a.
  const char kBasic[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  for (int v = 0; v < 43; ++v) {
    SCOPED_TRACE(kBasic[v]);
    EXPECT_EQ(Bits(12, std::wstring(1, static_cast<wchar_t>(kBasic[v]))), Uss93Symbol({v}));
  }
  struct Row {
    const wchar_t* text;
    std::vector<int> values;
  } rows[] = {
      {L"\x01", {43, 10}}, {L"@", {44, 31}}, {L"!", {45, 10}}, {L"a", {46, 10}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.values[0]);
    EXPECT_EQ(Bits(12, row.text), Uss93Symbol(row.values));
  }
  // The standard's example with its check characters "+6".
  EXPECT_EQ(Bits(12, L"TEST93"), Uss93Symbol({29, 14, 28, 29, 9, 3}));
}
