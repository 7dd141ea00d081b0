// RAW analysis, page count, the duplex header and the PCL5 page copy, on
// PCL byte fixtures written here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "engine/PrnLang.h"
#include "engine/RawJob.h"
#include "engine/VFile.h"
#include "tests/support/TestEnv.h"

namespace {

const std::string E = "\x1b";
const std::string FF = "\x0c";
const std::string UEL = E + "%-12345X";

// Copies `pages` pages the way the pipeline does (header, pages, rest),
// returning each piece on its own.
struct CopiedJob {
  std::string header;
  std::vector<std::string> pages;
  std::string rest;
};

CopiedJob CopyJob(const std::string& data, int pages, int duplex = 0, bool withHeader = true) {
  std::string input = data;
  VFile in(&input, VFile::kReadString);
  PrnLang scanner;
  CopiedJob job;
  {
    VFile out(&job.header, VFile::kAppendString);
    if (withHeader) WritePclDuplexHeader(scanner, in, out, duplex);
    out.Flush();
  }
  for (int p = 0; p < pages; ++p) {
    job.pages.emplace_back();
    VFile out(&job.pages.back(), VFile::kAppendString);
    CopyPclPage(scanner, in, out);
    out.Flush();
  }
  VFile out(&job.rest, VFile::kAppendString);
  CopyRemainingData(in, out);
  out.Flush();
  return job;
}

}  // namespace

