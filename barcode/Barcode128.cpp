// Code 128 symbol table and the four Code 128 encoders.
#include "barcode/Barcode128.h"

namespace {

// Patterns of the values 0 to 105 (bars and spaces of the standard's table,
// one character per module), then Stop.
const char* const kPatterns[107] = {
    "11011001100", "11001101100", "11001100110", "10010011000",  // 0-3
    "10010001100", "10001001100", "10011001000", "10011000100",  // 4-7
    "10001100100", "11001001000", "11001000100", "11000100100",  // 8-11
    "10110011100", "10011011100", "10011001110", "10111001100",  // 12-15
    "10011101100", "10011100110", "11001110010", "11001011100",  // 16-19
    "11001001110", "11011100100", "11001110100", "11101101110",  // 20-23
    "11101001100", "11100101100", "11100100110", "11101100100",  // 24-27
    "11100110100", "11100110010", "11011011000", "11011000110",  // 28-31
    "11000110110", "10100011000", "10001011000", "10001000110",  // 32-35
    "10110001000", "10001101000", "10001100010", "11010001000",  // 36-39
    "11000101000", "11000100010", "10110111000", "10110001110",  // 40-43
    "10001101110", "10111011000", "10111000110", "10001110110",  // 44-47
    "11101110110", "11010001110", "11000101110", "11011101000",  // 48-51
    "11011100010", "11011101110", "11101011000", "11101000110",  // 52-55
    "11100010110", "11101101000", "11101100010", "11100011010",  // 56-59
    "11101111010", "11001000010", "11110001010", "10100110000",  // 60-63
    "10100001100", "10010110000", "10010000110", "10000101100",  // 64-67
    "10000100110", "10110010000", "10110000100", "10011010000",  // 68-71
    "10011000010", "10000110100", "10000110010", "11000010010",  // 72-75
    "11001010000", "11110111010", "11000010100", "10001111010",  // 76-79
    "10100111100", "10010111100", "10010011110", "10111100100",  // 80-83
    "10011110100", "10011110010", "11110100100", "11110010100",  // 84-87
    "11110010010", "11011011110", "11011110110", "11110110110",  // 88-91
    "10101111000", "10100011110", "10001011110", "10111101000",  // 92-95
    "10111100010", "11110101000", "11110100010", "10111011110",  // 96-99
    "10111101110", "11101011110", "11110101110", "11010000100",  // 100-103
    "11010010000", "11010011100",  // 104-105
    "1100011101011",  // Stop
};

}  // namespace

const char* Barcode128::GetSymbolPattern(int code) {
  if (code < 32 || code > kStopCode) return kPatterns[0];
  return kPatterns[code - 32];
}

int Barcode128::SetAValue(wchar_t c) {
  int b = CharByte(UpperAscii(c));
  if (b >= 32 && b <= 95) return b - 32;
  if (b >= 0 && b < 32) return b + 64;
  return -1;
}

int Barcode128::SetBValue(wchar_t c) {
  int b = CharByte(c);
  return (b >= 32 && b <= 127) ? b - 32 : -1;
}

int Barcode128::SetCValue(wchar_t c1, wchar_t c2) {
  if (!IsDigit(c1) || !IsDigit(c2)) return -1;
  return 10 * (c1 - L'0') + (c2 - L'0');
}

Barcode128::SymbolWriter::SymbolWriter(std::wstring& bits, int startValue, size_t dataSymbols)
    : bits_(bits), sum_(static_cast<unsigned long long>(startValue)) {
  bits_.reserve(11 * (dataSymbols + 2) + 13);
  Append(bits_, GetSymbolPattern(startValue + 32));
}

void Barcode128::SymbolWriter::Put(int value) {
  Append(bits_, GetSymbolPattern(value + 32));
  // Reduced as it goes so that no text length can overflow the sum.
  sum_ = (sum_ + (position_ % 103) * static_cast<unsigned long long>(value)) % 103;
  ++position_;
}

