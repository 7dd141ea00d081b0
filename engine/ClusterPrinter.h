// Printer names on a clustered print server.
//
// A job arrives under a printer's local name, but on a cluster the printer
// must be opened through the cluster's virtual server: "\\group\printer".
// The group comes from the settings file (section ClusterGroup, one line per
// printer, else General/DefaultClusterGroup). The RAW overlay renders its
// templates through the printer of the node the engine runs on, named in the
// node file CurNode.ini that the cluster's setup provides.
//
// Nothing is cached: both rules read the files at every call. A missing file
// reads as empty values and the name comes back unchanged; no event is
// written.
#pragma once

#include <string>

// The name under which the printer is opened: "\\" group "\" printerName
// when a group is set and the name holds no "\\" yet, else printerName.
std::wstring GetClusterPrinterName(const std::wstring& printerName);

// "\\" NodeName "\" NodePrinter of CurNode.ini when a default cluster group
// is set and both values are there, else printerName.
std::wstring GetClusterNodePrinter(const std::wstring& printerName);