TEST(PclPageCopy, PagesEndAtTheirFormFeed) {
  struct Row {
    const char* name;
    std::string data;
    std::vector<std::string> pages;
    std::string rest;
  } rows[] = {
      {"form feed after plain data", "AB" + FF + "CD" + FF + E + "E", {"AB", "CD"}, E + "E"},
      {"form feed after a command", E + "&l0O" + FF + "X", {E + "&l0O"}, "X"},
      {"form feed inside raster data", E + "*b3Wx" + FF + "y" + "z" + FF, {E + "*b3Wx" + FF + "yz"}, ""},
      {"form feed inside a sequence's parameters", E + "&l" + FF + "2A" + FF, {E + "&l" + FF + "2A"}, ""},
      {"the dropped command, any case", "A" + E + "&b1M" + "B" + E + "&B1m" + "C" + FF, {"ABC"}, ""},
      {"the dropped command before a form feed", "A" + E + "&b1M" + FF + "B" + FF, {"A", "B"}, ""},
      // Raster data is binary: the five bytes of the dropped command in it
      // are data, and what follows the data is read as the job has it.
      {"the dropped command's bytes as raster data", "A" + E + "*b5W" + E + "&b1M" + "B" + FF + "C" + FF,
       {"A" + E + "*b5W" + E + "&b1M" + "B", "C"}, ""},
      {"raster data ending inside them", E + "*b2W" + E + "&b1Mxy" + FF, {E + "*b2W" + E + "&b1Mxy"}, ""},
      {"the dropped command right after the data", E + "*b2Wxy" + E + "&b1M" + "z" + FF, {E + "*b2Wxyz"}, ""},
      {"a blank page keeps its first form feed", "A" + FF + FF + "B" + FF, {"A", FF + "B"}, ""},
      {"zero-count raster command", E + "*b0W" + FF + "Q", {E + "*b0W"}, "Q"},
      // Past the end of the data nothing is written: no zero bytes.
      {"no form feed at the end", "AB" + FF + "CD", {"AB", "CD", "", ""}, ""},
      {"final form feed", "AB" + FF, {"AB", ""}, ""},
      {"empty job", "", {"", ""}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CopiedJob job = CopyJob(row.data, static_cast<int>(row.pages.size()), 0, false);
    EXPECT_EQ(job.pages, row.pages);
    EXPECT_EQ(job.rest, row.rest);
  }
}

TEST(PclPageCopy, LongPagesAcrossBufferBoundaries) {
  // Pages of text and raster rows that straddle the 16384-byte buffer,
  // checked against the same pages copied the slow way (one byte at a time
  // through small reads of the same rules).
  std::string data = UEL + "@PJL ENTER LANGUAGE=PCL\r\n" + E + "E" + E + "*p0x0Y";
  std::vector<std::string> expected;
  for (int p = 0; p < 12; ++p) {
    std::string page;
    for (int row = 0; row < 300; ++row) {
      std::string raster(37, static_cast<char>(row));
      raster[5] = '\x0c';
      raster[9] = '\x1b';
      page += E + "*b37W" + raster + "line " + std::to_string(row) + "\r\n";
    }
    data += page + FF;
    expected.push_back(page);
  }
  data += E + "E" + UEL;
  CopiedJob job = CopyJob(data, 12);
  EXPECT_EQ(job.header, UEL + "@PJL ENTER LANGUAGE=PCL\r\n" + E + "E");
  ASSERT_EQ(job.pages.size(), expected.size());
  // The first page starts with the header's end command.
  EXPECT_EQ(job.pages[0], E + "*p0x0Y" + expected[0]);
  for (size_t p = 1; p < expected.size(); ++p) EXPECT_EQ(job.pages[p], expected[p]) << "page " << p + 1;
  EXPECT_EQ(job.rest, E + "E" + UEL);
}

TEST(PclPageCopy, DataCountsBeyondTheData) {
  // A data count larger than the data left (up to and past INT_MAX, where
  // the scanner saturates it) copies what is left and nothing else, wherever
  // the command lies in the read buffer.
  std::string tail;
  for (int i = 0; i < 64; ++i) tail.push_back("\x1b&b1M\x0c\x00xyz"[i % 10]);
  const std::string header = E + "E";
  struct Row {
    const char* name;
    std::string before;  // page data before the command
    std::string count;
    std::string data;    // all the data there is after the command
  } rows[] = {
      {"INT_MAX after text", "HELLO", "2147483647", tail + FF},
      {"INT_MAX - 1", "HELLO", "2147483646", tail},
      {"saturated count", "HELLO", "99999999999999999999", tail + FF},
      {"command at the end of the read buffer", std::string(16379, 'a'), "2147483647", tail + FF},
      {"data over several buffers", "", "2147483647", std::string(50000, '\x1b') + tail},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string page = E + "*p0x0Y" + row.before + E + "*b" + row.count + "W" + row.data;
    CopiedJob job = CopyJob(header + page, 2);
    EXPECT_EQ(job.header, header);
    ASSERT_EQ(job.pages.size(), 2u);
    EXPECT_EQ(job.pages[0].size(), page.size());
    EXPECT_TRUE(job.pages[0] == page);
    EXPECT_EQ(job.pages[1], "");
    EXPECT_EQ(job.rest, "");
  }
}

TEST(PclDuplexHeader, DigitInTheHeader) {
  const std::string pjl = UEL + "@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n";
  struct Row {
    const char* name;
    std::string data;
    int duplex;
    std::string expected;
  } rows[] = {
      {"header's own command set", pjl + E + "&l0S" + E + "*p0x0Y" + "page", 2, pjl + E + "&l1S" + E + "*p0x0Y" + "page"},
      {"appended before the header end", pjl + E + "E" + E + "*p0x0Y" + "page", 3,
       pjl + E + "E" + E + "&l2S" + E + "*p0x0Y" + "page"},
      {"one-sided", pjl + E + "&l2S" + E + "*p0x0Y", 1, pjl + E + "&l0S" + E + "*p0x0Y"},
      {"copies command ends the header", pjl + E + "&l1X" + "page", 2, pjl + E + "&l1S" + E + "&l1X" + "page"},
      {"duplex 0 leaves the header", pjl + E + "&l0S" + E + "*p0x0Y", 0, pjl + E + "&l0S" + E + "*p0x0Y"},
      {"duplex outside 1-3 writes no digit", pjl + E + "&l0S" + E + "*p0x0Y", 5, pjl + E + "&l0S" + E + "*p0x0Y"},
      {"negative duplex", pjl + E + "*p0x0Y", -1, pjl + E + "*p0x0Y"},
      {"duplex command after the header", pjl + E + "*p0x0Y" + E + "&l0S", 2, pjl + E + "*p0x0Y" + E + "&l0S"},
      {"no header end: unchanged", pjl + E + "E" + "page", 2, pjl + E + "E" + "page"},
      {"header end at the start", E + "*p0x0Y" + "page", 2, E + "&l1S" + E + "*p0x0Y" + "page"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CopiedJob job = CopyJob(row.data, 0, row.duplex);
    EXPECT_EQ(job.header + job.rest, row.expected);
  }
}

namespace {

class RawFileTest : public ::testing::Test {
 protected:
  std::wstring Write(const std::string& data) {
    const std::wstring path = install_.SpoolFolder() + L"00000001.Org";
    EXPECT_TRUE(dvtest::WriteFileBytes(path, data));
    return path;
  }
  std::wstring Ctl() const { return install_.SpoolFolder() + L"00000001.Ctl"; }
  dvtest::ScopedInstallFolder install_;
};

}  // namespace

TEST_F(RawFileTest, PageCount) {
  const std::string pjl = UEL + "@PJL JOB NAME=\"x\"\r\n@PJL ENTER LANGUAGE=PCL\r\n";
  struct Row {
    const char* name;
    std::string data;
    int pages;
  } rows[] = {
      {"three pages, trailer after the last form feed", "p1" + FF + "p2" + FF + "p3" + FF + E + "E" + UEL, 3},
      {"PJL header and trailer", pjl + E + "E" + "p1" + FF + "p2" + FF + E + "E" + UEL + "@PJL EOJ\r\n" + UEL, 2},
      {"consecutive form feeds add nothing", "A" + FF + FF + FF + "B", 2},
      {"line ends alone do not count", "A" + FF + "\r\n", 1},
      {"a command after the form feed counts", "A" + FF + E + "&l0O", 2},
      {"raster end keeps the break pending", "A" + FF + E + "*rB" + FF, 1},
      {"other listed commands", "A" + FF + E + "*c2F" + E + "*c1D" + FF, 1},
      {"form feeds in raster data are data", "A" + E + "*b2W" + FF + FF + "B", 1},
      {"zero-count raster command is complete", "A" + FF + E + "*b0W" + "B", 2},
      {"job end then PJL keeps it pending", "A" + FF + UEL + "@PJL EOJ\r\n", 1},
      {"job end then text counts", "A" + FF + UEL + "B", 2},
      {"empty data", "", 1},
      {"data count near INT_MAX runs to the end", "A" + FF + "B" + E + "*b2147483647W" + FF + "C" + FF + "D", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CountPcl5Pages(Write(row.data)), row.pages);
  }
  // Long data: the count does not depend on where blocks end.
  std::string big;
  for (int p = 0; p < 500; ++p) big += E + "*b300W" + std::string(300, '\x0c') + "text" + FF;
  EXPECT_EQ(CountPcl5Pages(Write(big)), 500);
  EXPECT_TRUE(install_.EventLines().empty());
}

TEST_F(RawFileTest, Analysis) {
  struct Row {
    const char* name;
    std::string data;
    int result;
    const wchar_t* orientation;  // written to the control file, "-" none
    const wchar_t* paper;
  } rows[] = {
      {"PCL XL", UEL + "@PJL ENTER LANGUAGE = PCLXL\r\n", 0, L"-", L"-"},
      {"PostScript by PJL", UEL + "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n" + E + "&l1O", 0, L"-", L"-"},
      {"PostScript by its magic", "%!PS-Adobe-3.0\n", 0, L"-", L"-"},
      {"PostScript word beyond 4096 bytes", std::string(4100, ' ') + "LANGUAGE=POSTSCRIPT", 1, L"-", L"-"},
      {"instructions job", UEL + "@PJL JOB NAME=\"Dorvane Instructions Job\"\r\n", -1, L"-", L"-"},
      {"another job name", UEL + "@PJL JOB NAME=\"Dorvane Instructions\"\r\n", 1, L"-", L"-"},
      {"landscape and A4", E + "E" + E + "&l1O" + E + "&l26A", 1, L"2", L"9 (A4)"},
      {"portrait, letter", E + "&l0O" + E + "&l2A", 1, L"1", L"-"},
      {"reverse landscape, lower case", E + "&l3o" + E + "&l26a", 1, L"2", L"9 (A4)"},
      {"upper case wins", E + "&l1o" + E + "&l0O", 1, L"1", L"-"},
      {"no orientation", "text", 1, L"-", L"-"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(Ctl().c_str());
    EXPECT_EQ(AnalyzeRawJob(Ctl(), Write(row.data)), row.result);
    EXPECT_EQ(GetIniString(L"General", L"Orientation", Ctl(), L"-"), row.orientation);
    EXPECT_EQ(GetIniString(L"General", L"DevmodePaper", Ctl(), L"-"), row.paper);
    // The same analysis on the bytes in memory.
    std::string bytes = row.data;
    VFile memory(&bytes, VFile::kReadString);
    const RawAnalysis found = AnalyzeRawData(memory);
    EXPECT_EQ(found.kind, row.result);
    EXPECT_EQ(found.orientation == 0 ? L"-" : std::to_wstring(found.orientation), std::wstring(row.orientation));
    EXPECT_EQ(found.a4, std::wstring(row.paper) == L"9 (A4)");
  }
}

TEST_F(RawFileTest, PageContentAfterAPage) {
  // Each row's data follows a first page and its form feed, read from a
  // spool file as the pipeline reads it. The page is long enough for the
  // longer rests to run past the first read's buffer.
  const std::string first(3000, 'p');
  const std::string pjlEnd = UEL + "@PJL EOJ NAME=\"x\"\r\n" + UEL;
  std::string lineEnds;
  for (int i = 0; i < 8000; ++i) lineEnds += "\r\n";
  struct Row {
    const char* name;
    std::string rest;
    bool page;
  } rows[] = {
      {"nothing", "", false},
      {"reset and PJL job end", E + "E" + pjlEnd, false},
      {"line ends", "\r\n\r\n", false},
      {"raster end, reset and more form feeds", E + "*rB" + FF + E + "E" + FF, false},
      {"job end and PJL lines", UEL + "@PJL RESET\r\n@PJL EOJ\r\n", false},
      {"job control beyond the first buffer's end", lineEnds + E + "E" + pjlEnd, false},
      {"text", "x", true},
      {"text after the job control", E + "E" + pjlEnd + "x", true},
      {"a PJL line without the job-end sequence is text", "@PJL EOJ\r\n", true},
      {"a command", E + "&l1O", true},
      {"a blank page, then text", FF + "x", true},
      {"raster data", E + "*b3W" + "abc", true},
      {"more job control than a read buffer holds", lineEnds + lineEnds + E + "E", true},
      {"a command too long for the scanner", E + "&l" + std::string(5000, '1') + pjlEnd, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string data = first + FF + row.rest;
    dv::FileHandle file(CreateFileW(Write(data).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    ASSERT_TRUE(file);
    VFile in(file.get(), VFile::kReadFile);
    PrnLang scanner;
    std::string copied;
    VFile out(&copied, VFile::kAppendString);
    CopyPclPage(scanner, in, out);
    EXPECT_EQ(HoldsPageContent(in), row.page);
    // Nothing was consumed: the rest follows the page whole.
    CopyRemainingData(in, out);
    out.Flush();
    EXPECT_TRUE(copied == first + row.rest) << copied.size();
  }
  // The long command is scanned once, by the copy: no event from the look.
  EXPECT_TRUE(install_.EventLines().empty());
}

TEST_F(RawFileTest, UnreadableSpoolData) {
  const std::wstring missing = install_.SpoolFolder() + L"00000009.Org";
  EXPECT_EQ(AnalyzeRawJob(Ctl(), missing), 0);
  EXPECT_EQ(CountPcl5Pages(missing), 1);
  const auto lines = install_.EventLines();
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) EXPECT_EQ(line.rfind("1,1007,Can't open original file,", 0), 0u) << line;
}

namespace {

// The page copy as its rules read, one byte at a time through Peek and Read:
// the oracle for the copy's shortcuts.
std::string ReferencePage(PrnLang& scanner, VFile& in) {
  std::string out;
  for (;;) {
    BYTE five[5];
    int got = 0;
    in.Peek(five, 5, &got);
    if (scanner.DataRemaining() == 0 && got == 5 && five[0] == 0x1b && five[1] == '&' && (five[2] | 0x20) == 'b' && five[3] == '1' &&
        (five[4] | 0x20) == 'm') {
      in.Read(nullptr, 5);
      BYTE next = 0;
      in.Peek(&next, 1, &got);
      if (scanner.IsBetweenSequences() && got == 1 && next == 0x0c) {
        in.Read(nullptr, 1);
        return out;
      }
      continue;
    }
    BYTE b = 0;
    in.Read(&b, 1, &got);
    if (got == 0) return out;
    const int inCommand = scanner.Feed(b);
    bool ends = false;
    if (!inCommand || scanner.IsCommandComplete()) {
      BYTE next = 0;
      in.Peek(&next, 1, &got);
      if (got == 1 && next == 0x0c) {
        in.Read(nullptr, 1);
        ends = true;
      }
    }
    out.push_back(static_cast<char>(b));
    if (ends) return out;
  }
}

// PCL-like data: text, form feeds, line ends, parameterised and grouped
// commands, two-byte sequences, raster rows with ESC and form feeds in
// their data, the dropped command, job ends and PJL lines.
std::string RandomPcl(unsigned seed, size_t size) {
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  static const char* const kPieces[] = {"\x1b" "E", "\x1b&l0O", "\x1b&l1o26A", "\x1b*rB", "\x1b*c0P", "\x1b&b1M",
                                        "\x1b&B1m", "\x1b" "9", "\x1b%-12345X", "@PJL EOJ\r\n", "\r\n", "\x1b*b0W",
                                        "\x1b&a10v20H", "\x1b(s12H", "\x1b" "&" "\x1b" "A"};
  std::string data;
  while (data.size() < size) {
    const unsigned kind = next() % 10;
    if (kind < 3) {
      data += std::string(1 + next() % 40, static_cast<char>('a' + next() % 26));
    } else if (kind < 5) {
      data += std::string(1 + next() % 3, '\x0c');
    } else if (kind < 7) {
      const int count = static_cast<int>(next() % 60);
      data += "\x1b*b" + std::to_string(count) + "W";
      for (int i = 0; i < count; ++i) {
        static const char kData[] = {'\x1b', '\x0c', '&', 'b', '1', 'M', 'x', '\0'};
        data.push_back(kData[next() % sizeof(kData)]);
      }
    } else {
      data += kPieces[next() % (sizeof(kPieces) / sizeof(kPieces[0]))];
    }
  }
  return data;
}

}  // namespace

TEST(PclPageCopy, ShortcutsCopyAsTheByteRulesDo) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::string data = RandomPcl(seed, 20000 + seed * 997);
    std::string copyOfData = data;
    VFile fast(&data, VFile::kReadString);
    VFile slow(&copyOfData, VFile::kReadString);
    PrnLang fastScanner, slowScanner;
    for (int page = 0; page < 2000; ++page) {
      std::string copied;
      {
        VFile out(&copied, VFile::kAppendString);
        CopyPclPage(fastScanner, fast, out);
        out.Flush();
      }
      ASSERT_EQ(copied, ReferencePage(slowScanner, slow)) << "page " << page + 1;
    }
    EXPECT_EQ(fast.Available(1), 0);
  }
}

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (toupper(static_cast<unsigned char>(a[i])) != toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The page count's rules one byte at a time: the oracle for its shortcuts.
int ReferenceCount(const std::string& data) {
  PrnLang scanner;
  int pages = 1;
  bool pending = false, inPjl = false;
  std::string last, line;
  const std::string keep[] = {"", E + "*rB", E + "*c0P", E + "*b0M", E + "*c0Q", E + "*c1D", E + "*c2D", E + "*c2F",
                              E + "E", UEL};
  for (char c : data) {
    const BYTE b = static_cast<BYTE>(c);
    const int inCommand = scanner.Feed(b);
    if (scanner.IsCommandComplete()) last = scanner.GetCommand();
    if (SameIgnoringCase(last, UEL)) inPjl = true;
    if (inPjl) {
      line.push_back(c);
      if (line[0] != '@') {
        line.clear();
        inPjl = false;
      }
      if (b == '\n') line.clear();
    }
    if (!inCommand) {
      if (b == 0x0c) {
        pending = true;
        last.clear();
        continue;
      }
      if (b != '\r' && b != '\n' && !inPjl) {
        if (pending) ++pages, pending = false;
        continue;
      }
    }
    if (pending) {
      bool listed = false;
      for (const std::string& k : keep) listed = listed || SameIgnoringCase(last, k);
      if (!listed) ++pages, pending = false;
    }
  }
  return pages;
}

}  // namespace

TEST_F(RawFileTest, PageCountShortcutsCountAsTheByteRulesDo) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    const std::string data = RandomPcl(seed * 7919, 30000 + seed * 1231);
    const int expected = ReferenceCount(data);
    EXPECT_EQ(CountPcl5Pages(Write(data)), expected);
    EXPECT_EQ(CountPcl5Pages(data.data(), data.size()), expected);
  }
}
