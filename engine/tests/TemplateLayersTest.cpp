// Scenario templates by orientation and their descriptions, the engine
// template's reading of a template file, and what a field draws (read back
// from a metafile recorded against the test printer).
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/PageTemplate.h"
#include "engine/Scenario.h"
#include "engine/Template.h"
#include "tests/support/TestEnv.h"

namespace {

class ScenarioTemplates : public testing::Test {
 protected:
  std::wstring Scn() const { return folder.Path() + L"s.scn"; }
  dvtest::ScopedInstallFolder folder;
};

TEST_F(ScenarioTemplates, KeysByOrientationAndDescription) {
  const struct {
    const char* name;
    const wchar_t* portraitDefault;
    const wchar_t* portraitBackside;
    const wchar_t* landscapeDefault;
    int orientation;
    const wchar_t* expectedDefault;
    const wchar_t* expectedBackside;
    const wchar_t* description;
  } cases[] = {
      {"portrait default only, portrait job", L"c:\\a.dpt", L"", L"", 1, L"c:\\a.dpt", L"", L"c:\\a.dpt"},
      {"portrait default only, landscape job", L"c:\\a.dpt", L"", L"", 2, L"", L"", L""},
      {"default and backside", L"c:\\a.dpt", L"c:\\b.dpt", L"", 1, L"c:\\a.dpt", L"c:\\b.dpt",
       L"c:\\a.dpt, Backside = c:\\b.dpt"},
      {"backside without default", L"", L"c:\\b.dpt", L"", 1, L"", L"c:\\b.dpt", L", Backside = c:\\b.dpt"},
      {"landscape job reads landscape keys", L"c:\\a.dpt", L"", L"c:\\l.dpt", 2, L"c:\\l.dpt", L"", L"c:\\l.dpt"},
      {"orientation 3 reads portrait keys", L"c:\\a.dpt", L"", L"c:\\l.dpt", 3, L"c:\\a.dpt", L"", L"c:\\a.dpt"},
      {"orientation 0 reads portrait keys", L"c:\\a.dpt", L"", L"c:\\l.dpt", 0, L"c:\\a.dpt", L"", L"c:\\a.dpt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(Scn().c_str());
    SetIniString(L"General", L"PortraitDefaultTemplateFile", Scn(), c.portraitDefault);
    SetIniString(L"General", L"PortraitBacksideTemplateFile", Scn(), c.portraitBackside);
    SetIniString(L"General", L"LandscapeDefaultTemplateFile", Scn(), c.landscapeDefault);
    CScenario scenario;
    scenario.scenarioFile = Scn();
    scenario.orientation = c.orientation;
    scenario.LoadTemplates();
    EXPECT_EQ(scenario.defaultTemplate.GetTemplateFile(), c.expectedDefault);
    EXPECT_EQ(scenario.backsideTemplate.GetTemplateFile(), c.expectedBackside);
    EXPECT_EQ(scenario.GetDescription(7), c.description);
  }
}

TEST_F(ScenarioTemplates, NoScenarioOrMissingFileGivesNothing) {
  CScenario none;
  none.LoadTemplates();
  EXPECT_TRUE(none.defaultTemplate.IsEmpty());
  EXPECT_EQ(none.GetDescription(1), L"");
  none.PrintTemplate(1, 1);  // nothing to draw, no device context: no effect
  none.PrintTemplate(0, 1);
  none.PrintTemplate(3, 1);

  CScenario missing;
  missing.scenarioFile = folder.Path() + L"nowhere.scn";
  missing.orientation = 1;
  missing.LoadTemplates();
  EXPECT_TRUE(missing.defaultTemplate.IsEmpty());
  EXPECT_TRUE(missing.backsideTemplate.IsEmpty());
  EXPECT_EQ(missing.GetDescription(1), L"");
}

TEST_F(ScenarioTemplates, ReloadPassesTheJobValuesOn) {
  const std::wstring dpt = folder.Path() + L"a.dpt";
  CPageTemplate file;
  file.AddField(L"User Name", L"");
  file.AddField(L"Group", L"");
  file.Save(dpt);
  SetIniString(L"General", L"PortraitDefaultTemplateFile", Scn(), dpt);
  CScenario scenario;
  scenario.scenarioFile = Scn();
  scenario.orientation = 1;
  scenario.userName = L"bob";
  scenario.groupName = L"Accounts";
  scenario.SetPrinterDC(nullptr);
  EXPECT_EQ(scenario.defaultTemplate.ExpandFieldData(L"User Name"), L"bob");
  EXPECT_EQ(scenario.defaultTemplate.ExpandFieldData(L"Group"), L"Accounts");
  EXPECT_EQ(scenario.defaultTemplate.GetFieldCount(), 2);

  // The scenario drops its backside key: the reload empties that template.
  SetIniString(L"General", L"PortraitBacksideTemplateFile", Scn(), dpt);
  scenario.LoadTemplates();
  EXPECT_EQ(scenario.backsideTemplate.GetFieldCount(), 2);
  SetIniString(L"General", L"PortraitBacksideTemplateFile", Scn(), L"");
  scenario.LoadTemplates();
  EXPECT_TRUE(scenario.backsideTemplate.IsEmpty());
  EXPECT_EQ(scenario.backsideTemplate.GetFieldCount(), 0);
  EXPECT_EQ(scenario.GetDescription(1), dpt);
}

TEST_F(ScenarioTemplates, TemplateFileReading) {
  const std::wstring dpt = folder.Path() + L"t.dpt";
  const struct {
    const char* name;
    const char* numFields;
    int expected;
  } cases[] = {
      {"two of three sections", "2", 2},       {"blank and sign", " +2", 2},  {"trailing text", "3x", 3},
      {"zero", "0", 0},                        {"text", "abc", 0},            {"empty", "", 0},
      {"negative", "-4", 0},                   {"absurd", "2000000000", 0},   {"beyond 32 bits", "99999999999", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(dvtest::WriteFileBytes(
        dpt, std::string("[General]\r\nBackgroundPicture=c:\\bg.emf\r\nForgroundPicture=c:\\fg.emf\r\nNumFields=") +
                 c.numFields + "\r\n[Field_1]\r\nFieldName=Time\r\n[Field_2]\r\nFieldName=Date\r\n"
                 "[Field_3]\r\nFieldName=Time\r\n"));
    CTemplate t;
    t.Init(nullptr, 5, nullptr, 0, dpt, L"u", L"d", L"m", L"p", L"g");
    EXPECT_EQ(t.GetFieldCount(), c.expected);
    EXPECT_EQ(t.GetBackgroundPicture(), L"c:\\bg.emf");
    EXPECT_EQ(t.GetForegroundPicture(), L"c:\\fg.emf");
    if (c.expected >= 2) {
      EXPECT_EQ(t.GetField(1).GetFieldName(), L"Date");
      EXPECT_EQ(t.FindField(L"Time"), 0);
    }
    // Re-initialised without a file: no pictures, no fields.
    t.Init(nullptr, 5, nullptr, 0, L"", L"u", L"d", L"m", L"p", L"g");
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_EQ(t.GetFieldCount(), 0);
    EXPECT_EQ(t.GetBackgroundPicture(), L"");
    EXPECT_EQ(t.GetForegroundPicture(), L"");
  }
}

// ---- Field drawing, read back from a metafile recorded on the printer ----

struct DrawnText {
  LOGFONTW font{};
  COLORREF colour = 0;
  int bkMode = 0;
  POINTL at{};
  std::wstring text;
};

struct DrawRecords {
  std::vector<DrawnText> texts;
  COLORREF colour = 0;
  int bkMode = OPAQUE;
  LOGFONTW font{};
};

int CALLBACK CollectRecord(HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM param) {
  auto* out = reinterpret_cast<DrawRecords*>(param);
  switch (rec->iType) {
    case EMR_EXTCREATEFONTINDIRECTW:
      out->font = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(rec)->elfw.elfLogFont;
      break;
    case EMR_SETTEXTCOLOR:
      out->colour = reinterpret_cast<const EMRSETTEXTCOLOR*>(rec)->crColor;
      break;
    case EMR_SETBKMODE:
      out->bkMode = static_cast<int>(reinterpret_cast<const EMRSETBKMODE*>(rec)->iMode);
      break;
    case EMR_EXTTEXTOUTW: {
      const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
      DrawnText d;
      d.font = out->font;
      d.colour = out->colour;
      d.bkMode = out->bkMode;
      d.at = t->emrtext.ptlReference;
      d.text.assign(reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(rec) + t->emrtext.offString),
                    t->emrtext.nChars);
      out->texts.push_back(d);
      break;
    }
    default:
      break;
  }
  return 1;
}

class FieldDrawing : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer.ok());
    ref.reset(CreateDCW(L"WINSPOOL", printer.Name().c_str(), nullptr, nullptr));
    ASSERT_TRUE(ref);
  }
  // Draws the field into a metafile recorded against the printer and
  // collects its text records; also checks that the context's state is
  // back as it was.
  DrawRecords Record(const CFieldData& field) {
    HDC mdc = CreateEnhMetaFileW(ref.get(), nullptr, nullptr, nullptr);
    SetTextColor(mdc, RGB(1, 2, 3));
    SetBkMode(mdc, OPAQUE);
    HGDIOBJ before = GetCurrentObject(mdc, OBJ_FONT);
    field.Draw(mdc);
    EXPECT_EQ(GetTextColor(mdc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(mdc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(mdc, OBJ_FONT), before);
    dv::EnhMetaFileHandle emf(CloseEnhMetaFile(mdc));
    DrawRecords records;
    EnumEnhMetaFile(nullptr, emf.get(), CollectRecord, &records, nullptr);
    return records;
  }
  dvtest::TestPrinter printer;
  dv::DcHandle ref;
};

TEST_F(FieldDrawing, MillimetresToDeviceUnits) {
  const int offX = GetDeviceCaps(ref.get(), PHYSICALOFFSETX);
  const int offY = GetDeviceCaps(ref.get(), PHYSICALOFFSETY);
  ASSERT_EQ(GetDeviceCaps(ref.get(), LOGPIXELSX), 600);
  ASSERT_EQ(offX, 150);
  EXPECT_EQ(CFieldData::MmToDevice(ref.get(), 10, true), 236 - offX);
  EXPECT_EQ(CFieldData::MmToDevice(ref.get(), 10, false), 236 - offY);
  EXPECT_EQ(CFieldData::MmToDevice(ref.get(), 0, true), -offX);
  EXPECT_EQ(CFieldData::MmToDevice(ref.get(), -1, true), -23 - offX);  // truncated toward zero
  EXPECT_EQ(CFieldData::MmToDevice(ref.get(), 297, false), 7015 - offY);
  // Far outside any page: clamped to 100 m, no overflow.
  EXPECT_EQ(CFieldData::MmToDevice(ref.get(), INT_MAX, true), 2362204 - offX);
  EXPECT_EQ(CFieldData::MmToDevice(ref.get(), INT_MIN, true), -2362204 - offX);
}

TEST_F(FieldDrawing, TextInFontColourAndDirection) {
  const struct {
    const char* name;
    const wchar_t* font;
    int direction;
    int height;
    int escapement;
    COLORREF colour;
    const wchar_t* face;
  } cases[] = {
      {"default font", L"0,177,0,0,0,400,0,10,David", 0, -83, 0, 0, L"David"},
      {"green bold 24 points turned 90", L"40960,0,0,0,0,700,0,24,Arial", 90, -200, 900, RGB(0, 160, 0), L"Arial"},
      {"turned 270", L"255,0,0,0,0,400,0,12,Arial", 270, -100, 2700, RGB(255, 0, 0), L"Arial"},
      {"whole turns dropped", L"0,0,0,0,0,400,0,12,Arial", 450, -100, 900, 0, L"Arial"},
      {"huge angle", L"0,0,0,0,0,400,0,12,Arial", INT_MAX, -100, (INT_MAX % 360) * 10, 0, L"Arial"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CFieldData f;
    f.PrintText = 1;
    f.TextLeft = 10;
    f.TextTop = 20;
    f.TextDirection = c.direction;
    f.TextFont = c.font;
    f.SetPrintText(L"Sample");
    const DrawRecords r = Record(f);
    ASSERT_EQ(r.texts.size(), 1u);
    const DrawnText& t = r.texts[0];
    EXPECT_EQ(t.text, L"Sample");
    EXPECT_EQ(t.font.lfHeight, c.height);
    EXPECT_EQ(t.font.lfEscapement, c.escapement);
    EXPECT_EQ(t.font.lfOrientation, c.escapement);
    EXPECT_STREQ(t.font.lfFaceName, c.face);
    EXPECT_EQ(t.colour, c.colour);
    EXPECT_EQ(t.bkMode, TRANSPARENT);
    EXPECT_EQ(t.at.x, 236 - 150);
    EXPECT_EQ(t.at.y, 472 - 150);
  }
}

TEST_F(FieldDrawing, SwitchesAndExtremes) {
  CFieldData off;
  off.SetPrintText(L"not printed");
  EXPECT_TRUE(Record(off).texts.empty());

  CFieldData distant;
  distant.PrintText = 1;
  distant.PrintBarcode = 1;
  distant.TextLeft = INT_MAX;
  distant.TextTop = INT_MIN;
  distant.BarcodeLeft = INT_MAX;
  distant.BarcodeWidth = INT_MAX;
  distant.BarcodeTop = INT_MIN;
  distant.BarcodeHeight = INT_MIN;
  distant.SetPrintText(L"distant");
  const DrawRecords r = Record(distant);
  ASSERT_EQ(r.texts.size(), 1u);
  EXPECT_EQ(r.texts[0].at.x, 2362204 - 150);
  EXPECT_EQ(r.texts[0].at.y, -2362204 - 150);

  distant.Draw(nullptr);  // no context: nothing, no crash
}

}  // namespace
