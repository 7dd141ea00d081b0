// Font description string: parsing, defaults, shifting of empty fields and
// formatting back.
#include <gtest/gtest.h>

#include "common/FontString.h"

namespace {

struct ParseCase {
  const char* name;
  const wchar_t* text;
  COLORREF colour;
  int charSet, italic, underline, strikeOut, weight, width, height;
  const wchar_t* face;
};

const ParseCase kParseCases[] = {
    {"empty gives defaults", L"", 0, 177, 0, 0, 0, 400, 0, -12, L"David"},
    {"only commas give defaults", L",,,", 0, 177, 0, 0, 0, 400, 0, -12, L"David"},
    {"new field string", L"0,177,0,0,0,400,0,10,David", 0, 177, 0, 0, 0, 400, 0, 10, L"David"},
    {"red italic bold Arial", L"255,0,1,0,0,700,0,12,Arial", 255, 0, 1, 0, 0, 700, 0, 12, L"Arial"},
    // The empty third field takes no place: everything after it moves one
    // place forward, the face name token becomes the height.
    {"empty field shifts the rest", L"0,177,,0,0,400,0,10,David", 0, 177, 0, 0, 144, 0, 10, 0, L"David"},
    {"comma cuts the face name", L"0,177,0,0,0,400,0,10,Times,New Roman", 0, 177, 0, 0, 0, 400, 0, 10, L"Times"},
    {"tenth field ignored", L"0,177,0,0,0,400,0,10,David,Bold", 0, 177, 0, 0, 0, 400, 0, 10, L"David"},
    {"fewer fields keep defaults", L"16711680,1", 0xFF0000, 1, 0, 0, 0, 400, 0, -12, L"David"},
    {"blanks, signs and trailing garbage", L" -5x,+2, 7", static_cast<COLORREF>(-5), 2, 7, 0, 0, 400, 0, -12,
     L"David"},
    {"byte members keep the low byte", L"0,300,257,-1,2", 0, 44, 1, 255, 2, 400, 0, -12, L"David"},
    {"values clamped to 32 bits", L"0,0,0,0,0,99999999999,-99999999999", 0, 0, 0, 0, 0, 2147483647,
     -2147483647 - 1, -12, L"David"},
    {"no digits give 0", L"abc,x", 0, 0, 0, 0, 0, 400, 0, -12, L"David"},
};

TEST(ParseFontString, Table) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.name);
    COLORREF colour = 12345;
    LOGFONTW font;
    memset(&font, 0x5A, sizeof(font));  // every member must be filled
    ParseFontString(c.text, colour, font);
    EXPECT_EQ(colour, c.colour);
    EXPECT_EQ(font.lfCharSet, c.charSet);
    EXPECT_EQ(font.lfItalic, c.italic);
    EXPECT_EQ(font.lfUnderline, c.underline);
    EXPECT_EQ(font.lfStrikeOut, c.strikeOut);
    EXPECT_EQ(font.lfWeight, c.weight);
    EXPECT_EQ(font.lfWidth, c.width);
    EXPECT_EQ(font.lfHeight, c.height);
    EXPECT_STREQ(font.lfFaceName, c.face);
    EXPECT_EQ(font.lfEscapement, 0);
    EXPECT_EQ(font.lfOrientation, 0);
    EXPECT_EQ(font.lfOutPrecision, 0);
    EXPECT_EQ(font.lfClipPrecision, 0);
    EXPECT_EQ(font.lfQuality, 0);
    EXPECT_EQ(font.lfPitchAndFamily, 0);
  }
}

TEST(ParseFontString, LongFaceNameIsCutToTheField) {
  const std::wstring longFace(200, L'F');
  COLORREF colour = 0;
  // A canary after the LOGFONT catches a write beyond the face-name field.
  struct {
    LOGFONTW font;
    wchar_t canary[8];
  } block;
  wmemset(block.canary, L'#', 8);
  ParseFontString(L"0,0,0,0,0,400,0,10," + longFace, colour, block.font);
  EXPECT_EQ(std::wstring(block.font.lfFaceName), std::wstring(31, L'F'));
  EXPECT_EQ(std::wstring(block.canary, 8), std::wstring(8, L'#'));
}

TEST(FormatFontString, RoundTrips) {
  const wchar_t* const texts[] = {
      L"255,0,1,0,0,700,0,12,Arial",
      L"0,177,0,0,0,400,0,10,David",
      L"16777215,177,0,1,1,400,-3,10,Courier New",  // white, negative width
      L"-1,255,1,1,1,900,20,72,X",
  };
  for (const wchar_t* text : texts) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
    COLORREF colour = 0;
    LOGFONTW font{};
    ParseFontString(text, colour, font);
    EXPECT_EQ(FormatFontString(colour, font), text);
  }
}

TEST(FormatFontString, FaceFilledToTheLastUnit) {
  LOGFONTW font{};
  wmemset(font.lfFaceName, L'Z', LF_FACESIZE);  // no terminator
  font.lfCharSet = 200;
  EXPECT_EQ(FormatFontString(0, font), L"0,200,0,0,0,0,0,0," + std::wstring(LF_FACESIZE, L'Z'));
}

}  // namespace
