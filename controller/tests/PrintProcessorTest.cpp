// Print processor registration and printers' print processors.
//
// The platform's spooler here accepts any registration and deletes nothing,
// so the install and uninstall run against a fake spooler (a set of
// registered names, printers with their print processors, a delete that is
// refused while a printer uses the print processor, as Windows does). Listing
// printers and setting a printer's print processor run against the real
// spooler with a test printer.
#include <windows.h>
#include <winspool.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/InstallFolder.h"
#include "controller/PrintProcessor.h"
#include "tests/support/TestEnv.h"

namespace {

class FakeSpooler {
 public:
  explicit FakeSpooler(bool withPrinters = true) {
    auto& s = Spooler();
    s.printProcessorDirectory = [this](std::wstring& dir) {
      dir = directory;
      return !directory.empty();
    };
    s.addPrintProcessor = [this](const std::wstring& file, const std::wstring& name) {
      added.push_back(file + L"|" + name);
      if (addResult) registered.insert(name);
      return addResult ? TRUE : FALSE;
    };
    s.deletePrintProcessor = [this](const std::wstring& name) {
      ++deletes;
      if (!registered.count(name)) return FALSE;
      for (const auto& p : printers)
        if (p.second == name) return FALSE;  // still in use
      registered.erase(name);
      return TRUE;
    };
    s.enumPrintProcessors = [this](std::vector<std::wstring>& names) {
      if (!listOk) return false;
      names.assign(registered.begin(), registered.end());
      return true;
    };
    if (!withPrinters) return;
    s.localPrinterNames = [this] {
      std::vector<std::wstring> names;
      for (const auto& p : printers) names.push_back(p.first);
      return names;
    };
    s.printerPrintProcessor = [this](const std::wstring& printer) {
      ++lookups;
      auto it = printers.find(printer);
      return it == printers.end() ? std::wstring() : it->second;
    };
    s.setPrinterPrintProcessor = [this](const std::wstring& printer, const std::wstring& processor) {
      set.push_back(printer);
      if (locked.count(printer)) return FALSE;
      printers[printer] = processor;
      return TRUE;
    };
  }

  ScopedSpooler restore;
  std::wstring directory;
  bool addResult = true;
  bool listOk = true;
  std::set<std::wstring> registered;
  std::map<std::wstring, std::wstring> printers;
  std::set<std::wstring> locked;  // printers the user may not administer
  std::vector<std::wstring> added;
  std::vector<std::wstring> set;
  int deletes = 0;
  int lookups = 0;
};

TEST(PrintProcessorTest, UninstallHandsBackOnlyPrintersOnExactlyThatProcessor) {
  FakeSpooler spooler;
  spooler.registered = {L"Dorvane", L"winprint"};
  spooler.printers = {{L"P1", L"Dorvane"}, {L"P2", L"dorvane"}, {L"P3", L"winprint"}, {L"P4", L"Dorvane"}};
  EXPECT_TRUE(UninstallPrintProcessor(L"Dorvane"));
  EXPECT_EQ(2, spooler.deletes);
  EXPECT_EQ(L"WinPrint", spooler.printers[L"P1"]);
  EXPECT_EQ(L"dorvane", spooler.printers[L"P2"]);
  EXPECT_EQ(L"winprint", spooler.printers[L"P3"]);
  EXPECT_EQ(L"WinPrint", spooler.printers[L"P4"]);
  EXPECT_EQ((std::vector<std::wstring>{L"P1", L"P4"}), spooler.set);
  EXPECT_FALSE(IsPrintProcessorInstalled(L"Dorvane"));
}

TEST(PrintProcessorTest, UninstallFailuresKeepWhatTheyChanged) {
  {
    SCOPED_TRACE("not registered: both deletes fail, other printers untouched");
    FakeSpooler spooler;
    spooler.printers = {{L"P1", L"winprint"}};
    EXPECT_FALSE(UninstallPrintProcessor(L"Dorvane"));
    EXPECT_EQ(2, spooler.deletes);
    EXPECT_TRUE(spooler.set.empty());
  }
  {
    SCOPED_TRACE("a printer that cannot be changed keeps the processor in use");
    FakeSpooler spooler;
    spooler.registered = {L"Dorvane"};
    spooler.printers = {{L"P1", L"Dorvane"}, {L"P2", L"Dorvane"}};
    spooler.locked = {L"P2"};
    EXPECT_FALSE(UninstallPrintProcessor(L"Dorvane"));
    EXPECT_EQ(2, spooler.deletes);  // no third attempt
    EXPECT_EQ(L"WinPrint", spooler.printers[L"P1"]);
    EXPECT_EQ(L"Dorvane", spooler.printers[L"P2"]);
  }
  {
    SCOPED_TRACE("first delete succeeds: no printer is looked at");
    FakeSpooler spooler;
    spooler.registered = {L"Dorvane"};
    spooler.printers = {{L"P1", L"winprint"}};
    EXPECT_TRUE(UninstallPrintProcessor(L"Dorvane"));
    EXPECT_EQ(1, spooler.deletes);
    EXPECT_EQ(0, spooler.lookups);
  }
}

TEST(PrintProcessorTest, InstalledOnlyUnderTheExactName) {
  struct Row {
    const char* name;
    std::set<std::wstring> registered;
    bool listOk;
    BOOL expected;
  } rows[] = {
      {"listed", {L"winprint", L"Dorvane"}, true, TRUE},
      {"listed in another case", {L"winprint", L"DORVANE", L"dorvane"}, true, FALSE},
      {"not listed", {L"winprint"}, true, FALSE},
      {"list unreadable", {L"Dorvane"}, false, FALSE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeSpooler spooler;
    spooler.registered = row.registered;
    spooler.listOk = row.listOk;
    EXPECT_EQ(row.expected, IsPrintProcessorInstalled(L"Dorvane"));
  }
}

TEST(PrintProcessorTest, RealSpoolerListsItsOwnPrintProcessors) {
  ScopedSpooler restore;
  Spooler() = SpoolerCalls();
  EXPECT_TRUE(IsPrintProcessorInstalled(L"winprint"));
  EXPECT_FALSE(IsPrintProcessorInstalled(L"WINPRINT"));
}

// The controller's folder (the test program's) holds a dummy Dorvane.Dll;
// the spooler's directory is a folder of the test.
class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source = GetModuleFolder() + kPrintProcessorFile;
    ASSERT_TRUE(dvtest::WriteFileBytes(source, "dummy print processor"));
    spooler.directory = folder.Path() + L"prtprocs";
    CreateDirectoryW(spooler.directory.c_str(), nullptr);
    target = spooler.directory + L"\\" + kPrintProcessorFile;
  }
  void TearDown() override { DeleteFileW(source.c_str()); }

