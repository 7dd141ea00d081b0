// Job file names, the record, the devmode file reader, deletion and the
// ignore list.
#include <gtest/gtest.h>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/EngineRegistry.h"
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

TEST(ReadInstallPath, EmptyPathCountsAsMissing) {
  dvtest::ScopedInstallFolder install;
  EXPECT_EQ(ReadInstallPath(), install.Path());
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", L"");
  EXPECT_EQ(ReadInstallPath(), GetInstallDirectory());  // both fall back alike
  {
    // A value stored without its terminator: the engine and the controller
    // read the same folder.
    dv::RegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_SET_VALUE, key.put()), ERROR_SUCCESS);
    const std::wstring path = install.Path();
    RegSetValueExW(key.get(), L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                   static_cast<DWORD>(path.size() * sizeof(wchar_t)));
    EXPECT_EQ(ReadInstallPath(), install.Path());
    EXPECT_EQ(GetInstallDirectory(), install.Path());
  }
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", std::wstring(600, L'a'));  // over 1024 bytes
  EXPECT_NE(ReadInstallPath(), std::wstring(600, L'a') + L"\\");
}

TEST(JobInformationRecord, TextsAsPlainTextCutAndNupTurn) {
  dvtest::ScopedInstallFolder install;
  const std::wstring ctl = install.SpoolFolder() + L"00000001.Ctl";
  SetIniString(L"General", L"UserName", ctl, L"%s%d user");
  SetIniString(L"General", L"Document", ctl, std::wstring(1500, L'd'));
  SetIniString(L"General", L"MachineName", ctl, L"\\\\WS01");
  struct Row {
    int orientation;  // 0: no key
    int nup;
    int expected;
  } rows[] = {{0, 1, 1}, {1, 1, 1}, {2, 1, 2}, {1, 2, 2}, {2, 2, 1}, {1, 6, 2}, {2, 6, 1}, {1, 4, 1}, {2, 9, 2}};
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.orientation << " " << r.nup);
    if (r.orientation)
      SetIniInt(L"General", L"Orientation", ctl, r.orientation);
    else
      WritePrivateProfileStringW(L"General", L"Orientation", nullptr, ctl.c_str());
    JobInformation rec;
    FillJobInformation(rec, ctl, L"Printer A", r.nup);
    EXPECT_EQ(rec.orientation, r.expected);
    EXPECT_EQ(std::wstring(rec.userName), L"%s%d user");
    EXPECT_EQ(std::wstring(rec.documentName), std::wstring(1023, L'd'));
    EXPECT_EQ(std::wstring(rec.machineName), L"\\\\WS01");
    EXPECT_EQ(std::wstring(rec.printerName), L"Printer A");
    EXPECT_EQ(rec.printerDC, nullptr);
  }
}

TEST(ReadFileToBuffer, MissingEmptyAndWhole) {
  dvtest::ScopedInstallFolder install;
  std::vector<BYTE> buf;
  const std::wstring missing = install.SpoolFolder() + L"00000009.Dvm";
  EXPECT_FALSE(ReadFileToBuffer(missing, buf));
  auto lines = install.EventLines();
  ASSERT_EQ(lines.size(), 1u);
  const std::string detail = dv::ToUtf8(dv::Format(L"File name: %ls, GetLastError Returned:2 (%ls)", missing.c_str(),
                                                   GetSystemErrorText(2).c_str()));
  EXPECT_EQ(lines[0].rfind("0,3,Unable to open devmode file,", 0), 0u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - detail.size()), detail);

  const std::wstring empty = install.SpoolFolder() + L"empty.Dvm";
  ASSERT_TRUE(dvtest::WriteFileBytes(empty, ""));
  EXPECT_TRUE(ReadFileToBuffer(empty, buf));
  EXPECT_TRUE(buf.empty());

  ASSERT_TRUE(dvtest::WriteFileBytes(empty, "abc"));
  EXPECT_TRUE(ReadFileToBuffer(empty, buf));
  EXPECT_EQ(std::string(buf.begin(), buf.end()), "abc");
}

TEST(DeleteJobFiles, FollowsDeleteFilesAfter) {
  dvtest::ScopedInstallFolder install;
  const std::wstring a = install.SpoolFolder() + L"a", b = install.SpoolFolder() + L"b", c = install.SpoolFolder() + L"c";
  auto make = [&] {
    for (auto* p : {&a, &b, &c}) dvtest::WriteFileBytes(*p, "x");
  };
  make();
  SetIniInt(L"General", L"DeleteFilesAfter", install.SettingsFile(), 0);
  DeleteJobFiles(a, b, c);
  EXPECT_TRUE(dvtest::FileExistsAt(a) && dvtest::FileExistsAt(b) && dvtest::FileExistsAt(c));
  WritePrivateProfileStringW(L"General", L"DeleteFilesAfter", nullptr, install.SettingsFile().c_str());
  DeleteJobFiles(a, b, c);  // absent: default 1
  EXPECT_FALSE(dvtest::FileExistsAt(a) || dvtest::FileExistsAt(b) || dvtest::FileExistsAt(c));
}

TEST(IgnoreList, MarksTheControlFilesUser) {
  dvtest::ScopedInstallFolder install;
  const std::wstring ctl = install.SpoolFolder() + L"00000003.Ctl";
  SetIniString(L"General", L"UserName", ctl, L"bob");
  AddUserToIgnoreList(ctl, L"");
  EXPECT_EQ(GetIniInt(L"Users", L"bob", install.Path() + L"IgnoreList.ini", 0), 1);
}

TEST(FileExists, FilesButNotFolders) {
  dvtest::ScopedInstallFolder install;
  EXPECT_FALSE(FileExists(install.SpoolFolder()));
  EXPECT_FALSE(FileExists(install.Path() + L"nothing"));
  dvtest::WriteFileBytes(install.Path() + L"f", "1");
  EXPECT_TRUE(FileExists(install.Path() + L"f"));
}
