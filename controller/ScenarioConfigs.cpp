// Reading, writing and hex coding of a scenario's stored driver
// configurations (see the header).
#include "controller/ScenarioConfigs.h"

#include <cstddef>
#include <cwctype>

#include "common/DriverConfig.h"

std::wstring BytesToHex(const BYTE* bytes, size_t count) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

namespace {

int DigitValue(wchar_t c) {
  c = static_cast<wchar_t>(std::towupper(c));
  return (c >= L'0' && c <= L'9') ? c - L'0' : c - 55;
}

}  // namespace

std::vector<BYTE> HexToBytes(const std::wstring& text) {
  std::vector<BYTE> bytes;
  bytes.reserve(text.size() / 2 + 1);
  for (size_t i = 0; i < text.size(); i += 2) {
    if (i + 1 >= text.size()) {
      bytes.push_back(0);
      break;
    }
    bytes.push_back(static_cast<BYTE>(DigitValue(text[i]) * 16 + DigitValue(text[i + 1])));
  }
  return bytes;
}

size_t CompleteDevmodeLength(const BYTE* bytes, size_t available) {
  // The header up to and including dmFields is the least a driver returns.
  constexpr size_t kLeast = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);
  if (!bytes || available < kLeast) return 0;
  const DEVMODEW* devmode = reinterpret_cast<const DEVMODEW*>(bytes);
  size_t length = size_t(devmode->dmSize) + devmode->dmDriverExtra;
  if (devmode->dmSize < kLeast || length > available) return 0;
  return length;
}

bool ReadDriverConfigs(const std::wstring& file, const std::wstring& orientation, DriverConfigMap& configs) {
  constexpr DWORD kNamesSize = 32767;
  std::vector<wchar_t> names(kNamesSize, L'\0');
  DWORD got = GetPrivateProfileSectionNamesW(names.data(), kNamesSize, file.c_str());
  bool complete = got + 2 < kNamesSize;
  for (const wchar_t* name = names.data(); *name && name < names.data() + got; name += wcslen(name) + 1) {
    std::wstring value = ReadDriverConfigurationText(file, name, orientation);
    if (!value.empty()) configs[name] = value;
  }
  return complete;
}

void WriteDriverConfigs(const std::wstring& file, const std::wstring& orientation,
                        const std::vector<std::wstring>& removed, const DriverConfigMap& configs) {
  for (const std::wstring& driver : removed)
    WritePrivateProfileStringW(driver.c_str(), orientation.c_str(), L"", file.c_str());
  for (const auto& entry : configs)
    WritePrivateProfileStringW(entry.first.c_str(), orientation.c_str(), entry.second.c_str(), file.c_str());
}
