// Time and date texts of the "Time" and "Date" print fields.
#pragma once

#include <windows.h>
#include <string>

// The format written out with the C library's wide strftime for the given
// local time (no daylight-saving flag), in the library's default locale.
// Only the conversions the C runtime documents (%a %A %b %B %c %d %H %I %j
// %m %M %p %S %U %w %W %x %X %y %Y %z %Z %%, each also with the # flag) are
// handed to it; any other % sequence, and a lone % at the end, is copied as
// it stands, so no format can reach the runtime's invalid-parameter handler.
// A result of more than 255 characters, and an empty format, give "".
std::wstring FormatFieldTime(const std::wstring& format, const SYSTEMTIME& time);
