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

// A PCL5 copy and where its pages lie in the output.
struct CopiedJob {
  std::string output;
  std::vector<std::pair<size_t, size_t>> pages;  // each page's body in output
  int made = 0;                                  // CopyPcl5Job's result

  std::vector<std::string> Pages() const {
    std::vector<std::string> bodies;
    for (const auto& page : pages) bodies.push_back(output.substr(page.first, page.second - page.first));
    return bodies;
  }
  // Everything before the first page (the header; all of it without pages).
  std::string Header() const { return output.substr(0, pages.empty() ? output.size() : pages[0].first); }
  // Everything after the last page's form feed.
  std::string Rest() const { return pages.empty() ? std::string() : output.substr(pages.back().second + 1); }
  // The output with "<n>" where page n starts and "</n>" where its body ends
  // (before the copy's form feed), as a template layer would land there.
  std::string Marked() const {
    std::string marked;
    size_t at = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
      const std::string n = std::to_string(p + 1);
      marked += output.substr(at, pages[p].first - at) + "<" + n + ">";
      marked += output.substr(pages[p].first, pages[p].second - pages[p].first) + "</" + n + ">";
      at = pages[p].second;
    }
    return marked + output.substr(at);
  }
};

// Notes where each page's body starts and ends in the output; every call
// also checks that the pages come one after the other.
class PageRecorder final : public PclPageCalls {
 public:
  PageRecorder(VFile& out, CopiedJob& job) : out_(out), job_(job) {}
  bool PageStarts(int page) override {
    EXPECT_EQ(page, static_cast<int>(job_.pages.size()) + 1);
    job_.pages.emplace_back(Length(), Length());
    return true;
  }
  void PageBodyEnds(int page) override {
    EXPECT_EQ(page, static_cast<int>(job_.pages.size()));
    job_.pages.back().second = Length();
  }
  bool PageEnds(int page) override {
    EXPECT_EQ(page, static_cast<int>(job_.pages.size()));
    EXPECT_EQ(Length(), job_.pages.back().second + 1);  // the copy's form feed
    return true;
  }

 private:
  size_t Length() {
    out_.Flush();
    return job_.output.size();
  }
  VFile& out_;
  CopiedJob& job_;
};

CopiedJob CopyJob(VFile& in, int totalPages, int duplex = 0) {
  CopiedJob job;
  VFile out(&job.output, VFile::kAppendString);
  PageRecorder calls(out, job);
  job.made = CopyPcl5Job(in, out, duplex, totalPages, calls);
  out.Flush();
  return job;
}

CopiedJob CopyJob(const std::string& data, int totalPages, int duplex = 0) {
  std::string input = data;
  VFile in(&input, VFile::kReadString);
  return CopyJob(in, totalPages, duplex);
}

}  // namespace

