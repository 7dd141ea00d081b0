// The full-ASCII table shared by Code 39 and Code 93: every character 0 to
// 127 written with the characters of the basic set, as one character or as
// a shift character ('$', '%', '/' or '+') followed by a second one.
#pragma once

struct FullAsciiChars {
  char shift;   // 0 when the character stands for itself
  char symbol;  // the basic-set character (after the shift, if any)
};

// The representation of a byte 0 to 127. '*' is the pair "/J": it is never
// the start/stop character inside the data.
inline FullAsciiChars GetFullAscii(int b) {
  auto pair = [](char shift, int symbol) { return FullAsciiChars{shift, static_cast<char>(symbol)}; };
  if (b == 0) return pair('%', 'U');
  if (b <= 26) return pair('$', 'A' + b - 1);
  if (b <= 31) return pair('%', 'A' + b - 27);
  if (b == ' ' || b == '$' || b == '%' || b == '+' || b == '-' || b == '.' || b == '/') return pair(0, b);
  if (b <= '#') return pair('/', 'A' + b - '!');
  if (b <= '*') return pair('/', 'F' + b - '&');
  if (b == ',') return pair('/', 'L');
  if (b <= '9') return pair(0, b);
  if (b == ':') return pair('/', 'Z');
  if (b <= '?') return pair('%', 'F' + b - ';');
  if (b == '@') return pair('%', 'V');
  if (b <= 'Z') return pair(0, b);
  if (b <= '_') return pair('%', 'K' + b - '[');
  if (b == '`') return pair('%', 'W');
  if (b <= 'z') return pair('+', 'A' + b - 'a');
  return pair('%', 'P' + b - '{');
}
