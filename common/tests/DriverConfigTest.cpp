// The shared reader of stored driver configurations.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/DriverConfig.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"

TEST(ReadDriverConfigurationText, ReadsWholeValuesAndNeverACutOne) {
  dvtest::ScopedInstallFolder folder;
  const std::wstring file = folder.Path() + L"Test.scn";
  struct Row {
    const char* name;
    size_t length;  // of the stored value; 0: the key is not written
    bool whole;     // read back whole, else ""
  } rows[] = {
      {"missing", 0, false},
      {"short", 8, true},
      {"one past the first buffer", 4096, true},
      {"a real driver's size", 20000, true},
      {"the longest DEVMODE", kLongestConfigurationChars, true},
      {"longer than any DEVMODE", kLongestConfigurationChars + 2, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(file.c_str());
    std::wstring value;
    for (size_t i = 0; i < row.length; ++i) value += L"0123456789ABCDEF"[i % 16];
    if (row.length) WritePrivateProfileStringW(L"Test Driver", L"Portrait", value.c_str(), file.c_str());
    EXPECT_EQ(row.whole ? value : std::wstring(), ReadDriverConfigurationText(file, L"Test Driver", L"Portrait"));
  }
}
