// The entrance password: its two stored copies, the password dialog in its
// entry form at start-up and in its change form behind Tools, Password.
#include "controller/tests/ControllerFixture.h"

#include "common/SettingsFile.h"
#include "controller/DlgPassword.h"
#include "controller/PasswordCodec.h"

namespace ctltest {
namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void ClickButton(ui::Dialog& dlg, int id) {
  SendMessageW(dlg.Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dlg.Item(id)));
}

bool Visible(ui::Dialog& dlg, int id) { return (GetWindowLongW(dlg.Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }

// The registry copy lives in the prefix's HKLM beyond the install folder's
// scope: each test starts and ends without one.
class PasswordTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    SetRegistryCopy(nullptr);
  }
  void TearDown() override {
    ControllerTest::TearDown();
    SetRegistryCopy(nullptr);
  }

  // nullptr deletes the value.
  static void SetRegistryCopy(const wchar_t* text) {
    if (text) {
      WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, kKeyEntrancePassword, text);
      return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, kKeyEntrancePassword);
      RegCloseKey(key);
    }
  }
  static std::wstring RegistryCopy() {
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, kKeyEntrancePassword);
  }
  std::wstring SettingsCopy() const { return General(kKeyEntrancePassword); }
};

TEST(PasswordChangeTest, VerdictOfTheChangeForm) {
  struct Row {
    const char* name;
    std::wstring stored;
    PasswordChangeForm form;
    PasswordChangeVerdict verdict;
  } rows[] = {
      {"first password", L"", {L"", L"Neu 1", L"Neu 1"}, PasswordChangeVerdict::Accepted},
      {"existing in other case", L"Old", {L"old", L"n", L"n"}, PasswordChangeVerdict::WrongExisting},
      {"wrong existing comes first", L"Old", {L"x", L"n1", L"n2"}, PasswordChangeVerdict::WrongExisting},
      {"verify differs", L"Old", {L"Old", L"n1", L"n2"}, PasswordChangeVerdict::VerifyDiffers},
      {"removal", L"Old", {L"Old", L"", L""}, PasswordChangeVerdict::Accepted},
      {"code 255 is kept", L"", {L"", L"\xFF", L"\xFF"}, PasswordChangeVerdict::Accepted},
      {"code 256 would be lost", L"", {L"", L"p\x0100", L"p\x0100"}, PasswordChangeVerdict::NotStorable},
      {"longest storable", L"", {L"", std::wstring(682, L'a'), std::wstring(682, L'a')},
       PasswordChangeVerdict::Accepted},
      {"too long to store", L"", {L"", std::wstring(683, L'a'), std::wstring(683, L'a')},
       PasswordChangeVerdict::NotStorable},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.verdict, CheckPasswordChange(row.stored, row.form));
  }
}

TEST_F(PasswordTest, WriteStoresBothCopiesEncodedAndEmptyRemovesThePassword) {
  WriteEntrancePassword(L"Se cret");
  EXPECT_EQ(21u, RegistryCopy().size());
  EXPECT_EQ(21u, SettingsCopy().size());
  EXPECT_EQ(std::wstring::npos, RegistryCopy().find(L"Se cret"));
  EXPECT_EQ(L"Se cret", CPasswordCodec::Decode(SettingsCopy()));
  EXPECT_EQ(L"Se cret", ReadEntrancePassword());

  // The longest password the change form accepts comes back whole.
  const std::wstring longest(kMaxEntrancePasswordLength, L'\xE9');
  WriteEntrancePassword(longest);
  EXPECT_EQ(longest, ReadEntrancePassword());

  WriteEntrancePassword(L"");
  EXPECT_EQ(L"", RegistryCopy());
  EXPECT_EQ(L"", SettingsCopy()) << "an empty text, not a missing key";
  EXPECT_EQ(L"", ReadEntrancePassword());
  EXPECT_TRUE(Events().empty());
}

