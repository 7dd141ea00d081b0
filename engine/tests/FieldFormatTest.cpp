// Field data: time and date formats and the expansion of every field kind,
// with a fixed clock.
#include <gtest/gtest.h>

#include "common/PageTemplate.h"
#include "engine/FieldFormat.h"
#include "engine/Template.h"
#include "tests/support/TestEnv.h"

namespace {

// Thursday 7 March 2024, 14:05:09.
SYSTEMTIME FixedTime() {
  SYSTEMTIME t{};
  t.wYear = 2024;
  t.wMonth = 3;
  t.wDay = 7;
  t.wDayOfWeek = 4;
  t.wHour = 14;
  t.wMinute = 5;
  t.wSecond = 9;
  return t;
}

struct FormatCase {
  const char* name;
  std::wstring format;
  std::wstring expected;
};

TEST(FormatFieldTime, Table) {
  const FormatCase cases[] = {
      {"editor's time", L"%H:%M", L"14:05"},
      {"editor's date", L"%x", L"03/07/24"},
      {"day month year", L"%d.%m.%Y", L"07.03.2024"},
      {"names and day of year", L"%A %a %B %b %j %w %y", L"Thursday Thu March Mar 067 4 24"},
      {"twelve-hour clock", L"%I %p %S", L"02 PM 09"},
      {"hash flag", L"%#d.%#m", L"7.3"},
      {"percent", L"100%%", L"100%"},
      {"empty format", L"", L""},
      {"plain text", L"no conversions", L"no conversions"},
      {"unknown conversion kept", L"%Q %e %F at %H", L"%Q %e %F at 14"},
      {"lone percent at the end", L"%H%", L"14%"},
      {"hash without a conversion", L"%#", L"%#"},
      {"hash with an unknown", L"%#Q", L"%#Q"},
      {"255 characters fit", std::wstring(251, L'x') + L"%Y", std::wstring(251, L'x') + L"2024"},
      {"256 characters give nothing", std::wstring(252, L'x') + L"%Y", L""},
      {"long output gives nothing", L"%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A%A", L""},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatFieldTime(c.format, FixedTime()), c.expected);
  }
}

class FieldExpansion : public testing::Test {
 protected:
  struct Field {
    const wchar_t* name;
    const wchar_t* format;
  };
  // Writes a template with these fields and loads it.
  void Load(std::initializer_list<Field> list, const std::wstring& user = L"alice") {
    CPageTemplate file;
    for (const Field& f : list) file.AddField(f.name, f.format);
    const std::wstring path = folder.Path() + L"fields.dpt";
    DeleteFileW(path.c_str());
    file.Save(path);
    tmpl.Init(nullptr, 0, nullptr, 0, path, user, L"report.doc", L"WS-12", L"Front Desk", L"Sales");
    tmpl.SetClock(FixedTime);
  }
  dvtest::ScopedInstallFolder folder;
  CTemplate tmpl;
};

TEST_F(FieldExpansion, EveryKind) {
  Load({{L"User Name", L""},
        {L"Printer Name", L""},
        {L"Document Name", L""},
        {L"Machine Name", L""},
        {L"Group", L""},
        {L"Time", L"%H:%M"},
        {L"Date", L"%x"},
        {L"Mixed Data", L"%Date%,%Time%,%User Name%,%Machine Name%"}});
  const struct {
    const wchar_t* name;
    const wchar_t* expected;
  } cases[] = {
      {L"User Name", L"alice"},
      {L"Printer Name", L"Front Desk"},
      {L"Document Name", L"report.doc"},
      {L"Machine Name", L"WS-12"},
      {L"Group", L"Sales"},
      {L"Time", L"14:05"},
      {L"Date", L"03/07/24"},
      {L"Mixed Data", L"03/07/24,14:05,alice,WS-12"},
      {L"Printer name", L"Printer name"},  // not a kind: prints itself
      {L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    EXPECT_EQ(tmpl.ExpandFieldData(c.name), c.expected);
  }
}

TEST_F(FieldExpansion, TimeWithoutFieldOrFormatIsEmpty) {
  Load({{L"Time", L""}});
  EXPECT_EQ(tmpl.ExpandFieldData(L"Time"), L"");
  EXPECT_EQ(tmpl.ExpandFieldData(L"Date"), L"");  // no Date field: no format
}

TEST_F(FieldExpansion, FirstFieldOfANameGivesTheFormat) {
  Load({{L"Date", L"%d.%m.%Y"}, {L"Date", L"%Y"}});
  EXPECT_EQ(tmpl.FindField(L"Date"), 0);
  EXPECT_EQ(tmpl.FindField(L"date"), -1);
  EXPECT_EQ(tmpl.ExpandFieldData(L"Date"), L"07.03.2024");
}

TEST_F(FieldExpansion, MixedDataReferences) {
  const struct {
    const char* name;
    std::wstring user;
    std::vector<Field> fields;
    const wchar_t* expected;
  } cases[] = {
      {"date blank time", L"alice", {{L"Date", L"%x"}, {L"Time", L"%H:%M"}, {L"Mixed Data", L"%Date% %Time%"}},
       L"03/07/24 14:05"},
      {"second reference without a second field stays",
       L"alice",
       {{L"Time", L"%H:%M"}, {L"Mixed Data", L"%Time%-%Time%"}},
       L"14:05-%Time%"},
      {"two fields of a name replace two references",
       L"alice",
       {{L"Time", L"%H:%M"}, {L"Time", L"%S"}, {L"Mixed Data", L"%Time%-%Time%"}},
       L"14:05-14:05"},
      {"unknown reference stays", L"alice", {{L"Mixed Data", L"[%Job%]"}}, L"[%Job%]"},
      {"inserted text is searched by later fields",
       L"at %Time%",
       {{L"User Name", L""}, {L"Time", L"%H:%M"}, {L"Mixed Data", L"%User Name%"}},
       L"at 14:05"},
      {"earlier fields do not see later insertions",
       L"at %Time%",
       {{L"Time", L"%H:%M"}, {L"User Name", L""}, {L"Mixed Data", L"%User Name%"}},
       L"at %Time%"},
      {"self reference stays", L"alice", {{L"Mixed Data", L"<%Mixed Data%>"}}, L"<%Mixed Data%>"},
      {"self reference through a value stays",
       L"%Mixed Data%",
       {{L"User Name", L""}, {L"Mixed Data", L"%User Name%!"}},
       L"%Mixed Data%!"},
      {"a second mixed field is not expanded inside the first",
       L"alice",
       {{L"Mixed Data", L"%Mixed Data%/%User Name%"}, {L"User Name", L""}, {L"Mixed Data", L"other"}},
       L"%Mixed Data%/alice"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CPageTemplate file;
    for (const Field& f : c.fields) file.AddField(f.name, f.format);
    const std::wstring path = folder.Path() + L"mixed.dpt";
    DeleteFileW(path.c_str());
    file.Save(path);
    tmpl.Init(nullptr, 0, nullptr, 0, path, c.user, L"d", L"m", L"p", L"g");
    tmpl.SetClock(FixedTime);
    EXPECT_EQ(tmpl.ExpandFieldData(L"Mixed Data"), c.expected);
  }
}

}  // namespace
