// Common dialogs and message boxes; see CommonDialogs.h.
#include "ui/CommonDialogs.h"

#include <shlobj.h>
#include <vector>

#include "ui/App.h"
#include "ui/Dialog.h"

namespace ui {

PromptReplacements& Prompts() {
  static PromptReplacements prompts;
  return prompts;
}

bool ShowFileDialog(HWND owner, const FileDialogRequest& request, std::wstring& path) {
  if (Prompts().file) return Prompts().file(owner, request, path);
  // The filter's "|" separators become the NULs the dialog wants; "||" ends it.
  std::wstring filter = request.filter;
  for (auto& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  std::vector<wchar_t> name(32768, L'\0');
  request.fileName.copy(name.data(), name.size() - 1);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  ofn.Flags = request.flags | OFN_EXPLORER;
  BOOL ok = request.open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!ok) return false;
  path = name.data();
  return true;
}

bool ShowFontDialog(HWND owner, LOGFONTW& font, COLORREF& color, DWORD flags, int& pointTenths) {
  if (Prompts().font) return Prompts().font(owner, font, color, flags, pointTenths);
  LOGFONTW working = font;
  CHOOSEFONTW cf = {};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = owner;
  cf.lpLogFont = &working;
  cf.rgbColors = color;
  cf.Flags = flags | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontW(&cf)) return false;
  font = working;
  color = cf.rgbColors;
  pointTenths = cf.iPointSize;
  return true;
}

bool ShowPrintDialog(HWND owner, PRINTDLGW& request) {
  if (Prompts().print) return Prompts().print(owner, request);
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  return PrintDlgW(&request) != FALSE;
}

bool ShowFolderDialog(HWND owner, const std::wstring& title, std::wstring& folder) {
  if (Prompts().folder) return Prompts().folder(owner, title, folder);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return false;
  wchar_t path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (ok) folder = path;
  return ok;
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  if (Prompts().messageBox) return Prompts().messageBox(owner, text, caption, type);
  return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int AppMessageBox(const std::wstring& text, UINT type) {
  App* app = App::Current();
  // Owned like a modal dialog, so that a message from a nested editor keeps
  // that editor, not only the main window, from being used under it.
  return ShowMessageBox(ModalOwner(nullptr), text, app ? app->Title() : std::wstring(), type);
}

}  // namespace ui
