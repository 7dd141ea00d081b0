// Codec of the stored entrance password; see PasswordCodec.h.
#include "controller/PasswordCodec.h"

#include <ctime>

#include "common/StringUtil.h"

namespace {

// Position c is the digit that the character with code c stands for, or a
// blank. The digit characters, the capitals and the small letters stand for
// digits; every other character for none.
constexpr wchar_t kKeyTable[] =
    L"                                                5069172834       90817263545463728190827364      "
    L"61728394051627384950617283";
constexpr size_t kKeyTableLength = sizeof(kKeyTable) / sizeof(kKeyTable[0]) - 1;
static_assert(kKeyTableLength == 123, "the key table covers codes 0 to 122");

// The generator's state; per thread, as the runtime's own.
thread_local uint32_t g_state = 1;

void Seed(uint32_t seed) { g_state = seed; }

int Draw() {
  g_state = g_state * 214013u + 2531011u;
  return static_cast<int>((g_state >> 16) & 0x7FFF);
}

uint32_t Now() { return static_cast<uint32_t>(static_cast<uint64_t>(std::time(nullptr))); }

bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

// The divisor of a seeding: the text's digit sum, 10 when it is 0.
uint32_t SeedModulus(const std::wstring& text) {
  const uint32_t m = CPasswordCodec::DigitSum(text);
  return m == 0 ? 10 : m;
}

}  // namespace

uint32_t CPasswordCodec::DigitSum(const std::wstring& text) {
  uint32_t sum = 0;
  for (wchar_t ch : text)
    if (IsDigit(ch)) sum += static_cast<uint32_t>(ch - L'0');
  return sum;
}

std::wstring CPasswordCodec::Encode(const std::wstring& password) { return Encode(password, Now()); }

std::wstring CPasswordCodec::Encode(const std::wstring& password, uint32_t now) {
  Seed(now % SeedModulus(password));
  std::wstring digits;
  digits.reserve(password.size() * 3);
  for (wchar_t ch : password) {
    const int c = static_cast<int>(ch & 0xFF);
    const int r = Draw();
    digits += dv::Format(L"%d%d%d", c / 100 + 3 * (r % 3), (c / 10) % 10, c % 10);
  }
  return DigitsToLetters(digits, now);
}

std::wstring CPasswordCodec::DigitsToLetters(const std::wstring& digits) { return DigitsToLetters(digits, Now()); }

std::wstring CPasswordCodec::DigitsToLetters(const std::wstring& digits, uint32_t now) {
  Seed(now % SeedModulus(digits));
  std::wstring letters;
  letters.reserve(digits.size());
  for (wchar_t ch : digits) letters += DigitLetter(ch);
  return letters;
}

wchar_t CPasswordCodec::DigitLetter(wchar_t ch) {
  // Each row holds only characters that the key table turns back into the
  // row's digit; rows with fewer than six such characters repeat one.
  const wchar_t table[10][7] = {
      L"1BTitT", L"4DRbkv", L"6FPVdm", L"8HNXfo", L"9JLZhq",
      L"0IKjsK", L"2GMYal", L"5EOWcn", L"7CQUep", L"3ASgrS",
  };
  const int r = Draw();
  if (!IsDigit(ch)) return L'*';
  return table[ch - L'0'][r % 6];
}

std::wstring CPasswordCodec::DecodeStep(const std::wstring& stored) {
  std::wstring digits;
  digits.reserve(stored.size());
  for (wchar_t ch : stored) {
    const size_t code = static_cast<size_t>(ch);
    digits += code < kKeyTableLength ? kKeyTable[code] : L' ';
  }
  return digits;
}

std::wstring CPasswordCodec::Decode(const std::wstring& stored) {
  const std::wstring digits = DecodeStep(stored);
  auto digitAt = [&](size_t i) { return i < digits.size() && IsDigit(digits[i]) ? digits[i] - L'0' : 0; };
  std::wstring password;
  password.reserve((digits.size() + 2) / 3);
  for (size_t i = 0; i < digits.size(); i += 3) {
    const int a = digitAt(i), b = digitAt(i + 1), c = digitAt(i + 2);
    password += static_cast<wchar_t>(((a % 3) * 100 + b * 10 + c) % 256);
  }
  return password;
}