TEST_F(PasswordTest, TheRegistryCopyIsInForceAndDisagreementIsLogged) {
  const std::wstring alpha1 = CPasswordCodec::Encode(L"alpha", 100);
  const std::wstring alpha2 = CPasswordCodec::Encode(L"alpha", 103);
  const std::wstring beta = CPasswordCodec::Encode(L"beta", 100);
  ASSERT_NE(alpha1, alpha2);
  struct Row {
    const char* name;
    const wchar_t* registry;  // nullptr: no value
    const wchar_t* settings;  // nullptr: no key
    const wchar_t* password;
    std::string detail;  // of event 2007; "" for none
  } rows[] = {
      {"no copies", nullptr, nullptr, L"", ""},
      {"both empty", L"", L"", L"", ""},
      {"registry copy deleted", nullptr, alpha1.c_str(), L"", " - " + Narrow(alpha1)},
      {"registry copy emptied", L"", alpha1.c_str(), L"", " - " + Narrow(alpha1)},
      {"other encodings of one password", alpha1.c_str(), alpha2.c_str(), L"alpha", ""},
      {"different passwords", alpha1.c_str(), beta.c_str(), L"alpha", Narrow(alpha1) + " - " + Narrow(beta)},
      {"settings copy missing", alpha1.c_str(), nullptr, L"alpha", Narrow(alpha1) + " - "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(folder.EventLog().c_str());
    SetRegistryCopy(row.registry);
    SetGeneral(kKeyEntrancePassword, row.settings);
    EXPECT_EQ(row.password, ReadEntrancePassword());
    const auto events = Events();
    if (row.detail.empty()) {
      EXPECT_TRUE(events.empty());
    } else {
      ASSERT_EQ(1u, events.size());
      EXPECT_EQ(2007, events[0].code);
      EXPECT_EQ(row.detail, events[0].detail);
    }
  }
}

// The real entry form at start-up: one field, one try, no message.
TEST_F(PasswordTest, StartUpAsksOnceWithTheEntryForm) {
  struct Row {
    const char* name;
    const wchar_t* typed;  // nullptr: Escape
    bool started;
    int event;
  } rows[] = {
      {"right password", L"Se cret", true, 4001},
      {"other letter case", L"se cret", false, 2006},
      {"empty field", L"", false, 2006},
      {"escape", nullptr, false, 2006},
  };
  EntrancePassword() = DefaultEntrancePasswordSource();
  WriteEntrancePassword(L"Se cret");
  int messages = 0;
  ui::Prompts().messageBox = [&](HWND, const std::wstring&, const std::wstring&, UINT) { return ++messages, IDOK; };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(folder.EventLog().c_str());
    int passes = 0;
    std::wstring caption;
    bool entryForm = false, focused = false;
    ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
      if (++passes > 1) {
        if (passes > 50) dlg.EndDialog(IDCANCEL);  // a second try is never offered
        return;
      }
      wchar_t text[64] = {};
      GetWindowTextW(dlg.Hwnd(), text, 64);
      caption = text;
      entryForm = Visible(dlg, IDC_PASSWORD_EXISTING) && Visible(dlg, IDC_PASSWORD_EXISTING_LABEL) &&
                  !Visible(dlg, IDC_PASSWORD_NEW) && !Visible(dlg, IDC_PASSWORD_NEW_LABEL) &&
                  !Visible(dlg, IDC_PASSWORD_VERIFY) && !Visible(dlg, IDC_PASSWORD_VERIFY_LABEL);
      focused = GetFocus() == dlg.Item(IDC_PASSWORD_EXISTING);
      if (row.typed) {
        dlg.SetItemText(IDC_PASSWORD_EXISTING, row.typed);
        ClickButton(dlg, IDOK);
      } else {
        PostMessageW(dlg.Item(IDC_PASSWORD_EXISTING), WM_KEYDOWN, VK_ESCAPE, 0);
      }
    });
    EXPECT_EQ(row.started, Start());
    EXPECT_EQ(1, passes);
    EXPECT_EQ(L"Dorvane Password", caption);
    EXPECT_TRUE(entryForm);
    EXPECT_TRUE(focused);
    const auto events = Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(row.event, events[0].code);
    EXPECT_EQ("", events[0].detail);
    Stop();
  }
  EXPECT_EQ(0, messages);
}

TEST_F(PasswordTest, RegistryCopyDeletedByHandUnlocksAfterEvent2007) {
  EntrancePassword() = DefaultEntrancePasswordSource();
  WriteEntrancePassword(L"pw");
  const std::wstring settings = SettingsCopy();
  SetRegistryCopy(nullptr);
  int prompts = 0;
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    ++prompts;
    dlg.EndDialog(IDCANCEL);
  });
  ASSERT_TRUE(Start());
  EXPECT_EQ(0, prompts);
  const auto events = Events();
  ASSERT_EQ(2u, events.size());
  EXPECT_EQ(2007, events[0].code);
  EXPECT_EQ(" - " + Narrow(settings), events[0].detail);
  EXPECT_EQ(4001, events[1].code);
}

