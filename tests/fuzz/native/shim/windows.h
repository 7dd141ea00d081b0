// The few platform types and calls the pure readers name, for the native
// libFuzzer build. Only what those sources use; every call that would
// touch the system aborts, since no fuzz driver reaches one. Text
// conversions treat the ANSI code page as Latin-1 (one byte, one unit).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int BOOL;
typedef unsigned int UINT;
typedef DWORD COLORREF;
typedef void* HANDLE;
typedef void* HWND;
typedef intptr_t LPARAM;
typedef uintptr_t WPARAM;
typedef intptr_t LRESULT;
typedef BYTE* LPBYTE;
typedef const char* LPCCH;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef union {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  long long QuadPart;
} LARGE_INTEGER;

#define TRUE 1
#define FALSE 0
#define WINAPI
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 1u
#define FILE_SHARE_WRITE 2u
#define FILE_SHARE_DELETE 4u
#define OPEN_EXISTING 3u
#define CREATE_NEW 1u
#define FILE_ATTRIBUTE_NORMAL 0x80u
#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define CP_ACP 0u
#define CP_THREAD_ACP 3u
#define CP_UTF8 65001u
#define LF_FACESIZE 32
#define FW_NORMAL 400
#define LB_ADDSTRING 0x0180u
#define LB_RESETCONTENT 0x0184u

typedef struct {
  LONG lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
  BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality,
      lfPitchAndFamily;
  wchar_t lfFaceName[LF_FACESIZE];
} LOGFONTW;

typedef struct {
  WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
} SYSTEMTIME;

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int bytes, wchar_t* out, int units);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, int units, char* out, int bytes,
                        const char* defaultChar, BOOL* usedDefault);
DWORD GetLastError();
UINT GetACP();
HANDLE CreateFileW(LPCWSTR, DWORD, DWORD, void*, DWORD, DWORD, HANDLE);
BOOL ReadFile(HANDLE, void*, DWORD, DWORD*, void*);
BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, void*);
BOOL SetFilePointerEx(HANDLE, LARGE_INTEGER, LARGE_INTEGER*, DWORD);
BOOL GetFileSizeEx(HANDLE, LARGE_INTEGER*);
BOOL CloseHandle(HANDLE);
BOOL DeleteFileW(LPCWSTR);
LRESULT SendMessageW(HWND, UINT, WPARAM, LPARAM);
BOOL WritePrivateProfileSectionW(LPCWSTR, LPCWSTR, LPCWSTR);
