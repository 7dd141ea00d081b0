// String helpers; see StringUtil.h.
#include "common/StringUtil.h"

#include <windows.h>
#include <climits>
#include <cwchar>
#include <vector>

namespace dv {

std::wstring FormatV(const wchar_t* fmt, va_list args) {
  std::vector<wchar_t> buf(256);
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    int n = vswprintf(buf.data(), buf.size(), fmt, copy);
    va_end(copy);
    if (n >= 0 && static_cast<size_t>(n) < buf.size()) return std::wstring(buf.data(), n);
    // vswprintf gives -1 both for a short buffer and for a bad format: grow up
    // to a sane bound, then give up with "".
    if (buf.size() >= (1u << 24)) return std::wstring();
    buf.resize(buf.size() * 4);
  }
}

std::wstring Format(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::wstring s = FormatV(fmt, args);
  va_end(args);
  return s;
}

std::wstring Trim(const std::wstring& text) {
  const wchar_t* ws = L" \t\r\n";
  size_t b = text.find_first_not_of(ws);
  if (b == std::wstring::npos) return std::wstring();
  size_t e = text.find_last_not_of(ws);
  return text.substr(b, e - b + 1);
}

std::wstring AsciiUpper(const std::wstring& text) {
  std::wstring s = text;
  for (auto& c : s)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return s;
}

CodePageConversion GetCodePageConversion(UINT codePage, DWORD flags) {
  const UINT resolved = codePage == CP_ACP ? GetACP() : codePage;
  if (resolved == CP_UTF8) return {resolved, 0, nullptr};
  return {resolved, flags, " "};
}

int ToCodePage(UINT codePage, DWORD flags, const wchar_t* text, int count, char* out, int outBytes) {
  const CodePageConversion c = GetCodePageConversion(codePage, flags);
  return WideCharToMultiByte(c.codePage, c.flags, text, count, out, outBytes, c.defaultChar, nullptr);
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) { return FromCodePage(CP_UTF8, text.data(), text.size()); }

std::wstring FromCodePage(UINT codePage, const char* bytes, size_t size) {
  std::wstring out;
  FromCodePage(codePage, bytes, size, out);
  return out;
}

void FromCodePage(UINT codePage, const char* bytes, size_t size, std::wstring& out) {
  out.clear();
  if (size == 0 || size > INT_MAX) return;
  const int n = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), nullptr, 0);
  if (n <= 0) return;
  out.resize(static_cast<size_t>(n));
  MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), &out[0], n);
}

}  // namespace dv
