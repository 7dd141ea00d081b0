// CBrowseCtrl: the path field of the editors and of the event log viewer's
// file prompt. One window shows a path in a child edit beside a small
// browse button and opens a file or folder dialog when the button is used.
//
// An editor puts a push button (caption "...") over the whole width the
// field shall take and subclasses it (SubclassDlgItem); the control then
// splits its client area into the button and the edit (id 12345). Without a
// window (the viewer's use) the control still browses: the file dialog has
// no owner, no edit is touched, and GetPathName returns the chosen path.
//
// Messages to the parent window (lParam is the control's window):
//   WM_BROWSECTRL_PRESSED  sent when the mouse goes down on the button, and
//                          when the edit loses the focus (wParam 1);
//   notifyMessage          sent after a browse dialog when not 0 (all owners
//                          use WM_BROWSECTRL_NOTIFY), wParam 1 chosen, 2
//                          cancelled;
//   WM_COMMAND BN_CLICKED  posted with the control's id after every browse
//                          action (button click, space, Enter), so it
//                          arrives after the dialog and the notification.
//
// Everything runs on the window thread of the owner. The source is built
// into the controller and, in its own 32-bit build, into the viewer.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Window.h"

#define WM_BROWSECTRL_NOTIFY (WM_APP + 0x65)
#define WM_BROWSECTRL_PRESSED (WM_APP + 0x66)

// Style bits of CBrowseCtrl::style.
#define BCS_BUTTONLEFT 0x01
#define BCS_GLYPH 0x02
#define BCS_FLAT 0x04
#define BCS_GLYPH1 0x08
#define BCS_GLYPH2 0x10
#define BCS_GLYPH3 0x20
#define BCS_EDITABLE 0x40
#define BCS_FOLDER 0x80

// Replacements for the two platform dialogs the control opens, so that a
// test can answer them. file gets the filled OPENFILENAMEW (its lpstrFile
// holds the current path) and answers as GetOpenFileNameW does, writing the
// chosen names into lpstrFile in the platform's form; folder gets the filled
// BROWSEINFOW and answers true with a chosen path, false for Cancel.
struct BrowseDialogReplacements {
  std::function<bool(OPENFILENAMEW&)> file;
  std::function<bool(BROWSEINFOW&, std::wstring&)> folder;
};
BrowseDialogReplacements& BrowseDialogs();

class CBrowseCtrl : public ui::Window {
 public:
  static constexpr int kEditId = 12345;
  static constexpr UINT_PTR kToolId = 12346;
  static constexpr UINT_PTR kHoverTimer = 12347;
  static constexpr UINT_PTR kFocusTimer = 12348;

  CBrowseCtrl();
  ~CBrowseCtrl() override;

  // Creates the control as a child button in rect under parent (the
  // running application's main window when null) and initialises it.
  // Returns false when there is no parent or a window cannot be created.
  bool Create(const RECT& rect, HWND parent, UINT id, DWORD styleBits, UINT notify);
  // Takes over the button id of a dialog and initialises it (the class
  // library's PreSubclassWindow); false when there is no such button or the
  // control cannot be initialised (it may then be without an edit).
  bool SubclassDlgItem(HWND dialog, int id);
  // Lays out, takes the caption as face text, builds the edit and the tool
  // tip and starts the focus watch. False when the window does not exist or
  // a child cannot be created.
  bool Initialize();
  void RecalcLayout(bool moveEdit);
  // Rebuilds the edit with the current style, keeping its text; false when
  // it cannot be created.
  bool CreateEdit();

  // 1 chosen, 2 cancelled (or a dialog already open).
  int DoBrowse();
  // DoBrowse, then the posted WM_COMMAND; returns DoBrowse's result.
  int Browse();
  int BrowseForFile();
  int BrowseForFolder();

  std::wstring GetPathName() const;
  void SetPathName(const std::wstring& path);
  void SetOFNFlags(DWORD flags) { ofnFlags = flags | OFN_EXPLORER; }
  void SetFilter(const std::wstring& text) { filter = text; }

  HWND EditHwnd() const { return edit; }
  // The paths of the last dialog, in the dialog's order.
  std::vector<std::wstring> ResultPaths() const;

  // Set by the owner before the field is shown.
  UINT notifyMessage = 0;
  DWORD style = BCS_GLYPH | BCS_GLYPH1 | BCS_EDITABLE;
  std::wstring toolTipText = L"Browse";
  std::wstring faceText;
  std::wstring dialogTitle;
  std::wstring folderPrompt = L"Plseas select a folder from the list:";
  int openDialog = 1;
  DWORD ofnFlags = OFN_ENABLESIZING | OFN_EXPLORER | OFN_CREATEPROMPT | OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT;
  UINT bifFlags = BIF_RETURNONLYFSDIRS;
  std::wstring defaultExt;
  std::wstring filter = L"All Files (*.*)|*.*||";

  // Read by the owner after a dialog. result holds each path ending in a
  // NUL and a final NUL; empty when no dialog has chosen anything yet.
  std::vector<wchar_t> result;
  int resultCount = 0;
  int resultLength = 0;
  int readOnlyOn = 0;

  // Layout and state, readable for the owner and for tests.
  RECT buttonRect = {};
  RECT faceRect = {};
  RECT editRect = {};
  int editHasFocus = 0;
  int createdByCreate = 0;
  int pressed = 0;
  int hover = 0;
  int busy = 0;
  int typed = 0;
  std::wstring typedText;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnPaint() override;
  // The button part: frame and face (also for WM_PRINTCLIENT).
  void Paint(HDC dc);

 private:
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref);

  bool IsTypedPathDifferent() const;
  std::wstring FirstResultPath() const;
  void ShowInEdit(const std::wstring& path);
  void SetResult(const std::vector<std::wstring>& paths);
  void SendToParent(UINT msg, WPARAM wParam);
  void Redraw(const RECT* part = nullptr);
  void DeselectEdit();
  void CreateToolTip();
  void DestroyChildren();

  void OnLButtonDown(POINT pt);
  void OnLButtonUp(POINT pt);
  void OnMouseMove(POINT pt);
  void OnTimer(UINT_PTR id);
  void OnSetFocus(HWND from);

  void DrawFrame(HDC dc) const;
  void DrawTextFace(HDC dc, const RECT& face) const;
  void DrawGlyphFace(HDC dc, const RECT& face, int glyph) const;

  HWND edit = nullptr;
  HWND toolTip = nullptr;
};
