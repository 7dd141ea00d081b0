// CoBarcode painting into a memory device context: module positions and
// widths at the four rotations, the short data modules of the guard forms,
// the margins, the silver block of a failed barcode and empty rectangles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "engine/BarcodeDrawing.h"
#include "tests/support/TestEnv.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

// A white 32-bit bitmap selected into a memory context.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_.get(), bitmap_.get());
    for (int i = 0; i < width * height; ++i) pixels_[i] = kWhite;
  }
  ~Canvas() { SelectObject(dc_.get(), old_); }

  HDC dc() const { return dc_.get(); }
  // 0xRRGGBB of a pixel (the DIB holds blue in the low byte, as 0xRRGGBB).
  uint32_t At(int x, int y) const {
    GdiFlush();
    return pixels_[y * width_ + x] & 0xFFFFFF;
  }
  bool Ink(int x, int y) const { return At(x, y) == 0; }
  // Pixels that are not white outside a rectangle.
  int PaintedOutside(const RECT& r) const {
    int count = 0;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        if (!inside && At(x, y) != kWhite) ++count;
      }
    }
    return count;
  }
  int Painted() const { return PaintedOutside(RECT{0, 0, 0, 0}); }
  bool AllOf(const RECT& r, uint32_t colour) const {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        if (At(x, y) != colour) return false;
      }
    }
    return true;
  }

 private:
  int width_;
  int height_;
  dv::DcHandle dc_;
  dv::GdiObject bitmap_;
  HGDIOBJ old_ = nullptr;
  uint32_t* pixels_ = nullptr;
};

// The data characters of the guard forms, from the symbol structure of
// ISO/IEC 15420: (first module, number of 7-module characters) after the
// start guard and after the centre guard. Their modules are drawn short;
// the guards, and UPC-A's number system and check digits, stay full
// height.
struct DataCharacters {
  int first;
  int count;
};
std::vector<DataCharacters> ShortCharacters(int type) {
  switch (type) {
    case 12: return {{3, 6}, {50, 6}};   // EAN-13: 101, 6 chars, 01010, 6 chars, 101
    case 13: return {{3, 4}, {36, 4}};   // EAN-8: 101, 4 chars, 01010, 4 chars, 101
    case 14: return {{3, 6}};            // UPC-E: 101, 6 chars, 010101
    case 15: return {{10, 5}, {50, 5}};  // UPC-A: as EAN-13, first and last digit long
    default: return {};
  }
}
bool IsShortByStandard(int type, int module) {
  for (const DataCharacters& d : ShortCharacters(type))
    if (module >= d.first && module < d.first + 7 * d.count) return true;
  return false;
}

class BarcodeDrawing : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(install_.Install(dvtest::BuiltFile(L"barcode\\Strimlet.dll"))); }

  static std::string Bits(const std::wstring& text, int symbology) {
    std::vector<char> bits(CoBarcode::kBitsBufferSize, 0);
    CoBarcode::GetBarcodeBits(text, symbology, bits.data());
    return bits.data();
  }
  static void Draw(const Canvas& canvas, int type, const std::wstring& text, const RECT& r, int rotation) {
    CoBarcode barcode;
    barcode.SetData(text);
    barcode.SetType(type);
    barcode.Draw(canvas.dc(), r, rotation);
  }

  dvtest::ScopedInstallFolder install_;
};

}  // namespace

