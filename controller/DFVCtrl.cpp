// The hosted document view; see DFVCtrl.h.
#include "controller/DFVCtrl.h"

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/StringUtil.h"
#include "controller/resource.h"
#include "ui/App.h"
#include "ui/CmdUI.h"
#include "ui/CommonDialogs.h"

namespace {

const wchar_t kHostedFrameClass[] = L"dv.HostedFrame";
const wchar_t kFailedToCreateDocument[] = L"Failed to create empty document.";
const wchar_t kAskToSave[] = L"Save changes to %ls?";
const wchar_t kUntitled[] = L"Untitled";
constexpr UINT kViewId = IDW_VIEW;

}  // namespace

void CDFVDocument::SetPathName(const std::wstring& path) {
  pathName = path;
  if (path.empty()) return;
  const size_t slash = path.find_last_of(L"\\/");
  title = slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool CDFVDocument::OnNewDocument() {
  pathName.clear();
  modified = false;
  return true;
}

bool CDFVDocument::OnSaveDocument(const std::wstring&) { return false; }

bool CDFVDocument::SaveModified() {
  if (!modified) return true;
  const std::wstring name = pathName.empty() ? title : pathName;
  switch (ui::AppMessageBox(dv::Format(kAskToSave, name.c_str()), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
      return DoSave(pathName, true);
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool CDFVDocument::DoSave(const std::wstring& path, bool replace) {
  std::wstring name = path;
  if (name.empty()) {
    if (!docTemplate) return false;
    name = pathName;
    if (replace && name.empty()) {
      name = title;
      const size_t bad = name.find_first_of(L" #%;/\\");
      if (bad != std::wstring::npos) name.resize(bad);
      name += docTemplate->GetDocString(CDFVDocTemplate::kFilterExt);
    }
    if (!docTemplate->DoPromptFileName(name, replace ? L"Save As" : L"Save Copy As",
                                       OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, false))
      return false;
  }
  const bool existed = GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!OnSaveDocument(name)) {
    // A save under a new name leaves no half-written file behind; a file
    // that was there before is never removed for a save that failed.
    if (path.empty() && !existed) DeleteFileW(name.c_str());
    return false;
  }
  modified = false;
  if (replace) SetPathName(name);
  return true;
}

bool CDFVDocument::OnCommand(UINT id) {
  switch (id) {
    case ID_FILE_SAVE: {
      // A read-only file is saved under another name.
      const DWORD attributes = pathName.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(pathName.c_str());
      const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
      DoSave(readOnly ? std::wstring() : pathName, true);
      return true;
    }
    case ID_FILE_SAVE_AS:
      DoSave(std::wstring(), true);
      return true;
    default:
      return false;
  }
}

bool CDFVDocument::OnUpdate(ui::CmdUI& cmd) {
  switch (cmd.Id()) {
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
      cmd.Enable(true);
      return true;
    default:
      return false;
  }
}

bool CDFVDocument::OnOpenDocument(const std::wstring& path) {
  dv::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    ui::AppMessageBox(path + L"\nCannot find this file.\nPlease verify that the correct path and file name are given.",
                      MB_OK | MB_ICONEXCLAMATION);
  else
    ui::AppMessageBox(path + L"\n" + GetSystemErrorText(error), MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool CDFVFrameWnd::LoadFrame(UINT resourceId, DWORD style, const RECT& rect, HWND parent, DWORD exStyle) {
  if (!ui::RegisterWindowClass(kHostedFrameClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
    return false;
  const std::wstring title = CommandPrompt(resourceId);  // the text before "\n"
  // A child window has no menu bar: the hosted frame is created without one.
  if (!CreateEx(exStyle, kHostedFrameClass, title, style, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, parent, nullptr))
    return false;
  LoadAcceleratorTable(resourceId);
  return true;
}

CDFVDocument* CDFVFrameWnd::Document() const { return docTemplate ? docTemplate->Document() : nullptr; }

bool CDFVFrameWnd::OnCommand(UINT id, UINT code, HWND control) {
  if (CDFVDocument* doc = Document(); doc && doc->OnCommand(id)) return true;
  switch (id) {
    case ID_FILE_OPEN: {
      if (!docTemplate) return true;
      std::wstring name;
      if (docTemplate->DoPromptFileName(name, L"Open", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, true))
        docTemplate->OpenDocumentFile(name, true);
      return true;
    }
    case ID_FILE_NEW:
      if (docTemplate) docTemplate->OpenDocumentFile(std::wstring(), true);
      return true;
    default:
      return ui::FrameWindow::OnCommand(id, code, control);
  }
}

bool CDFVFrameWnd::OnUpdate(ui::CmdUI& cmd) {
  if (CDFVDocument* doc = Document(); doc && doc->OnUpdate(cmd)) return true;
  switch (cmd.Id()) {
    case ID_FILE_OPEN:
    case ID_FILE_NEW:
      cmd.Enable(docTemplate != nullptr);
      return true;
    default:
      return ui::FrameWindow::OnUpdate(cmd);
  }
}

CDFVDocTemplate::CDFVDocTemplate(UINT resourceId, DocumentFactory document, FrameFactory frame, ViewFactory view)
    : resourceId(resourceId), makeDocument(std::move(document)), makeFrame(std::move(frame)), makeView(std::move(view)) {
  if (ui::App::Current()) docStrings = ui::App::Current()->String(resourceId);
}

std::wstring CDFVDocTemplate::GetDocString(DocStringIndex index) const {
  size_t start = 0;
  for (int i = 0; i < index; ++i) {
    start = docStrings.find(L'\n', start);
    if (start == std::wstring::npos) return std::wstring();
    ++start;
  }
  const size_t end = docStrings.find(L'\n', start);
  return docStrings.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

std::wstring CDFVDocTemplate::DefaultTitle() const {
  const std::wstring name = GetDocString(kDocName);
  return name.empty() ? kUntitled : name;
}

CDFVDocTemplate::~CDFVDocTemplate() { DestroyFrame(); }

void CDFVDocTemplate::DestroyFrame() {
  // The view is the frame's child: it goes first, so that the frame never
  // lays out a view whose object is gone.
  view.reset();
  hostedFrame.reset();
}

CDFVFrameWnd* CDFVDocTemplate::CreateNewFrame(CDFVDocument& doc) {
  if (!makeFrame) return nullptr;
  std::unique_ptr<CDFVFrameWnd> frame = makeFrame();
  if (!frame) return nullptr;
  std::unique_ptr<CDFVView> newView = makeView ? makeView() : nullptr;
  frame->SetDocTemplate(this);
  if (!frame->LoadFrame(resourceId, frameStyle, frameRect, parentWindow, frameExStyle)) return nullptr;
  if (!newView || !newView->CreateIn(frame->Hwnd(), kViewId)) return nullptr;
  newView->SetDocument(&doc);
  frame->SetView(&newView->ViewWindow());
  frame->RecalcLayout();
  view = std::move(newView);
  hostedFrame = std::move(frame);
  return hostedFrame.get();
}

CDFVDocument* CDFVDocTemplate::OpenDocumentFile(const std::wstring& path, bool makeVisible) {
  if (document) {
    // The one document is emptied or refilled: it may keep its changes.
    if (!document->SaveModified()) return nullptr;
  } else {
    std::unique_ptr<CDFVDocument> created = makeDocument ? makeDocument() : nullptr;
    if (!created) {
      ui::AppMessageBox(kFailedToCreateDocument, MB_OK | MB_ICONEXCLAMATION);
      return nullptr;
    }
    created->SetDocTemplate(this);
    document = std::move(created);
  }
  bool frameCreated = false;
  if (!hostedFrame) {
    if (!CreateNewFrame(*document)) {
      ui::AppMessageBox(kFailedToCreateDocument, MB_OK | MB_ICONEXCLAMATION);
      document.reset();
      return nullptr;
    }
    frameCreated = true;
  }

  if (path.empty()) {
    document->SetTitle(DefaultTitle());
    if (!document->OnNewDocument()) {
      if (frameCreated) DestroyFrame();
      return nullptr;
    }
  } else {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    const bool wasModified = document->IsModified();
    document->SetModifiedFlag(false);
    const bool opened = document->OnOpenDocument(path);
    SetCursor(previous);
    if (!opened) {
      if (frameCreated) {
        DestroyFrame();
      } else if (!document->IsModified()) {
        // Untouched by the failed open: it keeps what it showed before.
        document->SetModifiedFlag(wasModified);
      } else {
        // Half refilled: it becomes an empty document.
        document->SetTitle(DefaultTitle());
        document->OnNewDocument();
      }
      return nullptr;
    }
    document->SetPathName(path);
  }

  if (view) view->OnInitialUpdate();
  if (makeVisible) ShowWindow(hostedFrame->Hwnd(), SW_SHOW);
  InvalidateRect(hostedFrame->Hwnd(), nullptr, TRUE);
  return document.get();
}

bool CDFVDocTemplate::DoPromptFileName(std::wstring& fileName, const std::wstring& title, DWORD flags,
                                       bool open) const {
  ui::FileDialogRequest request;
  request.open = open;
  request.title = title;
  request.fileName = fileName;
  const std::wstring filterName = GetDocString(kFilterName);
  const std::wstring filterExt = GetDocString(kFilterExt);
  if (!filterName.empty() && !filterExt.empty()) {
    request.filter = filterName + L"|*" + filterExt + L"|";
    request.defaultExtension = filterExt[0] == L'.' ? filterExt.substr(1) : filterExt;
  }
  request.filter += L"All Files (*.*)|*.*||";
  request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | flags;
  std::wstring chosen;
  if (!ui::ShowFileDialog(parentWindow, request, chosen)) return false;
  fileName = chosen;
  return true;
}

CDFVCtrl::~CDFVCtrl() {
  docTemplate.reset();
  Destroy();
}

bool CDFVCtrl::Create(HWND parentDialog, int placeholderId, UINT resourceId, CDFVDocTemplate::DocumentFactory document,
                      CDFVDocTemplate::FrameFactory frame, CDFVDocTemplate::ViewFactory view, DWORD frameStyle,
                      DWORD frameExStyle) {
  HWND placeholder = GetDlgItem(parentDialog, placeholderId);
  if (!placeholder || !Subclass(placeholder)) return false;
  parent = parentDialog;
  docTemplate = std::make_unique<CDFVDocTemplate>(resourceId, std::move(document), std::move(frame), std::move(view));
  RECT rect = {};
  GetWindowRect(placeholder, &rect);
  MapWindowPoints(nullptr, parentDialog, reinterpret_cast<POINT*>(&rect), 2);
  docTemplate->parentWindow = parentDialog;
  docTemplate->frameRect = rect;
  docTemplate->frameStyle = frameStyle;
  docTemplate->frameExStyle = frameExStyle;
  docTemplate->OpenDocumentFile(std::wstring(), true);
  return true;
}

void CDFVCtrl::OnSize(UINT, int cx, int cy) {
  CDFVFrameWnd* frame = docTemplate ? docTemplate->HostedFrame() : nullptr;
  if (!frame || !frame->Hwnd()) return;
  MoveWindow(frame->Hwnd(), 12, 12, cx - 12, cy - 12, TRUE);
}

void CDFVCtrl::OnDestroy() {
  // The dialog is going: the frame, the view and the document go with it.
  docTemplate.reset();
}
