// The codec of the stored entrance password: known encodings, round trips
// over every 8-bit character, the seeding rules, and stored texts the encoder
// never writes (damaged or edited by hand).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "controller/PasswordCodec.h"

namespace {

bool IsLetterOrDigit(wchar_t ch) {
  return (ch >= L'0' && ch <= L'9') || (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z');
}

// Digit strings and stored texts worked out by hand from the generator's
// definition (seed = time mod digit sum, 10 when the sum is 0).
TEST(PasswordCodecTest, KnownEncodingsAtAGivenTime) {
  struct Row {
    const char* name;
    std::wstring password;
    uint32_t now;
    std::wstring digits;
    std::wstring stored;
  } rows[] = {
      {"no digit, seed 0", L"A", 0, L"665", L"MYs"},
      {"blank and capitals", L"Se cret", 1700000000, L"683101332399714401416", L"YpXRT4HNdNSS54hZiRqka"},
      {"code 255", L"\xFF", 5, L"255", L"6Ij"},
      {"digits in the password change the seed", L"p4ss", 1234567, L"112652115415", L"4RPasVbvjL4s"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::wstring stored = CPasswordCodec::Encode(row.password, row.now);
    EXPECT_EQ(row.stored, stored);
    EXPECT_EQ(row.digits, CPasswordCodec::DecodeStep(stored));
    EXPECT_EQ(row.password, CPasswordCodec::Decode(stored));
  }
}

TEST(PasswordCodecTest, EveryEightBitCharacterSurvivesAtAnyTime) {
  for (uint32_t now : {0u, 1u, 9u, 1700000001u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(now);
    for (int code = 0; code < 256; ++code) {
      const std::wstring password = std::wstring(L"x") + static_cast<wchar_t>(code) + L"7";
      const std::wstring stored = CPasswordCodec::Encode(password, now);
      ASSERT_EQ(9u, stored.size()) << code;
      for (wchar_t ch : stored) ASSERT_TRUE(IsLetterOrDigit(ch)) << code;
      ASSERT_EQ(password, CPasswordCodec::Decode(stored)) << code;
    }
  }
  EXPECT_EQ(L"", CPasswordCodec::Encode(L""));
  EXPECT_EQ(L"", CPasswordCodec::Decode(L""));
  // The clock-seeded form as the controller calls it.
  EXPECT_EQ(L"Se cret 42", CPasswordCodec::Decode(CPasswordCodec::Encode(L"Se cret 42")));
}

TEST(PasswordCodecTest, OnePasswordHasManyEncodings) {
  std::set<std::wstring> texts;
  std::set<wchar_t> firstDigits;
  for (uint32_t now = 1000; now < 1100; ++now) {
    const std::wstring stored = CPasswordCodec::Encode(L"\xFFz", now);
    texts.insert(stored);
    const std::wstring digits = CPasswordCodec::DecodeStep(stored);
    EXPECT_EQ(L"55", digits.substr(1, 2));
    firstDigits.insert(digits[0]);
    EXPECT_EQ(L"\xFFz", CPasswordCodec::Decode(stored));
  }
  EXPECT_EQ((std::set<wchar_t>{L'2', L'5', L'8'}), firstDigits) << "255's hundreds digit raised by 0, 3 or 6";
  EXPECT_GT(texts.size(), 10u);
}

TEST(PasswordCodecTest, APasswordWithoutDigitsIsSeededWithTheTimeModuloTen) {
  for (uint32_t now = 500; now < 520; ++now) {
    SCOPED_TRACE(now);
    EXPECT_EQ(CPasswordCodec::DecodeStep(CPasswordCodec::Encode(L"secret", now)),
              CPasswordCodec::DecodeStep(CPasswordCodec::Encode(L"secret", now + 10)));
  }
}

TEST(PasswordCodecTest, DigitSumAndLetters) {
  EXPECT_EQ(0u, CPasswordCodec::DigitSum(L""));
  EXPECT_EQ(0u, CPasswordCodec::DigitSum(L"abc \x0661"));  // other scripts' digits add nothing
  EXPECT_EQ(10u, CPasswordCodec::DigitSum(L"a1b9"));
  EXPECT_EQ(27u, CPasswordCodec::DigitSum(L"999"));

  // Every character a digit can become stands for that digit, and all six
  // columns of a row are reached.
  for (wchar_t digit = L'0'; digit <= L'9'; ++digit) {
    SCOPED_TRACE(static_cast<char>(digit));
    std::set<wchar_t> letters;
    for (int i = 0; i < 200; ++i) letters.insert(CPasswordCodec::DigitLetter(digit));
    EXPECT_GE(letters.size(), 5u);
    for (wchar_t ch : letters) {
      EXPECT_TRUE(IsLetterOrDigit(ch));
      EXPECT_EQ(std::wstring(1, digit), CPasswordCodec::DecodeStep(std::wstring(1, ch)));
    }
  }
  EXPECT_EQ(L'*', CPasswordCodec::DigitLetter(L'x'));
  const std::wstring letters = CPasswordCodec::DigitsToLetters(L"1-2", 77);
  EXPECT_EQ(L'*', letters[1]);
  EXPECT_EQ(L"1 2", CPasswordCodec::DecodeStep(letters));
}

// Stored texts the encoder cannot write: whatever they give, the decoder
// stays inside the text and the key table, and a non-empty text never reads
// as "no password".
TEST(PasswordCodecTest, MalformedStoredTextsDecodeSafely) {
  struct Row {
    const char* name;
    std::wstring stored;
    std::wstring password;
  } rows[] = {
      {"one character short", L"MY", L"<"},
      {"one character over", L"MYsE", L"Ad"},
      {"a character that stands for no digit", L"M*s", L"\x05"},
      {"blanks only", L"   ", std::wstring(1, L'\0')},
      {"just past the key table", L"M{s", L"\x05"},
      {"far above the key table", L"M\xFFFFs\xD800", std::wstring(L"\x05") + L'\0'},
      {"a group above 255 wraps", L"733", L"+"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.password, CPasswordCodec::Decode(row.stored));
    EXPECT_EQ(row.stored.size(), CPasswordCodec::DecodeStep(row.stored).size());
  }
  // A truncated text cut anywhere decodes without reading past its end.
  const std::wstring stored = CPasswordCodec::Encode(L"Se cret", 1700000000);
  for (size_t n = 1; n <= stored.size(); ++n) {
    const std::wstring cut(stored.c_str(), n);
    EXPECT_EQ((n + 2) / 3, CPasswordCodec::Decode(cut).size()) << n;
  }
}

}  // namespace
