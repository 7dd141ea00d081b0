// Stored driver configurations of scenario files: the one reader of their
// text, shared by the engine (which prints with them) and the scenario editor
// (which lists and rewrites them).
//
// A configuration is a printer's complete DEVMODE as upper-case hexadecimal
// text under its driver's section, key "Portrait" or "Landscape". A real
// driver's configuration is far longer than the usual 4096-character read,
// and a cut one would be taken for a different, shorter DEVMODE.
#pragma once

#include <string>

// A DEVMODE is at most 2 x 65535 bytes: this many characters of hex text.
inline constexpr size_t kLongestConfigurationChars = 2 * 2 * 65535;

// The value of key `orientation` in section `driverName` of the scenario
// file, read whole with a buffer that grows until it fits. "" when the file,
// section or key is missing, and also when the value is longer than
// kLongestConfigurationChars: such text is no configuration, and a cut part
// of it must never be used as one.
std::wstring ReadDriverConfigurationText(const std::wstring& scenarioFile, const std::wstring& driverName,
                                         const std::wstring& orientation);
