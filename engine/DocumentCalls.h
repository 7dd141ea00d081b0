// The spooler and GDI calls that open and close a printed document and its
// pages.
//
// The engine makes these calls through one table so that tests can stand in
// for a printer that refuses one of them: a real printer refuses a page or a
// document end rarely and never on demand, yet each refusal decides whether
// a job counts as printed and keeps its files. The table is the platform's
// calls unless a test has put its own in place.
#pragma once

#include <windows.h>

struct DocumentCalls {
  int(WINAPI* startDoc)(HDC, const DOCINFOW*);
  int(WINAPI* startPage)(HDC);
  int(WINAPI* endPage)(HDC);
  int(WINAPI* endDoc)(HDC);
  HDC(WINAPI* resetDC)(HDC, const DEVMODEW*);
  DWORD(WINAPI* startDocPrinter)(HANDLE, DWORD, LPBYTE);
  BOOL(WINAPI* startPagePrinter)(HANDLE);
  BOOL(WINAPI* endPagePrinter)(HANDLE);
  BOOL(WINAPI* endDocPrinter)(HANDLE);
};

// The platform's calls.
const DocumentCalls& PlatformDocumentCalls();

// The calls in force.
const DocumentCalls& GetDocumentCalls();

// Puts a table in force for every job that starts afterwards; nullptr puts
// back the platform's. The table must outlive its use.
void SetDocumentCalls(const DocumentCalls* calls);
