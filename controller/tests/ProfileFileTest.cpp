// Reading a control file once: every key read gives what the platform's
// GetPrivateProfileStringW gives for the same file, on a table of odd files.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "controller/ProfileFile.h"
#include "tests/support/TestEnv.h"

namespace {

using namespace std::string_literals;

// UTF-16 bytes of an ASCII text, little-endian unless said otherwise.
std::string Wide(const std::string& text, bool bigEndian = false) {
  std::string bytes;
  for (char c : text) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

const wchar_t* const kSections[] = {L"General", L" gEnErAl ", L"Other", L"", L"Gen]eral", L"Gen eral"};
const wchar_t* const kKeys[] = {L"Document",    L"Status",     L"DateSpooled",       L"TimeSpooled", L"UserName",
                                L"PrinterName", L"TotalPages", L"SourcePrinterName", L"\tdocument  ", L"Doc ument",
                                L";Document",   L"Sta"};

// Every section and key of the tables above read both ways from the file,
// by the given reader.
void ExpectSameReads(CProfileFile& file, const std::wstring& path) {
  file.Read(path);
  for (const wchar_t* section : kSections)
    for (const wchar_t* key : kKeys) {
      SCOPED_TRACE(testing::Message() << "[" << dv::ToUtf8(section) << "] " << dv::ToUtf8(key));
      EXPECT_EQ(GetIniString(section, key, path), file.Get(section, key));
    }
}

TEST(ProfileFileTest, ReadsEveryKeyAsThePlatformDoes) {
  const std::string longValue(5000, 'v');
  struct Row {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"plain", "[General]\r\nDocument=Invoice 7.pdf\r\nStatus=Printed\r\nTotalPages=3\r\n"},
      {"blanks around names and values", " \t[ General ] \r\n  Document  =  a b  \r\n\vStatus\f=\x1a x\x1a\r\n"},
      {"blanks inside names", "[Gen eral]\r\nDoc ument=inner\r\n[General]\r\nDocument=outer\r\n"},
      {"quotes", "[General]\r\nDocument=\"quoted\"\r\nStatus='single'\r\nUserName=\"\r\nPrinterName=\"a'\r\n"
                 "TimeSpooled=\" padded \"\r\nDateSpooled=\"\"\r\nTotalPages=\"\"\"\r\n"},
      {"names in any case", "[gEnErAl]\r\ndOcUmEnT=lower\r\nSTATUS=upper\r\n"},
      {"duplicate keys: the first wins", "[General]\r\nDocument=first\r\nDocument=second\r\n"},
      {"a key without a value hides a later one", "[General]\r\nDocument\r\nDocument=later\r\n"},
      {"duplicate section: only the first is read", "[General]\r\nStatus=s\r\n[General]\r\nDocument=second\r\n"},
      {"keys in other sections", "[Other]\r\nDocument=other\r\n[PageTemplates]\r\nStatus=t\r\n[General]\r\nUserName=u\r\n"},
      {"keys before any section", "Document=nameless\r\n[General]\r\nStatus=s\r\n"},
      {"missing section", "[Other]\r\nDocument=x\r\n"},
      {"section line without a closing bracket", "[General\r\nDocument=c\r\n"},
      {"text after the bracket, brackets in names", "[General]junk\r\nDocument=d\r\n[Gen]eral]\r\nStatus=e\r\n"},
      {"equals signs and brackets in values", "[General]\r\nDocument=a=b\r\nStatus=[x]\r\n"},
      {"comment-like lines are keys", "[General]\r\n;Document=c1\r\nDocument=c2\r\n"},
      {"LF only, blank lines", "\n\n[General]\n\nDocument=w\n"},
      {"CR only", "[General]\rDocument=g\rStatus=h\r"},
      {"mixed line ends", "[General]\rDocument=i\rStatus=j\r\nUserName=k\n\rTotalPages=4\r\r\n"},
      {"NUL ends a name or value", "[General]\r\nDocument=ab\0cd\r\nSta\0tus=x\r\n"s},
      {"ANSI code page", "[General]\r\nDocument=Caf\xe9 \x80 \xa0\r\n"},
      {"UTF-16LE with BOM", "\xff\xfe"s + Wide("[General]\r\nDocument=wide\r\nStatus = w \r\n")},
      {"UTF-16LE without BOM is ANSI", Wide("[General]\r\nDocument=no bom\r\n")},
      {"UTF-16LE non-ASCII", "\xff\xfe"s + Wide("[General]\r\nDocument=") + "\xe9\x00\xac\x20\x00\x4e"s},
      {"UTF-16BE with BOM", "\xfe\xff"s + Wide("[General]\nDocument=big", true)},
      {"UTF-8 with BOM", "\xef\xbb\xbf[General]\r\nDocument=Caf\xc3\xa9\r\n"},
      {"being written: cut mid-line", "[General]\r\nDocument=Invoice 7.pdf\r\nStatus=Prin"},
      {"being written: half a UTF-16 character", "\xff\xfe"s + Wide("[General]\r\nDocument=XY\r\nS").substr(0, 49)},
      {"being written: only the section line", "[General]"},
      {"empty file", ""},
      {"long values are cut to the buffer",
       "[General]\r\nDocument=" + longValue + "\r\nStatus=\"" + std::string(4094, 'q') + "\"\r\nUserName=\"" +
           std::string(4095, 'q') + "\"\r\nPrinterName=\"" + std::string(4096, 'q') + "\"\r\nTotalPages=\"" +
           longValue + "\"\r\n"},
  };
  dvtest::ScopedInstallFolder folder;
  // Each file by a reader of its own, and all of them in turn by one
  // reader, which keeps its buffers from file to file: nothing of one file
  // may show in the reads of the next.
  CProfileFile shared;
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    // A name of its own for each file: the platform keeps recently read
    // files and would not look at a rewritten one again within its clock
    // tick.
    const std::wstring path = dv::Format(L"%lscase%02d.Ctl", folder.Path().c_str(), n++);
    ASSERT_TRUE(dvtest::WriteFileBytes(path, row.bytes));
    CProfileFile own;
    ExpectSameReads(own, path);
    ExpectSameReads(shared, path);
  }

