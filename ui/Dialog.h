// Dialogs from resource templates.
//
// The dialog procedure binds the object from the lParam of WM_INITDIALOG and
// unbinds at WM_NCDESTROY. IDOK and IDCANCEL go to OnOK and OnCancel; other
// commands and notifications reach the control's own wrapper first, then
// OnCommand/OnNotify.
//
// DoModal runs the dialog with its own message loop: the owner is disabled
// while it runs and enabled again only if it was enabled before, so a caller
// that keeps its window disabled across a dialog can do so; a caller that
// disabled the owner for this dialog alone says so (EnableOwnerAtEnd). The
// owner is enabled before the dialog's window goes, so that activation
// returns to it rather than to no window at all. Without an owner
// from the caller the dialog is owned by the main window's last active popup
// (the dialog in front, when one dialog opens another), else by the main
// window; a child window given as owner stands for its top-level window.
// A popup dialog that OnInitDialog leaves where its template puts it is
// centred over its owner (on the work area without one). The loop makes an idle pass after each burst of
// messages (OnIdle, then the test hook), like the application's loop.
// Before the dialog manager sees a message, the layer's windows between the
// message's window and the dialog get it (PreTranslateChildren): a frame
// hosted in the dialog translates its own accelerators that way.
//
// F1 in a dialog opens the dialog's page of the help file once: the page
// that the application's help map names for the dialog's help id
// (SetHelpId), the help file's contents without one. In the modal loop the
// key is the dialog's before any of its windows sees it (a hosted frame's
// own help key too), and the help message that the platform makes of the
// same key is dropped; the platform's WM_HELP from elsewhere asks once too.
#pragma once

#include <windows.h>
#include <functional>

#include "ui/Window.h"

namespace ui {

// The owner of a modal window (dialog or message box): the requested window,
// or the top-level window it lies in when it is a child; without one, the
// main window's last active popup, else the main window.
HWND ModalOwner(HWND requested);

// Centres a top-level window over its owner when the owner is shown and not
// minimised, else on the work area of its monitor, and keeps it on that work
// area.
void CenterWindow(HWND window);

class Dialog : public Window {
 public:
  explicit Dialog(UINT templateId) : templateId_(templateId) {}
  ~Dialog() override;

  // Runs the dialog modally; the EndDialog result, or -1 when the dialog
  // could not be created (nothing has been shown then). owner: see above.
  INT_PTR DoModal(HWND owner = nullptr);
  // Creates the dialog modeless and shows it; false when it could not be
  // created. EndDialog destroys a modeless dialog.
  bool CreateModeless(HWND parent);

  // The caller disabled the owner for this dialog alone (so that nothing
  // runs under it even before it exists): the modal loop enables the owner
  // again as the dialog ends, as it does an owner it disabled itself.
  void EnableOwnerAtEnd() { enableOwnerAtEnd_ = true; }

  void EndDialog(INT_PTR result);
  bool IsModal() const { return modal_; }
  INT_PTR Result() const { return result_; }
  UINT TemplateId() const { return templateId_; }
  // The id under which the application's help map names the dialog's page
  // (App::ShowHelpFor); 0, the default, names none.
  void SetHelpId(UINT id) { helpId_ = id; }
  UINT HelpId() const { return helpId_; }

  // Offers msg to PreTranslateMessage of each window of the layer from the
  // message's window up to the dialog (not the dialog itself), innermost
  // first; true when one of them used it up. Messages of windows outside
  // the dialog are left alone.
  bool PreTranslateChildren(MSG& msg);

  HWND Item(int id) const { return GetDlgItem(Hwnd(), id); }
  std::wstring ItemText(int id) const;
  void SetItemText(int id, const std::wstring& text) const { SetDlgItemTextW(Hwnd(), id, text.c_str()); }

  // Called with the running dialog on every idle pass of every modal loop;
  // tests answer dialogs through it. An empty hook removes it.
  using ModalHook = std::function<void(Dialog&)>;
  static void SetModalHook(ModalHook hook);

 protected:
  // Controls exist; true lets the dialog manager set the focus.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // The idle pass of the modal loop.
  virtual void OnIdle() {}
  // F1: the application's help for HelpId(), owned by the dialog.
  virtual void OnHelp();
  // The escape hatch of the dialog procedure: returns what a dialog
  // procedure returns (TRUE when the message was handled).
  virtual INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);

  bool Create(HWND parent);

 private:
  static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // F1 pressed in the dialog: true, after OnHelp, when msg was that key.
  // The dialog manager would only hand the key to the focused control.
  // The platform's help message for the key, already posted, is removed.
  bool TranslateHelpKey(const MSG& msg);

  UINT templateId_;
  UINT helpId_ = 0;
  bool modal_ = false;
  bool ended_ = false;
  bool enableOwnerAtEnd_ = false;
  INT_PTR result_ = 0;
};

}  // namespace ui
