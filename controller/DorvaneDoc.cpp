// The empty document; see DorvaneDoc.h.
#include "controller/DorvaneDoc.h"

#include "controller/resource.h"
#include "ui/App.h"

bool CDorvaneDoc::OnNewDocument() {
  path_.clear();
  title_ = ui::App::Current() ? ui::App::Current()->String(IDS_UNTITLED) : std::wstring();
  return true;
}

void CDorvaneDoc::SetPathName(const std::wstring& path) {
  path_ = path;
  size_t slash = path.find_last_of(L"\\/");
  title_ = slash == std::wstring::npos ? path : path.substr(slash + 1);
}
