// The exports of Strimlet.dll. Each call converts the text, lets the
// symbology's encoder build the module string and hands it out as an 8-bit
// copy on the library's heap. Nothing is thrown across these functions.
#include "barcode/Strimlet.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "barcode/Barcode.h"

namespace {

// Handed out when the result cannot be allocated; never freed.
char kEmptyResult[1] = {0};

// The text in the calling thread's ANSI code page as UTF-16. False when the
// conversion fails, so that no barcode is made of a text it does not hold.
bool ToWide(const char* text, std::wstring& wide) {
  if (!text || !*text) return true;
  const int count = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
  if (count <= 0) return false;
  wide.resize(static_cast<size_t>(count));
  if (MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, &wide[0], count) != count) return false;
  wide.resize(static_cast<size_t>(count) - 1);
  return true;
}

// The 8-bit copy, allocated with malloc and released with free.
char* CopyOut(const std::wstring& bits) {
  void* memory = std::malloc(bits.size() + 1);
  if (!memory) return kEmptyResult;
  char* out = static_cast<char*>(memory);
  for (size_t i = 0; i < bits.size(); ++i) out[i] = static_cast<char>(bits[i] & 0xFF);
  out[bits.size()] = '\0';
  return out;
}

}  // namespace

extern "C" char* GetBarcodeStringBits(const char* text, int symbology) {
  try {
    std::wstring wide;
    if (!ToWide(text, wide)) return CopyOut(std::wstring());
    return CopyOut(EncodeSymbology(symbology, std::move(wide)));
  } catch (...) {
    return kEmptyResult;
  }
}

extern "C" void FreeBarcodeStringBits(char* bits) {
  if (!bits || bits == kEmptyResult) return;
  std::free(bits);
}

CStrimlet& CStrimlet::operator=(const CStrimlet&) { return *this; }
