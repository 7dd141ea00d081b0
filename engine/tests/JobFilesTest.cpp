// Job file names, the record, the devmode file reader and the deletion rule.
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "engine/JobFiles.h"
#include "engine/Pipeline.h"
#include "tests/support/TestEnv.h"

TEST(JobFiles, NamesUseEightDigitsAndNeverCut) {
  dvtest::ScopedInstallFolder install;
  JobFileNames f = GetJobFileNames(42);
  EXPECT_EQ(f.ctl, install.SpoolFolder() + L"00000042.Ctl");
  EXPECT_EQ(f.dvm, install.SpoolFolder() + L"00000042.Dvm");
  EXPECT_EQ(f.org, install.SpoolFolder() + L"00000042.Org");
  EXPECT_EQ(f.job, install.SpoolFolder() + L"00000042.Job");
  EXPECT_EQ(GetJobFileNames(123456789).ctl, install.SpoolFolder() + L"123456789.Ctl");
}

TEST(OutputJobName, ChecksumOfCodeUnitsBelow128) {
  EXPECT_EQ(BuildOutputJobName(L"Report"), L"Dorvane  Job:636;Report");
  EXPECT_EQ(BuildOutputJobName(L""), L"Dorvane  Job:000;");
  EXPECT_EQ(BuildOutputJobName(std::wstring(200, wchar_t(127))), L"Dorvane  Job:400;" + std::wstring(200, wchar_t(127)));
  EXPECT_EQ(BuildOutputJobName(L"\x05D0\x05D1"), L"Dorvane  Job:000;\x05D0\x05D1");
}
