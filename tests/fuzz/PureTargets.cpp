// The targets of the pure readers; see PureTargets.h.
#include "tests/fuzz/PureTargets.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

#include "barcode/Barcode.h"
#include "common/FontString.h"
#include "common/JobRule.h"
#include "controller/PasswordCodec.h"
#include "engine/PrnLang.h"
#include "engine/VFile.h"
#include "viewer/JotviewLog.h"

namespace dvfuzz {

std::wstring TextOf(const uint8_t* data, size_t size) {
  std::wstring text;
  if (size == 0) return text;
  if (data[0] & 1) {
    for (size_t i = 1; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  } else {
    for (size_t i = 1; i < size; ++i) text += static_cast<wchar_t>(data[i]);
  }
  return text;
}

void FuzzPrnScanner(const uint8_t* data, size_t size, Report report) {
  PrnLang scanner;
  BYTE command[PrnLang::kCommandSize];
  size_t i = 0;
  while (i < size) {
    // The copy loops' shortcuts, on the input's own bytes.
    if (scanner.DataRemaining() > 1) {
      const size_t run = std::min<size_t>(size - i, static_cast<size_t>(scanner.DataRemaining() - 1));
      scanner.FeedDataRun(static_cast<int>(run));
      i += run;
      continue;
    }
    const int taken = scanner.FeedParameters(data + i, static_cast<int>(size - i));
    if (taken > 0) {
      i += static_cast<size_t>(taken);
      continue;
    }
    scanner.Feed(data[i++]);
    if (scanner.IsCommandComplete()) {
      int length = 0;
      scanner.GetCommand(command, &length);
      if (length < 0 || length > PrnLang::kCommandSize) report("command length out of range");
    }
  }
}

void FuzzVFileMatch(const uint8_t* data, size_t size, Report) {
  static const char* const kPatterns[] = {
      "LANGUAGE~s=~sPCLXL", "LANGUAGE~s=~sPOSTSCRIPT", "%!PS", "\x1b&l~nO", "\x1b&l~no", "\x1b&l~nA", "\x1b&l~na",
      "\x1b&l~nS", "\x1b*p0x0Y", "\x1b&l~nX", "\x1b&b1M", "~S~F", "~s", "~n", "~S", "~F", "~~", "a~", "~"};
  constexpr size_t kCount = sizeof(kPatterns) / sizeof(kPatterns[0]);
  if (size == 0) return;
  VFile::Match(kPatterns[data[0] % kCount], data + 1, static_cast<int>(size - 1));
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  VFile in(&bytes, VFile::kReadString);
  for (size_t p = 0; p < kCount; ++p) {
    const int at = in.Find(kPatterns[p]);
    if (at >= 0) {
      in.Read(nullptr, at);
      in.MatchHere(kPatterns[p]);
      in.Skip(kPatterns[p]);
      in.ReadNumber();
    }
    if (p % 4 == 3) in.Rewind();
  }
}

void FuzzFontString(const uint8_t* data, size_t size, Report report) {
  const std::wstring text = TextOf(data, size);
  COLORREF colour = 0;
  LOGFONTW font;
  ParseFontString(text, colour, font);
  if (wcsnlen(font.lfFaceName, LF_FACESIZE) >= LF_FACESIZE) report("face name without terminator");
  const std::wstring once = FormatFontString(colour, font);
  // Whatever was read is written so that it reads back the same (a text
  // with a NUL never comes from a file or an edit control).
  COLORREF colour2 = 0;
  LOGFONTW font2;
  ParseFontString(once, colour2, font2);
  if (text.find(L'\0') == std::wstring::npos && FormatFontString(colour2, font2) != once)
    report("a formatted font string reads back differently");
  // A face name filled to the last unit, as a damaged font could hand it.
  wmemset(font.lfFaceName, L'X', LF_FACESIZE);
  FormatFontString(colour, font);
}

void FuzzJobRuleLine(const std::wstring& key, const std::wstring& value, Report report, CJobRule& rule) {
  rule.Parse(key, value);
  // A rule read back from its own stored value is the same rule, unless its
  // text holds part of the separator (which is not escaped). Stored lines
  // never hold a NUL: the profile functions end lines there.
  CJobRule again;
  again.Parse(L"x", rule.FormatValue());
  if (rule.GetSearchText().find_first_of(L";#") == std::wstring::npos && !rule.GetName().empty() &&
      value.find(L'\0') == std::wstring::npos &&
      (again.GetSearchType() != rule.GetSearchType() || again.GetSearchText() != rule.GetSearchText() ||
       again.GetScenarioFile() != rule.GetScenarioFile()))
    report("a rule does not read back from its stored value");
}

void FuzzPassword(const uint8_t* data, size_t size, Report report) {
  const std::wstring stored = TextOf(data, size);
  const std::wstring password = CPasswordCodec::Decode(stored);
  if (!stored.empty() && password.empty()) report("a stored text decoded to no password");
  if (CPasswordCodec::DecodeStep(stored).size() != stored.size()) report("DecodeStep changed the length");
  CPasswordCodec::DigitSum(stored);
  // Any password (its low bytes) survives its own encoding.
  const std::wstring encoded = CPasswordCodec::Encode(stored, static_cast<uint32_t>(size * 2654435761u));
  std::wstring low = stored;
  for (wchar_t& c : low) c = static_cast<wchar_t>(c & 0xFF);
  if (CPasswordCodec::Decode(encoded) != low) report("a password does not survive its encoding");
}

void FuzzLogLines(const uint8_t* data, size_t size, Report report) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  while (start <= text.size()) {
    size_t lf = text.find('\n', start);
    if (lf == std::string::npos) lf = text.size();
    LogRow row;
    if (SplitLogLine(text.substr(start, lf - start), row) && row.icon != I_IMAGENONE && (row.icon < 0 || row.icon > 4))
      report("an icon index out of range");
    start = lf + 1;
  }
}

void FuzzBarcodeEncode(const uint8_t* data, size_t size, Report report) {
  if (size == 0) return;
  const int symbology = data[0] / 2 % 14 == 13 ? -5 : data[0] / 2 % 14;
  const std::wstring bits = EncodeSymbology(symbology, TextOf(data, size));
  if (bits.find_first_not_of(L"01") != std::wstring::npos)
    report("a module string holds characters other than 0 and 1");
}

}  // namespace dvfuzz
