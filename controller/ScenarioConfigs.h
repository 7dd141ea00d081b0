// Stored driver configurations of a scenario file, as the scenario editor's
// orientation pages keep them: one section per printer driver, the key
// "Portrait" or "Landscape", the value the driver's complete DEVMODE (public
// and driver-private part) as upper-case hexadecimal text. The engine reads
// the same values back for the destination printer's driver, so what is
// written here must be the whole DEVMODE, never a cut one.
//
// No window is needed: the page calls these, and tests reach them directly.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// Driver name -> hex text of its DEVMODE.
using DriverConfigMap = std::map<std::wstring, std::wstring>;

// Each byte as two upper-case hexadecimal digits, in memory order.
std::wstring BytesToHex(const BYTE* bytes, size_t count);
// Two characters a byte from the start, each pair upper-cased, high digit
// first; "0" to "9" give their value, any other character its code minus 55;
// a lone last character gives a byte 0. Nothing is rejected.
std::vector<BYTE> HexToBytes(const std::wstring& text);

// The length of the DEVMODE held in a block of `available` bytes
// (dmSize + dmDriverExtra), or 0 when the block is too short for the public
// header or for the sizes the header states: such bytes are no configuration.
size_t CompleteDevmodeLength(const BYTE* bytes, size_t available);

// Adds every section's non-empty value of key `orientation` (read whole by
// ReadDriverConfigurationText) to configs
// ("General" is a section like any other; the map is not cleared). The
// section names are read through a 32767-character buffer: returns false
// when that buffer was filled, so some sections may not have been read.
bool ReadDriverConfigs(const std::wstring& file, const std::wstring& orientation, DriverConfigMap& configs);

// Writes an empty value of key `orientation` for every removed driver, in
// order, then the hex text of every configured driver. Nothing else in the
// file is removed. Write failures are not reported.
void WriteDriverConfigs(const std::wstring& file, const std::wstring& orientation,
                        const std::vector<std::wstring>& removed, const DriverConfigMap& configs);
