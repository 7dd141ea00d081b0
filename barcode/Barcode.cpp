// Shared operations of the encoders and the choice of encoder by symbology
// number.
#include "barcode/Barcode.h"

#include "barcode/Barcode128.h"
#include "barcode/Barcode2of5.h"
#include "barcode/BarcodeCodabar.h"
#include "barcode/BarcodeCode39.h"
#include "barcode/BarcodeCode93.h"
#include "barcode/BarcodeEanUpc.h"

std::wstring Barcode::ComplementBits(const std::wstring& bits) {
  std::wstring out(bits.size(), L'1');
  for (size_t i = 0; i < bits.size(); ++i) {
    if (bits[i] == L'1') out[i] = L'0';
  }
  return out;
}

std::wstring Barcode::ReverseBits(const std::wstring& bits) { return std::wstring(bits.rbegin(), bits.rend()); }

std::wstring Barcode::UpperAscii(const std::wstring& text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = UpperAscii(c);
  return out;
}

void Barcode::Append(std::wstring& bits, const char* pattern) {
  for (; *pattern; ++pattern) bits.push_back(static_cast<wchar_t>(*pattern));
}

namespace {

template <class T>
std::wstring EncodeWith(std::wstring&& text) {
  T encoder;
  encoder.SetText(std::move(text));
  return encoder.GetBits();
}

}  // namespace

std::wstring EncodeSymbology(int symbology, std::wstring text) {
  switch (symbology) {
    case kSymbologyCodabar: return EncodeWith<BarcodeCodabar>(std::move(text));
    case kSymbologyCode39: return EncodeWith<BarcodeCode39>(std::move(text));
    case kSymbologyInterleaved2of5: return EncodeWith<BarcodeInterleaved2of5>(std::move(text));
    case kSymbologyEan8: return EncodeWith<BarcodeEAN8>(std::move(text));
    case kSymbologyUpcE: return EncodeWith<BarcodeUPCE>(std::move(text));
    case kSymbologyUpcA: return EncodeWith<BarcodeUPCA>(std::move(text));
    case kSymbology2of5: return EncodeWith<Barcode2of5>(std::move(text));
    case kSymbologyCode128A: return EncodeWith<Barcode128A>(std::move(text));
    case kSymbologyCode128B: return EncodeWith<Barcode128B>(std::move(text));
    case kSymbologyCode128C: return EncodeWith<Barcode128C>(std::move(text));
    case kSymbologyEan13: return EncodeWith<BarcodeEAN13>(std::move(text));
    case kSymbologyCode93: return EncodeWith<BarcodeCode93>(std::move(text));
    default: return EncodeWith<Barcode128Auto>(std::move(text));
  }
}
