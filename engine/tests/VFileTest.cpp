// The RAW byte stream: patterns, reads at the end of the data, block writes
// and targets that take only part of a write or refuse it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Handles.h"
#include "engine/VFile.h"
#include "tests/support/TestEnv.h"

namespace {

const std::string kEsc = "\x1b";

int MatchText(const char* pattern, const std::string& data) {
  return VFile::Match(pattern, reinterpret_cast<const BYTE*>(data.data()), static_cast<int>(data.size()));
}

}  // namespace

TEST(VFileMatch, PatternLanguage) {
  struct Row {
    const char* name;
    const char* pattern;
    std::string data;
    int expected;
  } rows[] = {
      {"copies command", "\x1b&l~nX", kEsc + "&l12X", 6},
      {"~n needs a digit", "\x1b&l~nX", kEsc + "&lX", 0},
      {"plain bytes are case-sensitive", "ABC", "abc", 0},
      {"~A any byte", "a~Ac", std::string("a\0c", 3), 3},
      {"~E upper case", "~E~E", "Ab", 0},
      {"~e lower case", "~e~e", "ab", 2},
      {"~a letter", "~a~a", "aZ", 2},
      {"~d one digit", "~d~d", "123", 2},
      {"~F number characters", "~FX", "-1.5+X", 6},
      {"~F has no comma", "~FX", "1,5X", 0},
      {"~f takes a comma", "~fX", "1,5X", 4},
      {"~L line ends", "a~Lb", "a\r\n\nb", 5},
      {"~L needs one", "a~Lb", "ab", 0},
      {"~S none at all goes on", "a~Sb", "ab", 2},
      {"~S white space", "a~Sb", "a \t\r\n\x0c b", 8},
      {"~s blanks only", "a~sb", "a\tb", 0},
      {"~~ a tilde", "a~~", "a~", 2},
      {"code outside A-~ fails", "a~0", "a0", 0},
      {"tilde at the pattern's end fails", "a~", "a", 0},
      {"empty pattern", "", "abc", 0},
      {"data ends inside the pattern", "abcd", "abc", 0},
      {"greedy run gives nothing back", "~n1", "111", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MatchText(row.pattern, row.data), row.expected);
  }
}

TEST(VFileFind, WindowOfTheFirst4096Bytes) {
  struct Row {
    const char* name;
    std::string data;
    int expected;
  } rows[] = {
      {"blanks around the sign", "@PJL ENTER LANGUAGE = PCLXL\r\n", 11},
      {"no blanks", "@PJL ENTER LANGUAGE=PCLXL\r\n", 11},
      {"beyond the window", std::string(4096, 'x') + "LANGUAGE=PCLXL", -1},
      {"last offset of the window", std::string(4095, 'x') + "LANGUAGE=PCLXL", 4095},
      {"absent", "LANGUAGE=PCL", -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string data = row.data;
    VFile in(&data, VFile::kReadString);
    EXPECT_EQ(in.Find("LANGUAGE~s=~sPCLXL"), row.expected);
    // Nothing was consumed.
    BYTE first = 0;
    in.Read(&first, 1);
    EXPECT_EQ(first, static_cast<BYTE>(row.data[0]));
  }
}

TEST(VFileRead, SkipNumberAndRewind) {
  std::string data = kEsc + "&l  26.5aXYZ" + kEsc + "&l3O";
  VFile in(&data, VFile::kReadString);
  EXPECT_EQ(in.Skip("\x1b&l"), 3);
  EXPECT_DOUBLE_EQ(in.ReadNumber(), 26.5);
  EXPECT_EQ(in.Skip("~e"), 1);
  EXPECT_DOUBLE_EQ(in.ReadNumber(), 0.0);  // "XYZ" is no number and stays
  EXPECT_EQ(in.MatchHere("XYZ"), 3);
  EXPECT_EQ(in.Skip("Q"), 0);
  EXPECT_EQ(in.Find("\x1b&l~nO"), 3);
  EXPECT_EQ(in.Rewind(), 0);
  EXPECT_EQ(in.Find("\x1b&l~nO"), 13);
  BYTE head[3] = {};
  EXPECT_EQ(in.Peek(head, 3), VFile::kOk);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(head), 3), kEsc + "&l");
}

// Reads one byte at a time to the end, on a file and on a byte string.
class VFileEndOfData : public ::testing::TestWithParam<int> {};

