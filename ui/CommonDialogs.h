// Thin wrappers for the platform's common dialogs (file, font, print, folder)
// and for message boxes.
//
// Each wrapper first looks at its replacement in Prompts(): when one is set it
// is called with the same arguments in place of the platform's dialog, so a
// test can answer a prompt without a person. ScopedPrompts restores the
// previous replacements at the end of a test's scope.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <functional>
#include <string>

namespace ui {

struct FileDialogRequest {
  bool open = true;
  std::wstring title;
  std::wstring defaultExtension;
  std::wstring fileName;  // initial name, may be a pattern ("*.scn")
  // "Name (*.x)|*.x|All Files (*.*)|*.*||": pairs separated by "|".
  std::wstring filter;
  DWORD flags = 0;  // OFN_ flags beside OFN_EXPLORER
};

// The Explorer-style file dialog; true with the chosen full path on OK,
// false on Cancel or when the dialog could not be shown.
bool ShowFileDialog(HWND owner, const FileDialogRequest& request, std::wstring& path);
// The font dialog started from font and colour; true when they were changed
// by OK, with the chosen size in tenths of a point in pointTenths (the
// returned height is that size rounded to whole pixels, so it does not give
// the size back).
bool ShowFontDialog(HWND owner, LOGFONTW& font, COLORREF& color, DWORD flags, int& pointTenths);
// The print (or, with PD_PRINTSETUP, print setup) dialog; true on OK. The
// caller frees hDevMode and hDevNames of the structure.
bool ShowPrintDialog(HWND owner, PRINTDLGW& request);
// The shell's folder browser; true with the chosen folder on OK.
bool ShowFolderDialog(HWND owner, const std::wstring& title, std::wstring& folder);
// A message box; its IDxxx answer (0 when it could not be shown).
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);
// A message box owned by the main window with the program's title.
int AppMessageBox(const std::wstring& text, UINT type);

struct PromptReplacements {
  std::function<bool(HWND, const FileDialogRequest&, std::wstring&)> file;
  std::function<bool(HWND, LOGFONTW&, COLORREF&, DWORD, int&)> font;
  std::function<bool(HWND, PRINTDLGW&)> print;
  std::function<bool(HWND, const std::wstring&, std::wstring&)> folder;
  std::function<int(HWND, const std::wstring&, const std::wstring&, UINT)> messageBox;
};

PromptReplacements& Prompts();

class ScopedPrompts {
 public:
  ScopedPrompts() : saved_(Prompts()) {}
  ~ScopedPrompts() { Prompts() = saved_; }
  ScopedPrompts(const ScopedPrompts&) = delete;
  ScopedPrompts& operator=(const ScopedPrompts&) = delete;

 private:
  PromptReplacements saved_;
};

}  // namespace ui
