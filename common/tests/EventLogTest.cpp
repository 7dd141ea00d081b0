// Event lines, texts, categories and the writer.
#include <gtest/gtest.h>

#include <thread>

#include "common/EventLog.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"

namespace {

SYSTEMTIME At(int d, int mo, int y, int h, int mi, int s) {
  SYSTEMTIME t = {};
  t.wDay = d;
  t.wMonth = mo;
  t.wYear = y;
  t.wHour = h;
  t.wMinute = mi;
  t.wSecond = s;
  return t;
}

}  // namespace

TEST(EventLine, FormatAndCategories) {
  struct Row {
    int code;
    const wchar_t* detail;
    const wchar_t* line;
  } rows[] = {
      {1007, L"GetLastError Returned: 2 (x)",
       L"1,1007,Can't open original file,08/12/2026,14:03:59,GetLastError Returned: 2 (x)\r\n"},
      {4001, L"", L"4,4001,Dorvane controller application was started,08/12/2026,14:03:59,\r\n"},
      {3, L"a,b,c", L"0,3,Unable to open devmode file,08/12/2026,14:03:59,a,b,c\r\n"},
      {0, L"", L"0,0,Unknown Code,08/12/2026,14:03:59,\r\n"},
      {5000, L"", L"5,5000,Unknown Code,08/12/2026,14:03:59,\r\n"},
      {-1500, L"", L"-1,-1500,Unknown Code,08/12/2026,14:03:59,\r\n"},
      {4, L"", L"0,4,PCL Command two long, unable to process,08/12/2026,14:03:59,\r\n"},
      // A detail can never forge a second line.
      {1, L"doc\r\n1,1,forged", L"0,1,Error deleting job files,08/12/2026,14:03:59,doc  1,1,forged\r\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.code);
    EXPECT_EQ(FormatEventLine(r.code, r.detail, At(8, 12, 2026, 14, 3, 59)), r.line);
  }
}

TEST(EventLine, TextsAreTheSystemsOwn) {
  EXPECT_EQ(GetEventText(2007), L"Entrance password decription error (Match)");
  EXPECT_EQ(GetEventText(3002),
            L"The new driver configurations were made with a different driver then the original one");
  EXPECT_EQ(GetEventText(1016), L"Unable to load library: Jobforge.dll");
  EXPECT_EQ(GetEventText(1021), L"Unknown Code");
}

TEST(EventLine, ConversionBlanksUnmappableAndCutsLongLines) {
  struct Row {
    const char* name;
    UINT codePage;
    std::wstring line;
    std::string bytes;
  } rows[] = {
      {"Western: unmappable becomes a blank", 1252, L"a\x4E2D" L"b\r\n", "a b\r\n"},
      {"UTF-8 system code page: every character", CP_UTF8, L"a\x4E2D" L"b\r\n", "a\xE4\xB8\xAD" "b\r\n"},
      {"Western: long line cut", 1252, std::wstring(5000, L'x') + L"\r\n", std::string(4094, 'x') + "\r\n"},
      {"UTF-8: long line cut", CP_UTF8, std::wstring(5000, L'x') + L"\r\n", std::string(4094, 'x') + "\r\n"},
      // Two bytes a character: 2047 characters fill the 4094 bytes.
      {"UTF-8: cut between characters", CP_UTF8, std::wstring(3000, L'\x00E9') + L"\r\n",
       dv::ToUtf8(std::wstring(2047, L'\x00E9')) + "\r\n"},
      {"UTF-8: a character that would not fit is left out", CP_UTF8,
       std::wstring(4093, L'x') + L"\x4E2D\r\n", std::string(4093, 'x') + "\r\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(ConvertEventLine(r.line, r.codePage), r.bytes);
  }
  if (GetACP() != CP_UTF8) {
    EXPECT_EQ(ConvertEventLine(L"a\x4E2D" L"b\r\n"), "a b\r\n");
  }
}

TEST(SystemErrorText, FirstLineOrUnknown) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 2, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  std::wstring expected = text;
  LocalFree(text);
  expected = expected.substr(0, expected.find(L'\r'));
  EXPECT_EQ(GetSystemErrorText(2), expected);
  EXPECT_EQ(LastErrorDetail(2), L"GetLastError Returned: 2 (" + expected + L")");
  EXPECT_EQ(GetSystemErrorText(0x2FFFFFFF), L"Unknown Error");
}

TEST(WriteEvent, AppendsLinesToTheInstallFoldersLog) {
  dvtest::ScopedInstallFolder install;
  WriteEvent(4001, L"");
  LogLastError(1007, 2);
  auto lines = install.EventLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("4,4001,Dorvane controller application was started,", 0), 0u);
  EXPECT_EQ(lines[0].back(), ',');
  EXPECT_EQ(lines[1].rfind("1,1007,Can't open original file,", 0), 0u);
  EXPECT_NE(lines[1].find(",GetLastError Returned: 2 ("), std::string::npos);
}

TEST(WriteEvent, WaitsBrieflyForAnotherWriter) {
  dvtest::ScopedInstallFolder install;
  HANDLE other = CreateFileW(install.EventLog().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                             nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  std::thread release([other] {
    Sleep(60);
    CloseHandle(other);
  });
  WriteEvent(2006, L"");
  release.join();
  auto lines = install.EventLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("2,2006,Wrong entrance password was typed,", 0), 0u);
}

TEST(WriteEvent, MissingInstallFolderLosesTheEventQuietly) {
  dvtest::ScopedInstallFolder install;
  dvtest::RemoveTree(install.Path());
  WriteEvent(1, L"lost");
  EXPECT_FALSE(dvtest::FileExistsAt(install.EventLog()));
}