TEST_P(VFileEndOfData, LastByteComesWithTheEndStatus) {
  std::string data;
  for (int i = 0; i < 100; ++i) data.push_back(static_cast<char>('A' + i % 26));
  dvtest::ScopedInstallFolder install;
  const std::wstring path = install.Path() + L"data.bin";
  ASSERT_TRUE(dvtest::WriteFileBytes(path, data));
  dv::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file);
  VFile fileStream(file.get(), VFile::kReadFile);
  VFile stringStream(&data, VFile::kReadString);
  VFile& in = GetParam() == VFile::kReadFile ? fileStream : stringStream;

  EXPECT_EQ(in.BytesLeft(), 100);
  for (int i = 1; i <= 99; ++i) {
    BYTE b = 0;
    int got = -1;
    ASSERT_EQ(in.Read(&b, 1, &got), VFile::kOk) << "read " << i;
    ASSERT_EQ(got, 1);
    ASSERT_EQ(b, static_cast<BYTE>(data[i - 1]));
    // Most of the data is in the buffer after the first read.
    ASSERT_EQ(in.BytesLeft(), 100 - i) << "read " << i;
  }
  BYTE b = 0;
  int got = -1;
  EXPECT_EQ(in.Read(&b, 1, &got), VFile::kEnd);
  EXPECT_EQ(b, static_cast<BYTE>(data[99]));
  EXPECT_EQ(got, 1);
  for (int i = 0; i < 3; ++i) {
    b = 0x55;
    EXPECT_EQ(in.Read(&b, 1, &got), VFile::kEnd);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(got, 0);  // the zero came from no data
  }
  EXPECT_EQ(in.TotalRead(), 100);
  EXPECT_EQ(in.BytesLeft(), 0);

  // A request across the end: the real bytes, then zeros.
  in.Rewind();
  BYTE big[120];
  EXPECT_EQ(in.Peek(big, 120, &got), VFile::kEnd);
  EXPECT_EQ(got, 100);
  EXPECT_EQ(big[99], static_cast<BYTE>(data[99]));
  EXPECT_EQ(big[100], 0);
  EXPECT_EQ(in.Read(big, 100, &got), VFile::kEnd);  // reaches the end exactly
  EXPECT_EQ(got, 100);
}

