// Page templates on printed EMF jobs: jobs spooled by the stand-in print
// processor and printed through the engine library with a scenario chosen
// by the settings, rendered by Ghostscript. At 600 dpi a device pixel is a
// rendered pixel, and the printable area starts 150 pixels in from the
// paper's edges, so a template's millimetres from the paper's edge can be
// looked up directly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/PageTemplate.h"
#include "common/StringUtil.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/EmfSpool.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

constexpr int kDpi = 600;
constexpr int kOffset = 150;  // the test driver's physical offsets

// Rendered pixel of a position in millimetres from the paper's edge.
int Px(double mm) { return static_cast<int>(kDpi * mm / 25.4); }

// Fills a rectangle given in paper millimetres on a context whose origin is
// the printable area (a page or a picture recorded on the printer).
void FillMm(HDC dc, double left, double top, double right, double bottom, COLORREF colour) {
  dv::GdiObject brush(CreateSolidBrush(colour));
  RECT r = {Px(left) - kOffset, Px(top) - kOffset, Px(right) - kOffset, Px(bottom) - kOffset};
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

bool Near(uint32_t pixel, COLORREF c) {
  const int want[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  for (int i = 0; i < 3; ++i)
    if (std::abs(static_cast<int>((pixel >> (16 - 8 * i)) & 0xFF) - want[i]) > 40) return false;
  return true;
}

int CountColour(const dvtest::RenderedPage& page, int x0, int y0, int x1, int y1, COLORREF c) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (Near(page.Pixel(x, y), c)) ++n;
  return n;
}

// The box of all ink inside a search rectangle; empty (left > right) when
// there is none.
RECT InkBox(const dvtest::RenderedPage& page, int x0, int y0, int x1, int y1) {
  RECT box = {x1, y1, x0, y0};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (page.IsInk(x, y)) {
        if (x < box.left) box.left = x;
        if (x > box.right) box.right = x;
        if (y < box.top) box.top = y;
        if (y > box.bottom) box.bottom = y;
      }
  return box;
}

class TemplatePrintTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer.ok());
    SetIniInt(L"General", L"DeleteFilesAfter", install.SettingsFile(), 0);
    SetIniString(L"General", L"DefaultScenarioFile", install.SettingsFile(), Scn());
  }
  std::wstring Scn() const { return install.Path() + L"print.scn"; }
  std::wstring Path(const wchar_t* name) const { return install.Path() + name; }

  // A picture file recorded on the printer over its printable area, so it
  // plays back unscaled.
  std::wstring Picture(const wchar_t* name, const dvfix::PageDrawer& draw) const {
    const std::vector<BYTE> bytes = dvfix::RecordEmfPage(printer.Name(), nullptr, 1, draw);
    EXPECT_FALSE(bytes.empty());
    const std::wstring path = Path(name);
    EXPECT_TRUE(dvtest::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));
    return path;
  }

  std::vector<dvtest::RenderedPage> PrintAndRender(dvfix::EmfJobSpec spec, int dpi) {
    spec.printer = printer.Name();
    printer.ClearOutput();
    job = dvfix::SpoolEmfJob(spec);
    EXPECT_GT(job, 0);
    EXPECT_EQ(dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll")), 1);
    return dvtest::RenderPostScript(printer.OutputFile(), dpi);
  }

  static CFieldData TextField(const wchar_t* name, int left, int top, int direction, const wchar_t* font) {
    CFieldData f;
    f.FieldName = name;
    f.PrintText = 1;
    f.TextLeft = left;
    f.TextTop = top;
    f.TextDirection = direction;
    f.TextFont = font;
    return f;
  }

  dvtest::ScopedInstallFolder install;
  dvtest::TestPrinter printer;
  int job = 0;
};

