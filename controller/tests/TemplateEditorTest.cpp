// The page template editor: what it shows of a template file, what OK writes
// (and Cancel does not), the default fields of a new template, fields of one
// name, the spin ranges, the font and picture fields, the enabling rules and
// Edit > Page Template in the main frame.
#include "controller/tests/ControllerFixture.h"

#include "common/PageTemplate.h"
#include "controller/BrowseCtrl.h"
#include "controller/DlgEditTemplate.h"

namespace ctltest {
namespace {

constexpr int kRotateButtons[] = {IDC_TPL_ROTATE_0, IDC_TPL_ROTATE_90, IDC_TPL_ROTATE_180, IDC_TPL_ROTATE_270};

class TemplateEditorTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    savedBrowse = BrowseDialogs();
    path = folder.Path() + L"Form.dpt";
  }
  void TearDown() override {
    if (dialog && dialog->Hwnd()) DestroyWindow(dialog->Hwnd());
    dialog.reset();
    BrowseDialogs() = savedBrowse;
    ControllerTest::TearDown();
  }

  void Open() {
    dialog = std::make_unique<CDlgEditTemplate>();
    dialog->SetFileName(path);
    ASSERT_TRUE(dialog->CreateModeless(nullptr));
  }
  void Ok() { SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
  void Cancel() { SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }
  void Click(int id) { SendMessageW(dialog->Item(id), BM_CLICK, 0, 0); }
  bool IsChecked(int id) const { return IsDlgButtonChecked(dialog->Hwnd(), id) == BST_CHECKED; }
  bool IsEnabled(int id) const { return IsWindowEnabled(dialog->Item(id)) != FALSE; }
  std::wstring Text(int id) const { return dialog->ItemText(id); }
  int Spin(int id) const { return static_cast<short>(LOWORD(SendMessageW(dialog->Item(id), UDM_GETPOS, 0, 0))); }
  // What the arrows do: a new position, shown in the buddy.
  void SetSpin(int id, int pos) { SendMessageW(dialog->Item(id), UDM_SETPOS32, 0, pos); }

  std::vector<std::wstring> Entries() const {
    std::vector<std::wstring> names;
    HWND list = dialog->Item(IDC_TPL_FIELDS);
    const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t buf[128] = {};
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
      names.push_back(buf);
    }
    return names;
  }
  // A click on an entry: it alone is selected and has the caret.
  void SelectEntry(int entry) {
    HWND list = dialog->Item(IDC_TPL_FIELDS);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, entry);
    SendMessageW(list, LB_SETCARETINDEX, entry, FALSE);
    SendMessageW(dialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TPL_FIELDS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  CBrowseCtrl& PictureField(int id) const {
    return *static_cast<CBrowseCtrl*>(ui::Window::FromHandle(dialog->Item(id)));
  }

  // A template file with the given fields in file order.
  void WriteTemplate(const std::vector<CFieldData>& fields, const std::wstring& backgroundPicture = L"") {
    CPageTemplate t;
    t.BackgroundPicture = backgroundPicture;
    t.fields = fields;
    t.Save(path);
  }
  static CFieldData Field(const wchar_t* name, const wchar_t* format = L"") {
    CFieldData f;
    f.FieldName = name;
    f.DataFormat = format;
    return f;
  }
  CPageTemplate Reload() const {
    CPageTemplate t;
    t.Load(path);
    return t;
  }

  std::wstring path;
  BrowseDialogReplacements savedBrowse;
  std::unique_ptr<CDlgEditTemplate> dialog;
};

TEST_F(TemplateEditorTest, NewTemplateGetsTheDefaultFieldsAndOkCreatesTheFile) {
  Open();
  wchar_t caption[MAX_PATH + 32] = {};
  GetWindowTextW(dialog->Hwnd(), caption, MAX_PATH + 32);
  EXPECT_EQ(L"Edit Template - " + path, caption);
  EXPECT_EQ((std::vector<std::wstring>{L"Date", L"Document Name", L"Group", L"Machine Name", L"Mixed Data",
                                       L"Printer Name", L"Time", L"User Name"}),
            Entries());
  EXPECT_EQ(L"%x", Text(IDC_TPL_DATA_FORMAT));
  EXPECT_EQ(0, dialog->CurrentEntry());
  // The combo holds the seventeen types, each with its number.
  HWND combo = dialog->Item(IDC_TPL_BARCODE_TYPE);
  ASSERT_EQ(kBarcodeTypeCount, SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < kBarcodeTypeCount; ++i) EXPECT_EQ(i, SendMessageW(combo, CB_GETITEMDATA, i, 0));
  EXPECT_EQ(L"Code 9 of 3", std::wstring(kBarcodeTypeNames[16]));
  for (int id : kRotateButtons)
    EXPECT_NE(0, SendMessageW(dialog->Item(id), BM_GETIMAGE, IMAGE_ICON, 0)) << "icon of " << id;
  Ok();
  EXPECT_EQ(nullptr, dialog->Hwnd());

  const CPageTemplate t = Reload();
  EXPECT_EQ(L"", t.BackgroundPicture);
  EXPECT_EQ(L"", t.ForgroundPicture);
  const std::pair<const wchar_t*, const wchar_t*> expected[] = {
      {L"User Name", L""}, {L"Printer Name", L""}, {L"Document Name", L""}, {L"Machine Name", L""},
      {L"Group", L""},     {L"Time", L"%H:%M"},    {L"Date", L"%x"},
      {L"Mixed Data", L"%Date%,%Time%,%User Name%,%Machine Name%"}};
  ASSERT_EQ(8, t.numFields());
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].first, t.fields[i].FieldName);
    EXPECT_EQ(expected[i].second, t.fields[i].DataFormat);
    EXPECT_EQ(0, t.fields[i].PrintText);
    EXPECT_EQ(0, t.fields[i].BarcodeWidth);
    EXPECT_EQ(0, t.fields[i].BarcodeHeight);
    EXPECT_EQ(kDefaultFontString, t.fields[i].TextFont);
  }
}