// Tools, Password through the real change form: each attempt fills the three
// fields and presses OK; when the attempts run out the form is cancelled.
TEST_F(PasswordTest, ChangeFormStoresOnlyAnAcceptedNewPassword) {
  const std::wstring wrong = L"The original password you typed is wrong, please try again.";
  const std::wstring unverified = L"There was an error in the verification of the new password, please try again.";
  struct Row {
    const char* name;
    const wchar_t* stored;
    std::vector<PasswordChangeForm> attempts;
    std::vector<std::wstring> messages;
    const wchar_t* inForce;
  } rows[] = {
      {"fresh installation", L"", {{L"", L"Neu 1", L"Neu 1"}}, {}, L"Neu 1"},
      {"wrong existing, then right", L"old", {{L"OLD", L"n", L"n"}, {L"old", L"n", L"n"}}, {wrong}, L"n"},
      {"verify differs", L"old", {{L"old", L"n1", L"n2"}}, {unverified}, L"old"},
      {"empty new password removes it", L"old", {{L"old", L"", L""}}, {}, L""},
      {"character the store would lose", L"old", {{L"old", L"p\x20AC", L"p\x20AC"}},
       {L"The new password may hold at most 682 characters, all of the Western (Latin-1) set, please try again."},
       L"old"},
      {"cancel", L"old", {}, {}, L"old"},
  };
  ASSERT_TRUE(Start());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteEntrancePassword(row.stored);
    std::vector<std::wstring> messages;
    bool boxesRight = true;
    ui::Prompts().messageBox = [&](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
      messages.push_back(text);
      boxesRight = boxesRight && caption == L"Password change" && type == (MB_OK | MB_ICONEXCLAMATION) &&
                   owner != frame->Hwnd() && GetWindow(owner, GW_OWNER) == frame->Hwnd();
      return IDOK;
    };
    size_t next = 0;
    bool changeForm = true, fieldsKept = true;
    ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
      changeForm = changeForm && Visible(dlg, IDC_PASSWORD_NEW) && Visible(dlg, IDC_PASSWORD_VERIFY) &&
                   Visible(dlg, IDC_PASSWORD_NEW_LABEL) && Visible(dlg, IDC_PASSWORD_VERIFY_LABEL);
      if (next > 0)
        fieldsKept = fieldsKept && dlg.ItemText(IDC_PASSWORD_EXISTING) == row.attempts[next - 1].existing &&
                     dlg.ItemText(IDC_PASSWORD_NEW) == row.attempts[next - 1].newPassword &&
                     dlg.ItemText(IDC_PASSWORD_VERIFY) == row.attempts[next - 1].verify;
      if (next == row.attempts.size()) {
        ClickButton(dlg, IDCANCEL);
        return;
      }
      const auto& attempt = row.attempts[next++];
      dlg.SetItemText(IDC_PASSWORD_EXISTING, attempt.existing);
      dlg.SetItemText(IDC_PASSWORD_NEW, attempt.newPassword);
      dlg.SetItemText(IDC_PASSWORD_VERIFY, attempt.verify);
      ClickButton(dlg, IDOK);
      // A refused change leaves the form open with nothing queued: wake the
      // loop for the next attempt.
      if (IsWindow(dlg.Hwnd())) PostMessageW(dlg.Hwnd(), WM_NULL, 0, 0);
    });
    const std::wstring registryBefore = RegistryCopy();
    Command(ID_TOOLS_PASSWORD);
    ui::Dialog::SetModalHook(nullptr);
    EXPECT_EQ(row.attempts.size(), next);
    EXPECT_TRUE(changeForm);
    EXPECT_TRUE(fieldsKept) << "a refused change leaves the fields as typed";
    EXPECT_EQ(row.messages, messages);
    EXPECT_TRUE(boxesRight);
    EXPECT_EQ(row.inForce, ReadEntrancePassword());
    EXPECT_EQ(row.inForce, CPasswordCodec::Decode(SettingsCopy()));
    if (row.inForce == std::wstring(row.stored)) {
      EXPECT_EQ(registryBefore, RegistryCopy()) << "nothing written";
    }
  }
  EXPECT_TRUE(EventsWithCode(2007).empty());
}

TEST_F(PasswordTest, APasswordSetWithTheCommandIsAskedAtTheNextStart) {
  ASSERT_TRUE(Start());
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    dlg.SetItemText(IDC_PASSWORD_NEW, L"Neu 1");
    dlg.SetItemText(IDC_PASSWORD_VERIFY, L"Neu 1");
    ClickButton(dlg, IDOK);
  });
  Command(ID_TOOLS_PASSWORD);
  Stop();

  EntrancePassword() = DefaultEntrancePasswordSource();
  int prompts = 0;
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    ++prompts;
    dlg.SetItemText(IDC_PASSWORD_EXISTING, L"Neu 1");
    ClickButton(dlg, IDOK);
  });
  EXPECT_TRUE(Start());
  EXPECT_EQ(1, prompts);
}

}  // namespace
}  // namespace ctltest
