// Start-up: the maximised main window, shown active, the entrance password, the menu check
// marks from the settings file; the About box; New, Open and Save on the
// empty document; the accelerator table.
#include "controller/tests/ControllerFixture.h"

#include "common/PlatformHelpers.h"
#include "controller/AboutDlg.h"

namespace ctltest {
namespace {

UINT MenuState(HWND frame, UINT id) { return GetMenuState(GetMenu(frame), id, MF_BYCOMMAND); }

std::wstring Title(HWND hwnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(hwnd, buf, 256);
  return buf;
}

TEST_F(ControllerTest, StartsMaximisedWithoutPromptWhenNoPasswordIsSet) {
  bool prompted = false;
  EntrancePassword().prompt = [&](HWND, const std::wstring&, std::wstring&) { return prompted = true; };
  ASSERT_TRUE(Start());
  EXPECT_FALSE(prompted);
  EXPECT_TRUE(IsWindowVisible(frame->Hwnd()));
  EXPECT_TRUE(IsZoomed(frame->Hwnd()));
  EXPECT_TRUE(IsWindowEnabled(frame->Hwnd()));
  EXPECT_EQ(L"Dorvane - Untitled", Title(frame->Hwnd()));
  const auto events = Events();
  ASSERT_EQ(1u, events.size());
  EXPECT_EQ(4001, events[0].code);
  EXPECT_EQ("", events[0].detail);
}

TEST_F(ControllerTest, StoredPasswordIsAskedOnceByAPromptOwnedByTheDisabledMainWindow) {
  struct Row {
    const char* name;
    bool ok;
    const wchar_t* typed;
    bool started;
    int event;
  } rows[] = {
      {"right password", true, L"Se cret", true, 4001},
      {"other letter case", true, L"se cret", false, 2006},
      {"cancelled", false, L"Se cret", false, 2006},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DeleteFileW(folder.EventLog().c_str());
    EntrancePassword().readStored = [] { return std::wstring(L"Se cret"); };
    int prompts = 0;
    bool ownerShownAndDisabled = false;
    HWND owner = nullptr;
    EntrancePassword().prompt = [&](HWND o, const std::wstring& stored, std::wstring& typed) {
      ++prompts;
      owner = o;
      ownerShownAndDisabled = IsWindowVisible(o) && !IsWindowEnabled(o);
      typed = row.typed;
      return row.ok;
    };
    EXPECT_EQ(row.started, Start());
    EXPECT_EQ(1, prompts);
    EXPECT_NE(nullptr, owner);
    EXPECT_TRUE(ownerShownAndDisabled);
    if (row.started) {
      EXPECT_EQ(owner, frame->Hwnd());
      EXPECT_TRUE(IsWindowEnabled(frame->Hwnd()));
    } else {
      EXPECT_EQ(nullptr, app->MainWindow()) << "the main window is destroyed";
      EXPECT_FALSE(IsWindow(owner));
    }
    const auto events = Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(row.event, events[0].code);
    EXPECT_EQ("", events[0].detail) << "nothing typed is logged";
    Stop();
  }
}

// A registry copy written by hand, not by the codec, still locks: the real
// prompt appears and its Cancel ends the program.
TEST_F(ControllerTest, AHandWrittenRegistryCopyKeepsTheControllerLocked) {
  EntrancePassword() = DefaultEntrancePasswordSource();
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"EntrancePassword", L"ABC123");
  int prompts = 0;
  RECT prompt = {}, main = {};
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    ++prompts;
    GetWindowRect(dlg.Hwnd(), &prompt);
    GetWindowRect(GetWindow(dlg.Hwnd(), GW_OWNER), &main);
    dlg.EndDialog(IDCANCEL);
  });
  const bool started = Start();
  // Centred over the main window, not over its menu at the screen's corner.
  EXPECT_NEAR((main.left + main.right) / 2, (prompt.left + prompt.right) / 2, 1);
  EXPECT_NEAR((main.top + main.bottom) / 2, (prompt.top + prompt.bottom) / 2, 1);
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"EntrancePassword", L"");
  EXPECT_FALSE(started);
  EXPECT_EQ(1, prompts);
  ASSERT_EQ(1u, EventsWithCode(2006).size());
  EXPECT_TRUE(Start()) << "an empty registry copy sets no password";
  EXPECT_EQ(1, prompts);
}

