// Small string helpers shared by every program: printf-style formatting into
// std::wstring (write %ls for wide strings: mingw's wide printf family takes %s
// as a narrow string), trimming and conversions.
#pragma once

#include <windows.h>

#include <string>
#include <cstdarg>

namespace dv {

// Formats like swprintf into a string of any length. An invalid format gives "".
std::wstring Format(const wchar_t* fmt, ...);
std::wstring FormatV(const wchar_t* fmt, va_list args);

// Removes blanks, tabs, CR and LF at both ends.
std::wstring Trim(const std::wstring& text);

// Upper-cases ASCII letters only (no locale rules), for comparisons of
// reserved names.
std::wstring AsciiUpper(const std::wstring& text);

// UTF-8 <-> UTF-16, for tools and tests.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// size bytes of text in the given code page as UTF-16; "" when they cannot be
// converted.
std::wstring FromCodePage(UINT codePage, const char* bytes, size_t size);
// The same into out, which keeps its capacity for the next text.
void FromCodePage(UINT codePage, const char* bytes, size_t size, std::wstring& out);

// The arguments of a conversion from UTF-16 to a code page: CP_ACP resolved
// to the system's ANSI code page, and for every code page but UTF-8 the
// caller's flags with the blank as the default character (a character the
// code page lacks becomes " "). UTF-8 (65001, also the ANSI code page when
// Windows' "Use Unicode UTF-8" option is on) gets neither: Windows refuses
// any flag but WC_ERR_INVALID_CHARS and any default character for it, and
// the conversion would produce nothing; UTF-8 has every character anyway.
struct CodePageConversion {
  UINT codePage;
  DWORD flags;
  const char* defaultChar;  // nullptr: none
};
CodePageConversion GetCodePageConversion(UINT codePage, DWORD flags);

// WideCharToMultiByte with the arguments of GetCodePageConversion: count
// UTF-16 units (-1: up to and including the terminating zero) into out of
// outBytes bytes, or only measured when outBytes is 0. Returns the bytes
// written (or needed), 0 on failure.
int ToCodePage(UINT codePage, DWORD flags, const wchar_t* text, int count, char* out, int outBytes);

}  // namespace dv
