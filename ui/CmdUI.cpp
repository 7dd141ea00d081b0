// Menu items as command-UI elements; see CmdUI.h.
#include "ui/CmdUI.h"

namespace ui {

void MenuCmdUI::DoEnable(bool on) { EnableMenuItem(menu_, position_, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED)); }

void MenuCmdUI::DoSetCheck(bool on) { CheckMenuItem(menu_, position_, MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED)); }

void MenuCmdUI::DoSetText(const std::wstring& text) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(text.c_str());
  SetMenuItemInfoW(menu_, position_, TRUE, &info);
}

}  // namespace ui
