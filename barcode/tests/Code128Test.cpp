// Code 128 sets A, B, C and the automatic encoder against examples worked
// out from the symbology standard's symbol table (widths written as there).
#include <gtest/gtest.h>

#include <set>

#include "barcode/Barcode128.h"
#include "barcode/tests/BarcodeTestHelpers.h"

using bctest::Bits;
using bctest::Widths;

namespace {

// Widths of the standard's table for the values the examples use.
const char kStartA[] = "211412";
const char kStartB[] = "211214";
const char kStartC[] = "211232";
const char kStop[] = "2331112";

std::string Symbols(std::initializer_list<const char*> widths) {
  std::string out;
  for (const char* w : widths) out += Widths(w);
  return out + Widths(kStop);
}

}  // namespace

TEST(Code128, WorkedExamples) {
  struct Row {
    const char* name;
    int symbology;
    const wchar_t* text;
    std::string expected;
  };
  const Row rows[] = {
      // Start B, A (33), B (34), check 104 + 33 + 68 = 205 mod 103 = 102.
      {"set B AB", 9, L"AB", Symbols({kStartB, "111323", "131123", "411131"})},
      // Start A, A, B, check 103 + 33 + 68 = 204 mod 103 = 101.
      {"set A ab is AB", 8, L"ab", Symbols({kStartA, "111323", "131123", "311141"})},
      // A tab in set A is value 73; check 103 + 73 = 176 mod 103 = 73.
      {"set A control character", 8, L"\t", Symbols({kStartA, "142112", "142112"})},
      // 0123: 01 (1), 23 (23); check 105 + 1 + 46 = 152 mod 103 = 49.
      {"set C odd length", 10, L"123", Symbols({kStartC, "222122", "312131", "211331"})},
      // Start C, 12, 34, check 105 + 12 + 68 = 185 mod 103 = 82.
      {"auto 1234", 0, L"1234", Symbols({kStartC, "112232", "131123", "121241"})},
      // Start C, 12, 34, Code B (100), '5' (21): 105+12+68+300+84 = 569 mod 103 = 54.
      {"auto 12345", 0, L"12345", Symbols({kStartC, "112232", "131123", "114131", "213212", "311123"})},
      // Start B, A, Code C (99), 12, 34, Code B, B: 1211 mod 103 = 78.
      {"auto A1234B", 0, L"A1234B",
       Symbols({kStartB, "111323", "113141", "112232", "131123", "114131", "131123", "241112"})},
      // Three digits after a letter stay in set B: 104+33+34+54+76 = 301 mod 103 = 95.
      {"auto A123", 0, L"A123", Symbols({kStartB, "111323", "123221", "223211", "221132", "114113"})},
      // 123 is too short for set C: '1' '2' '3' (17, 18, 19): 104+17+36+57 = 214 mod 103 = 8.
      {"auto 123", 0, L"123", Symbols({kStartB, "123221", "223211", "221132", "132212"})},
      {"empty A", 8, L"", Symbols({kStartA, "212222"})},
      {"empty B", 9, L"", Symbols({kStartB, "222122"})},
      {"empty C", 10, L"", Symbols({kStartC, "222221"})},
      {"empty auto", 0, L"", Symbols({kStartB, "222122"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Bits(row.symbology, row.text), row.expected);
  }
  // NUL and US in set A are values 64 and 95: 103 + 64 + 190 = 357 mod 103 = 48.
  EXPECT_EQ(Bits(8, std::wstring(L"\0\x1F", 2)), Symbols({kStartA, "111422", "114113", "313121"}));
  EXPECT_EQ(Bits(0, L"1234").size(), 57u);
  EXPECT_EQ(Bits(9, L"").size(), 35u);
}

TEST(Code128, RefusesWhatTheSetCannotHold) {
  struct Row {
    const char* name;
    int symbology;
    std::wstring text;
  };
  const Row rows[] = {
      {"set B control character", 9, L"A\x01"},
      {"set B byte above 127", 9, L"caf\xE9"},
      {"set A grave accent", 8, L"`"},
      {"set A brace", 8, L"{"},
      {"set A byte above 127", 8, L"\xC0"},
      {"set C letter in a pair", 10, L"12A4"},
      {"set C blank", 10, L"1 "},
      {"auto control character", 0, L"AB\x1F"},
      {"auto byte above 127", 0, L"\x80"},
      // Low byte 0x41 would draw an A.
      {"auto code unit above 0xFF", 0, L"\x0141"},
      {"set B code unit above 0xFF", 9, L"x\x0141"},
      // Low byte 0x31 would draw a digit 1 in set C.
      {"set C code unit above 0xFF", 10, L"12\x0131" L"4"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Bits(row.symbology, row.text), "");
  }
  // DEL is part of set B.
  EXPECT_EQ(Bits(9, L"\x7F").size(), 46u);
}

TEST(Code128, SymbolTableHasTheStandardsShape) {
  // Every symbol 0-105: 3 bars and 3 spaces of 1 to 4 modules, 11 in all,
  // an even number of bar modules; all different.
  std::set<std::string> seen;
  for (int code = 32; code <= 137; ++code) {
    SCOPED_TRACE(code);
    const std::string p = Barcode128::GetSymbolPattern(code);
    std::vector<int> runs = bctest::Runs(p);
    ASSERT_EQ(p.size(), 11u);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(p.front(), '1');
    int barModules = 0;
    for (size_t k = 0; k < runs.size(); ++k) {
      EXPECT_LE(runs[k], 4);
      if (k % 2 == 0) barModules += runs[k];
    }
    EXPECT_EQ(barModules % 2, 0);
    seen.insert(p);
  }
  EXPECT_EQ(seen.size(), 106u);
  EXPECT_EQ(std::string(Barcode128::GetSymbolPattern(138)), Widths(kStop));
  EXPECT_EQ(std::string(Barcode128::GetSymbolPattern(20)), Widths("212222"));
}

TEST(Code128, CheckOfALongTextAndSymbolCount) {
  // 300 set B symbols: the weighted sum runs far past 103 many times.
  const std::wstring text(300, L'A');
  const long long sum = 104 + 33LL * (300 * 301 / 2);
  const std::string bits = Bits(9, text);
  ASSERT_EQ(bits.size(), 11u * 302 + 13);
  const int check = static_cast<int>(sum % 103);
  EXPECT_EQ(bits.substr(11 * 301, 11), std::string(Barcode128::GetSymbolPattern(check + 32)));

  // Automatic switching: 11 modules per symbol with start and check, 13 for Stop.
  // "AB123456C": Start B, A, B, Code C, 12, 34, 56, Code B, C = 10 symbols.
  EXPECT_EQ(Bits(0, L"AB123456C").size(), 11u * 10 + 13);
  // "1234A5678": Start C, 12, 34, Code B, A, Code C, 56, 78, check.
  EXPECT_EQ(Bits(0, L"1234A5678").size(), 11u * 9 + 13);
}
