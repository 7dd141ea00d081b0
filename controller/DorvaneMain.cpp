// The controller's entry point and its one application object.
#include <windows.h>

#include "controller/DorvaneApp.h"

CDorvaneApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  try {
    return theApp.Run();
  } catch (...) {
    return 1;
  }
}
