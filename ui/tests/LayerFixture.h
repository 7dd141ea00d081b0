// A small application for the window-layer tests: a frame with a form view,
// a toolbar of three buttons and a status bar with two sample panes and the
// Caps Lock indicator. Each object records what reached it.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "ui/App.h"
#include "ui/CmdUI.h"
#include "ui/FormView.h"
#include "ui/FrameWindow.h"
#include "ui/StatusBar.h"
#include "ui/ToolBar.h"
#include "ui/tests/TestResource.h"

namespace layertest {

// Removes every message left in the thread's queue, WM_QUIT included, so
// that one test's closing window cannot end the next test's loop.
inline void DrainQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) DispatchMessageW(&msg);
  }
}

class TestView final : public ui::FormView {
 public:
  TestView() : ui::FormView(IDD_TEST_FORM) {}
  int runs = 0;
  bool enabled = true;

  bool OnCommand(UINT id, UINT, HWND) override {
    if (id != ID_TEST_VIEW_CMD) return false;
    ++runs;
    return true;
  }
  bool OnUpdate(ui::CmdUI& cmd) override {
    if (cmd.Id() != ID_TEST_VIEW_CMD) return false;
    cmd.Enable(enabled);
    return true;
  }
  HWND List() const { return Item(IDC_TEST_LIST); }
};

class TestFrame final : public ui::FrameWindow {
 public:
  TestView view;
  ui::ToolBar toolBar;
  ui::StatusBar statusBar;
  int runs = 0;
  int paneUpdates = 0;
  std::wstring paneText = L"hello";

  ~TestFrame() override { Destroy(); }

  bool OnCommand(UINT id, UINT code, HWND control) override {
    if (id == ID_TEST_FRAME_CMD) {
      ++runs;
      return true;
    }
    return ui::FrameWindow::OnCommand(id, code, control);
  }
  bool OnUpdate(ui::CmdUI& cmd) override {
    switch (cmd.Id()) {
      case ID_TEST_FRAME_CMD:
        return true;
      case ID_TEST_CHECKED_CMD:
        cmd.SetCheck(true);
        return true;
      case ID_TEST_PANE_SHORT:
        ++paneUpdates;
        cmd.SetText(paneText);
        return true;
      case ID_TEST_PANE_LONG:
        return true;
      default:
        return ui::FrameWindow::OnUpdate(cmd);
    }
  }

 protected:
  int OnCreate(CREATESTRUCTW&) override {
    static const UINT kButtons[] = {ID_TEST_VIEW_CMD, ID_SEPARATOR, ID_TEST_FRAME_CMD, ID_TEST_NOBODY_CMD};
    static const UINT kPanes[] = {ID_SEPARATOR, ID_TEST_PANE_SHORT, ID_TEST_PANE_LONG, ID_INDICATOR_CAPS};
    if (!view.CreateView(Hwnd(), 0xE900)) return -1;
    SetView(&view);
    if (!toolBar.Create(Hwnd(), 0xE800, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                        IDR_TEST_FRAME, 16, 16, kButtons, 4))
      return -1;
    SetToolBar(&toolBar);
    if (!statusBar.Create(Hwnd(), 0xE801, WS_CHILD | WS_VISIBLE | CCS_BOTTOM) ||
        !statusBar.SetIndicators(kPanes, 4))
      return -1;
    SetStatusBar(&statusBar);
    return 0;
  }
};

class TestApp final : public ui::App {
 public:
  int runs = 0;
  int idlePasses = 0;
  TestFrame* frame = nullptr;

  bool InitInstance() override {
    auto window = std::make_unique<TestFrame>();
    if (!window->CreateFrame(L"Layer Test", WS_OVERLAPPEDWINDOW, IDR_TEST_FRAME, IDR_TEST_FRAME, 0)) return false;
    frame = window.get();
    SetMainWindow(std::move(window));
    ShowWindow(frame->Hwnd(), SW_SHOWNORMAL);
    SetWindowPos(frame->Hwnd(), nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOMOVE);
    return true;
  }
  bool OnCommand(UINT id, UINT code) override {
    if (id == ID_TEST_APP_CMD) {
      ++runs;
      return true;
    }
    return ui::App::OnCommand(id, code);
  }
  bool OnUpdate(ui::CmdUI& cmd) override { return cmd.Id() == ID_TEST_APP_CMD || ui::App::OnUpdate(cmd); }
  void OnIdle() override {
    ++idlePasses;
    ui::App::OnIdle();
  }
};

class LayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TestApp>();
    ASSERT_TRUE(app->InitInstance());
    frame = app->frame;
    DrainQueue();
  }
  void TearDown() override {
    app.reset();
    DrainQueue();
  }
  // Posts a message that starts a burst and runs the loop until it is idle.
  void Pump() {
    PostMessageW(frame->Hwnd(), WM_NULL, 0, 0);
    app->PumpPending();
  }

  std::unique_ptr<TestApp> app;
  TestFrame* frame = nullptr;
};

}  // namespace layertest
