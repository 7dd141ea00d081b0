// Conversions from UTF-16 to a code page, given explicitly: this Wine takes
// a default character and WC_NO_BEST_FIT_CHARS for UTF-8, where Windows
// refuses both and converts nothing, so the arguments are checked as well as
// the results.
#include <gtest/gtest.h>

#include <string>

#include "common/StringUtil.h"

namespace {

std::string Convert(UINT codePage, DWORD flags, const std::wstring& text) {
  const int n = dv::ToCodePage(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) {
    EXPECT_EQ(dv::ToCodePage(codePage, flags, text.data(), static_cast<int>(text.size()), &out[0], n), n);
  }
  return out;
}

}  // namespace

TEST(CodePageConversion, UTF8GetsNeitherFlagsNorADefaultCharacter) {
  struct Row {
    UINT codePage;
    DWORD flags;
    DWORD expectedFlags;
    bool blankDefault;
  } rows[] = {
      {CP_UTF8, 0, 0, false},
      {CP_UTF8, WC_NO_BEST_FIT_CHARS, 0, false},
      {1252, 0, 0, true},
      {1252, WC_NO_BEST_FIT_CHARS, WC_NO_BEST_FIT_CHARS, true},
      {932, WC_NO_BEST_FIT_CHARS, WC_NO_BEST_FIT_CHARS, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "code page " << r.codePage << " flags " << r.flags);
    const dv::CodePageConversion c = dv::GetCodePageConversion(r.codePage, r.flags);
    EXPECT_EQ(c.codePage, r.codePage);
    EXPECT_EQ(c.flags, r.expectedFlags);
    if (r.blankDefault) {
      ASSERT_NE(c.defaultChar, nullptr);
      EXPECT_STREQ(c.defaultChar, " ");
    } else {
      EXPECT_EQ(c.defaultChar, nullptr);
    }
  }
  // CP_ACP is the system's own code page, with that code page's arguments.
  const dv::CodePageConversion acp = dv::GetCodePageConversion(CP_ACP, WC_NO_BEST_FIT_CHARS);
  EXPECT_EQ(acp.codePage, GetACP());
  EXPECT_EQ(acp.defaultChar == nullptr, GetACP() == CP_UTF8);
}

TEST(CodePageConversion, ResultsByCodePage) {
  struct Row {
    const char* name;
    UINT codePage;
    DWORD flags;
    std::wstring text;
    std::string bytes;
  } rows[] = {
      {"UTF-8: every character", CP_UTF8, 0, L"a\x00E9\x4E2D" L"b", "a\xC3\xA9\xE4\xB8\xAD" "b"},
      {"UTF-8 asked for exact forms", CP_UTF8, WC_NO_BEST_FIT_CHARS, L"A\x0141" L"B", "A\xC5\x81" "B"},
      {"1252: a character it holds", 1252, 0, L"caf\x00E9", "caf\xE9"},
      {"1252: a character it lacks", 1252, 0, L"a\x4E2D" L"b", "a b"},
      {"1252 exact: no look-alike", 1252, WC_NO_BEST_FIT_CHARS, L"A\x0141" L"B", "A B"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(Convert(r.codePage, r.flags, r.text), r.bytes);
  }
  // A terminated text into a buffer, as the barcode binding converts.
  char buffer[16] = {};
  EXPECT_EQ(dv::ToCodePage(CP_UTF8, WC_NO_BEST_FIT_CHARS, L"\x00E9", -1, buffer, sizeof(buffer)), 3);
  EXPECT_STREQ(buffer, "\xC3\xA9");
}
