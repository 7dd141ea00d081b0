// Cluster printer naming; see ClusterPrinter.h.
#include "engine/ClusterPrinter.h"

#include "common/InstallFolder.h"
#include "engine/EngineRegistry.h"

std::wstring GetClusterPrinterName(const std::wstring& printerName) {
  const std::wstring settings = ReadInstallPath() + L"Dorvane.ini";
  std::wstring group = GetIniString(L"ClusterGroup", printerName, settings);
  if (group.empty()) group = GetIniString(L"General", L"DefaultClusterGroup", settings);
  // A name that already is a network name is never changed.
  if (group.empty() || printerName.find(L"\\\\") != std::wstring::npos) return printerName;
  return L"\\\\" + group + L"\\" + printerName;
}

std::wstring GetClusterNodePrinter(const std::wstring& printerName) {
  const std::wstring folder = ReadInstallPath();
  if (GetIniString(L"General", L"DefaultClusterGroup", folder + L"Dorvane.ini").empty()) return printerName;
  const std::wstring nodeFile = folder + L"CurNode.ini";
  const std::wstring node = GetIniString(L"General", L"NodeName", nodeFile);
  const std::wstring nodePrinter = GetIniString(L"General", L"NodePrinter", nodeFile);
  if (node.empty() || nodePrinter.empty()) return printerName;
  return L"\\\\" + node + L"\\" + nodePrinter;
}
