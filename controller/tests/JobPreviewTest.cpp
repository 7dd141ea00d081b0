// The job preview: page and zoom rules, page scaling, and the real dialog on
// jobs spooled by the stand-in print processor (an EMF job's pages, a RAW
// job's spool data without pages, a missing file), opened from the spool
// list; the hosted frame's placement when the dialog is resized; the frame's
// keys (open, new, print, and a save that never writes the job's file).
#include <cstring>
#include <map>

#include "common/Handles.h"
#include "common/SpooledEmf.h"
#include "controller/DlgPreviewJob.h"
#include "controller/SampleView.h"
#include "controller/tests/ControllerFixture.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace ctltest {
namespace {

TEST(PreviewPositionTest, PageCommandsStayWithinTheJob) {
  struct Row {
    const char* name;
    int page;
    UINT command;
    int expected;
  } rows[] = {
      {"forward 10 from 20 stops at the last page", 20, ID_PREVIEW_FORWARD_10, 25},
      {"forward 10 from 3", 3, ID_PREVIEW_FORWARD_10, 13},
      {"back 10 from 5 stops at page 1", 5, ID_PREVIEW_BACK_10, 1},
      {"back 10 from 17", 17, ID_PREVIEW_BACK_10, 7},
      {"next", 24, ID_PREVIEW_NEXT_PAGE, 25},
      {"next on the last page", 25, ID_PREVIEW_NEXT_PAGE, 25},
      {"previous", 2, ID_PREVIEW_PREV_PAGE, 1},
      {"previous on page 1", 1, ID_PREVIEW_PREV_PAGE, 1},
      {"first", 14, ID_PREVIEW_FIRST_PAGE, 1},
      {"last", 14, ID_PREVIEW_LAST_PAGE, 25},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PreviewPosition p{row.page, 25, 100};
    EXPECT_TRUE(ApplyPreviewCommand(p, row.command));
    EXPECT_EQ(p.page, row.expected);
    EXPECT_EQ(p.zoom, 100);
  }
  PreviewPosition p;
  EXPECT_FALSE(ApplyPreviewCommand(p, ID_FILE_PRINT));
}

TEST(PreviewPositionTest, ButtonsAreEnabledOnlyWhereTheyMove) {
  const UINT backward[] = {ID_PREVIEW_FIRST_PAGE, ID_PREVIEW_BACK_10, ID_PREVIEW_PREV_PAGE};
  const UINT forward[] = {ID_PREVIEW_NEXT_PAGE, ID_PREVIEW_FORWARD_10, ID_PREVIEW_LAST_PAGE};
  struct Row {
    const char* name;
    PreviewPosition p;
    bool back;
    bool ahead;
  } rows[] = {
      {"page 1 of 25", {1, 25, 100}, false, true},
      {"page 25 of 25", {25, 25, 100}, true, false},
      {"page 12 of 25", {12, 25, 100}, true, true},
      {"page 1 of 1", {1, 1, 100}, false, false},
      {"no pages (RAW data)", {1, 0, 100}, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (UINT id : backward) EXPECT_EQ(IsPreviewCommandEnabled(row.p, id), row.back) << id;
    for (UINT id : forward) EXPECT_EQ(IsPreviewCommandEnabled(row.p, id), row.ahead) << id;
  }
}

TEST(PreviewPositionTest, ZoomRunsFrom10To1000InStepsOf10) {
  PreviewPosition p;
  for (int i = 0; i < 9; ++i) {
    EXPECT_TRUE(IsPreviewCommandEnabled(p, ID_PREVIEW_ZOOM_OUT));
    ApplyPreviewCommand(p, ID_PREVIEW_ZOOM_OUT);
  }
  EXPECT_EQ(p.zoom, 10);
  EXPECT_FALSE(IsPreviewCommandEnabled(p, ID_PREVIEW_ZOOM_OUT));
  ApplyPreviewCommand(p, ID_PREVIEW_ZOOM_OUT);
  EXPECT_EQ(p.zoom, 10);
  EXPECT_TRUE(IsPreviewCommandEnabled(p, ID_PREVIEW_ZOOM_IN));

  p.zoom = 990;
  ApplyPreviewCommand(p, ID_PREVIEW_ZOOM_IN);
  EXPECT_EQ(p.zoom, 1000);
  EXPECT_FALSE(IsPreviewCommandEnabled(p, ID_PREVIEW_ZOOM_IN));
  ApplyPreviewCommand(p, ID_PREVIEW_ZOOM_IN);
  EXPECT_EQ(p.zoom, 1000);
  EXPECT_EQ(p.page, 1);
}

TEST(ScalePageFrameTest, AnA4PageIsShownAtItsRealSizeTimesTheZoom) {
  struct Row {
    const char* name;
    int zoom;
    LONG cx;
    LONG cy;
  } rows[] = {
      {"100%", 100, 793, 1121},
      {"50%", 50, 396, 560},
      {"10%", 10, 79, 112},
      {"1000%", 1000, 7937, 11215},
  };
  const RECTL a4 = {0, 0, 21000, 29700};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const RECT r = ScalePageFrame(a4, row.zoom, 1920, 1080, 508, 286);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, row.cx);
    EXPECT_EQ(r.bottom, row.cy);
  }
  // The frame keeps its origin; a device without a size draws nothing.
  const RECT shifted = ScalePageFrame(RECTL{1000, 2000, 22000, 31700}, 100, 1920, 1080, 508, 286);
  EXPECT_EQ(shifted.left, 37);
  EXPECT_EQ(shifted.top, 75);
  const RECT none = ScalePageFrame(a4, 100, 1920, 1080, 0, 0);
  EXPECT_EQ(none.right, 0);
  EXPECT_EQ(none.bottom, 0);
}

