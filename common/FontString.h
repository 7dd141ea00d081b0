// The font description string of a template's text field: nine decimal
// fields separated by commas (colour, character set, italic, underline,
// strike-out, weight, width, height in points, face name), as the page
// template editor stores it in a field's TextFont key and as the engine reads
// it to draw the field.
//
// Both conversions are pure: no state is kept between calls, so the engine
// may parse on several spooler threads at once.
#pragma once

#include <windows.h>
#include <string>

// The text a new field starts with: black, Hebrew character set, upright,
// normal weight, natural width, 10 points, face David.
extern const wchar_t kDefaultFontString[];  // "0,177,0,0,0,400,0,10,David"

// Fills colour and font from the string. Never fails: fields the string does
// not supply keep their defaults (colour 0, character set 177, weight 400,
// height -12, face "David", everything else 0). Empty fields take no place
// (",," counts as one separator), so later fields move forward. A face name
// longer than 31 characters is cut to 31, the size of the platform's field.
void ParseFontString(const std::wstring& text, COLORREF& colour, LOGFONTW& font);

// "%d,%d,%d,%d,%d,%d,%d,%d,%s": colour (signed), character set, italic,
// underline, strike-out (0-255), weight, width, height (signed), face name.
std::wstring FormatFontString(COLORREF colour, const LOGFONTW& font);
