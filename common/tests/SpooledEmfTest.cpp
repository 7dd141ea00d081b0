// The spooled EMF reader on spool streams: record skipping, page counting,
// forward-only page access and streams whose records cannot be right.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/SpooledEmf.h"
#include "tests/support/TestEnv.h"

namespace {

// The bytes of a small enhanced metafile; the colour tells pages apart.
std::string PageBytes(COLORREF color) {
  RECT frame = {0, 0, 2100, 2970};
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
  HBRUSH brush = CreateSolidBrush(color);
  RECT r = {0, 0, 100, 100};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  dv::EnhMetaFileHandle emf(CloseEnhMetaFile(dc));
  UINT size = GetEnhMetaFileBits(emf.get(), 0, nullptr);
  std::string bytes(size, '\0');
  GetEnhMetaFileBits(emf.get(), size, reinterpret_cast<BYTE*>(&bytes[0]));
  return bytes;
}

std::string MetafileBytes(HENHMETAFILE emf) {
  UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
  std::string bytes(size, '\0');
  GetEnhMetaFileBits(emf, size, reinterpret_cast<BYTE*>(&bytes[0]));
  return bytes;
}

void AppendU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A record as it stands in the stream: type, size, data. The header's size
// counts its own 8 bytes.
std::string Record(uint32_t type, const std::string& data) {
  std::string out;
  AppendU32(out, type);
  AppendU32(out, static_cast<uint32_t>(type == CSpooledEmf::kHeaderRecord ? data.size() + 8 : data.size()));
  return out + data;
}

std::string RawRecord(uint32_t type, uint32_t size, const std::string& data) {
  std::string out;
  AppendU32(out, type);
  AppendU32(out, size);
  return out + data;
}

const std::string kHeader = Record(CSpooledEmf::kHeaderRecord, std::string(16, 'h'));
const std::string kDevmode = Record(3, std::string(220, 'd'));  // EMRI_DEVMODE
const std::string kFont = Record(5, std::string(40, 'f'));      // EMRI_ENGINE_FONT

class SpooledEmfTest : public testing::Test {
 protected:
  std::wstring Write(const std::wstring& name, const std::string& bytes) {
    std::wstring path = install.Path() + name;
    EXPECT_TRUE(dvtest::WriteFileBytes(path, bytes));
    return path;
  }
  dvtest::ScopedInstallFolder install;
  const std::string page1 = PageBytes(RGB(255, 0, 0));
  const std::string page2 = PageBytes(RGB(0, 255, 0));
  const std::string page3 = PageBytes(RGB(0, 0, 255));
};

TEST_F(SpooledEmfTest, CountsPagesAndHandsThemOutForwardOnly) {
  std::wstring path = Write(L"job.Org", kHeader + kDevmode + Record(12, page1) + Record(12, page2) +
                                            Record(12, page3));
  CSpooledEmf reader(path);
  EXPECT_EQ(reader.GetPageCount(), 3);
  EXPECT_EQ(reader.CountOwnPages(), 3);

  dv::EnhMetaFileHandle second(reader.GetPage(2));
  ASSERT_TRUE(second);
  EXPECT_EQ(MetafileBytes(second.get()), page2);
  dv::EnhMetaFileHandle third(reader.GetPage(3));
  ASSERT_TRUE(third);
  EXPECT_EQ(MetafileBytes(third.get()), page3);
  EXPECT_EQ(reader.GetPage(1), nullptr) << "a page behind the reading position";
  EXPECT_EQ(reader.GetPage(3), nullptr) << "the page just handed out";
}

TEST_F(SpooledEmfTest, PagesInOrderAreEachReadOnce) {
  std::wstring path = Write(L"job.Org", kHeader + Record(12, page1) + kFont + Record(12, page2) + Record(12, page3));
  CSpooledEmf reader(path);
  const std::string* expected[] = {&page1, &page2, &page3};
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    dv::EnhMetaFileHandle page(reader.GetPage(n));
    ASSERT_TRUE(page);
    EXPECT_EQ(MetafileBytes(page.get()), *expected[n - 1]);
    EXPECT_EQ(reader.GetLastPage(), n);
  }
  EXPECT_EQ(reader.GetPage(4), nullptr);
}

