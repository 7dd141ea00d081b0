// The reader of stored driver configurations; see DriverConfig.h.
#include "common/DriverConfig.h"

#include <windows.h>

#include <vector>

std::wstring ReadDriverConfigurationText(const std::wstring& scenarioFile, const std::wstring& driverName,
                                         const std::wstring& orientation) {
  for (DWORD size = 4096;; size *= 2) {
    std::vector<wchar_t> buffer(size, L'\0');
    const DWORD got = GetPrivateProfileStringW(driverName.c_str(), orientation.c_str(), L"", buffer.data(), size,
                                               scenarioFile.c_str());
    // A value cut to the buffer comes back with size - 1 characters.
    if (got < size - 1) return got <= kLongestConfigurationChars ? std::wstring(buffer.data(), got) : std::wstring();
    if (size > kLongestConfigurationChars + 1) return std::wstring();
  }
}
