// Version text, printer driver name and viewer start; see PlatformHelpers.h.
#include "common/PlatformHelpers.h"

#include <winspool.h>
#include <vector>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"

namespace {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// Parts are cut at the first "," or "."; blanks after a separator are dropped.
size_t FindSeparator(const std::wstring& s) { return s.find_first_of(L",."); }

std::wstring g_versionCache;

}  // namespace

std::wstring GetProductVersion() {
  if (!g_versionCache.empty()) return g_versionCache;
  g_versionCache = NormalizeVersion(GetVersionInfoString(L"FileVersion"));
  return g_versionCache;
}

std::wstring GetVersionInfoString(const std::wstring& name) {
  HMODULE module = ThisModule();
  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */);
  if (!res) return std::wstring();
  HGLOBAL loaded = LoadResource(module, res);
  if (!loaded) return std::wstring();
  const void* data = LockResource(loaded);
  DWORD size = SizeofResource(module, res);
  if (!data || size == 0) return std::wstring();
  // VerQueryValueW wants a writable copy of the block.
  std::vector<BYTE> block(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);

  std::wstring path;
  void* trans = nullptr;
  UINT transLen = 0;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &trans, &transLen) && transLen == 4) {
    const BYTE* t = static_cast<const BYTE*>(trans);
    // The translation holds the language word, then the code page word.
    path = dv::Format(L"\\StringFileInfo\\%02X%02X%02X%02X\\%ls", t[1], t[0], t[3], t[2], name.c_str());
  } else {
    path = dv::Format(L"\\StringFileInfo\\%04X04B0\\%ls", GetUserDefaultLangID(), name.c_str());
  }
  void* value = nullptr;
  UINT valueLen = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &valueLen)) return std::wstring();
  if (!value || valueLen == 0) return std::wstring();
  return std::wstring(static_cast<const wchar_t*>(value));
}

std::wstring NormalizeVersion(const std::wstring& raw) {
  std::wstring rest = dv::Trim(raw);
  if (rest.empty()) return std::wstring();
  size_t sep = FindSeparator(rest);
  if (sep == std::wstring::npos) return std::wstring();
  std::wstring result = rest.substr(0, sep) + L".";
  for (;;) {
    rest = rest.substr(sep + 1);
    size_t b = rest.find_first_not_of(L" \t");
    rest = b == std::wstring::npos ? std::wstring() : rest.substr(b);
    sep = FindSeparator(rest);
    if (sep == std::wstring::npos) break;
    result += rest.substr(0, sep);
  }
  return result;
}

std::wstring GetPrinterDriverName(const std::wstring& printer) {
  dv::PrinterHandle handle;
  if (!OpenPrinterW(const_cast<LPWSTR>(printer.c_str()), handle.put(), nullptr)) return std::wstring();
  DWORD needed = 0;
  GetPrinterDriverW(handle.get(), nullptr, 1, nullptr, 0, &needed);
  if (needed == 0) return std::wstring();
  std::vector<BYTE> buf(needed, 0);
  if (!GetPrinterDriverW(handle.get(), nullptr, 1, buf.data(), needed, &needed)) return std::wstring();
  const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(buf.data());
  return info->pName ? std::wstring(info->pName) : std::wstring();
}

std::wstring BuildJotviewCommandLine(const std::wstring& folder, const std::wstring& argument) {
  return dv::Format(L"\"%lsjotview.exe\" %ls", folder.c_str(), argument.c_str());
}

bool StartJotview(const std::wstring& argument) {
  std::wstring cmd = BuildJotviewCommandLine(GetModuleFolder(), argument);
  std::vector<wchar_t> writable(cmd.begin(), cmd.end());
  writable.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}
