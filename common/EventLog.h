// The shared event log, Events.log in the install folder.
//
// Every program appends one line per event:
//   category,code,event text,dd/mm/yyyy,hh:mm:ss,detail CR LF
// in the system's ANSI code page. The file is opened, appended to and closed
// for each event; nothing stays open between events. Logging never changes
// the caller's course: a line that cannot be written is lost silently.
#pragma once

#include <windows.h>
#include <string>

// Fixed text of an event code, "Unknown Code" for any code not in the table.
std::wstring GetEventText(int code);

// Category of a code: the code divided by 1000 (truncating toward zero).
int GetEventCategory(int code);

// The system's message text for a Windows error, first line only, or
// "Unknown Error".
std::wstring GetSystemErrorText(DWORD error);

// "GetLastError Returned: %d (%s)" for an error number.
std::wstring LastErrorDetail(DWORD error);

// The complete line for an event at the given local time, CR LF included,
// before conversion. CR and LF inside the detail become blanks so that one
// event is always one line.
std::wstring FormatEventLine(int code, const std::wstring& detail, const SYSTEMTIME& localTime);

// Converts a line to the ANSI code page, or the code page given
// (dv::ToCodePage: unmappable characters become blanks), within the writer's
// 4096-byte buffer: a longer line is cut at a character boundary and still
// ends in CR LF.
std::string ConvertEventLine(const std::wstring& line, UINT codePage = CP_ACP);

// Appends one event to Events.log of the install folder.
void WriteEvent(int code, const std::wstring& detail);

// WriteEvent with the detail "GetLastError Returned: %d (%s)".
void LogLastError(int code, DWORD error);

// Install folder + "Events.log".
std::wstring GetEventLogPath();