void Barcode128::SymbolWriter::Finish() {
  Append(bits_, GetSymbolPattern(static_cast<int>(sum_ % 103) + 32));
  Append(bits_, GetSymbolPattern(kStopCode));
}

std::wstring Barcode128A::Encode(const std::wstring& text) {
  for (wchar_t c : text) {
    if (SetAValue(c) < 0) return std::wstring();
  }
  std::wstring bits;
  SymbolWriter writer(bits, kStartA, text.size());
  for (wchar_t c : text) writer.Put(SetAValue(c));
  writer.Finish();
  return bits;
}

std::wstring Barcode128B::Encode(const std::wstring& text) {
  for (wchar_t c : text) {
    if (SetBValue(c) < 0) return std::wstring();
  }
  std::wstring bits;
  SymbolWriter writer(bits, kStartB, text.size());
  for (wchar_t c : text) writer.Put(SetBValue(c));
  writer.Finish();
  return bits;
}

std::wstring Barcode128C::Encode(const std::wstring& text) {
  // An odd text is read as if it had a leading '0'; the pair at index p is
  // then made of the characters p - 1 and p of the text itself.
  const size_t n = text.size();
  const bool odd = (n % 2) != 0;
  auto at = [&](size_t i) -> wchar_t { return odd ? (i == 0 ? L'0' : text[i - 1]) : text[i]; };
  const size_t pairs = (n + 1) / 2;
  for (size_t p = 0; p < pairs; ++p) {
    if (SetCValue(at(2 * p), at(2 * p + 1)) < 0) return std::wstring();
  }
  std::wstring bits;
  SymbolWriter writer(bits, kStartC, pairs);
  for (size_t p = 0; p < pairs; ++p) writer.Put(SetCValue(at(2 * p), at(2 * p + 1)));
  writer.Finish();
  return bits;
}

namespace {

// The automatic encoder's walk over the text. It hands the start value and
// then every symbol value to a sink, so that one walk counts and checks the
// symbols and a second one writes them. Returns false for a character that
// set B cannot hold.
template <class Sink>
bool WalkAuto(const std::wstring& text, Sink& sink) {
  auto digits = [&](size_t from, size_t count) {
    for (size_t k = from; k < from + count; ++k) {
      if (!Barcode::IsDigit(text[k])) return false;
    }
    return true;
  };
  const size_t n = text.size();
  sink.Start(n >= 4 && digits(0, 4) ? Barcode128::kStartC : Barcode128::kStartB);
  bool setC = false;
  size_t i = 0;
  while (i < n) {
    const size_t r = n - i;
    if (!setC) {
      if (r >= 4 && digits(i, 4)) {
        if (i > 0) sink.Put(Barcode128::kCodeC);
        setC = true;
        sink.Put(Barcode128::SetCValue(text[i], text[i + 1]));
        i += 2;
        continue;
      }
    } else {
      if (r >= 2 && digits(i, 2)) {
        sink.Put(Barcode128::SetCValue(text[i], text[i + 1]));
        i += 2;
        continue;
      }
      sink.Put(Barcode128::kCodeB);
      setC = false;
    }
    int value = Barcode128::SetBValue(text[i]);
    if (value < 0) return false;
    sink.Put(value);
    i += 1;
  }
  return true;
}

struct CountingSink {
  size_t symbols = 0;
  int start = 0;
  void Start(int value) { start = value; }
  void Put(int) { ++symbols; }
};

}  // namespace

std::wstring Barcode128Auto::Encode(const std::wstring& text) {
  CountingSink count;
  if (!WalkAuto(text, count)) return std::wstring();
  std::wstring bits;
  SymbolWriter writer(bits, count.start, count.symbols);
  struct Sink {
    SymbolWriter& writer;
    void Start(int) {}
    void Put(int value) { writer.Put(value); }
  } sink{writer};
  WalkAuto(text, sink);
  writer.Finish();
  return bits;
}