// What a test reads off the running preview.
struct PreviewState {
  std::wstring pagePane;
  std::wstring zoomPane;
  std::map<UINT, bool> enabled;
  SIZE total = {-1, -1};
  std::wstring documentPath;
};

class JobPreviewTest : public ControllerTest {
 protected:
  // Opens the preview of the list's only row from the spool list and runs
  // script on it once, then closes it with OK.
  void Preview(const std::function<void(CDlgPreviewJob&)>& script) {
    ASSERT_EQ(Rows().size(), 1u);
    SelectRows({0});
    frame->SpoolView().JobList().SetSelectionMark(0);
    int runs = 0;
    ui::Dialog::SetModalHook([&](ui::Dialog& dialog) {
      if (dialog.TemplateId() != IDD_PREVIEW_JOB || runs++) return;
      script(static_cast<CDlgPreviewJob&>(dialog));
      SendMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    Command(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(runs, 1);
  }

  // Paints the view and takes an idle pass, then reads the bars.
  static PreviewState Read(CDlgPreviewJob& dialog) {
    PreviewState s;
    CSampleView* view = dialog.View();
    CPreviewFrame* previewFrame = dialog.Frame();
    if (!view || !previewFrame) {
      ADD_FAILURE() << "no hosted view";
      return s;
    }
    RedrawWindow(view->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DrainQueue();
    dialog.UpdateFrameControls();
    const ui::StatusBar& bar = previewFrame->StatusBar();
    s.pagePane = bar.PaneText(bar.CommandToIndex(ID_INDICATOR_PAGE));
    s.zoomPane = bar.PaneText(bar.CommandToIndex(ID_INDICATOR_ZOOM));
    for (UINT id : previewFrame->ToolBar().Buttons())
      if (id != ID_SEPARATOR) s.enabled[id] = (previewFrame->ToolBar().ButtonState(id) & TBSTATE_ENABLED) != 0;
    s.total = view->TotalSize();
    if (view->GetDocument()) s.documentPath = view->GetDocument()->GetPathName();
    return s;
  }
  // Message boxes are answered OK and their texts kept in messages.
  void RecordMessages() {
    ui::Prompts().messageBox = [this](HWND, const std::wstring& text, const std::wstring&, UINT) {
      messages.push_back(text);
      return IDOK;
    };
  }
  std::vector<std::wstring> messages;

  // Two EMF jobs of the given page counts; only the first is listed (the
  // second has no control file), so the preview can open it as another file.
  static void SpoolListedAndUnlisted(const dvtest::TestPrinter& printer, int listedPages, int unlistedPages,
                                     int& listed, int& unlisted) {
    dvfix::EmfJobSpec spec;
    spec.printer = printer.Name();
    spec.pages = listedPages;
    listed = dvfix::SpoolEmfJob(spec);
    spec.pages = unlistedPages;
    unlisted = dvfix::SpoolEmfJob(spec);
    ASSERT_GT(listed, 0);
    ASSERT_GT(unlisted, 0);
    ASSERT_TRUE(DeleteFileW(dvfix::SpoolFilePath(unlisted, L"Ctl").c_str()));
  }
  static void Click(CDlgPreviewJob& dialog, UINT id) {
    SendMessageW(dialog.Frame()->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(dialog.Frame()->ToolBar().Hwnd()));
  }
};

const UINT kPageButtons[] = {ID_PREVIEW_FIRST_PAGE, ID_PREVIEW_BACK_10,    ID_PREVIEW_PREV_PAGE,
                             ID_PREVIEW_NEXT_PAGE,  ID_PREVIEW_FORWARD_10, ID_PREVIEW_LAST_PAGE};

// Share of dark pixels in a square of the view's drawing at dc.
double DarkShare(HDC dc, int x0, int y0, int size) {
  int dark = 0;
  for (int y = y0; y < y0 + size; ++y)
    for (int x = x0; x < x0 + size; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
    }
  return static_cast<double>(dark) / (size * size);
}

TEST_F(JobPreviewTest, EmfJobShowsItsPagesWithNavigationAndZoom) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  dvfix::EmfJobSpec spec;
  spec.printer = printer.Name();
  spec.pages = 12;
  const int job = dvfix::SpoolEmfJob(spec);
  ASSERT_GT(job, 0);
  ASSERT_TRUE(Start());

  Preview([&](CDlgPreviewJob& dialog) {
    PreviewState s = Read(dialog);
    EXPECT_EQ(s.documentPath, folder.SpoolFolder() + dv::Format(L"%08d.org", job));
    EXPECT_EQ(s.pagePane, L"Page: 1/12");
    EXPECT_EQ(s.zoomPane, L"Zoom: 100%");
    EXPECT_FALSE(s.enabled[ID_PREVIEW_FIRST_PAGE]);
    EXPECT_FALSE(s.enabled[ID_PREVIEW_PREV_PAGE]);
    EXPECT_TRUE(s.enabled[ID_PREVIEW_NEXT_PAGE]);
    EXPECT_TRUE(s.enabled[ID_PREVIEW_LAST_PAGE]);
    EXPECT_TRUE(s.enabled[ID_PREVIEW_ZOOM_IN]);

    // The page is drawn at its real size on this screen: the scroll size is
    // the scaled page frame.
    HDC screen = GetDC(nullptr);
    const int horzRes = GetDeviceCaps(screen, HORZRES), vertRes = GetDeviceCaps(screen, VERTRES);
    const int horzSize = GetDeviceCaps(screen, HORZSIZE), vertSize = GetDeviceCaps(screen, VERTSIZE);
    ReleaseDC(nullptr, screen);
    dv::EnhMetaFileHandle first(CSpooledEmf(s.documentPath).GetPage(1));
    ASSERT_TRUE(first);
    ENHMETAHEADER header = {};
    GetEnhMetaFileHeader(first.get(), sizeof(header), &header);
    const RECT expected = ScalePageFrame(header.rclFrame, 100, horzRes, vertRes, horzSize, vertSize);
    EXPECT_EQ(s.total.cx, expected.right - expected.left);
    EXPECT_EQ(s.total.cy, expected.bottom - expected.top);
    ASSERT_GT(s.total.cx, 100);

    // The page's 20 mm black square, 20 mm from the top left corner, comes
    // out where the scale puts it (drawn into a bitmap of the screen), on
    // white paper over the grey around it.
    {
      HDC memory = CreateCompatibleDC(nullptr);
      HDC reference = GetDC(nullptr);
      dv::GdiObject bitmap(CreateCompatibleBitmap(reference, s.total.cx, s.total.cy));
      ReleaseDC(nullptr, reference);
      HGDIOBJ old = SelectObject(memory, bitmap.get());
      RECT all = {0, 0, s.total.cx, s.total.cy};
      FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      dialog.View()->OnDraw(memory);
      const double pxPerMm = static_cast<double>(horzRes) / horzSize;
      const double pyPerMm = static_cast<double>(vertRes) / vertSize;
      const int side = static_cast<int>(10 * pxPerMm);
      EXPECT_GT(DarkShare(memory, static_cast<int>(25 * pxPerMm), static_cast<int>(25 * pyPerMm), side), 0.9);
      EXPECT_LT(DarkShare(memory, static_cast<int>(45 * pxPerMm), static_cast<int>(25 * pyPerMm), side), 0.1);
      EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, static_cast<int>(46 * pxPerMm), static_cast<int>(26 * pyPerMm)));
      SelectObject(memory, old);
      DeleteDC(memory);
    }

    // A page step moves a tenth of the page, an arrow step a tenth of that.
    CSampleView* view = dialog.View();
    view->ScrollTo(POINT{0, 0});
    SendMessageW(view->Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(s.total.cy / 10, view->ScrollPosition().y);
    SendMessageW(view->Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(s.total.cy / 10 + s.total.cy / 100, view->ScrollPosition().y);
    SendMessageW(view->Hwnd(), WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(s.total.cy / 100, view->ScrollPosition().y);
    view->ScrollTo(POINT{0, 0});

    Click(dialog, ID_PREVIEW_FORWARD_10);
    s = Read(dialog);
    EXPECT_EQ(s.pagePane, L"Page: 11/12");
    Click(dialog, ID_PREVIEW_FORWARD_10);
    s = Read(dialog);
    EXPECT_EQ(s.pagePane, L"Page: 12/12");
    EXPECT_FALSE(s.enabled[ID_PREVIEW_NEXT_PAGE]);
    EXPECT_FALSE(s.enabled[ID_PREVIEW_FORWARD_10]);
    EXPECT_FALSE(s.enabled[ID_PREVIEW_LAST_PAGE]);
    EXPECT_TRUE(s.enabled[ID_PREVIEW_BACK_10]);
    // A disabled button does nothing.
    Click(dialog, ID_PREVIEW_NEXT_PAGE);
    EXPECT_EQ(Read(dialog).pagePane, L"Page: 12/12");
    Click(dialog, ID_PREVIEW_BACK_10);
    Click(dialog, ID_PREVIEW_PREV_PAGE);
    EXPECT_EQ(Read(dialog).pagePane, L"Page: 1/12");

    Click(dialog, ID_PREVIEW_ZOOM_OUT);
    Click(dialog, ID_PREVIEW_ZOOM_OUT);
    s = Read(dialog);
    EXPECT_EQ(s.zoomPane, L"Zoom: 80%");
    const RECT zoomed = ScalePageFrame(header.rclFrame, 80, horzRes, vertRes, horzSize, vertSize);
    EXPECT_EQ(s.total.cx, zoomed.right - zoomed.left);
    EXPECT_EQ(s.total.cy, zoomed.bottom - zoomed.top);
  });
  // The preview only reads the job's file.
  EXPECT_GT(dvtest::ReadFileBytes(dvfix::SpoolFilePath(job, L"Org")).size(), 0u);
}

TEST_F(JobPreviewTest, RawJobShowsNoPageAndDisablesEveryPageButton) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  dvfix::RawJobSpec spec;
  spec.printer = printer.Name();
  spec.data = "\x1b" "E\x1b&l0OPlain printer data\f\x1b" "E";
  const int job = dvfix::SpoolRawJob(spec);
  ASSERT_GT(job, 0);
  ASSERT_TRUE(Start());
  Preview([&](CDlgPreviewJob& dialog) {
    PreviewState s = Read(dialog);
    EXPECT_EQ(s.pagePane, L"Page: 1/0");
    for (UINT id : kPageButtons) EXPECT_FALSE(s.enabled[id]) << id;
    EXPECT_TRUE(s.enabled[ID_PREVIEW_ZOOM_IN]);
    EXPECT_EQ(s.total.cx, 0);
    EXPECT_EQ(s.total.cy, 0);
  });
}

TEST_F(JobPreviewTest, MissingSpoolDataIsReportedAndThePreviewStaysEmpty) {
  AddJob(7, /*org=*/false, /*dvm=*/false);
  RecordMessages();
  ASSERT_TRUE(Start());
  Preview([&](CDlgPreviewJob& dialog) {
    const PreviewState s = Read(dialog);
    EXPECT_EQ(s.documentPath, L"");
    EXPECT_EQ(s.pagePane, L"Page: 1/1");
  });
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], JobPath(7, L"Ctl").substr(0, JobPath(7, L"Ctl").size() - 4) +
                             L".org\nCannot find this file.\nPlease verify that the correct path and file name are "
                             L"given.");
}

TEST_F(JobPreviewTest, ResizingKeepsOkInTheCornerAndTheFrameAt12) {
  AddJob(8, /*org=*/true, /*dvm=*/false);
  ASSERT_TRUE(Start());
  Preview([&](CDlgPreviewJob& dialog) {
    HWND frameHwnd = dialog.Frame()->Hwnd();
    for (SIZE size : {SIZE{900, 700}, SIZE{640, 480}}) {
      SCOPED_TRACE(size.cx);
      SetWindowPos(dialog.Hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
      RECT client = {};
      GetClientRect(dialog.Hwnd(), &client);
      RECT ok = {};
      GetWindowRect(dialog.Item(IDOK), &ok);
      MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&ok), 2);
      EXPECT_EQ(client.right - ok.right, 10);
      EXPECT_EQ(client.bottom - ok.bottom, 10);
      RECT f = {};
      GetWindowRect(frameHwnd, &f);
      MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&f), 2);
      EXPECT_EQ(f.left, 12);
      EXPECT_EQ(f.top, 12);
      EXPECT_EQ(f.right - f.left, size.cx - 30);
      EXPECT_EQ(f.bottom - f.top, size.cy - 77);
    }
  });
}

