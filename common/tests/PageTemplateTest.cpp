// Template files: field sections, read defaults, the ForgroundPicture key,
// NumFields out of range and saving over an older file.
#include <gtest/gtest.h>

#include "common/InstallFolder.h"
#include "common/PageTemplate.h"
#include "tests/support/TestEnv.h"

namespace {

class PageTemplateFile : public testing::Test {
 protected:
  std::wstring File() const { return folder.Path() + L"t.dpt"; }
  void Write(const std::string& text) const { ASSERT_TRUE(dvtest::WriteFileBytes(File(), text)); }
  dvtest::ScopedInstallFolder folder;
};

TEST(CFieldData, ConstructorValues) {
  CFieldData f;
  EXPECT_EQ(f.DataFormat, L"");
  EXPECT_EQ(f.FieldName, L"");
  EXPECT_EQ(f.TextFont, L"0,177,0,0,0,400,0,10,David");
  EXPECT_EQ(f.BarcodeWidth, 0);
  EXPECT_EQ(f.BarcodeHeight, 0);
  EXPECT_EQ(f.PrintText | f.TextTop | f.TextLeft | f.TextDirection | f.PrintBarcode | f.BarcodeTop | f.BarcodeLeft |
                f.BarcodeRotate | f.BarcodeType,
            0);
  EXPECT_EQ(f.GetPrintText(), L"");
}

TEST_F(PageTemplateFile, FieldSaveWritesEveryKeyAndKeepsOthers) {
  Write("[Field_2]\r\nComment=kept\r\n");
  CFieldData f;
  f.DataFormat = L"%H:%M";
  f.FieldName = L"Time";
  f.PrintText = 1;
  f.TextTop = 20;
  f.TextLeft = -3;
  f.TextDirection = 90;
  f.TextFont = L"255,0,1,0,0,700,0,12,Arial";
  f.PrintBarcode = 1;
  f.BarcodeTop = 40;
  f.BarcodeLeft = 10;
  f.BarcodeWidth = 80;
  f.BarcodeHeight = 15;
  f.BarcodeRotate = 270;
  f.BarcodeType = 12;
  f.SetPrintText(L"never stored");
  f.Save(File(), 2);

  EXPECT_EQ(GetIniString(L"Field_2", L"Comment", File()), L"kept");
  EXPECT_EQ(GetIniString(L"Field_2", L"BarcodeRotate", File()), L"270");
  EXPECT_EQ(GetIniString(L"Field_2", L"TextLeft", File()), L"-3");
  EXPECT_EQ(GetIniString(L"Field_2", L"printValue", File(), L"none"), L"none");

  CFieldData g;
  g.Load(File(), 2);
  EXPECT_EQ(g.DataFormat, f.DataFormat);
  EXPECT_EQ(g.FieldName, f.FieldName);
  EXPECT_EQ(g.TextFont, f.TextFont);
  EXPECT_EQ(g.PrintText, 1);
  EXPECT_EQ(g.TextTop, 20);
  EXPECT_EQ(g.TextLeft, -3);
  EXPECT_EQ(g.TextDirection, 90);
  EXPECT_EQ(g.PrintBarcode, 1);
  EXPECT_EQ(g.BarcodeTop, 40);
  EXPECT_EQ(g.BarcodeLeft, 10);
  EXPECT_EQ(g.BarcodeWidth, 80);
  EXPECT_EQ(g.BarcodeHeight, 15);
  EXPECT_EQ(g.BarcodeRotate, 270);
  EXPECT_EQ(g.BarcodeType, 12);
  EXPECT_EQ(g.GetPrintText(), L"");
}

TEST_F(PageTemplateFile, LoadsNumFieldsSectionsWithReadDefaults) {
  Write(
      "[General]\r\nBackgroundPicture=c:\\bg.emf\r\nForgroundPicture=c:\\fg.emf\r\nNumFields=3\r\n"
      "[Field_1]\r\nFieldName=User Name\r\nPrintText=1\r\n"
      "[Field_2]\r\nFieldName=Date\r\nDataFormat=%x\r\n"
      "[Field_4]\r\nFieldName=Group\r\n");
  CPageTemplate t;
  t.Load(File());
  EXPECT_EQ(t.BackgroundPicture, L"c:\\bg.emf");
  EXPECT_EQ(t.ForgroundPicture, L"c:\\fg.emf");
  ASSERT_EQ(t.numFields(), 3);
  EXPECT_EQ(t.fields[0].FieldName, L"User Name");
  EXPECT_EQ(t.fields[0].PrintText, 1);
  EXPECT_EQ(t.fields[1].DataFormat, L"%x");
  // Field_3 is missing: every read default. Field_4 lies beyond NumFields.
  const CFieldData& third = t.fields[2];
  EXPECT_EQ(third.FieldName, L"");
  EXPECT_EQ(third.DataFormat, L"");
  EXPECT_EQ(third.PrintText, 0);
  EXPECT_EQ(third.PrintBarcode, 0);
  EXPECT_EQ(third.BarcodeWidth, 300);
  EXPECT_EQ(third.BarcodeHeight, 50);
  EXPECT_EQ(third.TextFont, L"0,177,0,0,0,400,0,10,David");
}

TEST_F(PageTemplateFile, NumFieldsOutOfRangeGivesNoFields) {
  const char* const counts[] = {"-1", "0", "abc", "1001", "2147483647", "99999999999"};
  for (const char* count : counts) {
    SCOPED_TRACE(count);
    Write(std::string("[General]\r\nNumFields=") + count + "\r\n[Field_1]\r\nFieldName=Time\r\n");
    CPageTemplate t;
    t.AddField(L"Old", L"");
    t.Load(File());
    EXPECT_EQ(t.numFields(), 0);
  }
}

TEST_F(PageTemplateFile, ForegroundKeyIsSpelledForgroundPicture) {
  Write("[General]\r\nForegroundPicture=c:\\fg.emf\r\n");
  CPageTemplate t;
  t.Load(File());
  EXPECT_EQ(t.ForgroundPicture, L"");

  t.ForgroundPicture = L"c:\\fg.emf";
  t.Save(File());
  EXPECT_EQ(GetIniString(L"General", L"ForgroundPicture", File()), L"c:\\fg.emf");
}

TEST_F(PageTemplateFile, SaveWritesFieldsInOrderAndLeavesOlderSections) {
  Write("[General]\r\nNumFields=4\r\n[Field_4]\r\nFieldName=Old\r\n");
  CPageTemplate t;
  t.AddField(L"User Name", L"");
  t.AddField(L"Time", L"%H:%M");
  t.AddField(L"Mixed Data", L"%Time% %User Name%");
  t.BackgroundPicture = L"c:\\bg.emf";
  t.Save(File());

  EXPECT_EQ(GetIniString(L"General", L"NumFields", File()), L"3");
  EXPECT_EQ(GetIniString(L"Field_4", L"FieldName", File()), L"Old");
  CPageTemplate back;
  back.Load(File());
  ASSERT_EQ(back.numFields(), 3);
  EXPECT_EQ(back.BackgroundPicture, L"c:\\bg.emf");
  EXPECT_EQ(back.fields[0].FieldName, L"User Name");
  EXPECT_EQ(back.fields[1].FieldName, L"Time");
  EXPECT_EQ(back.fields[1].DataFormat, L"%H:%M");
  EXPECT_EQ(back.fields[2].DataFormat, L"%Time% %User Name%");
  // Saved fields carry the constructor's 0 sizes, not the read defaults.
  EXPECT_EQ(back.fields[2].BarcodeWidth, 0);
}

TEST(CPageTemplate, AddFieldAppendsAndCopiesAreIndependent) {
  CPageTemplate t;
  for (int i = 0; i < 5; ++i) t.AddField(L"F" + std::to_wstring(i), L"d");
  t.fields[2].PrintText = 1;
  t.AddField(L"Sixth", L"%x");
  ASSERT_EQ(t.numFields(), 6);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.fields[i].FieldName, L"F" + std::to_wstring(i));
  EXPECT_EQ(t.fields[2].PrintText, 1);
  EXPECT_EQ(t.fields[5].FieldName, L"Sixth");
  EXPECT_EQ(t.fields[5].DataFormat, L"%x");
  EXPECT_EQ(t.fields[5].TextFont, L"0,177,0,0,0,400,0,10,David");

  CPageTemplate copy = t;
  copy.fields[0].FieldName = L"changed";
  copy.AddField(L"Seventh", L"");
  EXPECT_EQ(t.fields[0].FieldName, L"F0");
  EXPECT_EQ(t.numFields(), 6);
}

TEST_F(PageTemplateFile, MissingFileIsAnEmptyTemplate) {
  CPageTemplate t;
  t.BackgroundPicture = L"x";
  t.AddField(L"Time", L"");
  t.Load(folder.Path() + L"missing.dpt");
  EXPECT_EQ(t.BackgroundPicture, L"");
  EXPECT_EQ(t.ForgroundPicture, L"");
  EXPECT_EQ(t.numFields(), 0);
}

}  // namespace
