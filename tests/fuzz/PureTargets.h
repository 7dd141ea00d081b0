// The targets of the pure readers, shared by the Wine driver (dvfuzz.exe)
// and the native libFuzzer entries: each takes an input and reports a
// broken contract through report (a fault shows by itself).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CJobRule;

namespace dvfuzz {

using Report = void (*)(const char* what);

// The input as text, in one of two forms chosen by its first byte: the rest
// as 8-bit characters (even), or as UTF-16 code units (odd), so that
// characters above 0xFF reach the readers too.
std::wstring TextOf(const uint8_t* data, size_t size);

// The PCL scanner fed byte by byte and through the copy loops' shortcuts.
void FuzzPrnScanner(const uint8_t* data, size_t size, Report report);
// The pattern matcher on the bytes after the first (which picks the
// pattern), then every pattern found, matched, skipped and read as a number
// through a stream over those bytes.
void FuzzVFileMatch(const uint8_t* data, size_t size, Report report);
// Font description strings: parsed, formatted, read back.
void FuzzFontString(const uint8_t* data, size_t size, Report report);
// One rule line (key=value): parsed and read back from its stored value.
void FuzzJobRuleLine(const std::wstring& key, const std::wstring& value, Report report, CJobRule& rule);
// The stored password: decoded, and the text as a password encoded and
// decoded again.
void FuzzPassword(const uint8_t* data, size_t size, Report report);
// Event log lines split at line feeds, each split into its columns.
void FuzzLogLines(const uint8_t* data, size_t size, Report report);
// The encoder of the symbology picked by the first byte (seven bits of it,
// 13 standing for a number outside 0-12).
void FuzzBarcodeEncode(const uint8_t* data, size_t size, Report report);

}  // namespace dvfuzz
