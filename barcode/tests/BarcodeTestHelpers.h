// Helpers for the encoder tests: the expected module strings are written in
// the element notation of the symbology standards (widths of alternating
// bars and spaces) and expanded here, so that an example reads like the
// standard's table and not like the encoder's own strings.
#pragma once

#include <string>
#include <vector>

#include "barcode/Barcode.h"

namespace bctest {

// Module string of a symbology as a narrow string, for readable failures.
inline std::string Bits(int symbology, const std::wstring& text) {
  std::wstring bits = EncodeSymbology(symbology, text);
  return std::string(bits.begin(), bits.end());
}

// "211214" -> "11010010000": digit widths of alternating bar and space,
// starting with a bar.
inline std::string Widths(const char* widths) {
  std::string out;
  bool bar = true;
  for (const char* w = widths; *w; ++w, bar = !bar) out.append(static_cast<size_t>(*w - '0'), bar ? '1' : '0');
  return out;
}

// "NWNNW..." with the given narrow and wide module counts, starting with a
// bar.
inline std::string NarrowWide(const char* elements, size_t narrow, size_t wide) {
  std::string out;
  bool bar = true;
  for (const char* e = elements; *e; ++e, bar = !bar) out.append(*e == 'W' ? wide : narrow, bar ? '1' : '0');
  return out;
}

// Lengths of the runs of equal modules, first run first.
inline std::vector<int> Runs(const std::string& bits) {
  std::vector<int> runs;
  for (size_t i = 0; i < bits.size();) {
    size_t j = i;
    while (j < bits.size() && bits[j] == bits[i]) ++j;
    runs.push_back(static_cast<int>(j - i));
    i = j;
  }
  return runs;
}

}  // namespace bctest