TEST(PclPageCopy, PagesEndAtTheirFormFeed) {
  struct Row {
    const char* name;
    std::string data;
    int totalPages;
    std::vector<std::string> pages;
    std::string rest;
  } rows[] = {
      {"form feed after plain data", "AB" + FF + "CD" + FF + E + "E", 2, {"AB", "CD"}, E + "E"},
      {"form feed after a command", E + "&l0O" + FF + "X", 1, {E + "&l0O"}, "X"},
      {"form feed inside raster data", E + "*b3Wx" + FF + "y" + "z" + FF, 1, {E + "*b3Wx" + FF + "yz"}, ""},
      {"form feed inside a sequence's parameters", E + "&l" + FF + "2A" + FF, 1, {E + "&l" + FF + "2A"}, ""},
      {"the dropped command, any case", "A" + E + "&b1M" + "B" + E + "&B1m" + "C" + FF, 1, {"ABC"}, ""},
      {"the dropped command before a form feed", "A" + E + "&b1M" + FF + "B" + FF, 2, {"A", "B"}, ""},
      // Raster data is binary: the five bytes of the dropped command in it
      // are data, and what follows the data is read as the job has it.
      {"the dropped command's bytes as raster data", "A" + E + "*b5W" + E + "&b1M" + "B" + FF + "C" + FF, 2,
       {"A" + E + "*b5W" + E + "&b1M" + "B", "C"}, ""},
      {"raster data ending inside them", E + "*b2W" + E + "&b1Mxy" + FF, 1, {E + "*b2W" + E + "&b1Mxy"}, ""},
      {"the dropped command right after the data", E + "*b2Wxy" + E + "&b1M" + "z" + FF, 1, {E + "*b2Wxyz"}, ""},
      // Its bytes are scanned: inside a sequence's parameters it ends the
      // sequence, and a form feed after it ends the page.
      {"the dropped command inside a sequence", "A" + E + "&l" + E + "&b1M" + FF + "B" + FF, 2,
       {"A" + E + "&l", "B"}, ""},
      {"a blank page is no page", "A" + FF + FF + "B" + FF, 2, {"A", "B"}, ""},
      {"zero-count raster command", E + "*b0W" + FF + "Q", 1, {E + "*b0W"}, "Q"},
      // Past the end of the data nothing is written: no zero bytes, and no
      // page of nothing.
      {"no form feed at the end", "AB" + FF + "CD", 4, {"AB", "CD"}, ""},
      {"final form feed", "AB" + FF, 2, {"AB"}, ""},
      {"empty job", "", 2, {}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CopiedJob job = CopyJob(row.data, row.totalPages);
    EXPECT_EQ(job.Pages(), row.pages);
    EXPECT_EQ(job.Rest(), row.rest);
    EXPECT_EQ(job.made, static_cast<int>(row.pages.size()));
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
  EXPECT_EQ(job.Header(), UEL + "@PJL ENTER LANGUAGE=PCL\r\n" + E + "E");
  const std::vector<std::string> pages = job.Pages();
  ASSERT_EQ(pages.size(), expected.size());
  // The first page starts with the header's end command.
  EXPECT_EQ(pages[0], E + "*p0x0Y" + expected[0]);
  for (size_t p = 1; p < expected.size(); ++p) EXPECT_EQ(pages[p], expected[p]) << "page " << p + 1;
  EXPECT_EQ(job.Rest(), E + "E" + UEL);
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
    EXPECT_EQ(job.Header(), header);
    const std::vector<std::string> pages = job.Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].size(), page.size());
    EXPECT_TRUE(pages[0] == page);
    EXPECT_EQ(job.Rest(), "");
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
    EXPECT_EQ(job.output, row.expected);
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

TEST_F(RawFileTest, PageContent) {
  // Each row's data is read from a spool file past 3001 bytes, so the longer
  // rows run past the first read's buffer.
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
    in.Read(nullptr, static_cast<int>(first.size() + 1));
    EXPECT_EQ(HoldsPageContent(in), row.page);
    // Nothing was consumed: the rest follows whole.
    std::string copied;
    VFile out(&copied, VFile::kAppendString);
    CopyRemainingData(in, out);
    out.Flush();
    EXPECT_TRUE(copied == row.rest) << copied.size();
  }
  // The long command is left to the copy, which scans it once: no event
  // from the look.
  EXPECT_TRUE(install_.EventLines().empty());
}

