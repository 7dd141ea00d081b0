// The value prompt dialog on its own and behind Tools, Last Job Number.
#include "controller/tests/ControllerFixture.h"

#include "controller/DlgRename.h"

namespace ctltest {
namespace {

std::wstring Caption(HWND hwnd) {
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  return text;
}

TEST_F(ControllerTest, ValuePromptShowsItsTemplateTextsUnlessTheCallerSetsThem) {
  ASSERT_TRUE(Start());
  {
    CtDlgRename plain;
    plain.prompt = L"ignored without its flag";
    plain.initialValue = L"ignored too";
    ASSERT_TRUE(plain.CreateModeless(frame->Hwnd()));
    EXPECT_EQ(L"Rename", Caption(plain.Hwnd()));
    EXPECT_EQ(L"New Name:", plain.ItemText(IDC_RENAME_PROMPT));
    EXPECT_EQ(L"", plain.ItemText(IDC_RENAME_VALUE));
    EXPECT_EQ(plain.Item(IDC_RENAME_VALUE), GetFocus());
    plain.SetItemText(IDC_RENAME_VALUE, L"typed");
    SendMessageW(plain.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(L"typed", plain.GetValue());
  }
  CtDlgRename set;
  set.prompt = L"Prompt:";
  set.hasPrompt = true;
  set.initialValue = L"first";
  set.hasValue = true;
  set.caption = L"Caption";
  set.hasCaption = true;
  ASSERT_TRUE(set.CreateModeless(frame->Hwnd()));
  EXPECT_EQ(L"Caption", Caption(set.Hwnd()));
  EXPECT_EQ(L"Prompt:", set.ItemText(IDC_RENAME_PROMPT));
  EXPECT_EQ(L"first", set.ItemText(IDC_RENAME_VALUE));
  SendMessageW(set.Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(L"", set.GetValue()) << "Cancel takes no value";
}

TEST_F(ControllerTest, LastJobNumberWritesTheTypedTextUnchecked) {
  struct Row {
    const char* name;
    const wchar_t* before;  // nullptr: no key
    const wchar_t* typed;   // nullptr: Cancel
    std::wstring shown;
    std::wstring after;
    int number;  // what integer readers (default 0) take
  } rows[] = {
      {"key missing, OK untouched", nullptr, L"", L"", L"", 0},
      {"new number", L"57", L"100", L"57", L"100", 100},
      {"letters are stored as typed", L"57", L"12ab", L"57", L"12ab", 12},
      {"no leading digits", L"57", L"abc", L"57", L"abc", 0},
      {"cancel", L"57", nullptr, L"57", L"57", 57},
  };
  ASSERT_TRUE(Start());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetGeneral(L"LastJobNumber", row.before);
    std::wstring shown, caption, prompt;
    bool focused = false;
    ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
      shown = dlg.ItemText(IDC_RENAME_VALUE);
      caption = Caption(dlg.Hwnd());
      prompt = dlg.ItemText(IDC_RENAME_PROMPT);
      focused = GetFocus() == dlg.Item(IDC_RENAME_VALUE);
      if (!row.typed) {
        dlg.SetItemText(IDC_RENAME_VALUE, L"999");
        SendMessageW(dlg.Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
      }
      if (*row.typed) dlg.SetItemText(IDC_RENAME_VALUE, row.typed);
      SendMessageW(dlg.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    Command(ID_TOOLS_LAST_JOB_NUMBER);
    ui::Dialog::SetModalHook(nullptr);
    EXPECT_EQ(row.shown, shown);
    EXPECT_EQ(L"Last Job Number", caption);
    EXPECT_EQ(L"Last Job Number:", prompt);
    EXPECT_TRUE(focused);
    EXPECT_EQ(row.after, General(L"LastJobNumber"));
    EXPECT_EQ(row.number, GetIniInt(L"General", L"LastJobNumber", Ini(), 0));
  }
}

}  // namespace
}  // namespace ctltest
