// The RAW overlay: the macro file's page copied into the job on PCL
// fixtures, and RAW jobs with a template end to end. The Wine driver renders
// macro documents as PostScript, not PCL, so the end-to-end tests look at
// where the macro documents land in the job and that their file is made,
// copied and removed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/InstallFolder.h"
#include "common/PageTemplate.h"
#include "common/StringUtil.h"
#include "engine/RawOverlay.h"
#include "engine/VFile.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/EmfSpool.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

const std::string E = "\x1b";
const std::string FF = "\x0c";
const std::string UEL = E + "%-12345X";

std::string CopyMacro(const std::string& macro) {
  std::string data = macro;
  std::string copied;
  VFile in(&data, VFile::kReadString);
  VFile out(&copied, VFile::kAppendString);
  CopyMacroData(in, out);
  out.Flush();
  return copied;
}

}  // namespace

TEST(MacroCopy, PageCommandsOnly) {
  const std::string prologue = UEL + "@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n" + E + "E" + E + "&l26A";
  const std::string trailer = E + "E" + UEL + "@PJL EOJ\r\n" + UEL;
  struct Row {
    const char* name;
    std::string macro;
    std::string expected;
  } rows[] = {
      {"prologue left out, stops at the page's form feed after a command",
       prologue + E + "*p0x0Y" + E + "*p100x200Y" + E + "*c10A" + FF + trailer, E + "*p0x0Y" + E + "*p100x200Y" + E + "*c10A"},
      {"stops at the form feed after plain data too", prologue + E + "*p0x0Y" + "text" + FF + trailer, E + "*p0x0Y" + "text"},
      {"copies commands dropped anywhere", prologue + E + "*p0x0Y" + "a" + E + "&l1X" + "b" + E + "&l12X" + FF,
       E + "*p0x0Y" + "ab"},
      {"the dropped command", prologue + E + "*p0x0Y" + "a" + E + "&b1M" + "b" + FF, E + "*p0x0Y" + "ab"},
      {"a dropped command before the form feed", prologue + E + "*p0x0Y" + "a" + E + "&l1X" + FF + trailer,
       E + "*p0x0Y" + "a"},
      {"starts at a copies command without the cursor command", E + "E" + E + "&l1X" + "body" + FF, "body"},
      {"from the start without either", "%!PS-Adobe-3.0\nshowpage\n", "%!PS-Adobe-3.0\nshowpage\n"},
      {"form feed in raster data does not stop", E + "*p0x0Y" + E + "*b2W" + FF + FF + "x" + FF + "tail",
       E + "*p0x0Y" + E + "*b2W" + FF + FF + "x"},
      {"raster data passes untouched", E + "*p0x0Y" + E + "*b10W" + E + "&l1X" + E + "&b1M" + FF + "tail",
       E + "*p0x0Y" + E + "*b10W" + E + "&l1X" + E + "&b1M"},
      {"data count beyond the data", E + "*p0x0Y" + E + "*b2147483647W" + E + "&b1M" + FF + "x",
       E + "*p0x0Y" + E + "*b2147483647W" + E + "&b1M" + FF + "x"},
      {"empty macro file", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CopyMacro(row.macro), row.expected);
  }
}

namespace {

class RawOverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok());
    SetIniInt(L"General", L"DeleteFilesAfter", install_.SettingsFile(), 0);
  }

  // A default scenario whose template (both orientations) has a background
  // picture and a text field.
  void UseTemplate() {
    const std::vector<BYTE> picture =
        dvfix::RecordEmfPage(printer_.Name(), nullptr, 1, [](HDC dc, int, int, int) {
          RECT r = {100, 100, 600, 400};
          FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        });
    ASSERT_FALSE(picture.empty());
    const std::wstring picturePath = install_.Path() + L"bg.emf";
    ASSERT_TRUE(dvtest::WriteFileBytes(picturePath, std::string(picture.begin(), picture.end())));
    CPageTemplate front;
    front.BackgroundPicture = picturePath;
    CFieldData field;
    field.FieldName = L"User Name";
    field.PrintText = 1;
    field.TextLeft = 20;
    field.TextTop = 20;
    field.TextFont = L"0,0,0,0,0,700,0,24,Arial";
    front.fields.push_back(field);
    const std::wstring templatePath = install_.Path() + L"front.dpt";
    front.Save(templatePath);
    const std::wstring scenario = install_.Path() + L"overlay.scn";
    SetIniString(L"General", L"PortraitDefaultTemplateFile", scenario, templatePath);
    SetIniString(L"General", L"LandscapeDefaultTemplateFile", scenario, templatePath);
    SetIniString(L"General", L"DefaultScenarioFile", install_.SettingsFile(), scenario);
  }

  int Print(const std::string& data) {
    dvfix::RawJobSpec spec;
    spec.printer = printer_.Name();
    spec.data = data;
    job_ = dvfix::SpoolRawJob(spec);
    EXPECT_GT(job_, 0);
    return dvfix::ProcessSpooledJob(job_, true, dvtest::BuiltFile(L"engine\\Jobforge.Dll"));
  }
  std::wstring MacroFile() const { return dvfix::SpoolFilePath(job_, L"Mcr"); }
  std::vector<std::string> EventCodes() const {
    std::vector<std::string> codes;
    for (const std::string& line : install_.EventLines()) {
      const size_t a = line.find(',');
      codes.push_back(line.substr(a + 1, line.find(',', a + 1) - a - 1));
    }
    return codes;
  }

  dvtest::ScopedInstallFolder install_;
  dvtest::TestPrinter printer_;
  int job_ = 0;
};

