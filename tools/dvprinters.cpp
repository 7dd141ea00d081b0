// dvprinters: sets up the printers of a test or demo Wine prefix.
//   dvprinters driver <ppd>          install the test PostScript driver
//   dvprinters add <name> <portfile> add a printer writing to a file
//   dvprinters remove <name>         remove a printer
#include <windows.h>
#include <cstdio>
#include <string>

#include "tools/fixtures/PrinterSetup.h"

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wstring(argv[1]) == L"driver") {
    if (dvfix::InstallTestDriver(argv[2])) return 0;
    fwprintf(stderr, L"dvprinters: cannot install the driver (error %lu)\n", GetLastError());
    return 1;
  }
  if (argc >= 4 && std::wstring(argv[1]) == L"add") {
    if (dvfix::AddFilePrinter(argv[2], argv[3])) return 0;
    fwprintf(stderr, L"dvprinters: cannot add printer %ls (error %lu)\n", argv[2], GetLastError());
    return 1;
  }
  if (argc >= 3 && std::wstring(argv[1]) == L"remove") return dvfix::RemovePrinter(argv[2]) ? 0 : 1;
  fwprintf(stderr, L"usage: dvprinters driver <ppd> | add <name> <portfile> | remove <name>\n");
  return 2;
}
