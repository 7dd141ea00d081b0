// The engine's own registry reads and its install-folder lookup, and the
// engine-only event variant with the printer name.
#pragma once

#include <windows.h>
#include <string>

// The class the engine gives the HKLM keys it creates (free text that no
// reader of a key looks at).
inline constexpr wchar_t kEngineKeyClass[] = L"REG_SZ";

// Reads a value of an HKLM key into a buffer of bufferBytes bytes. The key is
// opened with create semantics (a missing key is created empty, with the
// class above); a missing
// value is looked up once more in the 32-bit view. Returns the registry
// status; on success text holds the value (terminated within the buffer).
LSTATUS RegReadHklmValue(const std::wstring& keyPath, const std::wstring& valueName, std::wstring& text,
                         DWORD bufferBytes = 1024);

// The engine's install folder: Path of the product key, then of its
// Wow6432Node twin (a value that does not fit 1024 bytes, or is empty, counts
// as missing), then "c:\dorvane"; always ending in a backslash.
std::wstring ReadInstallPath();

// WriteEvent with "GetLastError Returned: %d (%s), %s".
void LogLastErrorWithText(int code, DWORD error, const std::wstring& text);
