// RAW analysis, page count, the duplex header and the PCL5 page copy, on
// PCL byte fixtures written here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/InstallFolder.h"
#include "engine/DestinationPrinter.h"
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
      {"the dropped command inside raster data", E + "*b2W" + E + "&b1Mxy" + FF, {E + "*b2Wxy"}, ""},
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

TEST(RawDuplexValue, ForcedStoredAndOneSided) {
  PrinterSettings settings;
  settings.forced.duplex = 3;
  EXPECT_EQ(GetRawDuplexValue(settings, 5, 1), 3);
  EXPECT_EQ(GetRawDuplexValue(settings, 1, 1), 1);
  EXPECT_EQ(GetRawDuplexValue(settings, 4, 4), 1);
  std::vector<BYTE> stored(sizeof(DEVMODEW), 0);
  reinterpret_cast<DEVMODEW*>(stored.data())->dmSize = sizeof(DEVMODEW);
  reinterpret_cast<DEVMODEW*>(stored.data())->dmDuplex = 2;
  settings.storedConfiguration = stored;
  EXPECT_EQ(GetRawDuplexValue(settings, 5, 1), 2);
  EXPECT_EQ(GetRawDuplexValue(PrinterSettings{}, 5, 1), 0);
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
