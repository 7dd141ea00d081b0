// Dialogs: the modal loop with its idle hook and owner handling, OK and
// Cancel, modeless dialogs and the form view.
#include <windows.h>
#include <gtest/gtest.h>

#include "ui/Dialog.h"
#include "ui/tests/LayerFixture.h"

namespace layertest {
namespace {

class NameDialog final : public ui::Dialog {
 public:
  NameDialog() : ui::Dialog(IDD_TEST_DIALOG) {}
  bool initialised = false;
  std::wstring typed;

 protected:
  bool OnInitDialog() override {
    initialised = true;
    SetItemText(IDC_TEST_EDIT, L"start");
    return true;
  }
  void OnOK() override {
    typed = ItemText(IDC_TEST_EDIT);
    ui::Dialog::OnOK();
  }
};

// Answers the next modal dialog once: records the owner's state, types a
// text and presses a button.
struct Answer {
  HWND owner = nullptr;
  bool ownerWasEnabled = true;
  int passes = 0;
  void Install(const wchar_t* text, int button) {
    ui::Dialog::SetModalHook([this, text, button](ui::Dialog& dlg) {
      ++passes;
      owner = GetWindow(dlg.Hwnd(), GW_OWNER);
      ownerWasEnabled = IsWindowEnabled(owner) != FALSE;
      dlg.SetItemText(IDC_TEST_EDIT, text);
      SendMessageW(dlg.Item(button), BM_CLICK, 0, 0);
    });
  }
  ~Answer() { ui::Dialog::SetModalHook(nullptr); }
};

TEST_F(LayerTest, ModalDialogIsOwnedByTheMainWindowWhichItDisables) {
  struct Row {
    const char* name;
    int button;
    INT_PTR result;
    const wchar_t* typed;
  } rows[] = {{"OK", IDOK, IDOK, L"typed"}, {"Cancel", IDCANCEL, IDCANCEL, L""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Answer answer;
    answer.Install(L"typed", row.button);
    NameDialog dlg;
    EXPECT_EQ(row.result, dlg.DoModal());
    EXPECT_TRUE(dlg.initialised);
    EXPECT_EQ(row.typed, dlg.typed);
    EXPECT_EQ(1, answer.passes);
    EXPECT_EQ(frame->Hwnd(), answer.owner);
    EXPECT_FALSE(answer.ownerWasEnabled);
    EXPECT_TRUE(IsWindowEnabled(frame->Hwnd())) << "enabled again at the end";
    EXPECT_EQ(nullptr, dlg.Hwnd());
  }
}

// An owner that its caller keeps disabled stays so; one that the caller
// disabled for the dialog alone is enabled again before the dialog goes, and
// so is the active window afterwards.
TEST_F(LayerTest, ModalDialogLeavesADisabledOwnerDisabledUnlessDisabledForIt) {
  struct Row {
    const char* name;
    bool forTheDialog;
  } rows[] = {{"kept disabled by the caller", false}, {"disabled for the dialog", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetActiveWindow(frame->Hwnd());
    EnableWindow(frame->Hwnd(), FALSE);
    Answer answer;
    answer.Install(L"x", IDOK);
    NameDialog dlg;
    if (row.forTheDialog) dlg.EnableOwnerAtEnd();
    EXPECT_EQ(IDOK, dlg.DoModal(frame->Hwnd()));
    EXPECT_EQ(frame->Hwnd(), answer.owner);
    EXPECT_EQ(row.forTheDialog, IsWindowEnabled(frame->Hwnd()) != FALSE);
    if (row.forTheDialog) {
      EXPECT_EQ(frame->Hwnd(), GetActiveWindow());
    }
    EnableWindow(frame->Hwnd(), TRUE);
  }
}

// The centre of a window's rectangle.
POINT Centre(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(LayerTest, DialogOpenedFromAModalDialogIsOwnedByItAndKeepsItDisabled) {
  MoveWindow(frame->Hwnd(), 100, 80, 700, 500, TRUE);
  struct Seen {
    HWND self = nullptr, owner = nullptr;
    bool outerEnabled = true, frameEnabled = true;
    POINT centre{}, ownerCentre{};
  } inner, outer;
  NameDialog outerDialog, innerDialog;
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    if (&dlg == &outerDialog) {
      outer.self = dlg.Hwnd();
      outer.owner = GetWindow(dlg.Hwnd(), GW_OWNER);
      outer.centre = Centre(dlg.Hwnd());
      outer.ownerCentre = Centre(frame->Hwnd());
      // Opened with no owner, as the editors open one another.
      if (!inner.owner) innerDialog.DoModal();
      dlg.EndDialog(IDOK);
      return;
    }
    inner.owner = GetWindow(dlg.Hwnd(), GW_OWNER);
    inner.outerEnabled = IsWindowEnabled(outerDialog.Hwnd()) != FALSE;
    inner.frameEnabled = IsWindowEnabled(frame->Hwnd()) != FALSE;
    inner.centre = Centre(dlg.Hwnd());
    inner.ownerCentre = Centre(outerDialog.Hwnd());
    dlg.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(IDOK, outerDialog.DoModal());
  ui::Dialog::SetModalHook(nullptr);
  EXPECT_EQ(frame->Hwnd(), outer.owner);
  EXPECT_EQ(IDCANCEL, innerDialog.Result());
  EXPECT_EQ(outer.self, inner.owner) << "owned by the dialog in front, not by the main window";
  EXPECT_FALSE(inner.outerEnabled);
  EXPECT_FALSE(inner.frameEnabled);
  EXPECT_TRUE(IsWindowEnabled(frame->Hwnd()));
  // Each opens centred over its owner (a pixel of rounding either way).
  for (const Seen* seen : {&outer, &inner}) {
    EXPECT_NEAR(seen->ownerCentre.x, seen->centre.x, 1);
    EXPECT_NEAR(seen->ownerCentre.y, seen->centre.y, 1);
  }
}

TEST_F(LayerTest, DialogThatPlacesItselfIsNotCentred) {
  class Placed final : public ui::Dialog {
   public:
    Placed() : ui::Dialog(IDD_TEST_DIALOG) {}
    RECT shown = {};

   protected:
    bool OnInitDialog() override {
      SetWindowPos(Hwnd(), nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      return true;
    }
    void OnIdle() override {
      GetWindowRect(Hwnd(), &shown);
      EndDialog(IDOK);
    }
  } dlg;
  dlg.DoModal();
  EXPECT_EQ(3, dlg.shown.left);
  EXPECT_EQ(4, dlg.shown.top);
}

TEST_F(LayerTest, DialogThatOnlyResizesItselfIsCentredAtItsNewSize) {
  class Widened final : public ui::Dialog {
   public:
    Widened() : ui::Dialog(IDD_TEST_DIALOG) {}
    RECT shown = {};
    RECT owner = {};

   protected:
    bool OnInitDialog() override {
      RECT r = {};
      GetWindowRect(Hwnd(), &r);
      SetWindowPos(Hwnd(), nullptr, 0, 0, r.right - r.left + 200, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
      return true;
    }
    void OnIdle() override {
      GetWindowRect(Hwnd(), &shown);
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
      if (HWND frame = GetWindow(Hwnd(), GW_OWNER)) GetWindowRect(frame, &owner);
      EndDialog(IDOK);
    }
  } dlg;
  dlg.DoModal();
  const RECT& owner = dlg.owner;
  EXPECT_NEAR((owner.left + owner.right) / 2, (dlg.shown.left + dlg.shown.right) / 2, 1);
  EXPECT_NEAR((owner.top + owner.bottom) / 2, (dlg.shown.top + dlg.shown.bottom) / 2, 1);
}

TEST(DialogTest, ModelessDialogEndsByDestroyingItself) {
  NameDialog dlg;
  ASSERT_TRUE(dlg.CreateModeless(nullptr));
  EXPECT_TRUE(dlg.initialised);
  EXPECT_EQ(L"start", dlg.ItemText(IDC_TEST_EDIT));
  EXPECT_FALSE(dlg.IsModal());
  dlg.SetItemText(IDC_TEST_EDIT, L"done");
  SendMessageW(dlg.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(L"done", dlg.typed);
  EXPECT_EQ(IDOK, dlg.Result());
  EXPECT_EQ(nullptr, dlg.Hwnd());
}

TEST(DialogTest, MissingTemplateFailsWithoutShowing) {
  class Missing final : public ui::Dialog {
   public:
    Missing() : ui::Dialog(9999) {}
  } dlg;
  EXPECT_EQ(-1, dlg.DoModal(nullptr));
  EXPECT_FALSE(dlg.CreateModeless(nullptr));
}

TEST_F(LayerTest, FormViewIsAChildThatEnterAndEscapeDoNotClose) {
  HWND view = frame->view.Hwnd();
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(frame->Hwnd(), GetParent(view));
  EXPECT_TRUE(GetWindowLongW(view, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(0xE900, GetDlgCtrlID(view));
  SendMessageW(view, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  SendMessageW(view, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(IsWindow(view));
}

}  // namespace
}  // namespace layertest
