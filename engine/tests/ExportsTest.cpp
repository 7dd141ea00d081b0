// The built engine library as its callers see it: exports by ordinal and
// name, and the version block.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "common/PlatformHelpers.h"
#include "tests/support/TestEnv.h"

TEST(EngineLibrary, ExportsSitAtOrdinalsOneAndTwo) {
  HMODULE dll = LoadLibraryW(dvtest::BuiltFile(L"engine\\Jobforge.Dll").c_str());
  ASSERT_NE(dll, nullptr);
  FARPROC emf = GetProcAddress(dll, "ProcessEmfJobAndSendToPrinter");
  FARPROC raw = GetProcAddress(dll, "ProcessRawJobAndSendToPrinter");
  ASSERT_NE(emf, nullptr);
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(GetProcAddress(dll, MAKEINTRESOURCEA(1)), emf);
  EXPECT_EQ(GetProcAddress(dll, MAKEINTRESOURCEA(2)), raw);
  FreeLibrary(dll);
}

TEST(EngineLibrary, FileVersionIsOneFourThreeZero) {
  const std::wstring path = dvtest::BuiltFile(L"engine\\Jobforge.Dll");
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  void* value = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\FileVersion", &value, &len));
  const std::wstring version = static_cast<const wchar_t*>(value);
  EXPECT_EQ(version, L"1, 4, 3, 0");
  EXPECT_EQ(NormalizeVersion(version), L"1.43");
}
