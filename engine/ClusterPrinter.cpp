// Cluster printer naming; see ClusterPrinter.h.
#include "engine/ClusterPrinter.h"

#include "common/InstallFolder.h"
#include "engine/EngineRegistry.h"

std::wstring GetClusterPrinterName(const std::wstring& printerName) {
  const std::wstring settings = ReadInstallPath() + L"Dorvane.ini";
  std::wstring group = GetIniString(L"ClusterGroup", printerName, settings);
  if (group.empty()) group = GetIniString(L"General", L"DefaultClusterGroup", settings);
  if (!group.empty() && printerName.find(L"\\\\") == std::wstring::npos) return L"\\\\" + group + L"\\" + printerName;
  return printerName;
}
