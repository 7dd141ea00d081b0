// Entry point of the event log viewer, Jotview.exe.
#include <windows.h>

#include "viewer/JotviewApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CJotviewApp app;
  return app.Run();
}