TEST_F(RawFileTest, PagesStartWhereTheCountCountsThem) {
  // Each job copied with TotalPages 2147483647, from memory and from a spool
  // file: pages marked as template layers would land ("<n>" before page n,
  // "</n>" before its form feed). What the count passes over between pages
  // is copied as it stands, outside them; every counted page is made.
  const std::string longCommand = E + "&l" + std::string(5000, '1') + "A";
  struct Row {
    const char* name;
    std::string data;
    std::string marked;
    int events;  // event 4 for a command too long for the scanner
  } rows[] = {
      {"a raster end after a form feed", "a" + FF + E + "*rB" + FF + "b" + FF,
       "<1>a</1>" + FF + E + "*rB" + FF + "<2>b</2>" + FF, 0},
      {"a blank page", "a" + FF + FF + "b" + FF, "<1>a</1>" + FF + FF + "<2>b</2>" + FF, 0},
      {"line ends after a form feed", "a" + FF + "\r\n" + "b" + FF, "<1>a</1>" + FF + "\r\n<2>b</2>" + FF, 0},
      {"a reset, then a command", "a" + FF + E + "E" + E + "&l1O" + "b" + FF,
       "<1>a</1>" + FF + E + "E" + "<2>" + E + "&l1Ob</2>" + FF, 0},
      {"a job end and a PJL line after a form feed", "a" + FF + UEL + "@PJL EOJ\r\n" + "b" + FF,
       "<1>a</1>" + FF + UEL + "@PJL EOJ\r\n<2>b</2>" + FF, 0},
      {"a PJL line without the job end is text", "a" + FF + "@PJL EOJ\r\n" + FF,
       "<1>a</1>" + FF + "<2>@PJL EOJ\r\n</2>" + FF, 0},
      // The count counts the dropped command as a page of its own.
      {"the dropped command right after a form feed", "a" + FF + E + "&b1M" + FF + "b" + FF,
       "<1>a</1>" + FF + "<2></2>" + FF + "<3>b</3>" + FF, 0},
      {"the dropped command after a reset", "a" + FF + E + "E" + E + "&B1m" + "b" + FF,
       "<1>a</1>" + FF + E + "E" + "<2>b</2>" + FF, 0},
      {"the dropped command inside a sequence after a form feed", "a" + FF + E + "&l" + E + "&b1M" + "2Ab" + FF,
       "<1>a</1>" + FF + "<2>" + E + "&l2Ab</2>" + FF, 0},
      // A lower-case m joins grouped commands: the sequence goes on.
      {"the dropped command in lower case, grouped", "a" + E + "&b1m" + "2Ab" + FF + "c" + FF,
       "<1>a2Ab</1>" + FF + "<2>c</2>" + FF, 0},
      {"the dropped command in lower case after a form feed", "a" + FF + E + "&b1m" + "2Ab" + FF,
       "<1>a</1>" + FF + "<2>2Ab</2>" + FF, 0},
      // A sequence that never ends makes no page: it is copied as it
      // stands, the dropped command too.
      {"the dropped command in a sequence after the last page that never ends", "a" + FF + E + "&b1m" + "xx",
       "<1>a</1>" + FF + E + "&b1mxx", 0},
      {"raster data after a form feed that the data holds", "a" + FF + E + "*b3Wxyz",
       "<1>a</1>" + FF + "<2>" + E + "*b3Wxyz</2>" + FF, 0},
      {"raster data after a form feed, form feeds in it", "a" + FF + E + "*b2W" + FF + FF + "b" + FF,
       "<1>a</1>" + FF + "<2>" + E + "*b2W" + FF + FF + "b</2>" + FF, 0},
      {"raster data after a form feed that runs past the end", "a" + FF + E + "*b4Wxyz",
       "<1>a</1>" + FF + E + "*b4Wxyz", 0},
      {"raster data after a form feed that runs far past the end", "a" + FF + E + "*b2147483647W" + FF + "b" + FF,
       "<1>a</1>" + FF + E + "*b2147483647W" + FF + "b" + FF, 0},
      {"a command too long for the scanner after a form feed", "a" + FF + longCommand + FF,
       "<1>a</1>" + FF + "<2>" + longCommand + "</2>" + FF, 1},
      {"a form feed first", FF + "a" + FF, "<1></1>" + FF + "<2>a</2>" + FF, 0},
      {"the last page without its form feed", "a" + FF + "b", "<1>a</1>" + FF + "<2>b</2>" + FF, 0},
      {"job control after the last page", "a" + FF + E + "E" + UEL, "<1>a</1>" + FF + E + "E" + UEL, 0},
      {"a header", E + "E" + E + "*p0x0Y" + "a" + FF + "b",
       E + "E" + "<1>" + E + "*p0x0Ya</1>" + FF + "<2>b</2>" + FF, 0},
      // The header's bytes are scanned as the count scans them: here its
      // end command and the form feed after it are raster data.
      {"a header that ends inside raster data", E + "*b10W" + E + "*p0x0Y" + "a" + FF + "b" + FF + "c",
       E + "*b10W" + "<1>" + E + "*p0x0Ya" + FF + "b</1>" + FF + "<2>c</2>" + FF, 0},
      {"nothing but job control", E + "E" + UEL + "@PJL EOJ\r\n" + UEL, E + "E" + UEL + "@PJL EOJ\r\n" + UEL, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(install_.EventLog().c_str());
    const int count = CountPcl5Pages(row.data.data(), row.data.size());
    const CopiedJob fromMemory = CopyJob(row.data, 2147483647);
    EXPECT_EQ(fromMemory.Marked(), row.marked);
    if (fromMemory.made > 0) {
      EXPECT_EQ(fromMemory.made, count);
    }
    dv::FileHandle file(CreateFileW(Write(row.data).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    0, nullptr));
    ASSERT_TRUE(file);
    VFile in(file.get(), VFile::kReadFile);
    const CopiedJob fromFile = CopyJob(in, 2147483647);
    EXPECT_EQ(fromFile.Marked(), row.marked);
    // The count, the copy from memory and the copy from the file each scan
    // the data once.
    EXPECT_EQ(install_.EventLines().size(), static_cast<size_t>(3 * row.events));
  }
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

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (toupper(static_cast<unsigned char>(a[i])) != toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The page count's rules one byte at a time, as they read: the oracle for
// the count's shortcuts and for the copy.
struct ReferenceCounter {
  PrnLang scanner;
  int pages = 1;
  bool pending = false;
  bool inPjl = false;
  std::string last, line;

  // Feeds one byte; returns the scanner's answer for it.
  int Feed(BYTE b) {
    static const std::string keep[] = {"", E + "*rB", E + "*c0P", E + "*b0M", E + "*c0Q", E + "*c1D", E + "*c2D",
                                       E + "*c2F", E + "E", UEL};
    const int inCommand = scanner.Feed(b);
    if (scanner.IsCommandComplete()) last = scanner.GetCommand();
    if (SameIgnoringCase(last, UEL)) inPjl = true;
    if (inPjl) {
      line.push_back(static_cast<char>(b));
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
        return inCommand;
      }
      if (b != '\r' && b != '\n' && !inPjl) {
        if (pending) ++pages, pending = false;
        return inCommand;
      }
    }
    if (pending) {
      bool listed = false;
      for (const std::string& k : keep) listed = listed || SameIgnoringCase(last, k);
      if (!listed) ++pages, pending = false;
    }
    return inCommand;
  }
};

int ReferenceCount(const std::string& data) {
  ReferenceCounter counter;
  for (char c : data) counter.Feed(static_cast<BYTE>(c));
  return counter.pages;
}

bool IsDroppedAt(const std::string& data, size_t i) {
  return i + 5 <= data.size() && data[i] == '\x1b' && data[i + 1] == '&' && (data[i + 2] | 0x20) == 'b' &&
         data[i + 3] == '1' && (data[i + 4] | 0x20) == 'm';
}

// The PCL5 copy of data without a job header, one byte at a time by the
// count's rules and with no look-ahead: a page starts where the count
// counts one (at the ESC of the sequence that counts it), ends at the form
// feed that sets the break pending, and the dropped command is left out of
// it; the rest is copied as it stands. Marked as CopiedJob::Marked marks
// the copy. The oracle for the copy's shortcuts and for how it tells ahead
// of time whether a sequence between pages starts one.
std::string ReferenceCopy(const std::string& data, int totalPages, int* made) {
  *made = 0;
  {
    std::string copy = data;
    VFile in(&copy, VFile::kReadString);
    if (totalPages < 1 || !HoldsPageContent(in)) return data;
  }
  ReferenceCounter counter;
  std::string out = "<1>";
  int page = 1;
  bool inPage = true;
  size_t sequenceStart = 0;         // where in out the sequence begun between pages starts
  std::vector<size_t> droppedAt;    // where in out the dropped command's bytes between pages lie
  int dropping = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    const BYTE b = static_cast<BYTE>(data[i]);
    if (dropping == 0 && counter.scanner.DataRemaining() == 0 && IsDroppedAt(data, i)) dropping = 5;
    if (!inPage && b == 0x1b && counter.scanner.IsBetweenSequences()) sequenceStart = out.size();
    const bool wasPending = counter.pending;
    const int inCommand = counter.Feed(b);
    const bool dropped = dropping > 0;
    if (dropping > 0) --dropping;
    if (inPage) {
      if (!wasPending && counter.pending) {
        out += "</" + std::to_string(page) + ">" + FF;
        inPage = false;
        if (page == totalPages) {
          *made = page;
          return out + data.substr(i + 1);
        }
      } else if (!dropped) {
        out.push_back(static_cast<char>(b));
      }
      continue;
    }
    if (dropped) droppedAt.push_back(out.size());
    out.push_back(static_cast<char>(b));
    if (wasPending && !counter.pending) {
      // A page after all: its bytes lose the dropped command.
      ++page;
      inPage = true;
      for (auto at = droppedAt.rbegin(); at != droppedAt.rend(); ++at) out.erase(*at, 1);
      droppedAt.clear();
      const size_t at = inCommand ? sequenceStart : out.size() - (dropped ? 0 : 1);
      out.insert(at, "<" + std::to_string(page) + ">");
    }
  }
  if (inPage) out += "</" + std::to_string(page) + ">" + FF;
  *made = page;
  return out;
}

}  // namespace

