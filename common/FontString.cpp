// Font description string: parser and formatter. The parser works on its own
// copy of the text and writes the face name through a bounded copy, so no
// input can reach past the platform's 32-unit face-name field.
#include "common/FontString.h"

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "common/StringUtil.h"

const wchar_t kDefaultFontString[] = L"0,177,0,0,0,400,0,10,David";

namespace {

constexpr wchar_t kDefaultFace[] = L"David";

// Decimal value of a token as the C library's strtol reads it with a 32-bit
// long: leading white space and one sign allowed, reading stops at the first
// non-digit, no digits give 0, values beyond the 32-bit range are clamped.
int32_t TokenValue(const std::wstring& token) {
  size_t i = 0;
  while (i < token.size() && std::iswspace(token[i])) ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == L'+' || token[i] == L'-')) {
    negative = token[i] == L'-';
    ++i;
  }
  int64_t value = 0;
  for (; i < token.size() && token[i] >= L'0' && token[i] <= L'9'; ++i) {
    // Stop growing once past the range; the clamp below decides.
    if (value <= INT64_C(0x100000000)) value = value * 10 + (token[i] - L'0');
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Tokens between commas; empty tokens are dropped, as strtok does.
std::vector<std::wstring> SplitTokens(const std::wstring& text) {
  std::vector<std::wstring> tokens;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(L',', start);
    if (comma == std::wstring::npos) comma = text.size();
    if (comma > start) tokens.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return tokens;
}

BYTE LowByte(int32_t value) { return static_cast<BYTE>(static_cast<uint32_t>(value) & 0xFF); }

void SetFaceName(LOGFONTW& font, const std::wstring& name) {
  const size_t n = name.size() < LF_FACESIZE - 1 ? name.size() : LF_FACESIZE - 1;
  wmemcpy(font.lfFaceName, name.data(), n);
  font.lfFaceName[n] = L'\0';
}

}  // namespace

void ParseFontString(const std::wstring& text, COLORREF& colour, LOGFONTW& font) {
  colour = 0;
  font = LOGFONTW{};
  font.lfCharSet = 177;  // HEBREW_CHARSET
  font.lfWeight = FW_NORMAL;
  font.lfHeight = -12;
  SetFaceName(font, kDefaultFace);

  const std::vector<std::wstring> tokens = SplitTokens(text);
  for (size_t i = 0; i < tokens.size() && i < 9; ++i) {
    if (i == 8) {
      SetFaceName(font, tokens[i]);
      break;
    }
    const int32_t v = TokenValue(tokens[i]);
    switch (i) {
      case 0: colour = static_cast<COLORREF>(static_cast<uint32_t>(v)); break;
      case 1: font.lfCharSet = LowByte(v); break;
      case 2: font.lfItalic = LowByte(v); break;
      case 3: font.lfUnderline = LowByte(v); break;
      case 4: font.lfStrikeOut = LowByte(v); break;
      case 5: font.lfWeight = v; break;
      case 6: font.lfWidth = v; break;
      case 7: font.lfHeight = v; break;
    }
  }
}

std::wstring FormatFontString(COLORREF colour, const LOGFONTW& font) {
  // A face name filled to the last unit carries no terminator: read at most
  // the field.
  const std::wstring face(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE));
  return dv::Format(L"%d,%d,%d,%d,%d,%d,%d,%d,%ls", static_cast<int>(colour), font.lfCharSet, font.lfItalic,
                    font.lfUnderline, font.lfStrikeOut, static_cast<int>(font.lfWeight),
                    static_cast<int>(font.lfWidth), static_cast<int>(font.lfHeight), face.c_str());
}
