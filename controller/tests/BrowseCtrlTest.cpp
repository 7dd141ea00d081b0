// The browse control on a plain host window: layout, the path it reports,
// the dialogs answered by replacements, and the messages its owner gets.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/BrowseCtrl.h"
#include "ui/Window.h"

namespace {

constexpr int kFieldId = 1200;

struct Received {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// The owner of the field: records what the control tells it.
class Host : public ui::Window {
 public:
  std::vector<Received> got;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_BROWSECTRL_PRESSED || msg == WM_BROWSECTRL_NOTIFY || msg == WM_COMMAND)
      got.push_back({msg, wParam, lParam});
    return ui::Window::WndProc(msg, wParam, lParam);
  }
};

void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message != WM_QUIT) DispatchMessageW(&msg);
}

// Waits long enough for the control's 1 ms timers to run.
void DrainFor(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  while (static_cast<LONG>(GetTickCount() - until) < 0) {
    Drain();
    Sleep(2);
  }
  Drain();
}

// Pumps messages until the condition holds, for at most two seconds: the
// control's 1 ms watch timers may be late on a loaded machine.
template <typename Condition>
void DrainUntil(Condition done) {
  const DWORD until = GetTickCount() + 2000;
  while (!done() && static_cast<LONG>(GetTickCount() - until) < 0) {
    Drain();
    Sleep(2);
  }
  DrainFor(10);
}

// Answers the file dialog with the given names in the platform's form: a
// single full path, or a folder and bare names for several.
void AnswerFiles(OPENFILENAMEW& ofn, const std::vector<std::wstring>& parts) {
  wchar_t* out = ofn.lpstrFile;
  for (const auto& p : parts) {
    p.copy(out, p.size());
    out += p.size();
    *out++ = L'\0';
  }
  *out = L'\0';
}

class BrowseCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::RegisterWindowClass(L"DvBrowseHost"));
    ASSERT_TRUE(host.CreateEx(0, L"DvBrowseHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200, nullptr,
                              nullptr));
    saved = BrowseDialogs();
  }
  void TearDown() override {
    BrowseDialogs() = saved;
    field.reset();
    host.Destroy();
    Drain();
  }

  // A "..." button subclassed as the editors do, after the owner's settings.
  CBrowseCtrl& MakeField(int width, DWORD style = BCS_GLYPH | BCS_GLYPH3 | BCS_EDITABLE) {
    HWND button = CreateWindowExW(0, L"BUTTON", L"...", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10,
                                  width, 22, host.Hwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFieldId)),
                                  GetModuleHandleW(nullptr), nullptr);
    field = std::make_unique<CBrowseCtrl>();
    field->style = style;
    field->notifyMessage = WM_BROWSECTRL_NOTIFY;
    EXPECT_TRUE(field->SubclassDlgItem(host.Hwnd(), kFieldId));
    (void)button;
    return *field;
  }

  std::wstring EditText() const {
    wchar_t buf[512] = {};
    GetWindowTextW(field->EditHwnd(), buf, 512);
    return buf;
  }

  std::vector<UINT> Messages() const {
    std::vector<UINT> m;
    for (const auto& r : host.got) m.push_back(r.msg);
    return m;
  }

  Host host;
  std::unique_ptr<CBrowseCtrl> field;
  BrowseDialogReplacements saved;
};

TEST_F(BrowseCtrlTest, DefaultsOfANewControl) {
  CBrowseCtrl c;
  EXPECT_EQ(0x4Au, c.style);
  EXPECT_EQ(0x882202u, c.ofnFlags);
  EXPECT_EQ(1u, c.bifFlags);
  EXPECT_EQ(L"All Files (*.*)|*.*||", c.filter);
  EXPECT_EQ(L"Plseas select a folder from the list:", c.folderPrompt);
  EXPECT_EQ(L"Browse", c.toolTipText);
  EXPECT_EQ(1, c.openDialog);
  EXPECT_EQ(L"", c.GetPathName());
  c.SetOFNFlags(0x1004);
  EXPECT_EQ(0x81004u, c.ofnFlags);
}