// The prompt comes before the message loop's first idle pass: the panes must
// already show the values, not the sample texts that size them.
TEST_F(ControllerTest, StatusPanesShowTheirValuesWhenThePasswordIsAsked) {
  AddJob(7);
  AddJob(8);
  SetGeneral(L"LastJobNumber", L"8");
  EntrancePassword().readStored = [] { return std::wstring(L"pw"); };
  std::wstring lastJob, jobCount;
  EntrancePassword().prompt = [&](HWND owner, const std::wstring&, std::wstring& typed) {
    const CMainFrame* main = static_cast<CMainFrame*>(ui::Window::FromHandle(owner));
    lastJob = main->statusBar.PaneText(main->statusBar.CommandToIndex(ID_INDICATOR_LAST_JOB));
    jobCount = main->statusBar.PaneText(main->statusBar.CommandToIndex(ID_INDICATOR_JOB_COUNT));
    typed = L"pw";
    return true;
  };
  ASSERT_TRUE(Start());
  EXPECT_EQ(L" Last job number is: 8", lastJob);
  EXPECT_EQ(L" Number of jobs in the spool: 2", jobCount);
}

// The class library's profile key exists after start-up and holds nothing.
TEST_F(ControllerTest, StartUpCreatesTheEmptyProfileKey) {
  const std::wstring path = L"Software\\Local AppWizard-Generated Applications\\Dorvane";
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  ASSERT_TRUE(Start());
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key));
  DWORD subkeys = 1, values = 1;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                            nullptr, nullptr, nullptr, nullptr));
  RegCloseKey(key);
  EXPECT_EQ(0u, subkeys);
  EXPECT_EQ(0u, values);
}

TEST_F(ControllerTest, MenuCheckMarksFollowTheSettingsFile) {
  struct Row {
    const char* name;
    const wchar_t* autoRefresh;
    const wchar_t* deleteAfter;
    bool autoChecked;
    bool saveChecked;
  } rows[] = {
      {"no keys", nullptr, nullptr, true, false},
      {"both off", L"0", L"0", false, true},
      {"non-zero values", L"7", L"5", true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetGeneral(L"AutoRefreshSpool", row.autoRefresh);
    SetGeneral(L"DeleteFilesAfter", row.deleteAfter);
    ASSERT_TRUE(Start());
    EXPECT_EQ(row.autoChecked, (MenuState(frame->Hwnd(), ID_VIEW_AUTO_REFRESH) & MF_CHECKED) != 0);
    EXPECT_EQ(row.saveChecked, (MenuState(frame->Hwnd(), ID_FILE_SAVE_PRINT_JOBS) & MF_CHECKED) != 0);
    Stop();
  }
}

// The main window opens active, and looks it: its caption is drawn in the
// active caption's colour (at its left end, where the gradient starts).
TEST_F(ControllerTest, MainWindowOpensWithAnActiveCaption) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(frame->Hwnd(), GetActiveWindow());
  RECT window = {};
  GetWindowRect(frame->Hwnd(), &window);
  const int border = GetSystemMetrics(SM_CXFRAME);
  POINT inCaption = {GetSystemMetrics(SM_CXSMICON) + 2 * border + 4,
                     GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
  // Away from the title's letters: just right of the icon, above the middle.
  inCaption.y -= GetSystemMetrics(SM_CYCAPTION) / 3;
  HDC dc = GetWindowDC(frame->Hwnd());
  const COLORREF shown = GetPixel(dc, inCaption.x, inCaption.y);
  ReleaseDC(frame->Hwnd(), dc);
  EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), shown);
}

