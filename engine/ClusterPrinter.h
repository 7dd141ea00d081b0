// Cluster printer naming: printers assigned to a cluster group print through
// the group's network printer name.
#pragma once

#include <string>

// The printer name to open for a printer: "\\<group>\<printer>" when the
// printer (or the default) has a cluster group, the name unchanged otherwise.
std::wstring GetClusterPrinterName(const std::wstring& printerName);
