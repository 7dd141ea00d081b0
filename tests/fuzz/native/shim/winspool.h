#pragma once
#include <windows.h>
BOOL WritePrinter(HANDLE, void*, DWORD, DWORD*);