TEST_P(VFileEndOfData, BytesLeftOverSeveralBuffers) {
  // More than two buffers: what is left lies partly in the buffer and partly
  // in the source.
  const std::string data(40000, 'x');
  dvtest::ScopedInstallFolder install;
  const std::wstring path = install.Path() + L"data.bin";
  ASSERT_TRUE(dvtest::WriteFileBytes(path, data));
  dv::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file);
  std::string copy = data;
  VFile fileStream(file.get(), VFile::kReadFile);
  VFile stringStream(&copy, VFile::kReadString);
  VFile& in = GetParam() == VFile::kReadFile ? fileStream : stringStream;
  long long read = 0;
  for (int n : {0, 5000, 12000, 1, 20000, 2999}) {
    in.Read(nullptr, n);
    read += n;
    EXPECT_EQ(in.BytesLeft(), 40000 - read) << "after " << read;
  }
  in.Read(nullptr, 10);
  EXPECT_EQ(in.BytesLeft(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sources, VFileEndOfData, ::testing::Values(VFile::kReadFile, VFile::kReadString));

TEST(VFileRead, LongDataAcrossManyBuffers) {
  std::string data;
  for (int i = 0; i < 100000; ++i) data.push_back(static_cast<char>(i * 7));
  VFile in(&data, VFile::kReadString);
  std::string back;
  std::vector<BYTE> chunk(5000);
  int status = VFile::kOk;
  while (status == VFile::kOk) {
    int got = 0;
    status = in.Read(chunk.data(), 5000, &got);
    back.append(reinterpret_cast<char*>(chunk.data()), got);
  }
  EXPECT_EQ(back, data);
}

TEST(VFileRead, WrongModeChangesNothing) {
  std::string target;
  VFile out(&target, VFile::kAppendString);
  BYTE b = 0x55;
  EXPECT_EQ(out.Read(&b, 1), VFile::kFailed);
  EXPECT_EQ(out.Peek(&b, 1), VFile::kFailed);
  std::string source = "abc";
  VFile in(&source, VFile::kReadString);
  EXPECT_EQ(in.PutByte('x'), VFile::kFailed);
  EXPECT_EQ(in.Write("xy", 2), VFile::kFailed);
  EXPECT_EQ(in.Flush(), VFile::kFailed);
  EXPECT_EQ(in.Read(&b, 1), VFile::kOk);
  EXPECT_EQ(b, 'a');
  EXPECT_FALSE(in.Failed());
}

namespace {

// A stand-in target: takes at most `limit` bytes per write, refuses when
// `refuse` is set, and records what it took.
struct Sink {
  std::string taken;
  std::vector<DWORD> offers;
  DWORD limit = 0xFFFFFFFF;
  bool refuse = false;
  static bool Write(void* context, const BYTE* bytes, DWORD count, DWORD* took) {
    Sink* sink = static_cast<Sink*>(context);
    sink->offers.push_back(count);
    if (sink->refuse) {
      SetLastError(ERROR_NOT_READY);
      *took = 0;
      return false;
    }
    *took = count < sink->limit ? count : sink->limit;
    sink->taken.append(reinterpret_cast<const char*>(bytes), *took);
    return true;
  }
};

}  // namespace

TEST(VFileWrite, BlocksOf16384AndTheFinalFlush) {
  Sink sink;
  VFile out(static_cast<HANDLE>(nullptr), VFile::kWritePrinter);
  out.SetWriteTarget(&Sink::Write, &sink);
  for (int i = 0; i < 16384; ++i) ASSERT_EQ(out.PutByte(static_cast<BYTE>(i)), VFile::kOk);
  EXPECT_TRUE(sink.offers.empty());
  EXPECT_EQ(out.PutByte(0xAB), VFile::kOk);
  ASSERT_EQ(sink.offers.size(), 1u);
  EXPECT_EQ(sink.offers[0], 16384u);
  EXPECT_EQ(out.Pending(), 1);
  EXPECT_EQ(out.Flush(), VFile::kOk);
  EXPECT_EQ(out.Pending(), 0);
  EXPECT_EQ(out.TotalWritten(), 16385);
  EXPECT_EQ(sink.taken.size(), 16385u);
  EXPECT_EQ(static_cast<BYTE>(sink.taken.back()), 0xAB);
  EXPECT_FALSE(out.Failed());
}

TEST(VFileWrite, ShortWritesSendOnlyWhatWasNotTaken) {
  std::string data;
  for (int i = 0; i < 40000; ++i) data.push_back(static_cast<char>(i % 251));
  Sink sink;
  sink.limit = 1000;
  VFile out(static_cast<HANDLE>(nullptr), VFile::kWritePrinter);
  out.SetWriteTarget(&Sink::Write, &sink);
  EXPECT_EQ(out.Write(data.data(), 20000), VFile::kOk);
  for (int i = 20000; i < 40000; ++i) ASSERT_EQ(out.PutByte(static_cast<BYTE>(data[i])), VFile::kOk);
  EXPECT_EQ(out.Flush(), VFile::kOk);
  EXPECT_EQ(sink.taken, data);
  EXPECT_EQ(out.TotalWritten(), 40000);
  EXPECT_FALSE(out.Failed());
}

TEST(VFileWrite, RefusedOrStalledWriteIsRemembered) {
  struct Row {
    const char* name;
    bool refuse;
    DWORD limit;
    DWORD error;
  } rows[] = {
      {"target refuses", true, 0xFFFFFFFF, ERROR_NOT_READY},
      {"target takes nothing", false, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Sink sink;
    sink.refuse = row.refuse;
    sink.limit = row.limit;
    VFile out(static_cast<HANDLE>(nullptr), VFile::kWritePrinter);
    out.SetWriteTarget(&Sink::Write, &sink);
    EXPECT_EQ(out.Write("abc", 3), VFile::kOk);  // only pending so far
    EXPECT_EQ(out.Flush(), VFile::kFailed);
    EXPECT_TRUE(out.Failed());
    EXPECT_EQ(out.LastError(), row.error);
    EXPECT_EQ(out.Pending(), 3);
    // Once the target takes bytes again, the kept ones go, once.
    sink.refuse = false;
    sink.limit = 0xFFFFFFFF;
    EXPECT_EQ(out.Flush(), VFile::kOk);
    EXPECT_EQ(sink.taken, "abc");
    EXPECT_TRUE(out.Failed());  // still remembered for the job
  }
}

TEST(VFileWrite, FileAndStringTargets) {
  dvtest::ScopedInstallFolder install;
  const std::wstring path = install.Path() + L"out.bin";
  std::string data(50000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 13);
  {
    dv::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    VFile out(file.get(), VFile::kWriteFile);
    EXPECT_EQ(out.Write(data.data(), static_cast<int>(data.size())), VFile::kOk);
    EXPECT_EQ(out.Flush(), VFile::kOk);
  }
  EXPECT_EQ(dvtest::ReadFileBytes(path), data);

  std::string target = "head:";
  VFile out(&target, VFile::kAppendString);
  EXPECT_EQ(out.Write("tail", 4), VFile::kOk);
  EXPECT_EQ(target, "head:");  // pending until the flush
  EXPECT_EQ(out.Flush(), VFile::kOk);
  EXPECT_EQ(target, "head:tail");
}