TEST_F(SpooledEmfTest, PagesThatAreNotThereGiveNull) {
  std::wstring path = Write(L"job.Org", kHeader + Record(12, page1) + Record(12, page2));
  {
    CSpooledEmf reader(path);
    EXPECT_EQ(reader.GetPage(0), nullptr);
    EXPECT_EQ(reader.GetPage(-1), nullptr);
    EXPECT_EQ(reader.GetPage(3), nullptr);
    dv::EnhMetaFileHandle first(reader.GetPage(1));
    EXPECT_TRUE(first) << "the failed requests did not move the reader";
  }
  {
    CSpooledEmf reader(L"");
    EXPECT_EQ(reader.GetPageCount(), 0);
    EXPECT_EQ(reader.GetPage(1), nullptr);
  }
  {
    CSpooledEmf reader(install.Path() + L"missing.Org");
    EXPECT_EQ(reader.GetPageCount(), 0);
    EXPECT_EQ(reader.GetPage(1), nullptr);
  }
  {
    // A page count taken from the control file that the stream does not
    // hold: the extra pages give no metafile.
    CSpooledEmf reader(path, 5);
    EXPECT_EQ(reader.GetPageCount(), 5);
    dv::EnhMetaFileHandle second(reader.GetPage(2));
    EXPECT_TRUE(second);
    EXPECT_EQ(reader.GetPage(4), nullptr);
  }
}

TEST_F(SpooledEmfTest, RecordsThatCannotBeRightEndTheStream) {
  // Each stream is the whole file. The count stops at the clean end (the
  // file ends right after a record) and at damage alike; only the first
  // leaves the count uncut.
  struct Row {
    const char* name;
    std::string stream;
    int pages;
    bool cut;
  } rows[] = {
      {"a header and nothing else", kHeader, 0, false},
      {"the file ends right after a page", kHeader + Record(12, page1) + Record(12, page2), 2, false},
      {"a record after the last page", kHeader + Record(12, page1) + kFont, 1, false},
      {"font record between pages", kHeader + Record(12, page1) + Record(12, page2) + kFont + Record(12, page3), 3,
       false},
      {"header size exactly 8", kHeader + RawRecord(CSpooledEmf::kHeaderRecord, 8, "") + Record(12, page1), 1, false},
      {"an empty file", "", 0, true},
      {"no header record", Record(12, page1) + Record(12, page2), 0, true},
      {"a devmode record first", kDevmode + kHeader + Record(12, page1), 0, true},
      {"header size below 8", kHeader + RawRecord(CSpooledEmf::kHeaderRecord, 4, "") + Record(12, page1), 0, true},
      {"the header record cut", kHeader.substr(0, 12), 0, true},
      {"skipped record past the end", kHeader + Record(12, page1) + RawRecord(5, 0x7FFFFFF0u, "ffff"), 1, true},
      {"page record past the end",
       kHeader + Record(12, page1) + RawRecord(12, static_cast<uint32_t>(page2.size()), "xx"), 1, true},
      {"size near 4 GB", kHeader + Record(12, page1) + RawRecord(12, 0xFFFFFFF0u, page2), 1, true},
      {"an empty page record", kHeader + Record(12, page1) + Record(12, "") + Record(12, page2), 1, true},
      {"type and no size", kHeader + Record(12, page1) + std::string("\x0c\0\0", 3), 1, true},
      {"a record's type cut", kHeader + Record(12, page1) + std::string("\x0c", 1), 1, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::wstring path = Write(L"case.Org", row.stream);
    CSpooledEmf reader(path);
    EXPECT_EQ(reader.GetPageCount(), row.pages);
    EXPECT_EQ(reader.IsCut(), row.cut);
    bool cut = !row.cut;
    EXPECT_EQ(reader.CountPages(&cut), row.pages);
    EXPECT_EQ(cut, row.cut);
    for (int n = 1; n <= row.pages; ++n) {
      dv::EnhMetaFileHandle page(reader.GetPage(n));
      EXPECT_TRUE(page) << "page " << n;
    }
    EXPECT_EQ(reader.GetPage(row.pages + 1), nullptr);
    // Asked for by a caller that trusts a larger count, the cut stream still
    // ends where it is cut.
    CSpooledEmf trusting(path, row.pages + 2);
    EXPECT_FALSE(trusting.IsCut()) << "the caller's count";
    SetLastError(0);
    EXPECT_EQ(trusting.GetPage(row.pages + 1), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HANDLE_EOF));
    // Counted again by the engine's reader, as an empty count asks.
    trusting.SetPageCount(0);
    EXPECT_EQ(trusting.IsCut(), row.cut);
  }
  bool cut = false;
  EXPECT_EQ(CSpooledEmf(install.Path() + L"missing.Org").CountPages(&cut), 0);
  EXPECT_TRUE(cut) << "a file that cannot be opened";
}