// However start-up ends, with or without the real password prompt, the main
// window is the active one with the focus in the spool list, so that keys
// work at once: F1 opens the help and Shift+F1 starts the context-help mode,
// in which a click on a toolbar button opens that button's page.
TEST_F(ControllerTest, StartUpLeavesTheMainWindowActiveWithTheFocusInTheList) {
  std::vector<std::wstring> help;
  ui::App::HelpEngineOverride() = [&](HWND, const std::wstring& target, UINT) { help.push_back(target); };
  struct EngineBack {
    ~EngineBack() { ui::App::HelpEngineOverride() = nullptr; }
  } engineBack;
  struct Row {
    const char* name;
    const wchar_t* stored;
  } rows[] = {{"no password", L""}, {"password typed", L"pw"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::wstring stored = row.stored;
    EntrancePassword().readStored = [stored] { return stored; };
    EntrancePassword().prompt = DefaultEntrancePasswordSource().prompt;
    int prompts = 0;
    ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
      ++prompts;
      dlg.SetItemText(IDC_PASSWORD_EXISTING, L"pw");
      SendMessageW(dlg.Item(IDOK), BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(Start());
    ui::Dialog::SetModalHook(nullptr);
    EXPECT_EQ(stored.empty() ? 0 : 1, prompts);
    EXPECT_TRUE(IsWindowEnabled(frame->Hwnd()));
    EXPECT_EQ(frame->Hwnd(), GetActiveWindow());
    EXPECT_EQ(frame->Hwnd(), GetForegroundWindow());
    EXPECT_EQ(frame->SpoolView().JobList().Hwnd(), GetFocus());

    // Keys go where the focus is, as typed.
    auto press = [&](UINT key, bool shift) {
      BYTE keys[256] = {};
      GetKeyboardState(keys);
      keys[VK_SHIFT] = shift ? 0x80 : 0;
      SetKeyboardState(keys);
      PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
      app->PumpPending();
      keys[VK_SHIFT] = 0;
      SetKeyboardState(keys);
    };
    help.clear();
    press(VK_F1, false);
    ASSERT_EQ(1u, help.size());
    EXPECT_EQ(app->HelpFilePath(), help[0]) << "F1: the help file's contents";

    press(VK_F1, true);
    ASSERT_TRUE(frame->InHelpMode());
    EXPECT_EQ(frame->Hwnd(), GetCapture());
    RECT button = {};
    SendMessageW(frame->toolBar.Hwnd(), TB_GETRECT, ID_VIEW_EVENT_LOG, reinterpret_cast<LPARAM>(&button));
    POINT at = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    MapWindowPoints(frame->toolBar.Hwnd(), frame->Hwnd(), &at, 1);
    SendMessageW(frame->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_FALSE(frame->InHelpMode());
    ASSERT_EQ(2u, help.size());
    EXPECT_EQ(app->HelpFilePath() + L"::/eventlog.htm", help[1]);
    Stop();
  }
}

TEST_F(ControllerTest, AboutBoxShowsTheVersionAndTheNotice) {
  ASSERT_TRUE(Start());
  std::wstring version, notice, caption;
  HWND owner = nullptr;
  COLORREF pictureCorner = CLR_INVALID;
  RECT room = {}, wrapped = {};
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    version = dlg.ItemText(IDC_ABOUT_VERSION);
    notice = dlg.ItemText(IDC_ABOUT_NOTICE);
    // The notice as its static wraps it, in the static's font and width.
    HWND text = dlg.Item(IDC_ABOUT_NOTICE);
    GetClientRect(text, &room);
    wrapped = {0, 0, room.right, 0};
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
    DrawTextW(dc, notice.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    caption = Title(dlg.Hwnd());
    owner = GetWindow(dlg.Hwnd(), GW_OWNER);
    auto shown = reinterpret_cast<HBITMAP>(
        SendMessageW(dlg.Item(IDC_ABOUT_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0));
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(memory, shown);
    pictureCorner = GetPixel(memory, 0, 0);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    dlg.EndDialog(IDOK);
  });
  Command(ID_APP_ABOUT);
  ASSERT_FALSE(GetProductVersion().empty());
  EXPECT_EQ(L"Version: " + GetProductVersion(), version);
  EXPECT_EQ(L"Version: 1.43", version);
  EXPECT_EQ(CAboutDlg::LegalNotice(), notice);
  // Three paragraphs, wrapped by the control, so that no sentence leaves a
  // word on a line of its own; the whole notice fits in its static.
  EXPECT_EQ(2, std::count(notice.begin(), notice.end(), L'\n'));
  EXPECT_LE(wrapped.bottom, room.bottom);
  EXPECT_EQ(L"About Dorvane", caption);
  EXPECT_EQ(frame->Hwnd(), owner);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), pictureCorner) << "the picture's grey background is the dialog's face";
}

TEST_F(ControllerTest, NewOpenAndSaveNameTheEmptyDocumentAndNeverWriteAFile) {
  ASSERT_TRUE(Start());
  const std::wstring picked = folder.Path() + L"precious.txt";
  ASSERT_TRUE(dvtest::WriteFileBytes(picked, "keep me"));
  int dialogs = 0;
  bool lastWasOpen = false;
  ui::Prompts().file = [&](HWND, const ui::FileDialogRequest& request, std::wstring& path) {
    ++dialogs;
    lastWasOpen = request.open;
    path = picked;
    return true;
  };

  Command(ID_FILE_SAVE);  // untitled: asks for a name
  EXPECT_EQ(1, dialogs);
  EXPECT_FALSE(lastWasOpen);
  EXPECT_EQ(L"Dorvane - precious.txt", Title(frame->Hwnd()));
  Command(ID_FILE_SAVE);  // named: nothing to ask, nothing written
  EXPECT_EQ(1, dialogs);

  Command(ID_FILE_NEW);
  EXPECT_EQ(L"Dorvane - Untitled", Title(frame->Hwnd()));
  Command(ID_FILE_OPEN);
  EXPECT_EQ(2, dialogs);
  EXPECT_TRUE(lastWasOpen);
  EXPECT_EQ(L"Dorvane - precious.txt", Title(frame->Hwnd()));
  Command(ID_FILE_SAVE);

  EXPECT_EQ("keep me", dvtest::ReadFileBytes(picked));
}

// Keys pressed in the spool list reach the commands of the accelerator
// table; Ctrl+P is refused while no job is selected.
TEST_F(ControllerTest, AcceleratorsRunTheirCommandsWhenEnabled) {
  AddJob(7);
  SetGeneral(L"LastJobNumber", L"20");
  ASSERT_TRUE(Start());
  HWND list = frame->SpoolView().JobList().Hwnd();
  auto press = [&](UINT key, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(list, WM_KEYDOWN, key, 1);
    app->PumpPending();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  };

  AddJob(8);
  press(VK_F5, false);
  EXPECT_EQ(2, frame->SpoolView().JobCount()) << "F5 refreshes";

  SelectRows({});
  press('P', true);
  EXPECT_EQ(L"20", General(L"LastJobNumber")) << "Ctrl+P without a selection does nothing";
  SelectRows({0});
  press('P', true);
  EXPECT_EQ(L"21", General(L"LastJobNumber"));

  int dialogs = 0;
  ui::Prompts().file = [&](HWND, const ui::FileDialogRequest&, std::wstring&) {
    ++dialogs;
    return false;
  };
  press('O', true);
  press('S', true);
  EXPECT_EQ(2, dialogs) << "Ctrl+O and Ctrl+S (untitled) ask for a file";
}

}  // namespace
}  // namespace ctltest
