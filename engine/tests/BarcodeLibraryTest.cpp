// The engine's binding of Strimlet.dll: loaded from the install folder for
// each barcode and unloaded again, its events when it is missing or has no
// encoder export, and the bounds on what goes in and comes out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/EventLog.h"
#include "engine/BarcodeDrawing.h"
#include "tests/support/TestEnv.h"

namespace {

std::string GetBits(const std::wstring& text, int symbology) {
  std::vector<char> bits(CoBarcode::kBitsBufferSize, 0);
  CoBarcode::GetBarcodeBits(text, symbology, bits.data());
  return bits.data();
}

int CountEvents(const std::vector<std::string>& lines, const std::string& codeAndText) {
  int count = 0;
  for (const std::string& line : lines) count += line.find(codeAndText) != std::string::npos;
  return count;
}

}  // namespace

TEST(BarcodeLibrary, LoadedForEachBarcodeAndFreedAgain) {
  dvtest::ScopedInstallFolder install;
  ASSERT_TRUE(install.Install(dvtest::BuiltFile(L"barcode\\Strimlet.dll")));
  const std::wstring path = install.Path() + L"Strimlet.dll";
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(GetBits(L"1234", 0).size(), 57u);
    EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr);
  }
  // The library's refusal is an empty string, without an event.
  EXPECT_EQ(GetBits(L"12A4", 10), "");
  EXPECT_TRUE(install.EventLines().empty());
  // The next barcode uses whatever library the folder holds now.
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(GetBits(L"1234", 0), "");
}

TEST(BarcodeLibrary, MissingLibraryLogs1014ForEveryBarcode) {
  dvtest::ScopedInstallFolder install;
  EXPECT_EQ(GetBits(L"1234", 0), "");
  EXPECT_EQ(GetBits(L"5678", 0), "");
  const std::vector<std::string> lines = install.EventLines();
  ASSERT_EQ(CountEvents(lines, "1014,Unable to load library: Strimlet.dll,"), 2);
  // The detail is the loader's error.
  EXPECT_NE(lines[0].find("GetLastError Returned: "), std::string::npos) << lines[0];
  EXPECT_EQ(lines[0].find("GetLastError Returned: 0 "), std::string::npos) << lines[0];
}

TEST(BarcodeLibrary, LibraryWithoutEncoderLogs1015) {
  dvtest::ScopedInstallFolder install;
  // Any DLL without the export stands in for a wrong Strimlet.dll.
  ASSERT_TRUE(install.Install(dvtest::BuiltFile(L"engine\\Jobforge.Dll"), L"Strimlet.dll"));
  EXPECT_EQ(GetBits(L"1234", 0), "");
  const std::vector<std::string> lines = install.EventLines();
  EXPECT_EQ(CountEvents(lines, "1015,Unable to get proc address: GetBarcodeStringBits,"), 1);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find(",GetLastError Returned: 127 "), std::string::npos) << lines[0];
  EXPECT_EQ(GetModuleHandleW((install.Path() + L"Strimlet.dll").c_str()), nullptr);
}

TEST(BarcodeLibrary, BoundsOnTextAndResult) {
  dvtest::ScopedInstallFolder install;
  ASSERT_TRUE(install.Install(dvtest::BuiltFile(L"barcode\\Strimlet.dll")));
  // 900 set B characters: 11 * 902 + 13 = 9935 modules fit the buffer;
  // 1000 give 11035, which do not, and the barcode fails instead of
  // overrunning the buffer or printing a cut symbol.
  EXPECT_EQ(GetBits(std::wstring(900, L'A'), 9).size(), 9935u);
  EXPECT_EQ(GetBits(std::wstring(1000, L'A'), 9), "");
  // A text whose ANSI form does not fit the conversion buffer is not cut.
  EXPECT_EQ(GetBits(std::wstring(CoBarcode::kBitsBufferSize, L'1'), 7), "");
  EXPECT_TRUE(install.EventLines().empty());
}

TEST(BarcodeLibrary, UnmappableCharacterReachesTheLibraryAsABlank) {
  dvtest::ScopedInstallFolder install;
  ASSERT_TRUE(install.Install(dvtest::BuiltFile(L"barcode\\Strimlet.dll")));
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "a UTF-8 code page holds every character";
  const std::string blank = GetBits(L"A B", 9);
  EXPECT_FALSE(blank.empty());
  // A character with no form in the code page, and one that only looks like
  // a letter of it (an L with stroke, an A with macron): all are the blank.
  for (const wchar_t* text : {L"A\x4E00" L"B", L"A\x0141" L"B", L"A\x0100" L"B"}) {
    SCOPED_TRACE(static_cast<int>(text[1]));
    EXPECT_EQ(GetBits(text, 9), blank);
  }
}

TEST(BarcodeLibrary, CopyIsBounded) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_FALSE(CoBarcode::CopyBits(nullptr, buffer, sizeof(buffer)));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_TRUE(CoBarcode::CopyBits("1010101", buffer, sizeof(buffer)));
  EXPECT_STREQ(buffer, "1010101");
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_FALSE(CoBarcode::CopyBits("10101010", buffer, sizeof(buffer)));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_TRUE(CoBarcode::CopyBits("", buffer, sizeof(buffer)));
  EXPECT_STREQ(buffer, "");
}
