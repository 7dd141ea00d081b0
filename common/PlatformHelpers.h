// Small services taken from the platform: the version text of the program's
// own version resource, a printer's driver name and the start of the event
// log viewer. (The menu check-mark helper lives with the controller's window
// layer.)
#pragma once

#include <windows.h>
#include <string>

// Version text from FileVersion: "1, 4, 3, 0" gives "1.43". Built once, then
// served from a cache; an empty result is not cached.
std::wstring GetProductVersion();

// A value from the string table of the version resource of the module that
// holds this code, or "".
std::wstring GetVersionInfoString(const std::wstring& name);

// "1, 4, 3, 0" -> "1.43", "2.0.1" -> "2.0", "1, 5" -> "1.", "7" -> "".
std::wstring NormalizeVersion(const std::wstring& raw);

// Driver name of a printer, or "" when it cannot be opened or read.
std::wstring GetPrinterDriverName(const std::wstring& printer);

// Command line that starts the viewer from folder with an argument; the
// program path is quoted so that a folder with blanks works.
std::wstring BuildJotviewCommandLine(const std::wstring& folder, const std::wstring& argument);

// Starts jotview.exe from the program's folder with the argument and does
// not wait. Returns false when the process could not be started (callers may
// ignore it).
bool StartJotview(const std::wstring& argument);
