// The EAN and UPC encoders: digit codes, parity tables, guards and the UPC-E
// check digit.
#include "barcode/BarcodeEanUpc.h"

#include <algorithm>

namespace {

const char* const kLCodes[10] = {
    "0001101", "0011001", "0010011", "0111101", "0100011",
    "0110001", "0101111", "0111011", "0110111", "0001011",
};

const char kStartGuard[] = "101";
const char kCentreGuard[] = "01010";
const char kUpcEEndGuard[] = "010101";

const char* const kEan13Parity[10] = {
    "000000", "001011", "001101", "001110", "010011",
    "011001", "011100", "010101", "010110", "011010",
};

const char* const kUpcEParity[10] = {
    "000111", "001011", "001101", "001110", "010011",
    "011001", "011100", "010101", "010110", "011010",
};

// The library is loaded and unloaded for every barcode: its tables are
// constant data, so that no call builds anything on first use (a guarded
// static would cost a thread-local slot of the process per load, never
// given back).
const char* const kRCodes[10] = {
    "1110010", "1100110", "1101100", "1000010", "1011100",
    "1001110", "1010000", "1000100", "1001000", "1110100",
};

const char* const kGCodes[10] = {
    "0100111", "0110011", "0011011", "0100001", "0011101",
    "0111001", "0000101", "0010001", "0001001", "0010111",
};

}  // namespace

const char* BarcodeEAN_UPC::GetLCode(wchar_t c) { return kLCodes[DigitValue(c)]; }
const char* BarcodeEAN_UPC::GetRCode(wchar_t c) { return kRCodes[DigitValue(c)]; }
const char* BarcodeEAN_UPC::GetGCode(wchar_t c) { return kGCodes[DigitValue(c)]; }

int BarcodeEAN_UPC::ComputeCheckDigit(const wchar_t* digits, size_t count) {
  int sum = 0;
  for (size_t i = 0; i < count; ++i) sum += DigitValue(digits[i]) * ((i % 2 == 0) ? 3 : 1);
  return (10 - sum % 10) % 10;
}

bool BarcodeEAN_UPC::Pad(const std::wstring& text, size_t length, Digits& out) {
  if (length > out.d.size() || text.size() > length) return false;
  const size_t pad = length - text.size();
  for (size_t i = 0; i < pad; ++i) out.d[i] = L'0';
  for (size_t i = 0; i < text.size(); ++i) out.d[pad + i] = UpperAscii(text[i]);
  out.count = length;
  return true;
}

std::wstring BarcodeEAN_UPC::EncodeFlat(const std::wstring& text, size_t length, const char* leftParity) {
  Digits digits;
  if (!Pad(text, length, digits)) return std::wstring();
  // EAN-13's first digit is carried by the parities, not drawn.
  const size_t first = leftParity ? 1 : 0;
  const size_t half = (length - first) / 2;
  std::wstring bits;
  bits.reserve(3 + 7 * half + 5 + 7 * half + 3);
  Append(bits, kStartGuard);
  for (size_t i = 0; i < half; ++i) {
    const wchar_t c = digits[first + i];
    if (leftParity && leftParity[i] == '1') {
      Append(bits, GetGCode(c));
    } else {
      Append(bits, GetLCode(c));
    }
  }
  Append(bits, kCentreGuard);
  for (size_t i = first + half; i < length; ++i) Append(bits, GetRCode(digits[i]));
  Append(bits, kStartGuard);
  return bits;
}

const char* BarcodeEAN13::GetParity(wchar_t firstDigit) {
  return IsDigit(firstDigit) ? kEan13Parity[firstDigit - L'0'] : kEan13Parity[0];
}

std::wstring BarcodeEAN13::Encode(const std::wstring& text) {
  Digits digits;
  if (!Pad(text, 13, digits)) return std::wstring();
  return EncodeFlat(text, 13, GetParity(digits[0]));
}

std::wstring BarcodeEAN8::Encode(const std::wstring& text) { return EncodeFlat(text, 8, nullptr); }

std::wstring BarcodeUPCA::Encode(const std::wstring& text) { return EncodeFlat(text, 12, nullptr); }

int BarcodeUPCE::ComputeCheckDigit(const Digits& six) {
  const wchar_t d1 = six[0], d2 = six[1], d3 = six[2], d4 = six[3], d5 = six[4], d6 = six[5];
  wchar_t expanded[11];
  switch (DigitValue(d6)) {
    case 0:
    case 1:
    case 2: {
      const wchar_t e[11] = {L'0', d1, d2, d6, L'0', L'0', L'0', L'0', d3, d4, d5};
      std::copy(e, e + 11, expanded);
      break;
    }
    case 3: {
      const wchar_t e[11] = {L'0', d1, d2, d3, L'0', L'0', L'0', L'0', L'0', d4, d5};
      std::copy(e, e + 11, expanded);
      break;
    }
    case 4: {
      const wchar_t e[11] = {L'0', d1, d2, d3, d4, L'0', L'0', L'0', L'0', L'0', d5};
      std::copy(e, e + 11, expanded);
      break;
    }
    default: {
      const wchar_t e[11] = {L'0', d1, d2, d3, d4, d5, L'0', L'0', L'0', L'0', d6};
      std::copy(e, e + 11, expanded);
      break;
    }
  }
  // A character that is not a digit enters the sum as 0, as it is drawn.
  return BarcodeEAN_UPC::ComputeCheckDigit(expanded, 11);
}

const char* BarcodeUPCE::GetParity(wchar_t checkDigit) {
  // Only the ten digits have a parity pattern; any other character gets
  // all G-codes, which no reader takes for a number.
  return IsDigit(checkDigit) ? kUpcEParity[checkDigit - L'0'] : "000000";
}

std::wstring BarcodeUPCE::Encode(const std::wstring& text) {
  if (text.size() > 7) return std::wstring();
  Digits six;
  wchar_t check;
  if (text.size() == 7) {
    for (size_t i = 0; i < 6; ++i) six.d[i] = UpperAscii(text[i]);
    six.count = 6;
    check = text[6];
  } else {
    Pad(text, 6, six);
    check = static_cast<wchar_t>(L'0' + ComputeCheckDigit(six));
  }
  const char* parity = GetParity(check);
  std::wstring bits;
  bits.reserve(51);
  Append(bits, kStartGuard);
  for (size_t i = 0; i < 6; ++i) {
    if (parity[i] == '0') {
      Append(bits, GetGCode(six[i]));
    } else {
      Append(bits, GetLCode(six[i]));
    }
  }
  Append(bits, kUpcEEndGuard);
  return bits;
}
