// A stand-in for the barcode encoder that exports GetBarcodeStringBits but
// not FreeBarcodeStringBits, as an older or foreign Strimlet.dll might: the
// engine must use its module string and leave the string to the library.
// Every text gives the same short module string, a fresh copy on the
// library's heap each time (never released: there is no export for it).
#include <windows.h>

#include <cstring>

extern "C" __declspec(dllexport) char* GetBarcodeStringBits(const char* /*text*/, int /*symbology*/) {
  static const char kBits[] = "11011001100101011110001";
  char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, sizeof(kBits)));
  if (copy) std::memcpy(copy, kBits, sizeof(kBits));
  return copy;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