  // The platform reads past the end of the file for the other half of a
  // character not yet written whole; it is left out here.
  const std::string half = "\xff\xfe"s + Wide("[General]\r\nDocument=XY").substr(0, 43);
  CProfileFile file;
  file.Parse(half.data(), half.size());
  EXPECT_EQ(L"X", file.Get(L"General", L"Document"));
}

TEST(ProfileFileTest, FilesOpenForWritingOrMissing) {
  dvtest::ScopedInstallFolder folder;
  const std::wstring path = folder.Path() + L"00000042.Ctl";
  ASSERT_TRUE(dvtest::WriteFileBytes(path, "[General]\r\nDocument=Invoice\r\nStatus=Prin"));
  struct Row {
    const char* name;
    DWORD share;  // of the writer that holds the file open
    bool readable;
  } rows[] = {
      {"writer lets others read", FILE_SHARE_READ, true},
      {"writer lets others read, write and delete", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
      {"writer keeps the file to itself", 0, false},
  };
  // One reader throughout: a file it cannot read leaves nothing of the one
  // it read before.
  CProfileFile file;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    dv::FileHandle writer(
        CreateFileW(path.c_str(), GENERIC_WRITE, row.share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_EQ(row.readable, file.Read(path));
    EXPECT_EQ(GetIniString(L"General", L"Document", path), file.Get(L"General", L"Document"));
    EXPECT_EQ(GetIniString(L"General", L"Status", path), file.Get(L"General", L"Status"));
    EXPECT_EQ(row.readable ? L"Invoice" : L"", file.Get(L"General", L"Document"));
  }
  ASSERT_TRUE(file.Read(path));
  EXPECT_FALSE(file.Read(folder.Path() + L"00000043.Ctl"));
  EXPECT_EQ(L"", file.Get(L"General", L"Document"));
}

// The size a listing gave is only a hint: a file that grew since is read to
// its end, and one that shrank gives what it holds.
TEST(ProfileFileTest, SizeHintIsOnlyAHint) {
  dvtest::ScopedInstallFolder folder;
  const std::wstring path = folder.Path() + L"00000042.Ctl";
  const std::string text = "[General]\r\nStatus=Printed\r\nDocument=" + std::string(20000, 'd') + "\r\n";
  ASSERT_TRUE(dvtest::WriteFileBytes(path, text));
  CProfileFile file;  // one reader for every hint
  for (ULONGLONG hint : {ULONGLONG{0}, ULONGLONG{10}, ULONGLONG{text.size()}, ULONGLONG{1} << 40}) {
    SCOPED_TRACE(hint);
    ASSERT_TRUE(file.Read(path, hint));
    EXPECT_EQ(L"Printed", file.Get(L"General", L"Status"));
    EXPECT_EQ(std::wstring(4095, L'd'), file.Get(L"General", L"Document"));
  }
}

}  // namespace
