// libFuzzer entries of the pure readers, one per binary (DV_FUZZ_TARGET
// names it). Each does what the same target of dvfuzz.exe does, with
// AddressSanitizer watching every byte instead of guard pages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "barcode/Barcode.h"
#include "barcode/Strimlet.h"
#include "common/FontString.h"
#include "common/JobRule.h"
#include "controller/PasswordCodec.h"
#include "engine/PrnLang.h"
#include "engine/VFile.h"
#include "viewer/JotviewLog.h"

namespace {

// The same two text forms as the Wine driver: 8-bit or UTF-16 code units.
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

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "finding: %s\n", what);
  std::abort();
}

void FuzzBarcode(const uint8_t* data, size_t size) {
  if (size == 0) return;
  const int symbology = data[0] / 2 % 14 == 13 ? -5 : data[0] / 2 % 14;
  const std::wstring bits = EncodeSymbology(symbology, TextOf(data, size));
  if (bits.find_first_not_of(L"01") != std::wstring::npos) Fail("a module string holds other characters");
  // The library entry on a terminated copy of the bytes after the first.
  std::vector<char> text(data + 1, data + size);
  text.push_back('\0');
  char* out = GetBarcodeStringBits(text.data(), static_cast<int8_t>(data[0]) % 16);
  if (!out || std::strspn(out, "01") != std::strlen(out)) Fail("GetBarcodeStringBits result");
  FreeBarcodeStringBits(out);
}

void FuzzPassword(const uint8_t* data, size_t size) {
  const std::wstring stored = TextOf(data, size);
  const std::wstring password = CPasswordCodec::Decode(stored);
  if (!stored.empty() && password.empty()) Fail("a stored text decoded to no password");
  CPasswordCodec::DigitSum(stored);
  const std::wstring encoded = CPasswordCodec::Encode(stored, static_cast<uint32_t>(size * 2654435761u));
  std::wstring low = stored;
  for (wchar_t& c : low) c = static_cast<wchar_t>(c & 0xFF);
  if (CPasswordCodec::Decode(encoded) != low) Fail("a password does not survive its encoding");
}

void FuzzFontString(const uint8_t* data, size_t size) {
  const std::wstring text = TextOf(data, size);
  COLORREF colour = 0;
  LOGFONTW font;
  ParseFontString(text, colour, font);
  const std::wstring once = FormatFontString(colour, font);
  ParseFontString(once, colour, font);
  if (text.find(L'\0') == std::wstring::npos && FormatFontString(colour, font) != once)
    Fail("a formatted font string reads back differently");
}

void FuzzJobRule(const uint8_t* data, size_t size) {
  const std::wstring text = TextOf(data, size);
  const size_t eq = text.find(L'=');
  CJobRule rule;
  rule.Parse(text.substr(0, eq), eq == std::wstring::npos ? std::wstring() : text.substr(eq + 1));
  CJobRule again;
  again.Parse(L"x", rule.FormatValue());
  if (rule.GetSearchText().find_first_of(L";#") == std::wstring::npos && !rule.GetName().empty() &&
      text.find(L'\0') == std::wstring::npos &&
      (again.GetSearchType() != rule.GetSearchType() || again.GetSearchText() != rule.GetSearchText() ||
       again.GetScenarioFile() != rule.GetScenarioFile()))
    Fail("a rule does not read back from its stored value");
}

void FuzzLogLine(const uint8_t* data, size_t size) {
  LogRow row;
  SplitLogLine(std::string(reinterpret_cast<const char*>(data), size), row);
}

void FuzzPrnScanner(const uint8_t* data, size_t size) {
  PrnLang scanner;
  size_t i = 0;
  while (i < size) {
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
    if (scanner.IsCommandComplete()) scanner.GetCommand();
  }
}

void FuzzVFileMatch(const uint8_t* data, size_t size) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DV_FUZZ_TARGET(data, size);
  return 0;
}