TEST_F(BarcodeDrawing, ModulesAtEveryRotation) {
  // EAN-13 in its guard form (type 12) and flat (type 11). The rectangle is
  // 260 long on the bar axis: type 12 takes 260 / 13 = 20 off the start,
  // leaving 240 for 95 modules of width 2.
  const std::string bits = Bits(L"4006381333931", 11);
  ASSERT_EQ(bits.size(), 95u);
  struct Row {
    const char* name;
    int type;
    int rotation;
  };
  const Row rows[] = {
      {"guard 0", 12, 0},   {"guard 90", 12, 90},   {"guard 180", 12, 180}, {"guard 270", 12, 270},
      {"guard 45", 12, 45}, {"flat 0", 11, 0},      {"flat 90", 11, 90},    {"flat 180", 11, 180},
      {"flat 270", 11, 270},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const bool turned = row.rotation == 90 || row.rotation == 270;
    const RECT r = turned ? RECT{30, 20, 90, 280} : RECT{20, 30, 280, 90};
    Canvas canvas(320, 320);
    Draw(canvas, row.type, L"400638133393", r, row.rotation);
    EXPECT_EQ(canvas.PaintedOutside(r), 0);

    const bool guard = row.type == 12;
    const int margin = guard ? 20 : 0;
    const int w = 2;  // 240 / 95 and 260 / 95 both give 2
    for (int i = 0; i < 95; ++i) {
      SCOPED_TRACE(i);
      const bool bar = bits[i] == '1';
      const bool isShort = guard && IsShortByStandard(12, i);
      // Centre of module i along the bar axis, and a point at the side where
      // every bar reaches (anchored) and at the side only full bars reach.
      int along = 0, anchoredX = 0, anchoredY = 0, farX = 0, farY = 0;
      switch (row.rotation) {
        case 90:  // module 0 at the bottom of the drawn area; short bars from the left edge
          along = r.top + (94 - i) * w + w / 2;
          anchoredX = r.left;
          farX = r.right - 1;
          anchoredY = farY = along;
          break;
        case 180:  // module 0 at the right; short bars stand on the bottom
          along = r.left + (94 - i) * w + w / 2;
          anchoredY = r.bottom - 1;
          farY = r.top;
          anchoredX = farX = along;
          break;
        case 270:  // module 0 at the top (after the margin); short bars reach the right edge
          along = r.top + margin + i * w + w / 2;
          anchoredX = r.right - 1;
          farX = r.left;
          anchoredY = farY = along;
          break;
        default:  // module 0 at the left (after the margin); short bars hang from the top
          along = r.left + margin + i * w + w / 2;
          anchoredY = r.top;
          farY = r.bottom - 1;
          anchoredX = farX = along;
          break;
      }
      ASSERT_EQ(canvas.Ink(anchoredX, anchoredY), bar);
      ASSERT_EQ(canvas.Ink(farX, farY), bar && !isShort);
    }
  }
}

TEST_F(BarcodeDrawing, Ean13MarginAndModuleWidth) {
  // Twelve digits get their check digit; 1300 wide: L moves right by 100,
  // 1200 / 95 = 12.6 gives modules of 12.
  Canvas canvas(1400, 60);
  const RECT r = {10, 5, 1310, 55};
  Draw(canvas, 12, L"400638133393", r, 0);
  EXPECT_FALSE(canvas.Ink(109, 6));
  // Start guard 101 from L + 100.
  EXPECT_TRUE(canvas.AllOf(RECT{110, 5, 122, 55}, 0));
  EXPECT_TRUE(canvas.AllOf(RECT{122, 5, 134, 55}, kWhite));
  EXPECT_TRUE(canvas.AllOf(RECT{134, 5, 146, 55}, 0));
  // The 95 modules end at L + 100 + 1140; the rest stays blank.
  EXPECT_TRUE(canvas.Ink(110 + 94 * 12, 6));
  EXPECT_TRUE(canvas.AllOf(RECT{110 + 95 * 12, 5, 1310, 55}, kWhite));
  // Short data bars: three quarters of 50.
  const std::string bits = Bits(L"4006381333931", 11);
  int dataBar = 3;
  while (bits[dataBar] != '1') ++dataBar;
  EXPECT_TRUE(canvas.Ink(110 + dataBar * 12, 5 + 37 - 1));
  EXPECT_FALSE(canvas.Ink(110 + dataBar * 12, 5 + 37));
}

