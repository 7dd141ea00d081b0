// EAN and UPC numbers completed and verified before they are encoded.
#include <gtest/gtest.h>

#include "engine/BarcodeDrawing.h"

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

TEST(EanUpcData, NormalizeTable) {
  struct Row {
    const char* name;
    bool upc;
    int length;
    const wchar_t* text;
    const wchar_t* expected;
  };
  const wchar_t* refused = CoBarcode::kRefusedText;
  const Row rows[] = {
      {"EAN-13 check appended", false, 13, L"400638133393", L"4006381333931"},
      {"EAN-13 right check kept", false, 13, L"4006381333931", L"4006381333931"},
      {"EAN-13 wrong check refused", false, 13, L"4006381333932", refused},
      {"EAN-13 short padded", false, 13, L"12345", L"0000000123457"},
      {"EAN-13 letter is 0", false, 13, L"40063813339A", L"4006381333900"},
      {"EAN-13 14 digits, right check, kept", false, 13, L"40063813339315", L"40063813339315"},
      {"other length is 13", false, 5, L"400638133393", L"4006381333931"},
      {"EAN-8", false, 8, L"9638507", L"96385074"},
      {"EAN-8 wrong check", false, 8, L"96385075", refused},
      {"UPC-A", true, 12, L"03600029145", L"036000291452"},
      {"UPC-A wrong twelfth digit", true, 12, L"036000291453", refused},
      {"other length is 12", true, 3, L"03600029145", L"036000291452"},
      {"UPC-E", true, 7, L"123456", L"1234565"},
      {"UPC-E right check", true, 7, L"1234565", L"1234565"},
      {"UPC-E wrong check", true, 7, L"1234560", refused},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::wstring text = row.text;
    if (row.upc) {
      CoBarcode::NormalizeUpc(text, row.length);
    } else {
      CoBarcode::NormalizeEan(text, row.length);
    }
    EXPECT_EQ(Narrow(text), Narrow(row.expected));
  }
  EXPECT_EQ(std::wstring(CoBarcode::kRefusedText).size(), 14u);
}

TEST(EanUpcData, CheckDigitsOfEveryLength) {
  EXPECT_EQ(CoBarcode::ComputeCheckDigit(L"9638507"), 4);        // EAN-8
  EXPECT_EQ(CoBarcode::ComputeCheckDigit(L"03600029145"), 2);    // UPC-A
  EXPECT_EQ(CoBarcode::ComputeCheckDigit(L"400638133393"), 1);   // EAN-13
  EXPECT_EQ(CoBarcode::ComputeCheckDigit(L"590123412345"), 7);   // EAN-13
  EXPECT_EQ(CoBarcode::ComputeCheckDigit(L"0000000"), 0);
}

TEST(EanUpcData, UpcEExpansionAndCompression) {
  EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(L"123456")), "012345000065");
  EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(L"654321")), "065100004327");
  EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(L"1234565")), "012345000065");
  EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(L"01234565")), "012345000065");
  EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(L"12345")), "");
  EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(L"123453")), "012300000451");
  EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(L"123454")), "012340000053");
  EXPECT_EQ(CoBarcode::GetUpcECheckDigit(L"654321"), 7);

  struct Row {
    const wchar_t* upcA;
    const char* six;
  };
  const Row rows[] = {
      {L"042100005264", "425261"},  // rule a
      {L"012300000451", "123453"},  // rule b
      {L"012340000053", "123454"},  // rule c
      {L"012345000065", "123456"},  // rule d
      {L"04210000526", "425261"},   // check digit appended
      {L"1234500006", "123456"},    // leading zero added, then the check digit
      {L"012345678905", ""},        // no UPC-E form
      {L"042100005265", ""},        // wrong check digit
      {L"112345000062", ""},        // number system 1 has no symbol here
      {L"212345000069", ""},        // number system 2
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Narrow(row.upcA));
    EXPECT_EQ(Narrow(CoBarcode::CompressUpcA(row.upcA)), row.six);
    // What compresses expands back to the same number.
    if (*row.six && std::wstring(row.upcA).size() == 12) {
      EXPECT_EQ(Narrow(CoBarcode::ExpandUpcE(CoBarcode::CompressUpcA(row.upcA))), Narrow(row.upcA));
    }
  }
  std::wstring six = CoBarcode::CompressUpcA(L"042100005264");
  CoBarcode::NormalizeUpc(six, 7);
  EXPECT_EQ(Narrow(six), "4252614");
}