// A copy of a metafile's bytes with one 32-bit value replaced.
std::string Patched(std::string bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

uint32_t U32At(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[offset + i]);
  return v;
}

// Offsets of the records of a well-formed metafile, header first.
std::vector<size_t> RecordOffsets(const std::string& emf) {
  std::vector<size_t> offsets;
  for (size_t at = 0; at < emf.size(); at += U32At(emf, at + 4)) offsets.push_back(at);
  return offsets;
}

bool WellFormed(const std::string& bytes) {
  return IsWellFormedEmf(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
}

// A page whose second record has the size 0: GDI accepts such bytes, and
// playing them never returns.
std::string ZeroSizedRecordPage(const std::string& page) { return Patched(page, RecordOffsets(page)[1] + 4, 0); }

TEST_F(SpooledEmfTest, RecordChainsThatCannotBeWalkedAreNoMetafile) {
  const std::vector<size_t> at = RecordOffsets(page1);
  ASSERT_GE(at.size(), 3u);
  const size_t eof = at.back();
  const uint32_t total = static_cast<uint32_t>(page1.size());
  ASSERT_EQ(U32At(page1, eof), static_cast<uint32_t>(EMR_EOF));
  // Without its EMR_EOF record, the byte count cut to match.
  const std::string noEof = Patched(page1.substr(0, eof), 48, static_cast<uint32_t>(eof));
  struct Row {
    const char* name;
    std::string bytes;
    bool wellFormed;
  } rows[] = {
      {"a whole page", page1, true},
      {"trailing bytes after the metafile", page1 + std::string(8, '\0'), true},
      {"a record of size 0", ZeroSizedRecordPage(page1), false},
      {"a record of size 4", Patched(page1, at[1] + 4, 4), false},
      {"a record size that is no multiple of 4", Patched(page1, at[1] + 4, U32At(page1, at[1] + 4) + 2), false},
      {"the last record past the end", Patched(page1, eof + 4, U32At(page1, eof + 4) + 4), false},
      {"a record size near 4 GB", Patched(page1, at[1] + 4, 0xFFFFFFF8u), false},
      {"header size 0", Patched(page1, 4, 0), false},
      {"header size beyond the metafile", Patched(page1, 4, total + 4), false},
      {"byte count beyond the bytes", Patched(page1, 48, total + 4), false},
      {"byte count cutting a record", Patched(page1, 48, static_cast<uint32_t>(eof + 4)), false},
      {"byte count 0", Patched(page1, 48, 0), false},
      {"no EMR_EOF at the end", noEof, false},
      {"not a metafile header", Patched(page1, 0, EMR_EOF), false},
      {"no metafile signature", Patched(page1, 40, 0x12345678), false},
      {"64 bytes of text", std::string(64, 'x'), false},
      {"nothing", std::string(), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WellFormed(row.bytes), row.wellFormed);
  }
  // No part of a metafile cut short passes, whatever the cut.
  for (size_t length = 0; length < page1.size(); ++length)
    ASSERT_FALSE(WellFormed(page1.substr(0, length))) << "cut at " << length;
  EXPECT_FALSE(IsWellFormedEmf(nullptr, 100));
}

TEST_F(SpooledEmfTest, PagesThatAreNoMetafileGiveNullAndMoveOn) {
  struct Row {
    const char* name;
    std::string damaged;
  } rows[] = {
      {"text", std::string(64, 'x')},
      {"a record of size 0", ZeroSizedRecordPage(page1)},
      {"no EMR_EOF", page1.substr(0, page1.size() - 20)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::wstring path = Write(L"job.Org", kHeader + Record(12, row.damaged) + Record(12, page2));
    CSpooledEmf reader(path);
    EXPECT_EQ(reader.GetPageCount(), 2);
    SetLastError(0);
    EXPECT_EQ(reader.GetPage(1), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    dv::EnhMetaFileHandle second(reader.GetPage(2));
    ASSERT_TRUE(second);
    EXPECT_EQ(MetafileBytes(second.get()), page2);
    // Past the stream's last page, with a count that promises more.
    CSpooledEmf trusting(path, 3);
    dv::EnhMetaFileHandle skipped(trusting.GetPage(2));
    EXPECT_TRUE(skipped);
    SetLastError(0);
    EXPECT_EQ(trusting.GetPage(3), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HANDLE_EOF));
  }
}

TEST_F(SpooledEmfTest, PictureFilesLoadOnlyWhenWellFormed) {
  struct Row {
    const char* name;
    std::string bytes;  // "-": no file
    bool loads;
  } rows[] = {
      {"a metafile", page1, true},
      {"a record of size 0", ZeroSizedRecordPage(page1), false},
      {"cut short", page1.substr(0, page1.size() / 2), false},
      {"empty file", "", false},
      {"no file", "-", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::wstring path = install.Path() + L"picture.emf";
    DeleteFileW(path.c_str());
    if (row.bytes != "-") Write(L"picture.emf", row.bytes);
    dv::EnhMetaFileHandle picture(LoadWellFormedEmf(path));
    EXPECT_EQ(static_cast<bool>(picture), row.loads);
    if (picture) {
      EXPECT_EQ(MetafileBytes(picture.get()), row.bytes);
    }
  }
}

TEST_F(SpooledEmfTest, AnotherFileRestartsTheReadingPosition) {
  std::wstring a = Write(L"a.Org", kHeader + Record(12, page1) + Record(12, page2));
  std::wstring b = Write(L"b.Org", kHeader + kDevmode + kFont + Record(12, page3) + Record(12, page1));
  CSpooledEmf reader(a);
  dv::EnhMetaFileHandle a2(reader.GetPage(2));
  ASSERT_TRUE(a2);

  reader.SetFile(a);
  EXPECT_EQ(reader.GetPage(1), nullptr) << "the same path keeps the position";

  reader.SetFile(b);
  EXPECT_EQ(reader.GetPageCount(), 2) << "the count is kept";
  dv::EnhMetaFileHandle b1(reader.GetPage(1));
  ASSERT_TRUE(b1);
  EXPECT_EQ(MetafileBytes(b1.get()), page3);
}

TEST_F(SpooledEmfTest, HeldFileReadsTheSamePagesAndIsReleased) {
  std::wstring path = Write(L"job.Org", kHeader + kDevmode + Record(12, page1) + kFont + Record(12, page2) +
                                            Record(12, page3));
  CSpooledEmf reader(path);
  ASSERT_TRUE(reader.HoldFile());
  // Held, the file can be neither written nor deleted by anyone else.
  EXPECT_FALSE(dv::FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr)));
  EXPECT_EQ(reader.GetPage(0), nullptr);
  dv::EnhMetaFileHandle second(reader.GetPage(2));
  ASSERT_TRUE(second);
  EXPECT_EQ(MetafileBytes(second.get()), page2);
  EXPECT_EQ(reader.GetPage(5), nullptr) << "past the end";
  dv::EnhMetaFileHandle third(reader.GetPage(3));
  ASSERT_TRUE(third) << "a failed request does not lose the held position";
  EXPECT_EQ(MetafileBytes(third.get()), page3);
  reader.ReleaseFile();
  EXPECT_TRUE(DeleteFileW(path.c_str()));

  std::wstring a = Write(L"a.Org", kHeader + Record(12, page1));
  std::wstring b = Write(L"b.Org", kHeader + Record(12, page2));
  CSpooledEmf other(a);
  ASSERT_TRUE(other.HoldFile());
  other.SetFile(b);
  EXPECT_TRUE(DeleteFileW(a.c_str())) << "another path releases the held file";
  dv::EnhMetaFileHandle first(other.GetPage(1));
  ASSERT_TRUE(first);
  EXPECT_EQ(MetafileBytes(first.get()), page2);
  EXPECT_FALSE(CSpooledEmf(install.Path() + L"missing.Org").HoldFile());
}

TEST_F(SpooledEmfTest, EngineConstructorCountAndReset) {
  std::wstring path = Write(L"job.Org", kHeader + kDevmode + Record(12, page1) + Record(12, page2));
  CSpooledEmf counted(path, 0);
  EXPECT_EQ(counted.GetPageCount(), 2);
  CSpooledEmf given(path, 7);
  EXPECT_EQ(given.GetPageCount(), 7);
  EXPECT_EQ(given.CountOwnPages(), 2);
  given.SetPageCount(0);
  EXPECT_EQ(given.GetPageCount(), 2);
  given.SetPageCount(-3);
  EXPECT_EQ(given.GetPageCount(), -3);
  EXPECT_EQ(given.GetPage(1), nullptr) << "no pages below a count of 1";

  dv::EnhMetaFileHandle first(counted.GetPage(1));
  ASSERT_TRUE(first);
  counted.Reset();
  EXPECT_EQ(counted.GetFile(), L"");
  EXPECT_EQ(counted.GetPageCount(), 0);
  EXPECT_EQ(counted.GetLastPage(), 0);
  counted.SetFile(path);
  counted.SetPageCount(0);
  dv::EnhMetaFileHandle again(counted.GetPage(1));
  EXPECT_TRUE(again) << "after a reset the reader starts from the beginning";
}

// Spool data beyond 4 GB: the skipped records are passed over by seeking
// (the file is sparse, nothing is read) and the position after a page is
// kept as a 64-bit offset.
TEST_F(SpooledEmfTest, OffsetsBeyondFourGigabytes) {
  std::wstring path = install.Path() + L"large.Org";
  {
    dv::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    auto put = [&](const std::string& bytes) {
      DWORD written = 0;
      ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    };
    auto hole = [&](uint64_t bytes) {
      LARGE_INTEGER d;
      d.QuadPart = static_cast<LONGLONG>(bytes);
      ASSERT_TRUE(SetFilePointerEx(file.get(), d, nullptr, FILE_CURRENT));
    };
    const uint32_t big = 0xF0000000u;
    put(kHeader);
    put(RawRecord(5, big, ""));
    hole(big);
    put(RawRecord(5, big, ""));
    hole(big);
    put(Record(12, page1));  // ends past 4 GB
    put(RawRecord(5, big, ""));
    hole(big);
    put(Record(12, page2));
  }
  CSpooledEmf reader(path);
  EXPECT_EQ(reader.GetPageCount(), 2);
  dv::EnhMetaFileHandle first(reader.GetPage(1));
  ASSERT_TRUE(first);
  EXPECT_EQ(MetafileBytes(first.get()), page1);
  dv::EnhMetaFileHandle second(reader.GetPage(2));
  ASSERT_TRUE(second);
  EXPECT_EQ(MetafileBytes(second.get()), page2);
  DeleteFileW(path.c_str());
}

}  // namespace