TEST_F(TemplatePrintTest, LayersAndTextFieldsLandWhereTheTemplateSays) {
  CPageTemplate front;
  front.BackgroundPicture = Picture(L"bg.emf", [](HDC dc, int, int, int) {
    FillMm(dc, 10, 10, 100, 60, RGB(0, 0, 255));
  });
  front.ForgroundPicture = Picture(L"fg.emf", [](HDC dc, int, int, int) {
    FillMm(dc, 80, 40, 120, 80, RGB(255, 0, 0));
  });
  const wchar_t kBlack24[] = L"0,0,0,0,0,700,0,24,Arial";
  front.fields.push_back(TextField(L"User Name", 20, 100, 0, kBlack24));
  front.fields.push_back(TextField(L"Document Name", 30, 250, 90, kBlack24));
  CFieldData literal = TextField(L"Time", 150, 150, 270, kBlack24);
  literal.DataFormat = L"TTTT";  // no conversion: printed as written
  front.fields.push_back(literal);
  front.fields.push_back(TextField(L"Machine Name", 85, 62, 0, L"40960,0,0,0,0,700,0,20,Arial"));  // green
  front.Save(Path(L"front.dpt"));
  SetIniString(L"General", L"PortraitDefaultTemplateFile", Scn(), Path(L"front.dpt"));

  dvfix::EmfJobSpec spec;
  spec.user = L"alice";
  spec.document = L"Quarterly report";
  spec.machine = L"WMWM";
  // The page covers the right half of the background in white.
  spec.draw = [](HDC dc, int, int, int) { FillMm(dc, 55, 10, 100, 60, RGB(255, 255, 255)); };
  const auto pages = PrintAndRender(spec, kDpi);
  ASSERT_EQ(pages.size(), 1u);
  const dvtest::RenderedPage& p = pages[0];

  // Background under the page, foreground over both.
  EXPECT_PRED2(Near, p.Pixel(Px(20), Px(30)), RGB(0, 0, 255));
  EXPECT_PRED2(Near, p.Pixel(Px(12), Px(12)), RGB(0, 0, 255));
  EXPECT_PRED2(Near, p.Pixel(Px(8), Px(8)), RGB(255, 255, 255));
  EXPECT_PRED2(Near, p.Pixel(Px(70), Px(30)), RGB(255, 255, 255));
  EXPECT_PRED2(Near, p.Pixel(Px(90), Px(50)), RGB(255, 0, 0));
  EXPECT_PRED2(Near, p.Pixel(Px(115), Px(78)), RGB(255, 0, 0)) << "foreground outside the page";

  // Upright text: its ink starts at the field's top-left corner.
  {
    SCOPED_TRACE("User Name, 0 degrees");
    const int x = Px(20), y = Px(100);
    const RECT ink = InkBox(p, x - 100, y - 100, x + 1000, y + 400);
    ASSERT_LT(ink.left, ink.right);
    EXPECT_GE(ink.left, x - 3);
    EXPECT_LE(ink.left, x + 40);
    EXPECT_GE(ink.top, y - 3);
    EXPECT_LE(ink.top, y + 80);
    EXPECT_GT(ink.right - ink.left, ink.bottom - ink.top);  // a line across
  }
  // Turned 90: the line runs up from the corner, the glyphs to its right.
  {
    SCOPED_TRACE("Document Name, 90 degrees");
    const int x = Px(30), y = Px(250);
    const RECT ink = InkBox(p, x - 200, y - 2500, x + 1500, y + 300);
    ASSERT_LT(ink.left, ink.right);
    EXPECT_GE(ink.left, x - 3);
    EXPECT_LE(ink.left, x + 80);
    EXPECT_LE(ink.bottom, y + 3);
    EXPECT_GE(ink.bottom, y - 40);
    EXPECT_GT(ink.bottom - ink.top, 3 * (ink.right - ink.left));  // a line upward
  }
  // Turned 270: the line runs down from the corner, the glyphs to its left.
  {
    SCOPED_TRACE("Time, 270 degrees");
    const int x = Px(150), y = Px(150);
    const RECT ink = InkBox(p, x - 400, y - 300, x + 300, y + 1200);
    ASSERT_LT(ink.left, ink.right);
    EXPECT_LE(ink.right, x + 3);
    EXPECT_GE(ink.right, x - 80);
    EXPECT_GE(ink.top, y - 3);
    EXPECT_LE(ink.top, y + 40);
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));  // a line downward
  }
  // Green text drawn over the red foreground.
  {
    SCOPED_TRACE("Machine Name, green over the foreground");
    const int x = Px(85), y = Px(62);
    EXPECT_GT(CountColour(p, x, y, Px(118), Px(78), RGB(0, 160, 0)), 500);
    EXPECT_EQ(CountColour(p, Px(81), Px(58), x - 3, Px(78), RGB(0, 160, 0)), 0);
    EXPECT_EQ(CountColour(p, x, y, Px(118), Px(78), RGB(0, 0, 0)), 0) << "no black: the font's colour";
  }
}

