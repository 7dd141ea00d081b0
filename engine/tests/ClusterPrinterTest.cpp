// Cluster printer naming on a table of settings and node files.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/ClusterPrinter.h"
#include "tests/support/TestEnv.h"

TEST(ClusterPrinter, NetworkNameFromTheGroupTable) {
  struct Row {
    const char* name;
    const wchar_t* line;          // ClusterGroup line "printer=group", or nullptr
    const wchar_t* defaultGroup;  // General/DefaultClusterGroup, or nullptr
    const wchar_t* printer;
    const wchar_t* expected;
  } rows[] = {
      {"own line", L"HP4050=PRINTSRV", nullptr, L"HP4050", L"\\\\PRINTSRV\\HP4050"},
      {"default group", nullptr, L"PRINTSRV", L"HP4050", L"\\\\PRINTSRV\\HP4050"},
      {"own line before the default", L"HP4050=NODEA", L"PRINTSRV", L"HP4050", L"\\\\NODEA\\HP4050"},
      {"network name stays", L"\\\\OTHER\\HP4050=PRINTSRV", L"PRINTSRV", L"\\\\OTHER\\HP4050", L"\\\\OTHER\\HP4050"},
      {"double backslash anywhere", nullptr, L"PRINTSRV", L"Lab\\\\HP", L"Lab\\\\HP"},
      {"single backslash is no network name", nullptr, L"PRINTSRV", L"Lab\\HP", L"\\\\PRINTSRV\\Lab\\HP"},
      {"no line, no default", nullptr, nullptr, L"HP4050", L"HP4050"},
      {"line of another printer", L"HP5=PRINTSRV", nullptr, L"HP4050", L"HP4050"},
      {"empty value falls back to the default", L"HP4050=", L"PRINTSRV", L"HP4050", L"\\\\PRINTSRV\\HP4050"},
      {"empty value and no default", L"HP4050=", nullptr, L"HP4050", L"HP4050"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dvtest::ScopedInstallFolder install;
    const std::wstring ini = install.SettingsFile();
    if (row.line) {
      std::wstring section = std::wstring(row.line) + L'\0';
      WritePrivateProfileSectionW(L"ClusterGroup", section.c_str(), ini.c_str());
    }
    if (row.defaultGroup) WritePrivateProfileStringW(L"General", L"DefaultClusterGroup", row.defaultGroup, ini.c_str());
    EXPECT_EQ(GetClusterPrinterName(row.printer), row.expected);
  }
}

TEST(ClusterPrinter, NodePrinterFromCurNodeIni) {
  struct Row {
    const char* name;
    const wchar_t* defaultGroup;
    const wchar_t* nodeName;
    const wchar_t* nodePrinter;
    const wchar_t* expected;
  } rows[] = {
      {"node printer", L"PRINTSRV", L"NODE1", L"HP4050", L"\\\\NODE1\\HP4050"},
      {"no node name", L"PRINTSRV", nullptr, L"HP4050", L"\\\\PRINTSRV\\HP4050"},
      {"empty node printer", L"PRINTSRV", L"NODE1", L"", L"\\\\PRINTSRV\\HP4050"},
      {"no default group", nullptr, L"NODE1", L"HP4050", L"\\\\PRINTSRV\\HP4050"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dvtest::ScopedInstallFolder install;
    if (row.defaultGroup)
      WritePrivateProfileStringW(L"General", L"DefaultClusterGroup", row.defaultGroup, install.SettingsFile().c_str());
    const std::wstring node = install.Path() + L"CurNode.ini";
    if (row.nodeName) WritePrivateProfileStringW(L"General", L"NodeName", row.nodeName, node.c_str());
    if (row.nodePrinter) WritePrivateProfileStringW(L"General", L"NodePrinter", row.nodePrinter, node.c_str());
    EXPECT_EQ(GetClusterNodePrinter(L"\\\\PRINTSRV\\HP4050"), row.expected);
  }
  // Neither file at all.
  dvtest::ScopedInstallFolder empty;
  EXPECT_EQ(GetClusterNodePrinter(L"HP4050"), L"HP4050");
}
