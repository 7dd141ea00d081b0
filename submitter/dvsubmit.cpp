// dvsubmit.exe: the windowless program that runs one engine export for one
// job ("dvsubmit.exe 17 ProcessEmfJobAndSendToPrinter") and ends.
#include <windows.h>

#include "submitter/SubmitterApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  CdvsubmitApp app(commandLine ? commandLine : L"");
  app.InitInstance();
  // The exit code never carries the engine's result.
  return 0;
}
