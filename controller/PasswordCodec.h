// The codec of the stored entrance password.
//
// A password is never stored as typed: each character becomes three decimal
// digits (the hundreds digit raised by a random 0, 3 or 6), and each digit
// one of several letters or digits standing for it, chosen at random. One
// password so has many stored texts, and every one of them decodes back to
// it. Only the low eight bits of a character are carried: a password of
// characters above 255 does not survive a round trip.
//
// The random choices come from a generator of the runtime's linear
// congruential kind (state * 214013 + 2531011, draws of bits 16-30), seeded
// from the time of day; its state is per thread and private to the codec, so
// the codec disturbs no other user of rand().
#pragma once

#include <cstdint>
#include <string>

class CPasswordCodec final {
 public:
  CPasswordCodec() = delete;

  // The stored text of a password: exactly three letters or digits per
  // password character, "" for "". Seeds from the current time.
  static std::wstring Encode(const std::wstring& password);
  // The same with the time given (seconds since 1970, low 32 bits), for
  // both seedings.
  static std::wstring Encode(const std::wstring& password, uint32_t now);

  // The password of a stored text. Never fails and never reads outside the
  // text or the key table: a character that stands for no digit (a
  // character the encoder never writes, any above 122 included) counts as
  // the digit 0, and a last group of one or two characters is completed with
  // zeros. So any non-empty stored text, however mangled, gives a non-empty
  // password, and a damaged copy never reads as "no password set".
  static std::wstring Decode(const std::wstring& stored);

  // The sum of the decimal digit characters of text ('0' to '9'); other
  // characters add nothing.
  static uint32_t DigitSum(const std::wstring& text);
  // One letter or digit per digit character, "*" for any other character.
  // Seeds from the current time (or from now).
  static std::wstring DigitsToLetters(const std::wstring& digits);
  static std::wstring DigitsToLetters(const std::wstring& digits, uint32_t now);
  // Draws once from the generator, then gives a character standing for the
  // digit ch, or '*' when ch is not one of '0' to '9'.
  static wchar_t DigitLetter(wchar_t ch);
  // The digit each character stands for, a blank for a character that
  // stands for none; as long as the stored text.
  static std::wstring DecodeStep(const std::wstring& stored);
};