TEST_F(RawFileTest, CopyShortcutsCopyAsTheByteRulesDo) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::string data = RandomPcl(seed, 20000 + seed * 997);
    // Some jobs end in raster data: one whose count the data holds exactly
    // (across read buffers), one whose count runs past the end.
    if (seed % 4 == 1) data += FF + E + "*b40000W" + std::string(40000, '\x0c');
    if (seed % 4 == 2) data += FF + E + "*b40001W" + std::string(40000, '\x1b');
    const int count = ReferenceCount(data);
    for (int totalPages : {2147483647, count / 2}) {
      SCOPED_TRACE(totalPages);
      int made = 0;
      const std::string expected = ReferenceCopy(data, totalPages, &made);
      CopiedJob job = CopyJob(data, totalPages);
      ASSERT_EQ(job.Marked(), expected);
      EXPECT_EQ(job.made, made);
      if (totalPages > count) {
        EXPECT_EQ(job.made, count);
      }
    }
    // Through a spool file, which tells differently how much data is left.
    dv::FileHandle file(CreateFileW(Write(data).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    ASSERT_TRUE(file);
    VFile in(file.get(), VFile::kReadFile);
    int made = 0;
    EXPECT_EQ(CopyJob(in, 2147483647).Marked(), ReferenceCopy(data, 2147483647, &made));
  }
}

TEST_F(RawFileTest, PageCountShortcutsCountAsTheByteRulesDo) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    const std::string data = RandomPcl(seed * 7919, 30000 + seed * 1231);
    const int expected = ReferenceCount(data);
    EXPECT_EQ(CountPcl5Pages(Write(data)), expected);
    EXPECT_EQ(CountPcl5Pages(data.data(), data.size()), expected);
  }
}