// Dark pixels (the frame and the caption's letters) of a window as it is on
// the screen.
int DarkPixelsShown(HWND window) {
  RECT r = {};
  GetClientRect(window, &r);
  HDC dc = GetDC(window);
  int dark = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
    }
  ReleaseDC(window, dc);
  return dark;
}

// The OK button moved by a resize is drawn where it went, maximised too.
TEST_F(JobPreviewTest, OkIsDrawnWhereTheResizeMovesIt) {
  AddJob(8, /*org=*/true, /*dvm=*/false);
  ASSERT_TRUE(Start());
  Preview([&](CDlgPreviewJob& dialog) {
    HWND ok = dialog.Item(IDOK);
    UpdateWindow(dialog.Hwnd());
    const int before = DarkPixelsShown(ok);
    ASSERT_GT(before, 20) << "the button's frame and text";
    struct Row {
      const char* name;
      std::function<void()> resize;
    } rows[] = {
        {"maximised", [&] { ShowWindow(dialog.Hwnd(), SW_MAXIMIZE); }},
        {"restored", [&] { ShowWindow(dialog.Hwnd(), SW_RESTORE); }},
        // At the screen's corner, so that the larger size stays on it.
        {"enlarged", [&] { SetWindowPos(dialog.Hwnd(), nullptr, 0, 0, 900, 700, SWP_NOZORDER); }},
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(row.name);
      row.resize();
      UpdateWindow(dialog.Hwnd());
      RECT pending = {};
      EXPECT_FALSE(GetUpdateRect(ok, &pending, FALSE)) << "nothing left to paint";
      EXPECT_EQ(before, DarkPixelsShown(ok));
    }
  });
}

