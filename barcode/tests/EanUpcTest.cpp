// EAN-13, EAN-8, UPC-A and UPC-E against symbols worked out from the
// standard's character sets A (L), B (G) and C (R) and its parity tables.
#include <gtest/gtest.h>

#include "barcode/BarcodeEanUpc.h"
#include "barcode/tests/BarcodeTestHelpers.h"

using bctest::Bits;

namespace {

// The standard's three character sets, digits 0 to 9.
const char* const kSetA[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                               "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kSetB[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                               "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const kSetC[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                               "1001110", "1010000", "1000100", "1001000", "1110100"};

// Left half by a parity string of 'A' (odd, set A) and 'B' (even, set B).
std::string Left(const char* digits, const char* parity) {
  std::string out;
  for (int i = 0; digits[i]; ++i) out += (parity[i] == 'B' ? kSetB : kSetA)[digits[i] - '0'];
  return out;
}

std::string Right(const char* digits) {
  std::string out;
  for (int i = 0; digits[i]; ++i) out += kSetC[digits[i] - '0'];
  return out;
}

// Parity of each 7-module left-hand character: set A characters have an
// odd number of bar modules, set B an even one.
std::string ParityOf(const std::string& bits, size_t from, int count) {
  std::string parity;
  for (int k = 0; k < count; ++k) {
    int ones = 0;
    for (size_t m = 0; m < 7; ++m) ones += bits[from + 7 * k + m] == '1';
    parity += (ones % 2) ? 'A' : 'B';
  }
  return parity;
}

}  // namespace

TEST(EanUpc, WorkedSymbols) {
  struct Row {
    const char* name;
    int symbology;
    const wchar_t* text;
    std::string expected;
  };
  const Row rows[] = {
      {"EAN-13 4006381333931", 11, L"4006381333931",
       "101" + Left("006381", "ABAABB") + "01010" + Right("333931") + "101"},
      {"EAN-8 96385074", 4, L"96385074", "101" + Left("9638", "AAAA") + "01010" + Right("5074") + "101"},
      {"UPC-A 036000291452", 6, L"036000291452",
       "101" + Left("036000", "AAAAAA") + "01010" + Right("291452") + "101"},
      // 0 123456 5: check digit 5 of 01234500006 chooses BAABBA.
      {"UPC-E 123456", 5, L"123456", "101" + Left("123456", "BAABBA") + "010101"},
      {"UPC-E 1234565 (given check digit)", 5, L"1234565", "101" + Left("123456", "BAABBA") + "010101"},
      {"UPC-E 1234560 (check digit 0)", 5, L"1234560", "101" + Left("123456", "BBBAAA") + "010101"},
      // 654321 expands to 06510000432, check digit 7: BABABA.
      {"UPC-E 654321", 5, L"654321", "101" + Left("654321", "BABABA") + "010101"},
      {"UPC-E empty", 5, L"", "101" + Left("000000", "BBBAAA") + "010101"},
      {"EAN-13 empty", 11, L"", "101" + Left("000000", "AAAAAA") + "01010" + Right("000000") + "101"},
      {"EAN-8 padded", 4, L"123", "101" + Left("0000", "AAAA") + "01010" + Right("0123") + "101"},
      // No check in the library: the last digit is drawn as passed.
      {"EAN-13 other last digit", 11, L"4006381333932",
       "101" + Left("006381", "ABAABB") + "01010" + Right("333932") + "101"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Bits(row.symbology, row.text), row.expected);
  }
}

TEST(EanUpc, ParityPatternsOfTheStandard) {
  // EAN-13: the first digit's pattern over the six left-hand characters.
  const char* const ean13[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                 "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
  // UPC-E, number system 0: the check digit's pattern.
  const char* const upce[10] = {"BBBAAA", "BBABAA", "BBAABA", "BBAAAB", "BABBAA",
                                "BAABBA", "BAAABB", "BABABA", "BABAAB", "BAABAB"};
  for (int d = 0; d < 10; ++d) {
    SCOPED_TRACE(d);
    std::wstring ean(13, L'5');
    ean[0] = static_cast<wchar_t>(L'0' + d);
    EXPECT_EQ(ParityOf(Bits(11, ean), 3, 6), ean13[d]);
    std::wstring e = L"555555";
    e += static_cast<wchar_t>(L'0' + d);
    EXPECT_EQ(ParityOf(Bits(5, e), 3, 6), upce[d]);
  }
}

TEST(EanUpc, LengthsPaddingAndStrayCharacters) {
  EXPECT_EQ(Bits(11, L"40063813339311"), "");
  EXPECT_EQ(Bits(4, L"123456789"), "");
  EXPECT_EQ(Bits(6, L"0123456789012"), "");
  EXPECT_EQ(Bits(5, L"12345678"), "");
  EXPECT_EQ(Bits(11, L"400638133393").size(), 95u);
  EXPECT_EQ(Bits(6, L"").size(), 95u);
  EXPECT_EQ(Bits(4, L"").size(), 67u);
  EXPECT_EQ(Bits(5, L"").size(), 51u);
  // Twelve digits take a leading 0: first-digit parity of 0.
  EXPECT_EQ(Bits(11, L"400638133393"), Bits(11, L"0400638133393"));
  // Letters encode as 0; one in front chooses the parities of 0.
  EXPECT_EQ(Bits(11, L"40063813339a1"), Bits(11, L"4006381333901"));
  EXPECT_EQ(Bits(11, L"X006381333931"), Bits(11, L"0006381333931"));
  // A code unit above 0xFF is not read by its low byte ('1' here).
  EXPECT_EQ(Bits(4, L"9638507\x0131"), Bits(4, L"96385070"));
  // UPC-E: a stray character enters the check digit as 0, as it is drawn.
  EXPECT_EQ(Bits(5, L"12345x"), Bits(5, L"123450"));
}

TEST(EanUpc, UpcECheckDigitFromTheExpansion) {
  struct Row {
    const wchar_t* six;
    int check;
  };
  // 123456 -> 0 12345 00006, 654321 -> 0 65100 00432, 000000 -> eleven 0s,
  // 123453 -> 0 12300 00045, 123454 -> 0 12340 00005.
  const Row rows[] = {{L"123456", 5}, {L"654321", 7}, {L"000000", 0}, {L"123453", 1}, {L"123454", 3}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.six, row.six + 6));
    BarcodeEAN_UPC::Digits digits;
    ASSERT_TRUE(BarcodeEAN_UPC::Pad(row.six, 6, digits));
    EXPECT_EQ(BarcodeUPCE::ComputeCheckDigit(digits), row.check);
  }
}