TEST_F(TemplateEditorTest, CancelWritesNothing) {
  Open();
  SetSpin(IDC_TPL_TEXT_TOP_SPIN, 7);
  Cancel();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}

TEST_F(TemplateEditorTest, SortedListShowsTheFirstEntryAndMovingStoresTheFieldLeft) {
  CFieldData time = Field(L"Time", L"%H");
  time.PrintText = 1;
  time.TextTop = 12;
  time.TextFont = L"255,0,1,0,0,700,0,12,Arial";
  CFieldData date = Field(L"Date", L"%d.%m.%Y");
  date.PrintBarcode = 1;
  date.BarcodeTop = 30;
  date.BarcodeLeft = -4;
  date.BarcodeWidth = 60;
  date.BarcodeHeight = 15;
  date.BarcodeRotate = 180;
  date.BarcodeType = 11;
  WriteTemplate({time, date}, L"C:\\art\\back.emf");
  Open();

  EXPECT_EQ((std::vector<std::wstring>{L"Date", L"Time"}), Entries());
  EXPECT_EQ(L"%d.%m.%Y", Text(IDC_TPL_DATA_FORMAT));
  EXPECT_FALSE(IsChecked(IDC_TPL_PRINT_TEXT));
  EXPECT_TRUE(IsChecked(IDC_TPL_PRINT_BARCODE));
  EXPECT_EQ(30, Spin(IDC_TPL_BARCODE_TOP_SPIN));
  EXPECT_EQ(-4, Spin(IDC_TPL_BARCODE_LEFT_SPIN));
  EXPECT_EQ(60, Spin(IDC_TPL_BARCODE_WIDTH_SPIN));
  EXPECT_EQ(15, Spin(IDC_TPL_BARCODE_HEIGHT_SPIN));
  for (int id : kRotateButtons) EXPECT_EQ(id == IDC_TPL_ROTATE_180, IsChecked(id)) << id;
  EXPECT_EQ(11, SendMessageW(dialog->Item(IDC_TPL_BARCODE_TYPE), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(L"C:\\art\\back.emf", PictureField(IDC_TPL_BACKGROUND).GetPathName());

  // Changes to Date are kept when the list moves to Time.
  dialog->SetItemText(IDC_TPL_DATA_FORMAT, L"%x");
  Click(IDC_TPL_ROTATE_90);
  SendMessageW(dialog->Item(IDC_TPL_BARCODE_TYPE), CB_SETCURSEL, 3, 0);
  SelectEntry(1);
  EXPECT_EQ(1, dialog->CurrentEntry());
  EXPECT_EQ(L"%H", Text(IDC_TPL_DATA_FORMAT));
  EXPECT_TRUE(IsChecked(IDC_TPL_PRINT_TEXT));
  EXPECT_EQ(12, Spin(IDC_TPL_TEXT_TOP_SPIN));
  EXPECT_EQ(L"255,0,1,0,0,700,0,12,Arial", dialog->CurrentFont());
  Ok();

  const CPageTemplate t = Reload();
  ASSERT_EQ(2, t.numFields());
  EXPECT_EQ(L"Time", t.fields[0].FieldName);
  EXPECT_EQ(L"255,0,1,0,0,700,0,12,Arial", t.fields[0].TextFont);
  EXPECT_EQ(12, t.fields[0].TextTop);
  EXPECT_EQ(L"Date", t.fields[1].FieldName);
  EXPECT_EQ(L"%x", t.fields[1].DataFormat);
  EXPECT_EQ(90, t.fields[1].BarcodeRotate);
  EXPECT_EQ(3, t.fields[1].BarcodeType);
  EXPECT_EQ(-4, t.fields[1].BarcodeLeft);
  EXPECT_EQ(L"C:\\art\\back.emf", t.BackgroundPicture);
}

TEST_F(TemplateEditorTest, FieldsOfOneNameAllEditTheFirst) {
  CFieldData second = Field(L"Date", L"second");
  second.TextTop = 9;
  WriteTemplate({Field(L"Date", L"first"), second});
  Open();
  EXPECT_EQ((std::vector<std::wstring>{L"Date", L"Date"}), Entries());
  SelectEntry(1);
  EXPECT_EQ(L"first", Text(IDC_TPL_DATA_FORMAT));
  dialog->SetItemText(IDC_TPL_DATA_FORMAT, L"changed");
  Ok();
  const CPageTemplate t = Reload();
  ASSERT_EQ(2, t.numFields());
  EXPECT_EQ(L"changed", t.fields[0].DataFormat);
  EXPECT_EQ(L"second", t.fields[1].DataFormat);
  EXPECT_EQ(9, t.fields[1].TextTop);
}

TEST_F(TemplateEditorTest, NumbersAreShownWithinTheSpinRangesAndStoredAsShown) {
  struct Case {
    const char* what;
    int CFieldData::*member;
    int spin;
    int inFile;
    int shown;
  };
  const Case cases[] = {
      {"text top below zero", &CFieldData::TextTop, IDC_TPL_TEXT_TOP_SPIN, -5, -5},
      {"text top beyond 16 bits", &CFieldData::TextTop, IDC_TPL_TEXT_TOP_SPIN, 70000, 4464},
      {"text top -32768", &CFieldData::TextTop, IDC_TPL_TEXT_TOP_SPIN, -32768, -32767},
      {"text left", &CFieldData::TextLeft, IDC_TPL_TEXT_LEFT_SPIN, -200, -200},
      {"direction above 360", &CFieldData::TextDirection, IDC_TPL_TEXT_DIRECTION_SPIN, 400, 360},
      {"direction below 0", &CFieldData::TextDirection, IDC_TPL_TEXT_DIRECTION_SPIN, -90, 0},
      {"barcode top below 0", &CFieldData::BarcodeTop, IDC_TPL_BARCODE_TOP_SPIN, -3, 0},
      {"barcode left below 0", &CFieldData::BarcodeLeft, IDC_TPL_BARCODE_LEFT_SPIN, -3, -3},
      {"barcode width below 0", &CFieldData::BarcodeWidth, IDC_TPL_BARCODE_WIDTH_SPIN, -1, 0},
      {"barcode height below 0", &CFieldData::BarcodeHeight, IDC_TPL_BARCODE_HEIGHT_SPIN, -8, -8},
      {"rotation 45", &CFieldData::BarcodeRotate, 0, 45, 0},
      {"barcode type beyond the list", &CFieldData::BarcodeType, 0, 20, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CFieldData f = Field(L"Group");
    f.*c.member = c.inFile;
    WriteTemplate({f});
    Open();
    if (c.spin) {
      EXPECT_EQ(c.shown, Spin(c.spin));
    }
    if (c.member == &CFieldData::BarcodeType) {
      EXPECT_EQ(CB_ERR, SendMessageW(dialog->Item(IDC_TPL_BARCODE_TYPE), CB_GETCURSEL, 0, 0));
    }
    Ok();
    EXPECT_EQ(c.shown, Reload().fields[0].*c.member);
  }
  // The "0" button shows the rotation the file did not name.
  WriteTemplate({[] {
    CFieldData f = Field(L"Group");
    f.BarcodeRotate = 45;
    return f;
  }()});
  Open();
  for (int id : kRotateButtons) EXPECT_EQ(id == IDC_TPL_ROTATE_0, IsChecked(id)) << id;
}

TEST_F(TemplateEditorTest, NegativeTopSetWithTheArrowsComesBack) {
  WriteTemplate({Field(L"Time")});
  Open();
  SetSpin(IDC_TPL_TEXT_TOP_SPIN, -5);
  EXPECT_EQ(L"-5", Text(IDC_TPL_TEXT_TOP));
  Ok();
  EXPECT_EQ(-5, Reload().fields[0].TextTop);
  Open();
  EXPECT_EQ(-5, Spin(IDC_TPL_TEXT_TOP_SPIN));
}

TEST_F(TemplateEditorTest, FontDialogStartsFromTheFieldAndItsChoiceStaysWithTheField) {
  WriteTemplate({Field(L"Date"), Field(L"Time")});
  Open();
  HDC screen = GetDC(dialog->Hwnd());
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(dialog->Hwnd(), screen);

  int asked = 0;
  bool answer = true;
  ui::Prompts().font = [&](HWND owner, LOGFONTW& font, COLORREF& colour, DWORD flags, int& tenths) {
    ++asked;
    EXPECT_EQ(dialog->Hwnd(), owner);
    EXPECT_EQ(static_cast<DWORD>(CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT), flags);
    EXPECT_EQ(-MulDiv(10, dpi, 72), font.lfHeight);
    EXPECT_STREQ(L"David", font.lfFaceName);
    EXPECT_EQ(177, font.lfCharSet);
    EXPECT_EQ(0u, colour);
    if (!answer) return false;
    font.lfHeight = -MulDiv(14, dpi, 72);
    tenths = 140;
    font.lfWeight = 700;
    wcscpy(font.lfFaceName, L"Arial");
    colour = RGB(255, 0, 0);
    return true;
  };
  Click(IDC_TPL_PRINT_TEXT);
  answer = false;
  Click(IDC_TPL_FONT);
  EXPECT_EQ(kDefaultFontString, dialog->CurrentFont());
  answer = true;
  Click(IDC_TPL_FONT);
  EXPECT_EQ(2, asked);
  EXPECT_EQ(L"255,177,0,0,0,700,0,14,Arial", dialog->CurrentFont());

  SelectEntry(1);
  EXPECT_EQ(kDefaultFontString, dialog->CurrentFont());
  SelectEntry(0);
  EXPECT_EQ(L"255,177,0,0,0,700,0,14,Arial", dialog->CurrentFont());
  Cancel();
  EXPECT_EQ(kDefaultFontString, Reload().fields[0].TextFont);
}

// The field keeps the size chosen in the dialog, not one derived from the
// pixel height the dialog returns (which loses a point for 10 points at 96
// dpi); a fraction of a point is dropped.
TEST_F(TemplateEditorTest, FontSizeIsTheSizeChosenInTheDialog) {
  WriteTemplate({Field(L"Date")});
  Open();
  HDC screen = GetDC(dialog->Hwnd());
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(dialog->Hwnd(), screen);
  Click(IDC_TPL_PRINT_TEXT);
  const struct {
    int tenths;
    const wchar_t* font;
  } cases[] = {
      {100, L"0,177,0,0,0,400,0,10,David"}, {130, L"0,177,0,0,0,400,0,13,David"},
      {80, L"0,177,0,0,0,400,0,8,David"},   {105, L"0,177,0,0,0,400,0,10,David"},
      {720, L"0,177,0,0,0,400,0,72,David"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tenths);
    // As the dialog returns it: the height of the chosen size in pixels.
    ui::Prompts().font = [&](HWND, LOGFONTW& font, COLORREF&, DWORD, int& tenths) {
      font.lfHeight = -MulDiv(c.tenths, dpi, 720);
      tenths = c.tenths;
      return true;
    };
    Click(IDC_TPL_FONT);
    EXPECT_EQ(c.font, dialog->CurrentFont());
  }
}

TEST_F(TemplateEditorTest, PictureFieldsBrowseForMetafilesAndStoreTheirPaths) {
  WriteTemplate({Field(L"Date")}, L"C:\\art\\old.emf");
  Open();
  CBrowseCtrl& back = PictureField(IDC_TPL_BACKGROUND);
  CBrowseCtrl& fore = PictureField(IDC_TPL_FOREGROUND);
  EXPECT_EQ(static_cast<DWORD>(BCS_GLYPH | BCS_GLYPH3 | BCS_EDITABLE), back.style);
  EXPECT_EQ(static_cast<UINT>(WM_BROWSECTRL_NOTIFY), fore.notifyMessage);
  EXPECT_EQ(0x81004u, fore.ofnFlags);
  EXPECT_EQ(L"", fore.defaultExt);

  std::wstring offeredFilter;
  bool choose = true;
  BrowseDialogs().file = [&](OPENFILENAMEW& ofn) {
    for (const wchar_t* p = ofn.lpstrFilter; p && *p; p += wcslen(p) + 1) offeredFilter += std::wstring(p) + L"|";
    if (!choose) return false;
    wcscpy(ofn.lpstrFile, L"C:\\art\\front.emf");
    ofn.lpstrFile[wcslen(ofn.lpstrFile) + 1] = L'\0';
    return true;
  };
  fore.Browse();
  DrainQueue();
  EXPECT_EQ(L"Enhanced Windows Metafile (*.emf)|*.emf|All Files (*.*)|*.*|", offeredFilter);
  EXPECT_EQ(L"C:\\art\\front.emf", dialog->Template().ForgroundPicture);
  // A cancelled dialog keeps the path the field showed.
  choose = false;
  back.Browse();
  DrainQueue();
  EXPECT_EQ(L"C:\\art\\old.emf", dialog->Template().BackgroundPicture);
  Ok();
  const CPageTemplate t = Reload();
  EXPECT_EQ(L"C:\\art\\old.emf", t.BackgroundPicture);
  EXPECT_EQ(L"C:\\art\\front.emf", t.ForgroundPicture);
}

TEST_F(TemplateEditorTest, CheckBoxesEnableTheirGroups) {
  const int textGroup[] = {1041, 1042, 1043, 1021, 1022, 1023, 1024, 1035, 1036, IDC_TPL_FONT};
  const int barcodeGroup[] = {1044, 1045, 1046, 1047, 1048, 1049, 1037, 1038, 1039, 1040,
                              1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1050};
  const int always[] = {IDC_TPL_FIELDS, IDC_TPL_DATA_FORMAT, IDC_TPL_BACKGROUND, IDC_TPL_FOREGROUND};
  Open();
  auto expectGroups = [&](bool text, bool barcode) {
    for (int id : textGroup) EXPECT_EQ(text, IsEnabled(id)) << id;
    for (int id : barcodeGroup) EXPECT_EQ(barcode, IsEnabled(id)) << id;
    for (int id : always) EXPECT_TRUE(IsEnabled(id)) << id;
  };
  expectGroups(false, false);
  Click(IDC_TPL_PRINT_BARCODE);
  expectGroups(false, true);
  Click(IDC_TPL_PRINT_TEXT);
  expectGroups(true, true);
  Click(IDC_TPL_PRINT_BARCODE);
  expectGroups(true, false);
}

TEST_F(TemplateEditorTest, PageTemplateCommandOpensTheEditorOnTheChosenFile) {
  ASSERT_TRUE(Start());
  int asked = 0;
  bool choose = false;
  ui::Prompts().file = [&](HWND owner, const ui::FileDialogRequest& r, std::wstring& chosen) {
    ++asked;
    EXPECT_EQ(frame->Hwnd(), owner);
    EXPECT_TRUE(r.open);
    EXPECT_EQ(L"Open / Create Page Template files", r.title);
    EXPECT_EQ(L"dpt", r.defaultExtension);
    EXPECT_EQ(L"*.dpt", r.fileName);
    EXPECT_EQ(L"Dorvane Page Template Files (*.dpt)|*.dpt|All Files (*.*)|*.*||", r.filter);
    EXPECT_EQ(static_cast<DWORD>(OFN_PATHMUSTEXIST), r.flags);
    chosen = path;
    return choose;
  };
  int shown = 0;
  ui::Dialog::SetModalHook([&](ui::Dialog& d) {
    if (d.TemplateId() != IDD_EDIT_TEMPLATE) return;
    ++shown;
    SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(ID_EDIT_PAGE_TEMPLATE);
  EXPECT_EQ(1, asked);
  EXPECT_EQ(0, shown);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));

  choose = true;
  Command(ID_EDIT_PAGE_TEMPLATE);
  EXPECT_EQ(2, asked);
  EXPECT_EQ(1, shown);
  EXPECT_EQ(8, Reload().numFields());
}

}  // namespace
}  // namespace ctltest
