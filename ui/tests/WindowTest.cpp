// The window base: binding, handler dispatch, subclassing with reflected
// notifications, the exception boundary; the scroll view and the list-view
// wrapper.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "ui/CommonDialogs.h"
#include "ui/Controls.h"
#include "ui/ScrollView.h"
#include "ui/Window.h"
#include "ui/tests/LayerFixture.h"

namespace layertest {
namespace {

const wchar_t kPlainClass[] = L"ui.tests.Plain";

class PlainWindow : public ui::Window {
 public:
  int creates = 0;
  int commands = 0;
  int sizes = 0;
  bool throwOnCommand = false;
  SIZE lastSize = {};

  bool Create(HWND parent = nullptr) {
    ui::RegisterWindowClass(kPlainClass);
    return CreateEx(0, kPlainClass, L"plain", parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                    parent, nullptr);
  }
  bool OnCommand(UINT, UINT, HWND) override {
    if (throwOnCommand) throw std::runtime_error("handler failed");
    ++commands;
    return true;
  }

 protected:
  int OnCreate(CREATESTRUCTW&) override {
    ++creates;
    return 0;
  }
  void OnSize(UINT, int cx, int cy) override {
    ++sizes;
    lastSize = {cx, cy};
  }
};

// Swallows the letter x and claims its own notifications.
class XFilterEdit final : public ui::Window {
 public:
  int reflected = 0;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CHAR && wParam == L'x') return 0;
    return ui::Window::WndProc(msg, wParam, lParam);
  }
  bool OnReflect(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (msg != WM_COMMAND) return false;
    ++reflected;
    result = 0;
    return true;
  }
};

std::wstring TextOf(HWND hwnd) {
  wchar_t buf[64] = {};
  GetWindowTextW(hwnd, buf, 64);
  return buf;
}

TEST(WindowTest, IsBoundFromCreationToDestruction) {
  PlainWindow w;
  ASSERT_TRUE(w.Create());
  HWND hwnd = w.Hwnd();
  EXPECT_EQ(&w, ui::Window::FromHandle(hwnd));
  EXPECT_EQ(1, w.creates);
  SetWindowPos(hwnd, nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_GT(w.sizes, 0);
  RECT client = {};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, w.lastSize.cx);

  DestroyWindow(hwnd);
  EXPECT_EQ(nullptr, w.Hwnd());
  EXPECT_EQ(nullptr, ui::Window::FromHandle(hwnd));
}

TEST(WindowTest, SubclassedControlSeesItsMessagesAndItsNotificationsFirst) {
  PlainWindow parent;
  ASSERT_TRUE(parent.Create());
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, parent.Hwnd(),
                              reinterpret_cast<HMENU>(7), GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, edit);
  {
    XFilterEdit wrapper;
    ASSERT_TRUE(wrapper.Subclass(edit));
    EXPECT_FALSE(wrapper.Subclass(edit));
    SendMessageW(edit, WM_CHAR, L'x', 0);
    SendMessageW(edit, WM_CHAR, L'y', 0);
    EXPECT_EQ(L"y", TextOf(edit));
    EXPECT_GT(wrapper.reflected, 0);
    EXPECT_EQ(0, parent.commands) << "the wrapper claimed the notification";
  }
  // The wrapper let go at its end: the control is its own again.
  EXPECT_EQ(nullptr, ui::Window::FromHandle(edit));
  SendMessageW(edit, WM_CHAR, L'x', 0);
  EXPECT_EQ(L"yx", TextOf(edit));
  EXPECT_GT(parent.commands, 0);
}

TEST(WindowTest, HandlerExceptionsStopAtTheWindowProcedure) {
  PlainWindow w;
  ASSERT_TRUE(w.Create());
  w.throwOnCommand = true;
  EXPECT_EQ(0, SendMessageW(w.Hwnd(), WM_COMMAND, 1, 0));
  EXPECT_NE(nullptr, w.Hwnd());
}

class Drawing final : public ui::ScrollView {
 public:
  POINT drawnOrigin = {};

 protected:
  void OnDraw(HDC dc) override { GetViewportOrgEx(dc, &drawnOrigin); }
};

