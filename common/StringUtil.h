// Small string helpers shared by every program: printf-style formatting into
// std::wstring (write %ls for wide strings: mingw's wide printf family takes %s
// as a narrow string), trimming and conversions.
#pragma once

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

}  // namespace dv
