// The engine's two exports. Both run the one job pipeline; nothing is thrown
// to the caller (the spooler's print processor, the submitter or the
// controller): any exception ends the job with result 0 and keeps its files.
#include <windows.h>

#include "engine/Pipeline.h"

extern "C" {

__declspec(dllexport) int ProcessEmfJobAndSendToPrinter(int jobNumber) {
  try {
    return ProcessJobAndSendToPrinter(jobNumber, false);
  } catch (...) {
    return 0;
  }
}

__declspec(dllexport) int ProcessRawJobAndSendToPrinter(int jobNumber) {
  try {
    return ProcessJobAndSendToPrinter(jobNumber, true);
  } catch (...) {
    return 0;
  }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