TEST(ScrollViewTest, ScrollsWithinTheDrawing) {
  PlainWindow host;
  ASSERT_TRUE(host.Create());
  ShowWindow(host.Hwnd(), SW_SHOWNORMAL);
  Drawing view;
  ASSERT_TRUE(view.CreateView(host.Hwnd(), 1));
  MoveWindow(view.Hwnd(), 0, 0, 200, 100, TRUE);
  view.SetScrollSizes({1000, 800}, {0, 0}, {10, 20});
  // The scroll bars take their room from the window.
  RECT client = {};
  GetClientRect(view.Hwnd(), &client);
  ASSERT_LT(client.right, 200);

  view.ScrollTo({5000, 5000});
  EXPECT_EQ(1000 - client.right, view.ScrollPosition().x);
  EXPECT_EQ(800 - client.bottom, view.ScrollPosition().y);
  view.ScrollTo({-5, -5});
  EXPECT_EQ(0, view.ScrollPosition().x);

  SendMessageW(view.Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageW(view.Hwnd(), WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(20, view.ScrollPosition().y);
  EXPECT_EQ(client.right, view.ScrollPosition().x);

  InvalidateRect(view.Hwnd(), nullptr, TRUE);
  UpdateWindow(view.Hwnd());
  EXPECT_EQ(-client.right, view.drawnOrigin.x);
  EXPECT_EQ(-20, view.drawnOrigin.y);

  // A window larger than the drawing does not scroll at all.
  // A page step of its own replaces the window's size.
  view.SetScrollSizes({1000, 800}, {100, 80}, {10, 20});
  SendMessageW(view.Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageW(view.Hwnd(), WM_HSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(100, view.ScrollPosition().y);
  EXPECT_EQ(client.right - 100, view.ScrollPosition().x);

  view.SetScrollSizes({100, 50}, {0, 0}, {10, 10});
  EXPECT_EQ(0, view.ScrollPosition().x);
  EXPECT_EQ(0, view.ScrollPosition().y);
}

TEST(ControlsTest, ListViewWrapperReadsRowsOfAnyLength) {
  PlainWindow host;
  ASSERT_TRUE(host.Create());
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200, host.Hwnd(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ui::ListView view;
  view.Attach(list);
  EXPECT_EQ(0, view.InsertColumn(0, L"First"));
  EXPECT_EQ(1, view.InsertColumn(1, L"Second", LVCFMT_LEFT, 40));
  EXPECT_EQ(2, view.ColumnCount());
  EXPECT_EQ(L"Second", view.ColumnHeader(1));
  EXPECT_EQ(40, view.ColumnWidth(1));

  const std::wstring longText(1000, L'w');
  ASSERT_EQ(0, view.InsertItem(0, L"a", 11));
  ASSERT_EQ(1, view.InsertItem(1, L"b", 22));
  EXPECT_TRUE(view.SetItemText(1, 1, longText));
  EXPECT_EQ(longText, view.ItemText(1, 1));
  EXPECT_EQ(22, view.ItemData(1));

  view.Select(1, true);
  EXPECT_EQ(1, view.SelectedCount());
  EXPECT_EQ(1, view.NextSelected(-1));
  EXPECT_EQ(-1, view.NextSelected(1));

  ui::ListView unattached;
  EXPECT_EQ(0, unattached.ItemCount());
  EXPECT_EQ(L"", unattached.ItemText(0, 0));
}

TEST(ControlsTest, SmallControlWrappersSpeakTheirControlsMessages) {
  PlainWindow host;
  ASSERT_TRUE(host.Create());
  auto make = [&](const wchar_t* cls, DWORD style) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 120, 80, host.Hwnd(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  };
  ui::ComboBox combo;
  combo.Attach(make(L"COMBOBOX", CBS_DROPDOWNLIST));
  combo.AddString(L"Alpha");
  combo.AddString(L"Beta");
  EXPECT_EQ(1, combo.FindStringExact(L"BETA")) << "found ignoring case";
  EXPECT_EQ(L"Beta", combo.LBText(1));

  ui::ListBox box;
  box.Attach(make(L"LISTBOX", LBS_SORT));
  box.AddString(L"zeta");
  box.AddString(L"eta");
  EXPECT_EQ(L"eta", box.Text(0));
  EXPECT_EQ(2, box.Count());

  // A spin control's position is its signed 16-bit value.
  ui::UpDown spin;
  spin.Attach(make(UPDOWN_CLASSW, 0));
  spin.SetRange(-100, 100);
  spin.SetPos(-42);
  EXPECT_EQ(-42, spin.Pos());

  ui::Tab tab;
  tab.Attach(make(WC_TABCONTROLW, 0));
  tab.InsertItem(0, L"Portrait");
  tab.InsertItem(1, L"Landscape");
  tab.SetCurSel(1);
  EXPECT_EQ(2, tab.Count());
  EXPECT_EQ(1, tab.CurSel());

  ui::ImageList images;
  ASSERT_TRUE(images.Create(16, 16));
  HBITMAP strip = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TEST_FRAME), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(nullptr, strip);
  EXPECT_EQ(0, images.Add(strip, RGB(192, 192, 192)));
  DeleteObject(strip);
  EXPECT_EQ(3, images.Count());
}

TEST(PromptsTest, ReplacementsAnswerAndAreRestored) {
  {
    ui::ScopedPrompts scope;
    HWND seenOwner = reinterpret_cast<HWND>(1);
    std::wstring seenCaption;
    ui::Prompts().messageBox = [&](HWND owner, const std::wstring&, const std::wstring& caption, UINT) {
      seenOwner = owner;
      seenCaption = caption;
      return IDYES;
    };
    EXPECT_EQ(IDYES, ui::AppMessageBox(L"Sure?", MB_YESNO));
    EXPECT_EQ(nullptr, seenOwner) << "no application, no owner";
    EXPECT_EQ(L"", seenCaption);

    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(IDYES, ui::AppMessageBox(L"Sure?", MB_YESNO));
    EXPECT_EQ(app.MainHwnd(), seenOwner);
    EXPECT_EQ(L"Layer Test", seenCaption);
    app.DestroyMainWindow();
    DrainQueue();
  }
  EXPECT_FALSE(ui::Prompts().messageBox);
}

}  // namespace
}  // namespace layertest
