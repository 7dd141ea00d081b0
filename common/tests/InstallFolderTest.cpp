// Install folder lookup, registry strings and INI access.
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "tests/support/TestEnv.h"

namespace {

// Saves and clears Path in both registry views for the test, restores it after.
class RegistryPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved64_ = Read(kProductKey, 0);
    saved32_ = Read(kProductKey, KEY_WOW64_32KEY);
    Delete(kProductKey, 0);
    Delete(kProductKey, KEY_WOW64_32KEY);
  }
  void TearDown() override {
    Delete(kProductKey, 0);
    Delete(kProductKey, KEY_WOW64_32KEY);
    if (!saved64_.empty()) Set(kProductKey, 0, saved64_);
    if (!saved32_.empty()) Set(kProductKey, KEY_WOW64_32KEY, saved32_);
  }
  static std::wstring Read(const wchar_t* key, REGSAM view) {
    HKEY k;
    std::wstring out;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, &k) != ERROR_SUCCESS) return out;
    wchar_t buf[4096] = {};
    DWORD size = sizeof(buf) - sizeof(wchar_t);
    if (RegQueryValueExW(k, L"Path", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS) out = buf;
    RegCloseKey(k);
    return out;
  }
  static void SetRaw(const wchar_t* key, REGSAM view, const void* data, DWORD bytes) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(k, L"Path", 0, REG_SZ, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(k);
  }
  static void Set(const wchar_t* key, REGSAM view, const std::wstring& text) {
    SetRaw(key, view, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  static void Delete(const wchar_t* key, REGSAM view) {
    HKEY k;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE | view, &k) != ERROR_SUCCESS) return;
    RegDeleteValueW(k, L"Path");
    RegCloseKey(k);
  }
  std::wstring saved64_, saved32_;
};

}  // namespace

TEST(AddTrailingBackslash, AddsExactlyOne) {
  EXPECT_EQ(AddTrailingBackslash(L"D:\\Apps\\Dorvane"), L"D:\\Apps\\Dorvane\\");
  EXPECT_EQ(AddTrailingBackslash(L"D:\\Apps\\Dorvane\\"), L"D:\\Apps\\Dorvane\\");
  EXPECT_EQ(AddTrailingBackslash(L""), L"\\");
}

TEST_F(RegistryPathTest, InstallDirectoryFromEachLocationInTurn) {
  EXPECT_EQ(GetInstallDirectory(), L"c:\\dorvane\\");

  Set(kProductKeyWow64, 0, L"E:\\Wow\\Dorvane");
  EXPECT_EQ(GetInstallDirectory(), L"E:\\Wow\\Dorvane\\");

  Set(kProductKey, 0, L"");  // empty counts as missing
  EXPECT_EQ(GetInstallDirectory(), L"E:\\Wow\\Dorvane\\");

  Set(kProductKey, 0, L"D:\\Apps\\Dorvane");
  EXPECT_EQ(GetInstallDirectory(), L"D:\\Apps\\Dorvane\\");
}

TEST_F(RegistryPathTest, MissingValueIsFoundInThe32BitView) {
  Set(kProductKey, 0, L"x");
  Delete(kProductKey, 0);  // key present, value missing in the 64-bit view
  Set(kProductKey, KEY_WOW64_32KEY, L"F:\\Thirty\\Two");
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path"), L"F:\\Thirty\\Two");
}

TEST_F(RegistryPathTest, TooLongValuesCountAsMissingUnterminatedOnesAreRead) {
  const std::wstring tooLong(2048, L'a');
  Set(kProductKey, 0, tooLong);
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path"), L"");
  EXPECT_EQ(GetInstallDirectory(), L"c:\\dorvane\\");

  const std::wstring longest(2047, L'b');
  Set(kProductKey, 0, longest);
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path"), longest);

  // Data without a terminator is text up to its end, as the engine reads it
  // (the two must agree on the install folder); an odd last byte is no
  // character.
  const wchar_t unterminated[4] = {L'C', L':', L'\\', L'x'};
  SetRaw(kProductKey, 0, unterminated, sizeof(unterminated));
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path"), L"C:\\x");
  EXPECT_EQ(GetInstallDirectory(), L"C:\\x\\");

  const char odd[5] = {'C', 0, ':', 0, '\\'};
  SetRaw(kProductKey, 0, odd, sizeof(odd));
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path"), L"C:");
}

TEST_F(RegistryPathTest, WriteCreatesTheKeyAndTerminates) {
  const std::wstring key = L"SOFTWARE\\KVD\\DorvaneTestWrite";
  WriteRegistryString(HKEY_LOCAL_MACHINE, key, L"Value", L"hello");
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, key, L"Value"), L"hello");
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

TEST(IniAccess, ReadsWritesAndCutsLongValues) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = install.Path() + L"test.ini";
  EXPECT_EQ(GetIniString(L"S", L"K", file, L"def"), L"def");  // missing file
  SetIniString(L"S", L"K", file, L"value");
  EXPECT_EQ(GetIniString(L"S", L"K", file), L"value");
  SetIniString(L"S", L"Long", file, std::wstring(5000, L'x'));
  EXPECT_EQ(GetIniString(L"S", L"Long", file), std::wstring(4095, L'x'));
  SetIniInt(L"S", L"N", file, -42);
  EXPECT_EQ(GetIniInt(L"S", L"N", file, 0), -42);
}

TEST(ModuleFolder, IsTheTestProgramsFolder) {
  std::wstring folder = GetModuleFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), L'\\');
  EXPECT_TRUE(dvtest::FileExistsAt(folder + L"common_tests.exe"));
}