TEST_F(TemplatePrintTest, BacksideTemplateMakesAPageAfterEverySheet) {
  CPageTemplate front;
  front.BackgroundPicture = Picture(L"front.emf", [](HDC dc, int, int, int) {
    FillMm(dc, 10, 10, 60, 60, RGB(0, 0, 0));
  });
  front.Save(Path(L"front.dpt"));
  CPageTemplate back;
  back.ForgroundPicture = Picture(L"back.emf", [](HDC dc, int, int, int) {
    FillMm(dc, 80, 120, 130, 170, RGB(0, 0, 0));
  });
  back.Save(Path(L"back.dpt"));
  SetIniString(L"General", L"PortraitDefaultTemplateFile", Scn(), Path(L"front.dpt"));
  SetIniString(L"General", L"PortraitBacksideTemplateFile", Scn(), Path(L"back.dpt"));
  const std::wstring description = Path(L"front.dpt") + L", Backside = " + Path(L"back.dpt");

  struct Row {
    const char* name;
    int pages, pagesPerSide;
    int sheets;  // front sheets, each followed by its back page
  } rows[] = {
      {"1-up: a back page after every page", 2, 1, 2},
      {"4-up: sheets of four pages", 5, 4, 2},
      {"4-up, one full sheet", 4, 4, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    dvfix::EmfJobSpec spec;
    spec.pages = r.pages;
    spec.pagesPerSide = r.pagesPerSide;
    spec.draw = [](HDC, int, int, int) {};  // blank pages: only the layers print
    const int dpi = 50;
    const auto pages = PrintAndRender(spec, dpi);
    ASSERT_EQ(static_cast<int>(pages.size()), 2 * r.sheets);
    auto at = [dpi](double mm) { return static_cast<int>(dpi * mm / 25.4); };
    for (size_t i = 0; i < pages.size(); ++i) {
      SCOPED_TRACE(i);
      const bool isBack = i % 2 == 1;
      EXPECT_GT(pages[i].InkRatio(at(15), at(15), at(55), at(55)), isBack ? -1.0 : 0.95);
      EXPECT_LT(pages[i].InkRatio(at(15), at(15), at(55), at(55)), isBack ? 0.01 : 2.0);
      EXPECT_GT(pages[i].InkRatio(at(85), at(125), at(125), at(165)), isBack ? 0.95 : -1.0);
      EXPECT_LT(pages[i].InkRatio(at(85), at(125), at(125), at(165)), isBack ? 2.0 : 0.01);
    }
    // Every page keeps its own key.
    const std::wstring ctl = dvfix::SpoolFilePath(job, L"Ctl");
    for (int p = 1; p <= r.pages; ++p)
      EXPECT_EQ(GetIniString(L"PageTemplates", std::to_wstring(p), ctl), description) << p;
  }
}

TEST_F(TemplatePrintTest, MissingPicturesAndTemplateFilesDrawNothing) {
  const std::wstring good = Picture(L"good.emf", [](HDC dc, int, int, int) {
    FillMm(dc, 10, 10, 60, 60, RGB(0, 0, 0));
  });
  ASSERT_TRUE(dvtest::WriteFileBytes(Path(L"notemf.emf"), "not a metafile"));
  // One layer's picture cannot be played; the other layer still is.
  struct Row {
    const char* name;
    std::wstring background;
    std::wstring foreground;
  } rows[] = {
      {"background missing", Path(L"missing.emf"), good},
      {"background a folder", install.Path(), good},
      {"background not a metafile", Path(L"notemf.emf"), good},
      {"foreground missing", good, Path(L"missing.emf")},
      {"foreground a folder", good, install.Path()},
      {"foreground not a metafile", good, Path(L"notemf.emf")},
  };
  SetIniString(L"General", L"PortraitDefaultTemplateFile", Scn(), Path(L"front.dpt"));
  SetIniString(L"General", L"PortraitBacksideTemplateFile", Scn(), Path(L"nowhere.dpt"));
  const int dpi = 20;
  auto at = [dpi](double mm) { return static_cast<int>(dpi * mm / 25.4); };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CPageTemplate front;
    front.BackgroundPicture = row.background;
    front.ForgroundPicture = row.foreground;
    front.Save(Path(L"front.dpt"));

    dvfix::EmfJobSpec spec;
    spec.draw = [](HDC, int, int, int) {};
    const auto pages = PrintAndRender(spec, dpi);
    // The missing backside file still counts as a template file: its page
    // is printed, blank, as the scenario asks.
    ASSERT_EQ(pages.size(), 2u);
    const dvtest::RenderedPage& page = pages[0];
    EXPECT_GT(page.InkRatio(at(15), at(15), at(55), at(55)), 0.95);
    EXPECT_EQ(page.InkRatio(at(65), 0, page.width, page.height), 0.0);
    EXPECT_EQ(page.InkRatio(0, at(65), page.width, page.height), 0.0);
    EXPECT_EQ(pages[1].InkRatio(0, 0, pages[1].width, pages[1].height), 0.0);
  }
}

TEST_F(TemplatePrintTest, DamagedPictureDrawsNothing) {
  // A picture whose second record has the size 0: GDI loads it, and playing
  // it never returns.
  std::vector<BYTE> damaged = dvfix::RecordEmfPage(printer.Name(), nullptr, 1, [](HDC dc, int, int, int) {
    FillMm(dc, 10, 10, 60, 60, RGB(0, 0, 0));
  });
  ASSERT_GT(damaged.size(), 100u);
  uint32_t headerSize = 0;
  memcpy(&headerSize, &damaged[4], 4);
  memset(&damaged[headerSize + 4], 0, 4);
  ASSERT_TRUE(dvtest::WriteFileBytes(Path(L"damaged.emf"), std::string(damaged.begin(), damaged.end())));
  CPageTemplate front;
  front.BackgroundPicture = Path(L"damaged.emf");
  front.Save(Path(L"front.dpt"));
  SetIniString(L"General", L"PortraitDefaultTemplateFile", Scn(), Path(L"front.dpt"));

  dvfix::EmfJobSpec spec;
  spec.draw = [](HDC, int, int, int) {};
  const auto pages = PrintAndRender(spec, 20);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].InkRatio(0, 0, pages[0].width, pages[0].height), 0.0);
}

}  // namespace
