// CoBarcode's preparation of EAN and UPC numbers: stray characters, leading
// zeros, check digits computed or verified, and the UPC-E compression and
// expansion of UPC-A numbers (number system 0).
#include "engine/BarcodeDrawing.h"

#include <cwchar>

namespace {

int DigitValue(wchar_t c) { return (c >= L'0' && c <= L'9') ? c - L'0' : 0; }
wchar_t DigitChar(int value) { return static_cast<wchar_t>(L'0' + value); }

// NormalizeEan and NormalizeUpc: n is the length with check digit.
void Normalize(std::wstring& text, size_t n, bool upcE) {
  CoBarcode::ZeroNonDigits(text);
  auto check = [upcE](const std::wstring& data) {
    return upcE ? CoBarcode::GetUpcECheckDigit(data) : CoBarcode::ComputeCheckDigit(data);
  };
  if (text.size() < n) {
    if (text.size() < n - 1) text.insert(0, n - 1 - text.size(), L'0');
    text.push_back(DigitChar(check(text)));
    return;
  }
  // A longer text keeps its length: the encoder refuses it.
  if (check(text.substr(0, n - 1)) != DigitValue(text[n - 1])) text = CoBarcode::kRefusedText;
}

}  // namespace

void CoBarcode::ZeroNonDigits(std::wstring& text) {
  for (wchar_t& c : text) {
    if (c < L'0' || c > L'9') c = L'0';
  }
}

int CoBarcode::ComputeCheckDigit(const std::wstring& digits) {
  const std::wstring d = digits.size() == 12 ? L"0" + digits : digits;
  int sum = 0;
  for (size_t i = 0; i < d.size(); ++i) sum += DigitValue(d[i]) * (i % 2 == 0 ? 3 : 1);
  return (10 - sum % 10) % 10;
}

void CoBarcode::NormalizeEan(std::wstring& text, int length) { Normalize(text, length == 8 ? 8 : 13, false); }

void CoBarcode::NormalizeUpc(std::wstring& text, int length) {
  if (length == 7) {
    Normalize(text, 7, true);
  } else {
    Normalize(text, 12, false);
  }
}

std::wstring CoBarcode::ExpandUpcE(const std::wstring& text) {
  std::wstring d;
  switch (text.size()) {
    case 6: d = text; break;
    case 7: d = text.substr(0, 6); break;
    case 8: d = text.substr(1, 6); break;
    default: return std::wstring();
  }
  std::wstring manufacturer, product;
  switch (d[5]) {
    case L'0':
    case L'1':
    case L'2':
      manufacturer = {d[0], d[1], d[5], L'0', L'0'};
      product = {L'0', L'0', d[2], d[3], d[4]};
      break;
    case L'3':
      manufacturer = {d[0], d[1], d[2], L'0', L'0'};
      product = {L'0', L'0', L'0', d[3], d[4]};
      break;
    case L'4':
      manufacturer = {d[0], d[1], d[2], d[3], L'0'};
      product = {L'0', L'0', L'0', L'0', d[4]};
      break;
    default:
      manufacturer = {d[0], d[1], d[2], d[3], d[4]};
      product = {L'0', L'0', L'0', L'0', d[5]};
      break;
  }
  std::wstring upcA = L"0" + manufacturer + product;
  upcA.push_back(DigitChar(ComputeCheckDigit(upcA)));
  return upcA;
}

int CoBarcode::GetUpcECheckDigit(const std::wstring& six) {
  const std::wstring upcA = ExpandUpcE(six);
  return upcA.empty() ? 0 : DigitValue(upcA.back());
}

std::wstring CoBarcode::CompressUpcA(const std::wstring& text) {
  if (text.size() > 12) return std::wstring();
  std::wstring d = text;
  ZeroNonDigits(d);
  if (d.size() < 11) d.insert(0, 11 - d.size(), L'0');
  if (d.size() == 11) {
    d.push_back(DigitChar(ComputeCheckDigit(d)));
  } else if (ComputeCheckDigit(d.substr(0, 11)) != DigitValue(d[11])) {
    // A given check digit that is wrong would otherwise print as the UPC-E
    // symbol of another (the corrected) number.
    return std::wstring();
  }
  // The UPC-E symbol carries number system 0 only; number system 1 would
  // print as another number.
  if (d[0] != L'0') return std::wstring();
  auto is = [&d](size_t from, const wchar_t* digits) { return d.compare(from, std::wcslen(digits), digits) == 0; };
  if ((is(3, L"000") || is(3, L"100") || is(3, L"200")) && is(6, L"00")) {
    return {d[1], d[2], d[8], d[9], d[10], d[3]};
  }
  if (is(4, L"00") && is(6, L"000")) return {d[1], d[2], d[3], d[9], d[10], L'3'};
  if (is(5, L"0") && is(6, L"0000")) return {d[1], d[2], d[3], d[4], d[10], L'4'};
  if (d[10] >= L'5' && is(6, L"0000")) return {d[1], d[2], d[3], d[4], d[5], d[10]};
  return std::wstring();
}