  dvtest::ScopedInstallFolder folder;
  FakeSpooler spooler;
  std::wstring source, target;
};

TEST_F(InstallTest, CopiesTheFileAndRegistersIt) {
  EXPECT_TRUE(InstallPrintProcessor());
  EXPECT_EQ("dummy print processor", dvtest::ReadFileBytes(target));
  EXPECT_EQ((std::vector<std::wstring>{L"Dorvane.Dll|Dorvane"}), spooler.added);
  EXPECT_TRUE(IsPrintProcessorInstalled(L"Dorvane"));

  // An uninstall leaves the file where it is.
  EXPECT_TRUE(UninstallPrintProcessor(L"Dorvane"));
  EXPECT_TRUE(dvtest::FileExistsAt(target));

  // A second install overwrites the file.
  ASSERT_TRUE(dvtest::WriteFileBytes(source, "newer print processor"));
  EXPECT_TRUE(InstallPrintProcessor());
  EXPECT_EQ("newer print processor", dvtest::ReadFileBytes(target));
}

TEST_F(InstallTest, TheRegistrationDecidesWhateverTheCopyDid) {
  {
    SCOPED_TRACE("file in use: copy fails silently");
    ASSERT_TRUE(dvtest::WriteFileBytes(target, "old"));
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_TRUE(InstallPrintProcessor());
    CloseHandle(held);
    EXPECT_EQ("old", dvtest::ReadFileBytes(target));
    spooler.addResult = false;
    EXPECT_FALSE(InstallPrintProcessor());
  }
  {
    SCOPED_TRACE("no directory: no copy, registration still tried");
    spooler.directory.clear();
    spooler.added.clear();
    spooler.addResult = true;
    EXPECT_TRUE(InstallPrintProcessor());
    EXPECT_EQ(1u, spooler.added.size());
  }
}

TEST(PrintProcessorTest, AttributeWordKeepsOnlyTheLowBitsBesideRawOnly) {
  EXPECT_EQ(0x241u, PrintProcessorAttributes(0x21241));
  EXPECT_EQ(0x200u, PrintProcessorAttributes(0x1000));
  EXPECT_EQ(0x200u, PrintProcessorAttributes(0x200));
  EXPECT_EQ(0xEFFFu, PrintProcessorAttributes(0xFFFFFFFF));  // 0xEDFF, DO_COMPLETE_FIRST set
}