TEST_F(JobPreviewTest, HostedTemplateReusesItsFrameAndPromptsForAnyFile) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  // Only the small job is listed: the large one is opened through the
  // template, as a second file into the same preview.
  int small = 0, large = 0;
  ASSERT_NO_FATAL_FAILURE(SpoolListedAndUnlisted(printer, 2, 5, small, large));

  std::vector<ui::FileDialogRequest> requests;
  ui::Prompts().file = [&](HWND, const ui::FileDialogRequest& request, std::wstring& path) {
    requests.push_back(request);
    path = dvfix::SpoolFilePath(large, L"Org");
    return true;
  };
  RecordMessages();
  ASSERT_TRUE(Start());

  HWND frameHwnd = nullptr;
  Preview([&](CDlgPreviewJob& dialog) {
    // Before any resize the frame lies exactly over the hidden placeholder.
    RECT placeholder = {}, f = {};
    GetWindowRect(dialog.Item(IDC_PREVIEW_PLACEHOLDER), &placeholder);
    frameHwnd = dialog.Frame()->Hwnd();
    GetWindowRect(frameHwnd, &f);
    EXPECT_TRUE(EqualRect(&placeholder, &f));

    CDFVDocTemplate* docTemplate = dialog.Frame()->GetDocTemplate();
    ASSERT_NE(docTemplate, nullptr);
    CSampleView* view = dialog.View();
    EXPECT_EQ(Read(dialog).pagePane, L"Page: 1/2");
    Click(dialog, ID_PREVIEW_NEXT_PAGE);

    std::wstring name;
    ASSERT_TRUE(docTemplate->DoPromptFileName(name, L"Open", OFN_FILEMUSTEXIST, true));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filter, L"All Files (*.*)|*.*||");
    EXPECT_EQ(requests[0].title, L"Open");
    EXPECT_TRUE(requests[0].open);
    EXPECT_NE(docTemplate->OpenDocumentFile(name, true), nullptr);
    EXPECT_EQ(dialog.Frame()->Hwnd(), frameHwnd);
    EXPECT_EQ(dialog.View(), view);
    // The page and zoom belong to the view and survive the new file.
    PreviewState s = Read(dialog);
    EXPECT_EQ(s.pagePane, L"Page: 2/5");
    EXPECT_EQ(s.documentPath, dvfix::SpoolFilePath(large, L"Org"));

    // A file that cannot be opened leaves the document as it was.
    EXPECT_EQ(docTemplate->OpenDocumentFile(folder.SpoolFolder() + L"gone.org", true), nullptr);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(Read(dialog).documentPath, dvfix::SpoolFilePath(large, L"Org"));
  });
  // The frame went with the dialog.
  EXPECT_FALSE(IsWindow(frameHwnd));
  EXPECT_GT(dvtest::ReadFileBytes(dvfix::SpoolFilePath(small, L"Org")).size(), 0u);
}

