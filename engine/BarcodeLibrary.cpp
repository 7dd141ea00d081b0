// CoBarcode's binding of the barcode encoder: Strimlet.dll of the install
// folder is loaded for every single barcode, asked for one module string,
// handed its string back and unloaded again. Nothing is cached between
// barcodes, fields or pages, so a library replaced in the install folder is
// used by the next barcode.
#include <cstring>
#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/BarcodeDrawing.h"

namespace {

typedef char* (*GetBarcodeStringBitsProc)(const char* text, int symbology);
typedef void (*FreeBarcodeStringBitsProc)(char* bits);

template <class Proc>
Proc FindProc(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The text in the system's ANSI code page, a blank for every character the
// code page cannot hold, into a buffer of the module buffer's size. False
// when it does not fit: a cut text would print another barcode.
bool ToAnsi(const std::wstring& text, std::vector<char>& ansi) {
  ansi.assign(CoBarcode::kBitsBufferSize, '\0');
  if (text.empty() || text[0] == L'\0') return true;
  // A code page other than UTF-8 would put a look-alike in place of a
  // character it lacks (an L for an L with stroke), and the barcode would
  // then stand for another text that nothing marks as changed: such a
  // character becomes the blank. (UTF-8 has every character; the helper
  // passes it no flag, which Windows would refuse.)
  const int written = dv::ToCodePage(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, ansi.data(),
                                     static_cast<int>(ansi.size()));
  return written > 0;
}

}  // namespace

bool CoBarcode::CopyBits(const char* result, char* bits, size_t size) {
  if (size == 0) return false;
  bits[0] = '\0';
  if (!result) return false;
  const size_t length = strnlen(result, size);
  if (length >= size) return false;
  std::memcpy(bits, result, length + 1);
  return true;
}

void CoBarcode::GetBarcodeBits(const std::wstring& text, int symbology, char* bits) {
  const std::wstring path = GetInstallDirectory() + L"Strimlet.dll";
  dv::ModuleHandle library(LoadLibraryW(path.c_str()));
  const DWORD loadError = GetLastError();
  std::vector<char> ansi;
  const bool converted = ToAnsi(text, ansi);
  if (!library) {
    LogLastError(1014, loadError);
    return;
  }
  auto getBits = FindProc<GetBarcodeStringBitsProc>(library.get(), "GetBarcodeStringBits");
  if (!getBits) {
    LogLastError(1015, GetLastError());
    return;
  }
  // Too long a text is not encoded at all (deliberately no event: the
  // silver block shows it, as for any text the symbology refuses).
  if (!converted) return;
  char* result = getBits(ansi.data(), symbology);
  CopyBits(result, bits, kBitsBufferSize);
  // Without the release export the string is left to the library.
  auto freeBits = FindProc<FreeBarcodeStringBitsProc>(library.get(), "FreeBarcodeStringBits");
  if (freeBits && result) freeBits(result);
}
