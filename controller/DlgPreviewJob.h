// The job preview: a resizable dialog hosting a document (the job's spool
// data file), a frame with the page and zoom toolbar and a status bar, and
// the view that draws one page (CSampleView). The preview only reads the
// job's file; it has no command that writes it. The frame answers the main
// window's keys: Ctrl+O opens another file into the preview, Ctrl+N empties
// it, Ctrl+P prints the job's pages, F1 opens the preview's help page;
// Ctrl+S does nothing.
#pragma once

#include <string>

#include "controller/DFVCtrl.h"
#include "controller/SampleView.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/StatusBar.h"
#include "ui/ToolBar.h"

// The job's spool data: the document holds only its path; opening it checks
// that the file can be opened (the view reads it on every paint). It has no
// content of its own, so it never writes: saving would replace the job's
// spool data with an empty file. The save commands are disabled (their keys
// do nothing) and the document is never modified.
class CSampleDoc final : public CDFVDocument {
 public:
  bool OnSaveDocument(const std::wstring&) override { return false; }
  bool SaveModified() override { return true; }
  bool OnCommand(UINT id) override;
  bool OnUpdate(ui::CmdUI& cmd) override;
};

// The hosted frame: the page and zoom toolbar, a status bar with the page
// and zoom panes, and the page and zoom commands acting on its view.
class CPreviewFrame final : public CDFVFrameWnd {
 public:
  CPreviewFrame() = default;
  ~CPreviewFrame() override;

  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnUpdate(ui::CmdUI& cmd) override;

  const ui::ToolBar& ToolBar() const { return toolBar; }
  const ui::StatusBar& StatusBar() const { return statusBar; }
  CSampleView* SampleView() const;

 protected:
  int OnCreate(CREATESTRUCTW& cs) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  ui::StatusBar statusBar;
  ui::ToolBar toolBar;
};

class CDlgPreviewJob final : public ui::Dialog {
 public:
  CDlgPreviewJob();
  ~CDlgPreviewJob() override;

  // The job's spool data file; set by the caller before the dialog runs.
  std::wstring path;

  CPreviewFrame* Frame() const;
  CSampleView* View() const;
  // The idle work of the modal loop: the toolbar's buttons and the status
  // panes follow the view (tests of a modeless preview call it themselves).
  void UpdateFrameControls();

 protected:
  bool OnInitDialog() override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnIdle() override { UpdateFrameControls(); }

 private:
  void DoDataExchange();

  CDFVCtrl viewCtrl;
  ui::Button okButton;
  ui::Button cancelButton;
  HICON smallIcon = nullptr;
};