// A key (with Ctrl unless told otherwise), as the preview's modal loop
// hands it on: true when a window of the dialog used it up.
bool PressKey(CDlgPreviewJob& dialog, HWND target, WPARAM key, bool ctrl = true) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE pressed[256];
  memcpy(pressed, keys, sizeof(keys));
  pressed[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(pressed);
  MSG msg = {};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  msg.lParam = 1;
  const bool used = dialog.PreTranslateChildren(msg);
  SetKeyboardState(keys);
  return used;
}

TEST_F(JobPreviewTest, FrameKeysOpenEmptyAndPrintButNeverSave) {
  dvtest::TestPrinter printer;
  ASSERT_TRUE(printer.ok());
  int job = 0, other = 0;
  ASSERT_NO_FATAL_FAILURE(SpoolListedAndUnlisted(printer, 3, 2, job, other));
  const std::wstring data = dvfix::SpoolFilePath(job, L"Org");
  const std::string original = dvtest::ReadFileBytes(data);
  ASSERT_FALSE(original.empty());

  int filePrompts = 0;
  ui::Prompts().file = [&](HWND, const ui::FileDialogRequest&, std::wstring& path) {
    ++filePrompts;
    path = dvfix::SpoolFilePath(other, L"Org");
    return true;
  };
  std::vector<DWORD> printFlags;
  ui::Prompts().print = [&](HWND, PRINTDLGW& pd) {
    printFlags.push_back(pd.Flags);
    EXPECT_EQ(pd.nMaxPage, 3);
    if (printFlags.size() == 2) {
      // The second print asks for a range of pages.
      pd.Flags |= PD_PAGENUMS;
      pd.nFromPage = 2;
      pd.nToPage = 3;
    }
    pd.hDC = CreateDCW(L"WINSPOOL", printer.Name().c_str(), nullptr, nullptr);
    return pd.hDC != nullptr;
  };
  RecordMessages();
  ASSERT_TRUE(Start());

  Preview([&](CDlgPreviewJob& dialog) {
    ASSERT_EQ(Read(dialog).pagePane, L"Page: 1/3");
    HWND view = dialog.View()->Hwnd();

    // Save: used up by the frame, and nothing is written or asked.
    EXPECT_TRUE(PressKey(dialog, view, 'S'));
    EXPECT_EQ(dvtest::ReadFileBytes(data), original);
    EXPECT_EQ(filePrompts, 0);

    // Print: the Print dialog, then every page of the job on the printer.
    printer.ClearOutput();
    EXPECT_TRUE(PressKey(dialog, view, 'P'));
    ASSERT_EQ(printFlags.size(), 1u);
    EXPECT_TRUE(printFlags[0] & PD_RETURNDC);
    EXPECT_FALSE(printFlags[0] & PD_RETURNDEFAULT);
    EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 3);
    // The same command without the dialog goes to the default printer; a
    // range prints only its pages.
    printer.ClearOutput();
    SendMessageW(dialog.Frame()->Hwnd(), WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    ASSERT_EQ(printFlags.size(), 2u);
    EXPECT_TRUE(printFlags[1] & PD_RETURNDEFAULT);
    EXPECT_EQ(dvtest::CountPostScriptPages(printer.Output()), 2);

    // Open: another file into the same preview; New: an empty preview.
    EXPECT_TRUE(PressKey(dialog, view, 'O'));
    EXPECT_EQ(filePrompts, 1);
    PreviewState s = Read(dialog);
    EXPECT_EQ(s.documentPath, dvfix::SpoolFilePath(other, L"Org"));
    EXPECT_EQ(s.pagePane, L"Page: 1/2");
    EXPECT_TRUE(PressKey(dialog, view, 'N'));
    EXPECT_EQ(Read(dialog).documentPath, L"");

    // F1: the preview's page of the help file.
    std::vector<std::wstring> help;
    ui::App::HelpEngineOverride() = [&](HWND, const std::wstring& target, UINT) { help.push_back(target); };
    EXPECT_TRUE(PressKey(dialog, view, VK_F1, false));
    ui::App::HelpEngineOverride() = nullptr;
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0], app->HelpFilePath() + L"::/preview.htm");

    // Keys of windows outside the frame are the dialog manager's.
    EXPECT_FALSE(PressKey(dialog, dialog.Item(IDOK), 'P'));
    EXPECT_EQ(printFlags.size(), 2u);
  });
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(dvtest::ReadFileBytes(data), original);
}

}  // namespace
}  // namespace ctltest
