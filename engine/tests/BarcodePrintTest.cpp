// Barcode fields on printed EMF jobs: jobs spooled by the stand-in print
// processor and printed through the engine library with a scenario whose
// template holds barcode fields, rendered by Ghostscript. The bars stand at
// the field's rectangle with the module width worked out from its
// millimetres; without the encoder library every barcode prints silver.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/FieldData.h"
#include "common/InstallFolder.h"
#include "common/PageTemplate.h"
#include "engine/BarcodeDrawing.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

constexpr int kDpi = 600;  // the test driver's resolution: a device unit is a rendered pixel

// Paper pixel (at kDpi) of a millimetre position, as the field converts it.
int PaperPixel(int mm) { return static_cast<int>(std::trunc(kDpi * (mm / 25.4))); }

CFieldData BarcodeField(const wchar_t* name, int type, int rotation, int left, int top, int width, int height) {
  CFieldData field;
  field.FieldName = name;
  field.PrintBarcode = 1;
  field.BarcodeType = type;
  field.BarcodeRotate = rotation;
  field.BarcodeLeft = left;
  field.BarcodeTop = top;
  field.BarcodeWidth = width;
  field.BarcodeHeight = height;
  return field;
}

class BarcodePrint : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer.ok());
    SetIniInt(L"General", L"DeleteFilesAfter", install.SettingsFile(), 0);
    SetIniString(L"General", L"DefaultScenarioFile", install.SettingsFile(), install.Path() + L"print.scn");
  }

  void UseTemplate(const CPageTemplate& page) {
    const std::wstring file = install.Path() + L"barcodes.dpt";
    page.Save(file);
    SetIniString(L"General", L"PortraitDefaultTemplateFile", install.Path() + L"print.scn", file);
  }

  // Prints a job of blank pages through the engine and renders it.
  std::vector<dvtest::RenderedPage> PrintAndRender(dvfix::EmfJobSpec spec, int dpi) {
    spec.printer = printer.Name();
    spec.draw = [](HDC, int, int, int) {};
    printer.ClearOutput();
    const int job = dvfix::SpoolEmfJob(spec);
    EXPECT_GT(job, 0);
    EXPECT_EQ(dvfix::ProcessSpooledJob(job, false, dvtest::BuiltFile(L"engine\\Jobforge.Dll")), 1);
    return dvtest::RenderPostScript(printer.OutputFile(), dpi);
  }

  static std::string ModuleString(const std::wstring& text, int symbology) {
    std::vector<char> bits(CoBarcode::kBitsBufferSize, 0);
    CoBarcode::GetBarcodeBits(text, symbology, bits.data());
    return bits.data();
  }

  dvtest::ScopedInstallFolder install;
  dvtest::TestPrinter printer;
};

}  // namespace

