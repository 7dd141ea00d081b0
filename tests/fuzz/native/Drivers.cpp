// libFuzzer entries of the pure readers, one per binary (DV_FUZZ_TARGET
// names it): the shared targets of PureTargets.h, with AddressSanitizer
// watching every byte instead of guard pages.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "barcode/Strimlet.h"
#include "common/JobRule.h"
#include "tests/fuzz/PureTargets.h"

namespace {

using namespace dvfuzz;

void Fail(const char* what) {
  std::fprintf(stderr, "finding: %s\n", what);
  std::abort();
}

void FuzzBarcode(const uint8_t* data, size_t size) {
  FuzzBarcodeEncode(data, size, Fail);
  if (size == 0) return;
  // The library entry on a terminated copy of the bytes after the first.
  std::vector<char> text(data + 1, data + size);
  text.push_back('\0');
  char* out = GetBarcodeStringBits(text.data(), static_cast<int8_t>(data[0]) % 16);
  if (!out || std::strspn(out, "01") != std::strlen(out)) Fail("GetBarcodeStringBits result");
  FreeBarcodeStringBits(out);
}

void FuzzJobRule(const uint8_t* data, size_t size) {
  const std::wstring text = TextOf(data, size);
  const size_t eq = text.find(L'=');
  CJobRule rule;
  FuzzJobRuleLine(text.substr(0, eq), eq == std::wstring::npos ? std::wstring() : text.substr(eq + 1), Fail, rule);
}

void FuzzTarget(void (*target)(const uint8_t*, size_t, Report), const uint8_t* data, size_t size) {
  target(data, size, Fail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DV_FUZZ_TARGET;
  return 0;
}
