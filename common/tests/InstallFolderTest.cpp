// Install folder lookup, registry strings and INI access.
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "tests/support/TestEnv.h"

TEST(AddTrailingBackslash, AddsExactlyOne) {
  EXPECT_EQ(AddTrailingBackslash(L"D:\\Apps\\Dorvane"), L"D:\\Apps\\Dorvane\\");
  EXPECT_EQ(AddTrailingBackslash(L"D:\\Apps\\Dorvane\\"), L"D:\\Apps\\Dorvane\\");
  EXPECT_EQ(AddTrailingBackslash(L""), L"\\");
}