TEST_F(BarcodePrint, FieldsPrintBarsOfTheirModuleWidthInTheirRectangles) {
  ASSERT_TRUE(install.Install(dvtest::BuiltFile(L"barcode\\Strimlet.dll")));
  // EAN-13 with guards from the document name (its check digit appended),
  // Code 128 Auto of the user name turned by 90 degrees.
  CPageTemplate page;
  page.fields.push_back(BarcodeField(kFieldDocumentName, 12, 0, 20, 30, 50, 20));
  page.fields.push_back(BarcodeField(kFieldUserName, 0, 90, 100, 30, 20, 60));
  UseTemplate(page);

  dvfix::EmfJobSpec spec;
  spec.user = L"DORVANE";
  spec.document = L"400638133393";
  const auto pages = PrintAndRender(spec, kDpi);
  ASSERT_EQ(pages.size(), 1u);
  const dvtest::RenderedPage& p = pages[0];

  const std::string ean = ModuleString(L"4006381333931", 11);
  const std::string code128 = ModuleString(L"DORVANE", 0);
  ASSERT_EQ(ean.size(), 95u);
  ASSERT_EQ(code128.size(), 11u * 9 + 13);

  {
    SCOPED_TRACE("EAN-13 at 0 degrees");
    // Device rectangle 322..1503 wide: a thirteenth (90) off the left,
    // 1091 / 95 gives modules of 11 units.
    const int left = PaperPixel(20), right = PaperPixel(70), top = PaperPixel(30), bottom = PaperPixel(50);
    const int margin = (right - left) / 13;
    const int w = (right - left - margin) / 95;
    ASSERT_EQ(w, 11);
    const int start = left + margin;
    const int shortEnd = top + static_cast<int>(0.75 * (bottom - top));
    for (int i = 0; i < 95; ++i) {
      SCOPED_TRACE(i);
      const int x = start + i * w + w / 2;
      const bool bar = ean[i] == '1';
      ASSERT_EQ(p.IsInk(x, top + 3), bar);
      ASSERT_EQ(p.IsInk(x, bottom - 4), bar && !CoBarcode::IsShortModule(12, i));
      // Short bars end three quarters down the rectangle.
      if (bar && CoBarcode::IsShortModule(12, i)) {
        ASSERT_TRUE(p.IsInk(x, shortEnd - 4));
        ASSERT_FALSE(p.IsInk(x, shortEnd + 4));
      }
    }
    // Every run of ink across the top is a whole number of modules wide.
    int run = 0;
    for (int x = start - 2; x < start + 95 * w + 2; ++x) {
      if (p.IsInk(x, top + 3)) {
        ++run;
      } else if (run) {
        EXPECT_LE(std::abs(run - (run + w / 2) / w * w), 1) << "run of " << run << " ending at " << x;
        run = 0;
      }
    }
    // Nothing in the margin nor after the last module.
    EXPECT_EQ(p.InkRatio(left + 2, top + 2, start - 2, bottom - 2), 0.0);
    EXPECT_EQ(p.InkRatio(start + 95 * w + 2, top + 2, right - 2, bottom - 2), 0.0);
  }
  {
    SCOPED_TRACE("Code 128 at 90 degrees");
    const int left = PaperPixel(100), right = PaperPixel(120), top = PaperPixel(30), bottom = PaperPixel(90);
    const int n = static_cast<int>(code128.size());
    const int w = (bottom - top) / n;
    ASSERT_EQ(w, 12);
    // Module 0 at the bottom of the drawn area, the last at the top edge.
    for (int i = 0; i < n; ++i) {
      SCOPED_TRACE(i);
      const int y = top + (n - 1 - i) * w + w / 2;
      ASSERT_EQ(p.IsInk(left + 3, y), code128[i] == '1');
      ASSERT_EQ(p.IsInk(right - 4, y), code128[i] == '1');
    }
    EXPECT_EQ(p.InkRatio(left + 2, top + n * w + 2, right - 2, bottom - 2), 0.0);
  }
}

TEST_F(BarcodePrint, MissingLibraryPrintsSilverAndLogsPerBarcode) {
  // No Strimlet.dll in the install folder.
  CPageTemplate page;
  page.fields.push_back(BarcodeField(kFieldUserName, 0, 0, 20, 30, 60, 20));
  CFieldData text;
  text.FieldName = kFieldPrinterName;
  text.PrintText = 1;
  text.TextLeft = 20;
  text.TextTop = 80;
  text.TextFont = L"0,0,0,0,0,700,0,28,Arial";
  page.fields.push_back(text);
  UseTemplate(page);

  dvfix::EmfJobSpec spec;
  spec.pages = 2;
  const auto pages = PrintAndRender(spec, 150);
  ASSERT_EQ(pages.size(), 2u);

  int events = 0;
  for (const std::string& line : install.EventLines()) events += line.find(",1014,") != std::string::npos;
  EXPECT_EQ(events, 2);  // once per barcode per page

  // A silver block over the middle of the 20..80 mm by 30..50 mm rectangle
  // (150 dpi here); the text field still prints.
  const int cx = static_cast<int>(150 * 50 / 25.4), cy = static_cast<int>(150 * 40 / 25.4);
  for (const dvtest::RenderedPage& sheet : pages) {
    // PostScript carries the grey as a fraction: allow one step per channel.
    const uint32_t pixel = sheet.Pixel(cx, cy);
    for (int shift : {0, 8, 16}) EXPECT_NEAR(static_cast<int>((pixel >> shift) & 0xFF), 0xC0, 1) << std::hex << pixel;
    EXPECT_GT(sheet.InkRatio(static_cast<int>(150 * 20 / 25.4), static_cast<int>(150 * 80 / 25.4),
                             static_cast<int>(150 * 80 / 25.4), static_cast<int>(150 * 90 / 25.4)),
              0.01);
  }
}
