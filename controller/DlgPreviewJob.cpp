// The job preview dialog and its hosted frame; see DlgPreviewJob.h.
#include "controller/DlgPreviewJob.h"

#include "common/StringUtil.h"
#include "controller/resource.h"
#include "ui/App.h"
#include "ui/CmdUI.h"

namespace {

const UINT kPreviewButtons[] = {ID_PREVIEW_FIRST_PAGE, ID_PREVIEW_BACK_10,   ID_PREVIEW_PREV_PAGE,
                                ID_PREVIEW_NEXT_PAGE,  ID_PREVIEW_FORWARD_10, ID_PREVIEW_LAST_PAGE,
                                ID_SEPARATOR,          ID_PREVIEW_ZOOM_IN,    ID_PREVIEW_ZOOM_OUT};

const UINT kPreviewPanes[] = {ID_SEPARATOR,      ID_INDICATOR_PAGE, ID_INDICATOR_ZOOM,
                              ID_INDICATOR_CAPS, ID_INDICATOR_NUM,  ID_INDICATOR_SCRL};

constexpr int kButtonCx = 16;
constexpr int kButtonCy = 15;

}  // namespace

bool CSampleDoc::OnCommand(UINT id) {
  // Taken here so that no later handler (the program's own save of its
  // main document) runs from the preview's keys.
  return id == ID_FILE_SAVE || id == ID_FILE_SAVE_AS;
}

bool CSampleDoc::OnUpdate(ui::CmdUI& cmd) {
  if (cmd.Id() != ID_FILE_SAVE && cmd.Id() != ID_FILE_SAVE_AS) return false;
  cmd.Enable(false);
  return true;
}

CPreviewFrame::~CPreviewFrame() { Destroy(); }

CSampleView* CPreviewFrame::SampleView() const { return dynamic_cast<CSampleView*>(View()); }

int CPreviewFrame::OnCreate(CREATESTRUCTW& cs) {
  if (CDFVFrameWnd::OnCreate(cs) == -1) return -1;
  if (!toolBar.Create(Hwnd(), IDW_TOOLBAR, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                      IDR_PREVIEW_FRAME, kButtonCx, kButtonCy, kPreviewButtons,
                      sizeof(kPreviewButtons) / sizeof(kPreviewButtons[0])))
    return -1;
  if (!statusBar.Create(Hwnd(), IDW_STATUS_BAR, WS_CHILD | WS_VISIBLE | CCS_BOTTOM) ||
      !statusBar.SetIndicators(kPreviewPanes, sizeof(kPreviewPanes) / sizeof(kPreviewPanes[0])))
    return -1;
  SetToolBar(&toolBar);
  SetStatusBar(&statusBar);
  return 0;
}

void CPreviewFrame::OnSize(UINT type, int cx, int cy) {
  CDFVFrameWnd::OnSize(type, cx, cy);
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

bool CPreviewFrame::OnCommand(UINT id, UINT code, HWND control) {
  CSampleView* view = SampleView();
  if (view && ApplyPreviewCommand(view->Position(), id)) {
    // The view draws the new page or zoom on its next paint.
    InvalidateRect(Hwnd(), nullptr, TRUE);
    InvalidateRect(view->Hwnd(), nullptr, TRUE);
    return true;
  }
  if (id == ID_HELP) {
    if (ui::App::Current()) ui::App::Current()->ShowHelp(Hwnd(), L"preview.htm");
    return true;
  }
  return CDFVFrameWnd::OnCommand(id, code, control);
}

bool CPreviewFrame::OnUpdate(ui::CmdUI& cmd) {
  CSampleView* view = SampleView();
  const PreviewPosition position = view ? view->Position() : PreviewPosition();
  switch (cmd.Id()) {
    case ID_PREVIEW_FIRST_PAGE:
    case ID_PREVIEW_BACK_10:
    case ID_PREVIEW_PREV_PAGE:
    case ID_PREVIEW_NEXT_PAGE:
    case ID_PREVIEW_FORWARD_10:
    case ID_PREVIEW_LAST_PAGE:
    case ID_PREVIEW_ZOOM_IN:
    case ID_PREVIEW_ZOOM_OUT:
      cmd.Enable(view && IsPreviewCommandEnabled(position, cmd.Id()));
      return true;
    case ID_INDICATOR_PAGE:
      cmd.Enable(true);
      cmd.SetText(dv::Format(L"Page: %d/%d", position.page, position.pageCount));
      return true;
    case ID_HELP:
      cmd.Enable(true);
      return true;
    case ID_INDICATOR_ZOOM:
      cmd.Enable(true);
      cmd.SetText(dv::Format(L"Zoom: %d%%", position.zoom));
      return true;
    default:
      return CDFVFrameWnd::OnUpdate(cmd);
  }
}

CDlgPreviewJob::CDlgPreviewJob() : ui::Dialog(IDD_PREVIEW_JOB) {
  SetHelpId(ID_FILE_PRINT_PREVIEW);
  smallIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

CDlgPreviewJob::~CDlgPreviewJob() {
  Destroy();
  if (smallIcon) DestroyIcon(smallIcon);
}

CPreviewFrame* CDlgPreviewJob::Frame() const {
  CDFVDocTemplate* docTemplate = viewCtrl.Template();
  return docTemplate ? dynamic_cast<CPreviewFrame*>(docTemplate->HostedFrame()) : nullptr;
}

CSampleView* CDlgPreviewJob::View() const {
  CPreviewFrame* frame = Frame();
  return frame ? frame->SampleView() : nullptr;
}

void CDlgPreviewJob::DoDataExchange() {
  okButton.Attach(Hwnd(), IDOK);
  cancelButton.Attach(Hwnd(), IDCANCEL);
}

bool CDlgPreviewJob::OnInitDialog() {
  DoDataExchange();
  if (smallIcon) Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  viewCtrl.Create(
      Hwnd(), IDC_PREVIEW_PLACEHOLDER, IDR_PREVIEW_FRAME, [] { return std::make_unique<CSampleDoc>(); },
      [] { return std::make_unique<CPreviewFrame>(); }, [] { return std::make_unique<CSampleView>(); },
      WS_CHILD | WS_VISIBLE | WS_BORDER, 0);
  if (CDFVDocTemplate* docTemplate = viewCtrl.Template()) docTemplate->OpenDocumentFile(path, true);
  return true;
}

void CDlgPreviewJob::OnSize(UINT, int cx, int cy) {
  RECT outer = {};
  GetWindowRect(Hwnd(), &outer);
  if (viewCtrl.Hwnd())
    SetWindowPos(viewCtrl.Hwnd(), nullptr, 0, 0, (outer.right - outer.left) - 18, (outer.bottom - outer.top) - 65,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // On a larger size the buttons move into the part of the dialog that has
  // just been exposed and is still to be painted. Moved with their pixels
  // (the platform keeps a drawn window's pixels when it moves it), they would
  // be painted over by the dialog's background, which covers its children,
  // and being valid would not draw themselves again: they are drawn anew
  // where they go.
  for (const ui::Button* button : {&okButton, &cancelButton}) {
    if (!*button) continue;
    RECT rect = {};
    GetWindowRect(button->Hwnd(), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int right = button == &okButton ? 10 : 90;
    SetWindowPos(button->Hwnd(), nullptr, cx - width - right, cy - height - 10, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
  }
}

void CDlgPreviewJob::UpdateFrameControls() {
  if (CPreviewFrame* frame = Frame()) frame->OnIdleUpdate();
}