TEST_F(BrowseCtrlTest, SubclassingSplitsTheButtonIntoFaceAndEdit) {
  struct Row {
    const char* name;
    int width;
    DWORD style;
    RECT button;
    RECT edit;
  } rows[] = {
      {"glyph on the right", 200, BCS_GLYPH | BCS_GLYPH3 | BCS_EDITABLE, {173, 0, 200, 22}, {0, 0, 173, 22}},
      {"glyph on the left", 200, BCS_GLYPH | BCS_GLYPH3 | BCS_EDITABLE | BCS_BUTTONLEFT, {0, 0, 27, 22}, {27, 0, 200, 22}},
      {"narrower than its button", 20, BCS_GLYPH | BCS_GLYPH3 | BCS_EDITABLE, {0, 0, 20, 22}, {0, 0, 0, 22}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CBrowseCtrl& c = MakeField(row.width, row.style);
    EXPECT_TRUE(EqualRect(&row.button, &c.buttonRect));
    EXPECT_TRUE(EqualRect(&row.edit, &c.editRect));
    // The face is 16 x 16, centred inside the 2-pixel border where it fits.
    EXPECT_LE(c.faceRect.right - c.faceRect.left, 16);
    EXPECT_GE(c.faceRect.left, c.buttonRect.left + 2);
    EXPECT_EQ(L"...", c.faceText);
    wchar_t caption[16] = {};
    GetWindowTextW(c.Hwnd(), caption, 16);
    EXPECT_STREQ(L"", caption);
    ASSERT_NE(nullptr, c.EditHwnd());
    EXPECT_EQ(CBrowseCtrl::kEditId, GetDlgCtrlID(c.EditHwnd()));
    RECT er = {};
    GetWindowRect(c.EditHwnd(), &er);
    EXPECT_EQ(row.edit.right - row.edit.left, er.right - er.left);
    field.reset();
    DestroyWindow(GetDlgItem(host.Hwnd(), kFieldId));
  }
}

TEST_F(BrowseCtrlTest, ReadOnlyAndDisabledFieldsRebuildTheirEdit) {
  CBrowseCtrl& c = MakeField(200);
  EXPECT_FALSE(GetWindowLongW(c.EditHwnd(), GWL_STYLE) & ES_READONLY);
  c.SetPathName(L"C:\\kept.scn");
  c.style &= ~BCS_EDITABLE;
  c.RecalcLayout(false);
  ASSERT_TRUE(c.CreateEdit());
  EXPECT_TRUE(GetWindowLongW(c.EditHwnd(), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(L"C:\\kept.scn", EditText());
  EnableWindow(c.Hwnd(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(c.EditHwnd()));
  EnableWindow(c.Hwnd(), TRUE);
  EXPECT_TRUE(IsWindowEnabled(c.EditHwnd()));
}

// Counts the pixels of a colour in the face of the control's painting.
int FacePixels(CBrowseCtrl& c, COLORREF color) {
  RECT client = {};
  GetClientRect(c.Hwnd(), &client);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = client.right;
  bi.bmiHeader.biHeight = -client.bottom;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(c.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  int n = 0;
  const auto* px = static_cast<const DWORD*>(bits);
  for (int y = c.faceRect.top; y < c.faceRect.bottom; ++y)
    for (int x = c.faceRect.left; x < c.faceRect.right; ++x) {
      const DWORD p = px[y * client.right + x];
      if (RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff) == color) ++n;
    }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return n;
}

TEST_F(BrowseCtrlTest, ADisabledFieldDrawsItsGlyphGreyed) {
  CBrowseCtrl& c = MakeField(200, BCS_GLYPH | BCS_GLYPH1 | BCS_EDITABLE);
  EXPECT_GT(FacePixels(c, RGB(0, 0, 0)), 10);
  EXPECT_GT(FacePixels(c, RGB(255, 255, 0)), 5);
  EnableWindow(c.Hwnd(), FALSE);
  EXPECT_EQ(0, FacePixels(c, RGB(0, 0, 0)));
  EXPECT_EQ(0, FacePixels(c, RGB(255, 255, 0)));
  EXPECT_GT(FacePixels(c, RGB(128, 128, 128)), 10);
}

TEST_F(BrowseCtrlTest, CreateMakesAFieldUnderItsParent) {
  CBrowseCtrl orphan;
  RECT r = {10, 50, 210, 72};
  // No parent and no main window: nothing is created.
  EXPECT_FALSE(orphan.Create(r, nullptr, kFieldId + 1, BCS_GLYPH | BCS_GLYPH2, WM_BROWSECTRL_NOTIFY));
  HWND window = nullptr;
  {
    CBrowseCtrl made;
    ASSERT_TRUE(made.Create(r, host.Hwnd(), kFieldId + 1, BCS_GLYPH | BCS_GLYPH2, WM_BROWSECTRL_NOTIFY));
    EXPECT_EQ(1, made.createdByCreate);
    EXPECT_EQ(static_cast<UINT>(WM_BROWSECTRL_NOTIFY), made.notifyMessage);
    window = made.Hwnd();
    EXPECT_EQ(window, GetDlgItem(host.Hwnd(), kFieldId + 1));
    ASSERT_NE(nullptr, made.EditHwnd());
    // Without BCS_EDITABLE the edit is read-only.
    EXPECT_TRUE(GetWindowLongW(made.EditHwnd(), GWL_STYLE) & ES_READONLY);
  }
  // The control's own window goes with it.
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(BrowseCtrlTest, PathNameFollowsTheLastChoiceOrWhatWasTyped) {
  CBrowseCtrl& c = MakeField(200);
  c.SetPathName(L"C:\\Dorvane\\Scenarios\\Letter.scn");
  EXPECT_EQ(L"C:\\Dorvane\\Scenarios\\Letter.scn", EditText());
  EXPECT_EQ(L"C:\\Dorvane\\Scenarios\\Letter.scn", c.GetPathName());

  // Typing the same path in other letter case keeps the chosen spelling.
  SetWindowTextW(c.EditHwnd(), L"c:\\dorvane\\scenarios\\LETTER.SCN");
  EXPECT_EQ(1, c.typed);
  EXPECT_EQ(L"C:\\Dorvane\\Scenarios\\Letter.scn", c.GetPathName());

  SetWindowTextW(c.EditHwnd(), L"D:\\Other.scn");
  EXPECT_EQ(L"D:\\Other.scn", c.GetPathName());
  SetWindowTextW(c.EditHwnd(), L"");
  EXPECT_EQ(L"", c.GetPathName());
}

TEST_F(BrowseCtrlTest, ChoosingSeveralFilesKeepsThemAllAndNotifiesBeforeTheCommand) {
  CBrowseCtrl& c = MakeField(200);
  c.SetPathName(L"C:\\start.tpl");
  std::wstring offered;
  BrowseDialogs().file = [&](OPENFILENAMEW& ofn) {
    offered = ofn.lpstrFile;
    EXPECT_EQ(host.Hwnd(), ofn.hwndOwner);
    EXPECT_EQ(65535u, ofn.nMaxFile);
    AnswerFiles(ofn, {L"C:\\jobs", L"a.tpl", L"b.tpl", L"c.tpl"});
    return true;
  };
  EXPECT_EQ(1, c.Browse());
  EXPECT_EQ(L"C:\\start.tpl", offered);
  EXPECT_EQ(3, c.resultCount);
  EXPECT_EQ((std::vector<std::wstring>{L"C:\\jobs\\a.tpl", L"C:\\jobs\\b.tpl", L"C:\\jobs\\c.tpl"}), c.ResultPaths());
  EXPECT_EQ(3 * 14 + 1, c.resultLength);
  EXPECT_EQ(L"C:\\jobs\\a.tpl", c.GetPathName());
  EXPECT_EQ(L"C:\\jobs\\a.tpl", EditText());
  EXPECT_EQ(0, c.typed);

  // The notification is sent during Browse; the command is posted after it.
  ASSERT_EQ(1u, host.got.size());
  EXPECT_EQ(static_cast<UINT>(WM_BROWSECTRL_NOTIFY), host.got[0].msg);
  EXPECT_EQ(1u, host.got[0].wParam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(c.Hwnd()), host.got[0].lParam);
  Drain();
  ASSERT_EQ(2u, host.got.size());
  EXPECT_EQ(static_cast<UINT>(WM_COMMAND), host.got[1].msg);
  EXPECT_EQ(MAKEWPARAM(kFieldId, BN_CLICKED), host.got[1].wParam);
}

TEST_F(BrowseCtrlTest, CancelOrASecondBrowseKeepsThePreviousResult) {
  CBrowseCtrl& c = MakeField(200);
  c.SetPathName(L"C:\\kept.tpl");
  BrowseDialogs().file = [&](OPENFILENAMEW&) {
    // A second browse while the dialog is open does nothing.
    EXPECT_EQ(2, c.DoBrowse());
    return false;
  };
  EXPECT_EQ(2, c.Browse());
  EXPECT_EQ(L"C:\\kept.tpl", c.GetPathName());
  Drain();
  ASSERT_EQ((std::vector<UINT>{WM_BROWSECTRL_NOTIFY, WM_COMMAND}), Messages());
  EXPECT_EQ(2u, host.got[0].wParam);
}

TEST_F(BrowseCtrlTest, FolderFieldAsksForAFolder) {
  CBrowseCtrl& c = MakeField(200, BCS_GLYPH | BCS_GLYPH3 | BCS_EDITABLE | BCS_FOLDER);
  c.folderPrompt = L"Pick";
  BrowseDialogs().file = [](OPENFILENAMEW&) {
    ADD_FAILURE() << "file dialog for a folder field";
    return false;
  };
  BrowseDialogs().folder = [](BROWSEINFOW& info, std::wstring& path) {
    EXPECT_STREQ(L"Pick", info.lpszTitle);
    EXPECT_EQ(static_cast<UINT>(BIF_RETURNONLYFSDIRS), info.ulFlags);
    path = L"C:\\Dorvane\\Templates";
    return true;
  };
  EXPECT_EQ(1, c.DoBrowse());
  EXPECT_EQ(L"C:\\Dorvane\\Templates", c.GetPathName());
  EXPECT_EQ(1, c.resultCount);
  EXPECT_EQ(20, c.resultLength);
  EXPECT_EQ(L"C:\\Dorvane\\Templates", EditText());
}

TEST_F(BrowseCtrlTest, MouseAndKeysBrowseOnlyWhenReleasedOnTheButton) {
  CBrowseCtrl& c = MakeField(200);
  int dialogs = 0;
  BrowseDialogs().file = [&](OPENFILENAMEW&) {
    ++dialogs;
    return false;
  };
  const LPARAM onButton = MAKELPARAM(185, 10), outside = MAKELPARAM(50, 10);

  SendMessageW(c.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, onButton);
  EXPECT_EQ(1, c.pressed);
  ASSERT_EQ(1u, host.got.size());
  EXPECT_EQ(static_cast<UINT>(WM_BROWSECTRL_PRESSED), host.got[0].msg);
  EXPECT_EQ(1u, host.got[0].wParam);
  SendMessageW(c.Hwnd(), WM_LBUTTONUP, 0, outside);
  EXPECT_EQ(0, c.pressed);
  EXPECT_EQ(0, dialogs);

  SendMessageW(c.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, onButton);
  SendMessageW(c.Hwnd(), WM_LBUTTONUP, 0, onButton);
  EXPECT_EQ(1, dialogs);

  // A press outside the button neither captures nor browses.
  SendMessageW(c.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, outside);
  SendMessageW(c.Hwnd(), WM_LBUTTONUP, 0, outside);
  EXPECT_EQ(1, dialogs);

  SendMessageW(c.Hwnd(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(1, c.pressed);
  SendMessageW(c.Hwnd(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(2, dialogs);

  // Enter in the edit browses as the button does.
  SendMessageW(c.EditHwnd(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(3, dialogs);
  Drain();
  int commands = 0;
  for (UINT m : Messages()) commands += m == WM_COMMAND;
  EXPECT_EQ(3, commands);
}

TEST_F(BrowseCtrlTest, HoverEndsWhenTheCursorLeavesTheButton) {
  CBrowseCtrl& c = MakeField(200, BCS_GLYPH | BCS_GLYPH3 | BCS_EDITABLE | BCS_FLAT);
  SetCursorPos(390, 190);
  SendMessageW(c.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(185, 10));
  EXPECT_EQ(1, c.hover);
  EXPECT_EQ(0, c.pressed);
  DrainUntil([&] { return c.hover == 0; });
  EXPECT_EQ(0, c.hover);
}

TEST_F(BrowseCtrlTest, LeavingTheEditTellsTheOwner) {
  CBrowseCtrl& c = MakeField(200);
  HWND other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 60, 100, 22, host.Hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(host.Hwnd());
  SetFocus(c.Hwnd());
  EXPECT_EQ(c.EditHwnd(), GetFocus());
  SetWindowTextW(c.EditHwnd(), L"C:\\typed.scn");
  DrainUntil([&] { return c.editHasFocus == 1; });
  EXPECT_EQ(1, c.editHasFocus);
  host.got.clear();
  SetFocus(other);
  DrainUntil([&] { return c.editHasFocus == 0; });
  EXPECT_EQ(0, c.editHasFocus);
  // (The other edit's own notifications arrive as commands beside it.)
  int pressedMessages = 0;
  for (UINT m : Messages()) pressedMessages += m == WM_BROWSECTRL_PRESSED;
  EXPECT_EQ(1, pressedMessages);
  EXPECT_EQ(L"C:\\typed.scn", c.GetPathName());
}

TEST_F(BrowseCtrlTest, WithoutAWindowTheFieldStillBrowses) {
  CBrowseCtrl c;
  c.SetFilter(L"Log Files (*.log)|*.log|All Files (*.*)|*.*||");
  c.SetOFNFlags(0x1004);
  BrowseDialogs().file = [](OPENFILENAMEW& ofn) {
    EXPECT_EQ(nullptr, ofn.hwndOwner);
    EXPECT_EQ(0x81004u, ofn.Flags);
    EXPECT_EQ(nullptr, ofn.lpstrTitle);
    EXPECT_STREQ(L"Log Files (*.log)", ofn.lpstrFilter);
    AnswerFiles(ofn, {L"C:\\Dorvane\\Events.log"});
    return true;
  };
  EXPECT_EQ(1, c.DoBrowse());
  EXPECT_EQ(L"C:\\Dorvane\\Events.log", c.GetPathName());
  EXPECT_EQ(1, c.resultCount);
}

}  // namespace