// Offsets of every occurrence of text in data.
std::vector<size_t> FindAll(const std::string& data, const std::string& text) {
  std::vector<size_t> at;
  for (size_t p = data.find(text); p != std::string::npos; p = data.find(text, p + 1)) at.push_back(p);
  return at;
}

}  // namespace

TEST_F(RawOverlayTest, EveryPageGetsItsBackgroundAndForegroundDocuments) {
  UseTemplate();
  const std::string header = E + "E" + E + "&l1O" + E + "&l26A";
  ASSERT_EQ(Print(header + E + "*p0x0Y" + "PAGE-ONE" + FF + "PAGE-TWO" + FF + E + "E"), 1);
  const std::string out = printer_.Output();

  // Four macro documents, one before and one after each page's data.
  const auto macros = FindAll(out, "%%Title: Dorvane  Job:694;Dorvane Macro File");
  ASSERT_EQ(macros.size(), 4u);
  const size_t one = out.find("PAGE-ONE");
  const size_t two = out.find("PAGE-TWO");
  ASSERT_NE(one, std::string::npos);
  ASSERT_NE(two, std::string::npos);
  EXPECT_LT(macros[0], one);
  EXPECT_GT(macros[1], one);
  EXPECT_LT(macros[1], two);
  EXPECT_LT(macros[2], two);
  EXPECT_GT(macros[3], two);
  // The job's own header comes first (the page's data starts at its
  // cursor command), and each page ends with the page
  // loop's single form feed after its foreground.
  EXPECT_EQ(out.rfind(header + "%!PS", 0), 0u) << out.substr(0, 300);
  EXPECT_NE(out.find(E + "*p0x0Y" + "PAGE-ONE"), std::string::npos);
  EXPECT_EQ(out.substr(out.size() - 3), FF + E + "E");
  // Rendered in the job's orientation (landscape from ESC&l1O).
  EXPECT_NE(out.find("%%Orientation: Landscape", macros[0]), std::string::npos);

  EXPECT_FALSE(dvtest::FileExistsAt(MacroFile()));
  EXPECT_TRUE(EventCodes().empty());
}

TEST_F(RawOverlayTest, TemplatesLandOnTheCountedPages) {
  // What the page count passes over between two pages (a raster end and
  // its form feed, a blank page's form feed) lies between page one's
  // foreground and page two's background: page two's layers are on the
  // sheet that prints PAGE-TWO.
  UseTemplate();
  struct Row {
    const char* name;
    std::string between;
  } rows[] = {
      {"a raster end", E + "*rB" + FF},
      {"a blank page", FF},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    printer_.ClearOutput();
    ASSERT_EQ(Print(E + "*p0x0Y" + "PAGE-ONE" + FF + row.between + "PAGE-TWO" + FF), 1);
    const std::string out = printer_.Output();
    // Each layer is a document of its own, from "%!PS-Adobe" to "%%EOF".
    ASSERT_EQ(FindAll(out, "%!PS-Adobe").size(), 4u);
    // Page one's foreground, the page loop's form feed, the bytes between
    // the pages, page two's background.
    EXPECT_EQ(FindAll(out, "%%EOF\n" + FF + row.between + "%!PS-Adobe").size(), 1u);
    // Page two's background, its data, its foreground.
    EXPECT_EQ(FindAll(out, "%%EOF\nPAGE-TWO%!PS-Adobe").size(), 1u);
    EXPECT_EQ(out.substr(out.size() - 7), "%%EOF\n" + FF);
  }
}

TEST_F(RawOverlayTest, MissingNodePrinterLosesOnlyTheOverlay) {
  UseTemplate();
  // On a cluster whose node printer does not exist here; the job itself
  // falls back to its own printer.
  SetIniString(L"General", L"DefaultClusterGroup", install_.SettingsFile(), L"NOCLUSTER");
  const std::wstring node = install_.Path() + L"CurNode.ini";
  SetIniString(L"General", L"NodeName", node, L"NODE1");
  SetIniString(L"General", L"NodePrinter", node, L"Missing Printer");
  // A macro file left over from an earlier job must not be copied.
  const int next = GetIniInt(L"General", L"LastJobNumber", install_.SettingsFile(), 0) + 1;
  ASSERT_TRUE(dvtest::WriteFileBytes(dvfix::SpoolFilePath(next, L"Mcr"), "STALE"));

  const std::string data = E + "*p0x0Y" + "PAGE-ONE" + FF;
  ASSERT_EQ(Print(data), 1);
  ASSERT_EQ(job_, next);
  EXPECT_EQ(printer_.Output(), E + "&l0S" + data);  // one page: one-sided
  EXPECT_EQ(EventCodes(), (std::vector<std::string>{"1004", "1004", "1004", "1013", "1004", "1004", "1004", "1013"}));
  const auto lines = install_.EventLines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[1].substr(lines[1].size() - printer_.Name().size() - 1), "," + dv::ToUtf8(printer_.Name()));
  const std::string nodePrinter = ",\\\\NODE1\\Missing Printer";
  EXPECT_EQ(lines[2].substr(lines[2].size() - nodePrinter.size()), nodePrinter);
  EXPECT_FALSE(dvtest::FileExistsAt(MacroFile()));
}
