// Settings-file names: reserved group names and the list-section reader.
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "common/SettingsFile.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"

TEST(IsReservedGroupName, SystemSectionsInAnyCase) {
  struct Row {
    const wchar_t* name;
    bool reserved;
  } rows[] = {
      {L"General", true},          {L"GENERAL", true},        {L"users", true},
      {L"PrinterScenarios", true}, {L"jobnamescenarios", true}, {L"Job", true},
      {L"JOB", true},              {L"ClusterGroup", true},   {L"clustergroup", true},
      {L"Sales", false},           {L"Jobs", false},          {L" General", false},
      {L"", false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(r.name));
    EXPECT_EQ(IsReservedGroupName(r.name), r.reserved);
  }
}

TEST(SettingsFile, MissingFileReadsAsDefaults) {
  dvtest::ScopedInstallFolder install;
  const std::wstring file = GetSettingsFilePath();
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeyAutoRefreshSpool, file, kDefaultAutoRefreshSpool), 1);
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeyDeleteFilesAfter, file, kDefaultDeleteFilesAfter), 1);
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeySelectionType, file, kDefaultSelectionType), 0);
  EXPECT_EQ(GetIniString(kSectionGeneral, kKeyDefaultScenarioFile, file), L"");
  std::vector<std::wstring> lines{L"stale"};
  EXPECT_TRUE(ReadSectionLines(kSectionUsers, file, 32767, lines));
  EXPECT_TRUE(lines.empty());
}

TEST(SettingsFile, NumbersAreReadFromTheirStart) {
  dvtest::ScopedInstallFolder install;
  ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(),
                                     "[General]\r\nLastJobNumber=12abc\r\nSelectionType=x1\r\n"));
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeyLastJobNumber, install.SettingsFile(), kDefaultLastJobNumber), 12);
  EXPECT_EQ(GetIniInt(kSectionGeneral, kKeySelectionType, install.SettingsFile(), kDefaultSelectionType), 0);
}

TEST(ReadSectionLines, GrowsUntilTheSectionFits) {
  dvtest::ScopedInstallFolder install;
  // About 60000 characters of lines: more than the 32767 the list sections
  // start with.
  std::string ini = "[Users]\r\n";
  for (int i = 0; i < 3000; ++i) ini += "user" + std::to_string(i) + "=Group" + std::to_string(i % 7) + "\r\n";
  ini += "[Other]\r\nx=1\r\n";
  ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), ini));

  std::vector<std::wstring> lines;
  EXPECT_TRUE(ReadSectionLines(kSectionUsers, install.SettingsFile(), 32767, lines));
  ASSERT_EQ(lines.size(), 3000u);
  EXPECT_EQ(lines.front(), L"user0=Group0");
  EXPECT_EQ(lines.back(), L"user2999=Group3");

  // A section that still does not fit at the largest size is reported, with
  // what was read.
  EXPECT_FALSE(ReadSectionLines(kSectionUsers, install.SettingsFile(), 64, lines, 1024));
  EXPECT_FALSE(lines.empty());
  EXPECT_LT(lines.size(), 3000u);
  EXPECT_EQ(lines.front(), L"user0=Group0");
}

TEST(ReadSectionLines, SectionThatFillsTheBufferExactly) {
  dvtest::ScopedInstallFolder install;
  // "a=bcdefg", its NUL and the closing NUL are exactly 10 characters: a
  // 10-character buffer comes back as size - 2 both for this section and for
  // one that does not fit, so the reader must look once more.
  ASSERT_TRUE(dvtest::WriteFileBytes(install.SettingsFile(), "[S]\r\na=bcdefg\r\n"));
  std::vector<std::wstring> lines;
  EXPECT_TRUE(ReadSectionLines(L"S", install.SettingsFile(), 10, lines));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], L"a=bcdefg");
}
