// The controller started in process on a fresh install folder, with the
// entrance password and the prompts answered by the test. Helpers write job
// files and read the event log back.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "controller/DorvaneApp.h"
#include "controller/EntranceCheck.h"
#include "controller/MainFrame.h"
#include "controller/resource.h"
#include "tests/support/TestEnv.h"
#include "ui/CommonDialogs.h"
#include "ui/Dialog.h"

namespace ctltest {

inline void DrainQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message != WM_QUIT) DispatchMessageW(&msg);
}

// Restores the entrance-password source at the end of a test.
class ScopedEntrance {
 public:
  ScopedEntrance() : saved_(EntrancePassword()) {}
  ~ScopedEntrance() { EntrancePassword() = saved_; }
  ScopedEntrance(const ScopedEntrance&) = delete;
  ScopedEntrance& operator=(const ScopedEntrance&) = delete;

 private:
  EntrancePasswordSource saved_;
};

struct Event {
  int code = 0;
  std::string detail;
};

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EntrancePassword().readStored = [] { return std::wstring(); };
    g_sortAscending = false;
  }
  void TearDown() override {
    ui::Dialog::SetModalHook(nullptr);
    Stop();
  }

  // Starts the controller; false when start-up ended it.
  bool Start() {
    app = std::make_unique<CDorvaneApp>();
    const bool ok = app->InitInstance();
    frame = ok ? app->MainFrame() : nullptr;
    DrainQueue();
    return ok;
  }
  void Stop() {
    if (app) app->ExitInstance(0);
    app.reset();
    frame = nullptr;
    DrainQueue();
  }

  // One burst of messages and the idle pass after it.
  void Pump() {
    PostMessageW(frame->Hwnd(), WM_NULL, 0, 0);
    app->PumpPending();
  }
  void Command(UINT id) { SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  std::wstring Ini() const { return folder.SettingsFile(); }
  void SetGeneral(const wchar_t* key, const wchar_t* value) {
    WritePrivateProfileStringW(L"General", key, value, Ini().c_str());
  }
  std::wstring General(const wchar_t* key) const { return GetIniString(L"General", key, Ini(), L"<absent>"); }

  std::wstring JobPath(int number, const wchar_t* extension) const {
    return dv::Format(L"%ls%08d.%ls", folder.SpoolFolder().c_str(), number, extension);
  }
  // A job's control file with its list keys, and optionally its spool data
  // and devmode files (the content names the job, so copies can be traced).
  void AddJob(int number, bool org = true, bool dvm = true, const wchar_t* document = L"Doc") {
    const std::wstring ctl = JobPath(number, L"Ctl");
    WritePrivateProfileStringW(L"General", L"Document", dv::Format(L"%ls %d", document, number).c_str(), ctl.c_str());
    WritePrivateProfileStringW(L"General", L"Status", L"Printed", ctl.c_str());
    WritePrivateProfileStringW(L"General", L"UserName", L"anna", ctl.c_str());
    WritePrivateProfileStringW(L"General", L"TotalPages", L"3", ctl.c_str());
    if (org) dvtest::WriteFileBytes(JobPath(number, L"Org"), "org of " + std::to_string(number));
    if (dvm) dvtest::WriteFileBytes(JobPath(number, L"Dvm"), "dvm of " + std::to_string(number));
  }

  std::vector<Event> Events() const {
    std::vector<Event> events;
    for (const auto& line : folder.EventLines()) {
      // category,code,text,date,time,detail: the detail may hold commas.
      size_t pos = 0;
      std::vector<size_t> commas;
      while (commas.size() < 5 && (pos = line.find(',', pos)) != std::string::npos) commas.push_back(pos++);
      if (commas.size() < 5) continue;
      Event e;
      e.code = std::stoi(line.substr(commas[0] + 1, commas[1] - commas[0] - 1));
      e.detail = line.substr(commas[4] + 1);
      events.push_back(e);
    }
    return events;
  }
  std::vector<Event> EventsWithCode(int code) const {
    std::vector<Event> matching;
    for (const auto& e : Events())
      if (e.code == code) matching.push_back(e);
    return matching;
  }

  // Column-0 texts of the list in row order.
  std::vector<std::wstring> Rows() const {
    std::vector<std::wstring> rows;
    const auto& list = frame->SpoolView().JobList();
    for (int i = 0; i < list.ItemCount(); ++i) rows.push_back(list.ItemText(i, 0));
    return rows;
  }
  // Selects exactly the rows given.
  void SelectRows(std::initializer_list<int> rows) const {
    const auto& list = frame->SpoolView().JobList();
    for (int i = 0; i < list.ItemCount(); ++i) list.Select(i, false);
    for (int r : rows) list.Select(r, true);
  }

  dvtest::ScopedInstallFolder folder;
  ScopedEntrance entrance;
  ui::ScopedPrompts prompts;
  std::unique_ptr<CDorvaneApp> app;
  CMainFrame* frame = nullptr;
};

}  // namespace ctltest