PRINTER_INFO_2W* ReadRecord(const std::wstring& printer, std::vector<BYTE>& buffer) {
  HANDLE h = nullptr;
  std::wstring name = printer;
  if (!OpenPrinterW(&name[0], &h, nullptr)) return nullptr;
  DWORD needed = 0;
  GetPrinterW(h, 2, nullptr, 0, &needed);
  buffer.assign(needed, 0);
  const BOOL ok = GetPrinterW(h, 2, buffer.data(), needed, &needed);
  ClosePrinter(h);
  return ok ? reinterpret_cast<PRINTER_INFO_2W*>(buffer.data()) : nullptr;
}

TEST(PrintProcessorSpoolerTest, SetsAndReadsAPrintersProcessorThroughTheSpooler) {
  ScopedSpooler restore;
  Spooler() = SpoolerCalls();
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());

  const auto names = GetLocalPrinterNames();
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), printer.Name()));

  std::vector<BYTE> before;
  const PRINTER_INFO_2W* info = ReadRecord(printer.Name(), before);
  ASSERT_NE(nullptr, info);
  const DWORD attributes = info->Attributes;

  EXPECT_TRUE(SetPrinterPrintProcessor(printer.Name(), L"Dorvane"));
  EXPECT_EQ(L"Dorvane", GetPrinterPrintProcessor(printer.Name()));
  std::vector<BYTE> after;
  info = ReadRecord(printer.Name(), after);
  ASSERT_NE(nullptr, info);
  EXPECT_STREQ(L"RAW", info->pDatatype);
  EXPECT_EQ(PrintProcessorAttributes(attributes), info->Attributes);

  // The uninstall hands the printer back (the delete itself is faked: this
  // spooler deletes nothing).
  int deletes = 0;
  Spooler().deletePrintProcessor = [&](const std::wstring&) { return ++deletes == 2 ? TRUE : FALSE; };
  EXPECT_TRUE(UninstallPrintProcessor(L"Dorvane"));
  EXPECT_EQ(L"WinPrint", GetPrinterPrintProcessor(printer.Name()));

  EXPECT_EQ(L"", GetPrinterPrintProcessor(L"No Such Printer"));
  EXPECT_FALSE(SetPrinterPrintProcessor(L"No Such Printer", L"Dorvane"));
}

// The install through the platform's own spooler: the file lands in the
// directory the spooler names, and the spooler accepts the registration.
TEST(PrintProcessorSpoolerTest, InstallCopiesIntoTheSpoolersDirectoryAndRegisters) {
  ScopedSpooler restore;
  Spooler() = SpoolerCalls();
  wchar_t directory[MAX_PATH] = {};
  DWORD needed = 0;
  ASSERT_TRUE(GetPrintProcessorDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory,
                                          &needed));
  const std::wstring source = GetModuleFolder() + kPrintProcessorFile;
  const std::wstring target = AddTrailingBackslash(directory) + kPrintProcessorFile;
  DeleteFileW(target.c_str());
  ASSERT_TRUE(dvtest::WriteFileBytes(source, "print processor for the real spooler"));
  EXPECT_TRUE(InstallPrintProcessor());
  EXPECT_EQ("print processor for the real spooler", dvtest::ReadFileBytes(target));
  DeleteFileW(source.c_str());
  DeleteFileW(target.c_str());
}

TEST(PrintProcessorSpoolerTest, FillAppendsThePrintersToTheList) {
  ScopedSpooler restore;
  Spooler() = SpoolerCalls();
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, list);
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"kept"));
  FillLocalPrinterList(list);
  const auto names = GetLocalPrinterNames();
  ASSERT_EQ(static_cast<LRESULT>(names.size() + 1), SendMessageW(list, LB_GETCOUNT, 0, 0));
  wchar_t text[256] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(L"kept", text);
  for (size_t i = 0; i < names.size(); ++i) {
    SendMessageW(list, LB_GETTEXT, i + 1, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(names[i], text);
  }

  // With no local printers the list stays as it was.
  Spooler().localPrinterNames = [] { return std::vector<std::wstring>(); };
  FillLocalPrinterList(list);
  EXPECT_EQ(static_cast<LRESULT>(names.size() + 1), SendMessageW(list, LB_GETCOUNT, 0, 0));
  DestroyWindow(list);
}

}  // namespace