TEST_F(BarcodeDrawing, GuardFormsKeepGuardsLong) {
  struct Row {
    const char* name;
    int type;
    const wchar_t* text;
    int symbology;
    const wchar_t* prepared;
    std::vector<int> longBars;  // guard bars that stay full height
  };
  const Row rows[] = {
      {"EAN-13", 12, L"400638133393", 11, L"4006381333931", {0, 2, 46, 48, 92, 94}},
      {"EAN-8", 13, L"9638507", 4, L"96385074", {0, 2, 32, 34, 64, 66}},
      {"UPC-E", 14, L"123456", 5, L"1234565", {0, 2, 46, 48, 50}},
      {"UPC-A", 15, L"03600029145", 6, L"036000291452", {0, 2, 46, 48, 92, 94}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string bits = Bits(row.prepared, row.symbology);
    ASSERT_FALSE(bits.empty());
    const int n = static_cast<int>(bits.size());
    // 2 modules each; EAN-13 takes a thirteenth off the start, UPC-A a
    // twelfth off both ends.
    const int length = row.type == 15 ? 2 * n * 12 / 10 : (row.type == 12 ? 2 * n * 13 / 12 : 2 * n);
    const int margin = row.type == 15 || row.type == 12 ? length / (row.type == 15 ? 12 : 13) : 0;
    Canvas canvas(length + 20, 60);
    const RECT r = {10, 10, 10 + length, 50};
    Draw(canvas, row.type, row.text, r, 0);
    const int w = (length - (row.type == 15 ? 2 : 1) * margin) / n;
    ASSERT_EQ(w, 2);
    for (int m : row.longBars) {
      SCOPED_TRACE(m);
      ASSERT_EQ(bits[m], '1');
      EXPECT_TRUE(canvas.Ink(10 + margin + m * w, 49));
    }
    // Every bar: from the top, and down to the bottom unless it belongs to
    // a data character.
    for (int m = 0; m < n; ++m) {
      if (bits[m] != '1') continue;
      EXPECT_TRUE(canvas.Ink(10 + margin + m * w, 10)) << m;
      EXPECT_EQ(canvas.Ink(10 + margin + m * w, 49), !IsShortByStandard(row.type, m)) << m;
    }
  }
  // UPC-A's first and last digits are drawn long with the guards.
  EXPECT_FALSE(CoBarcode::IsShortModule(15, 9));
  EXPECT_TRUE(CoBarcode::IsShortModule(15, 10));
  EXPECT_FALSE(CoBarcode::IsShortModule(15, 84));
}

TEST_F(BarcodeDrawing, GuardMarginsAtEveryRotation) {
  // Bar-axis lengths at which the margin changes the module width: EAN-13
  // in 195 takes 15 off one end (180 / 95 gives 1, 195 / 95 would give 2),
  // UPC-A in 200 takes 16 off both ends (168 / 95 gives 1; 200 / 95 would
  // give 2). Along the bar axis, from the rectangle's start: where the
  // modules begin, and whether module 0 comes first or last.
  struct Row {
    int type;
    int rotation;
    int length;
    int start;      // first drawn position along the axis
    bool reversed;  // module 0 at the far end of the drawn modules
  };
  const Row rows[] = {
      {12, 0, 195, 15, false},  {12, 90, 195, 0, true},   {12, 180, 195, 0, true},  {12, 270, 195, 15, false},
      {15, 0, 200, 16, false},  {15, 90, 200, 16, true},  {15, 180, 200, 16, true}, {15, 270, 200, 16, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "type " << row.type << " at " << row.rotation);
    const std::string bits = Bits(row.type == 12 ? L"4006381333931" : L"036000291452", row.type == 12 ? 11 : 6);
    ASSERT_EQ(bits.size(), 95u);
    const bool turned = row.rotation == 90 || row.rotation == 270;
    const RECT drawn = turned ? RECT{30, 20, 90, 20 + row.length} : RECT{20, 30, 20 + row.length, 90};
    Canvas canvas(320, 320);
    Draw(canvas, row.type, row.type == 12 ? L"400638133393" : L"03600029145", drawn, row.rotation);
    for (int a = 0; a < row.length; ++a) {
      // A point of every bar: short bars hang from the top at 0, stand on
      // the bottom at 180, reach the right edge at 270 and the left at 90.
      int x = 0, y = 0;
      switch (row.rotation) {
        case 90: x = drawn.left, y = drawn.top + a; break;
        case 180: x = drawn.left + a, y = drawn.bottom - 1; break;
        case 270: x = drawn.right - 1, y = drawn.top + a; break;
        default: x = drawn.left + a, y = drawn.top; break;
      }
      const int i = a - row.start;
      const bool inside = i >= 0 && i < 95;
      const int module = row.reversed ? 94 - i : i;
      ASSERT_EQ(canvas.Ink(x, y), inside && bits[module] == '1') << "at " << a;
    }
  }
}

TEST_F(BarcodeDrawing, FailedBarcodesAreSilverBlocks) {
  struct Row {
    const char* name;
    int type;
    std::wstring text;
    int width;
  };
  const Row rows[] = {
      {"Code 39 refuses a byte above 127", 2, L"caf\x00E9", 400},
      {"Code 128C refuses a letter", 10, L"12A4", 400},
      {"rectangle shorter than the modules", 12, L"400638133393", 50},
      {"wrong EAN-13 check digit", 11, L"4006381333932", 400},
      {"wrong UPC-A check digit", 6, L"036000291453", 400},
      {"UPC-E of a number with no UPC-E form", 5, L"012345678905", 400},
      {"UPC-E of a UPC-A number with a wrong check digit", 14, L"042100005265", 400},
      {"EAN-13 of 14 digits", 11, L"40063813339315", 400},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Canvas canvas(row.width + 20, 60);
    const RECT r = {10, 10, 10 + row.width, 50};
    Draw(canvas, row.type, row.text, r, 0);
    RECT area = r;
    if (row.type == 12) area.left += row.width / 13;
    EXPECT_TRUE(canvas.AllOf(area, CoBarcode::kSilver));
    EXPECT_EQ(canvas.PaintedOutside(area), 0);
  }
  // The right UPC-A number given to a UPC-E field prints bars.
  Canvas canvas(220, 60);
  Draw(canvas, 14, L"042100005264", RECT{10, 10, 210, 50}, 0);
  EXPECT_TRUE(canvas.Ink(10, 10));
  EXPECT_FALSE(canvas.AllOf(RECT{10, 10, 210, 50}, CoBarcode::kSilver));
}

TEST_F(BarcodeDrawing, EmptyOrInvertedRectanglesPaintNothing) {
  struct Row {
    const char* name;
    int type;
    const wchar_t* text;
    RECT r;
    int rotation;
  };
  const Row rows[] = {
      {"zero width", 0, L"ABC", {100, 20, 100, 60}, 0},
      {"negative width", 0, L"ABC", {200, 20, 100, 60}, 0},
      {"negative height", 0, L"ABC", {20, 60, 300, 20}, 0},
      {"negative length at 90", 0, L"ABC", {20, 300, 60, 20}, 90},
      {"negative width at 270", 0, L"ABC", {60, 20, 20, 300}, 270},
      {"refused text, negative width", 10, L"A", {200, 20, 100, 60}, 0},
      {"guard form, negative width", 12, L"400638133393", {300, 20, 20, 60}, 0},
      {"UPC-A guard, negative height at 90", 15, L"03600029145", {20, 300, 60, 20}, 90},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Canvas canvas(320, 320);
    Draw(canvas, row.type, row.text, row.r, row.rotation);
    EXPECT_EQ(canvas.Painted(), 0);
  }
}

TEST_F(BarcodeDrawing, ContextStateIsKept) {
  Canvas canvas(300, 60);
  HDC dc = canvas.dc();
  const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  SetTextColor(dc, RGB(1, 2, 3));
  Draw(canvas, 0, L"ABC", RECT{10, 10, 290, 50}, 90);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
}

TEST(BarcodeTypes, MappingToSymbologies) {
  for (int type = 0; type <= 11; ++type) EXPECT_EQ(CoBarcode::GetSymbology(type), type);
  EXPECT_EQ(CoBarcode::GetSymbology(12), 11);
  EXPECT_EQ(CoBarcode::GetSymbology(13), 4);
  EXPECT_EQ(CoBarcode::GetSymbology(14), 5);
  EXPECT_EQ(CoBarcode::GetSymbology(15), 6);
  EXPECT_EQ(CoBarcode::GetSymbology(16), 12);
  EXPECT_EQ(CoBarcode::GetSymbology(17), 17);
  EXPECT_EQ(CoBarcode::GetSymbology(-3), -3);
  CoBarcode fresh;
  EXPECT_EQ(fresh.GetType(), 0);
  EXPECT_EQ(fresh.GetRotation(), 0);
  EXPECT_EQ(fresh.GetBarColour(), 0u);
  EXPECT_TRUE(fresh.GetData().empty());
}
