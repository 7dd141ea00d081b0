// The editors opened from one another with their pencil buttons, the real
// ones: Job Process opens the scenario editor, whose page opens the page
// template editor. Each runs modally to the dialog it was opened from, so
// that no dialog under the one in front can be used (two editors on one
// file would undo each other's changes), and each opens centred over it.
// Message boxes are owned the same way.
#include "controller/tests/ControllerFixture.h"

#include "controller/DlgEditScenario.h"
#include "controller/DlgEditTemplate.h"
#include "controller/DlgJobProcess.h"

namespace ctltest {
namespace {

// The shown control of that id among the dialog's descendants.
HWND ShownItem(HWND dialog, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      dialog,
      [](HWND hwnd, LPARAM param) {
        auto& s = *reinterpret_cast<Search*>(param);
        if (GetDlgCtrlID(hwnd) != s.id || !IsWindowVisible(hwnd)) return TRUE;
        s.found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Presses a button as its parent (the dialog or a page of it) sees it.
void Press(HWND button) {
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

POINT Centre(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct Opened {
  HWND hwnd = nullptr;
  HWND owner = nullptr;
  POINT centre{}, ownerCentre{};
  void Record(HWND dialog) {
    hwnd = dialog;
    owner = GetWindow(dialog, GW_OWNER);
    centre = Centre(dialog);
    ownerCentre = Centre(owner);
  }
};

TEST_F(ControllerTest, NestedEditorsAreModalToTheDialogThatOpenedThem) {
  const std::wstring pageTemplate = folder.Path() + L"Page.dpt";
  const std::wstring scenario = folder.Path() + L"Sales.scn";
  ASSERT_TRUE(dvtest::WriteFileBytes(pageTemplate, ""));
  WritePrivateProfileStringW(L"General", L"PortraitDefaultTemplateFile", pageTemplate.c_str(), scenario.c_str());
  SetGeneral(L"DefaultScenarioFile", scenario.c_str());
  HWND messageOwner = nullptr;
  ui::Prompts().messageBox = [&](HWND owner, const std::wstring&, const std::wstring&, UINT) {
    messageOwner = owner;
    return IDOK;
  };
  ASSERT_TRUE(Start());

  Opened jobProcess, scenarioEditor, templateEditor;
  bool jobProcessEnabled = true, scenarioEditorEnabled = true, frameEnabled = true;
  ui::Dialog::SetModalHook([&](ui::Dialog& dlg) {
    if (dynamic_cast<CDlgJobProcess*>(&dlg)) {
      if (!jobProcess.hwnd) {
        jobProcess.Record(dlg.Hwnd());
        // A refusal's message box belongs to the dialog it is about.
        dlg.SetItemText(IDC_JP_GROUP_NAME, L"a]b");
        Press(dlg.Item(IDC_JP_ADD_GROUP));
        Press(dlg.Item(IDC_JP_EDIT_DEFAULT));  // runs the scenario editor
      }
    } else if (dynamic_cast<CDlgEditScenario*>(&dlg)) {
      if (!scenarioEditor.hwnd) {
        scenarioEditor.Record(dlg.Hwnd());
        Press(ShownItem(dlg.Hwnd(), IDC_SCN_EDIT_DEFAULT));  // runs the template editor
      }
    } else if (dynamic_cast<CDlgEditTemplate*>(&dlg)) {
      templateEditor.Record(dlg.Hwnd());
      jobProcessEnabled = IsWindowEnabled(jobProcess.hwnd) != FALSE;
      scenarioEditorEnabled = IsWindowEnabled(scenarioEditor.hwnd) != FALSE;
      frameEnabled = IsWindowEnabled(frame->Hwnd()) != FALSE;
    }
    dlg.EndDialog(IDCANCEL);
  });
  Command(ID_EDIT_JOB_PROCESS);
  ui::Dialog::SetModalHook(nullptr);

  ASSERT_NE(nullptr, templateEditor.hwnd) << "the template editor was not reached";
  EXPECT_EQ(frame->Hwnd(), jobProcess.owner);
  EXPECT_EQ(jobProcess.hwnd, messageOwner);
  EXPECT_EQ(jobProcess.hwnd, scenarioEditor.owner);
  EXPECT_EQ(scenarioEditor.hwnd, templateEditor.owner);
  EXPECT_FALSE(jobProcessEnabled);
  EXPECT_FALSE(scenarioEditorEnabled);
  EXPECT_FALSE(frameEnabled);
  EXPECT_TRUE(IsWindowEnabled(frame->Hwnd()));
  for (const Opened* opened : {&jobProcess, &scenarioEditor, &templateEditor}) {
    EXPECT_NEAR(opened->ownerCentre.x, opened->centre.x, 1);
    EXPECT_NEAR(opened->ownerCentre.y, opened->centre.y, 1);
  }
}

}  // namespace
}  // namespace ctltest
