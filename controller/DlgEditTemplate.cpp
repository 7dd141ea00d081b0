// The page template editor; see DlgEditTemplate.h.
#include "controller/DlgEditTemplate.h"

#include <algorithm>
#include <cstdlib>

#include "common/FontString.h"
#include "controller/resource.h"
#include "ui/App.h"
#include "ui/CommonDialogs.h"

const wchar_t* const kBarcodeTypeNames[kBarcodeTypeCount] = {
    L"Code 128 Auto", L"CodaBar",   L"Code 3 of 9", L"Interleaved 2 of 5", L"EAN8 Flat", L"UPCE Flat",
    L"UPCA Flat",     L"Code 2 of 5", L"Code 128A", L"Code 128B",          L"Code 128C", L"EAN13 Flat",
    L"EAN13",         L"EAN8",      L"UPCE",        L"UPCA",               L"Code 9 of 3",
};

namespace {

constexpr wchar_t kPictureFilter[] = L"Enhanced Windows Metafile (*.emf)|*.emf|All Files (*.*)|*.*||";
constexpr DWORD kPictureDialogFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;  // 0x81004

// The spin ranges. The lower bounds are -32767, not -32768.
constexpr int kSignedLow = -32767;
constexpr int kHigh = 32767;

struct SpinRange {
  int id;
  int low;
  int high;
};

constexpr SpinRange kSpinRanges[] = {
    {IDC_TPL_TEXT_TOP_SPIN, kSignedLow, kHigh},     {IDC_TPL_TEXT_LEFT_SPIN, kSignedLow, kHigh},
    {IDC_TPL_TEXT_DIRECTION_SPIN, 0, 360},          {IDC_TPL_BARCODE_TOP_SPIN, 0, kHigh},
    {IDC_TPL_BARCODE_LEFT_SPIN, kSignedLow, kHigh}, {IDC_TPL_BARCODE_WIDTH_SPIN, 0, kHigh},
    {IDC_TPL_BARCODE_HEIGHT_SPIN, kSignedLow, kHigh},
};

// A field value as its spin control shows it: the low 16 bits, then clipped
// to the control's range, so the shown number is the one stored back.
void ShowInSpin(const ui::UpDown& spin, int value) {
  int low = kSignedLow, high = kHigh;
  for (const auto& r : kSpinRanges)
    if (r.id == spin.Id()) low = r.low, high = r.high;
  spin.SetPos(std::clamp<int>(static_cast<short>(value), low, high));
}

struct DefaultField {
  const wchar_t* name;
  const wchar_t* format;
};

const DefaultField kDefaultFields[] = {
    {kFieldUserName, L""},
    {kFieldPrinterName, L""},
    {kFieldDocumentName, L""},
    {kFieldMachineName, L""},
    {kFieldGroup, L""},
    {kFieldTime, L"%H:%M"},
    {kFieldDate, L"%x"},
    {kFieldMixedData, L"%Date%,%Time%,%User Name%,%Machine Name%"},
};

// Icons of the rotation buttons 0, 90, 180, 270 in that order.
constexpr int kRotateButtons[4] = {IDC_TPL_ROTATE_0, IDC_TPL_ROTATE_90, IDC_TPL_ROTATE_180, IDC_TPL_ROTATE_270};
constexpr int kRotateIcons[4] = {IDI_ARROW_UP, IDI_ARROW_LEFT, IDI_ARROW_DOWN, IDI_ARROW_RIGHT};

int ScreenPixelsPerInchY(HWND window) {
  HDC dc = GetDC(window);
  if (!dc) return 96;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(window, dc);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int RotateButtonFor(int rotate) {
  switch (rotate) {
    case 90:
      return IDC_TPL_ROTATE_90;
    case 180:
      return IDC_TPL_ROTATE_180;
    case 270:
      return IDC_TPL_ROTATE_270;
    default:
      return IDC_TPL_ROTATE_0;
  }
}

int RotationOfButton(int buttonId) {
  switch (buttonId) {
    case IDC_TPL_ROTATE_90:
      return 90;
    case IDC_TPL_ROTATE_180:
      return 180;
    case IDC_TPL_ROTATE_270:
      return 270;
    default:
      return 0;
  }
}

void AddDefaultTemplateFields(CPageTemplate& pageTemplate) {
  for (const auto& f : kDefaultFields) pageTemplate.AddField(f.name, f.format);
}

CDlgEditTemplate::CDlgEditTemplate() : ui::Dialog(IDD_EDIT_TEMPLATE) { SetHelpId(ID_EDIT_PAGE_TEMPLATE); }

CDlgEditTemplate::~CDlgEditTemplate() {
  // The buttons go with the window; the icons are ours.
  Destroy();
  for (HICON& icon : rotateIcons)
    if (icon) DestroyIcon(icon), icon = nullptr;
}

void CDlgEditTemplate::DoDataExchange() {
  const HWND d = Hwnd();
  textTopLabel.Attach(d, IDC_TPL_TEXT_TOP_LABEL);
  textLeftLabel.Attach(d, IDC_TPL_TEXT_LEFT_LABEL);
  textDirectionLabel.Attach(d, IDC_TPL_TEXT_DIRECTION_LABEL);
  barcodeDirectionLabel.Attach(d, IDC_TPL_BARCODE_DIRECTION_LABEL);
  barcodeWidthLabel.Attach(d, IDC_TPL_BARCODE_WIDTH_LABEL);
  barcodeTopLabel.Attach(d, IDC_TPL_BARCODE_TOP_LABEL);
  barcodeLeftLabel.Attach(d, IDC_TPL_BARCODE_LEFT_LABEL);
  barcodeHeightLabel.Attach(d, IDC_TPL_BARCODE_HEIGHT_LABEL);
  barcodeTypeLabel.Attach(d, IDC_TPL_BARCODE_TYPE_LABEL);
  rotate270.Attach(d, IDC_TPL_ROTATE_270);
  rotate180.Attach(d, IDC_TPL_ROTATE_180);
  rotate90.Attach(d, IDC_TPL_ROTATE_90);
  rotate0.Attach(d, IDC_TPL_ROTATE_0);
  textTopSpin.Attach(d, IDC_TPL_TEXT_TOP_SPIN);
  textTop.Attach(d, IDC_TPL_TEXT_TOP);
  textLeftSpin.Attach(d, IDC_TPL_TEXT_LEFT_SPIN);
  textLeft.Attach(d, IDC_TPL_TEXT_LEFT);
  textDirectionSpin.Attach(d, IDC_TPL_TEXT_DIRECTION_SPIN);
  textDirection.Attach(d, IDC_TPL_TEXT_DIRECTION);
  barcodeWidthSpin.Attach(d, IDC_TPL_BARCODE_WIDTH_SPIN);
  barcodeWidth.Attach(d, IDC_TPL_BARCODE_WIDTH);
  barcodeTopSpin.Attach(d, IDC_TPL_BARCODE_TOP_SPIN);
  barcodeTop.Attach(d, IDC_TPL_BARCODE_TOP);
  barcodeLeftSpin.Attach(d, IDC_TPL_BARCODE_LEFT_SPIN);
  barcodeLeft.Attach(d, IDC_TPL_BARCODE_LEFT);
  barcodeHeightSpin.Attach(d, IDC_TPL_BARCODE_HEIGHT_SPIN);
  barcodeHeight.Attach(d, IDC_TPL_BARCODE_HEIGHT);
  printText.Attach(d, IDC_TPL_PRINT_TEXT);
  printBarcode.Attach(d, IDC_TPL_PRINT_BARCODE);
  fontButton.Attach(d, IDC_TPL_FONT);
  fieldList.Attach(d, IDC_TPL_FIELDS);
  barcodeType.Attach(d, IDC_TPL_BARCODE_TYPE);
  dataFormat.Attach(d, IDC_TPL_DATA_FORMAT);
}

void CDlgEditTemplate::SetupPictureBrowse(CBrowseCtrl& field, int id) {
  field.style = (field.style & BCS_EDITABLE) | BCS_GLYPH | BCS_GLYPH3;
  field.openDialog = 1;
  field.defaultExt.clear();
  field.SetFilter(kPictureFilter);
  field.SetOFNFlags(kPictureDialogFlags);
  field.notifyMessage = WM_BROWSECTRL_NOTIFY;
  // Without its window the field shows nothing and reads as empty; the
  // rest of the dialog still works.
  field.SubclassDlgItem(Hwnd(), id);
}

bool CDlgEditTemplate::OnInitDialog() {
  DoDataExchange();
  wchar_t title[256] = {};
  GetWindowTextW(Hwnd(), title, 256);
  SetWindowTextW(Hwnd(), (std::wstring(title) + L" - " + fileName).c_str());

  pageTemplate.Load(fileName);

  SetupPictureBrowse(background, IDC_TPL_BACKGROUND);
  background.SetPathName(pageTemplate.BackgroundPicture);
  SetupPictureBrowse(foreground, IDC_TPL_FOREGROUND);
  foreground.SetPathName(pageTemplate.ForgroundPicture);

  HINSTANCE instance = ui::App::Current() ? ui::App::Current()->Instance() : GetModuleHandleW(nullptr);
  for (int i = 0; i < 4; ++i) {
    if (!rotateIcons[i])
      rotateIcons[i] = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kRotateIcons[i]), IMAGE_ICON, 16, 16, 0));
    SendDlgItemMessageW(Hwnd(), kRotateButtons[i], BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(rotateIcons[i]));
  }

  for (const auto& r : kSpinRanges) SendDlgItemMessageW(Hwnd(), r.id, UDM_SETRANGE32, r.low, r.high);

  for (int code = 0; code < kBarcodeTypeCount; ++code) {
    const int item = barcodeType.AddString(kBarcodeTypeNames[code]);
    if (item >= 0) barcodeType.SetItemData(item, code);
  }

  if (pageTemplate.numFields() == 0) AddDefaultTemplateFields(pageTemplate);
  for (const auto& field : pageTemplate.fields) fieldList.AddString(field.FieldName);

  // An extended-selection list takes its selection and caret separately.
  currentEntry = 0;
  SendMessageW(fieldList.Hwnd(), LB_SETSEL, TRUE, currentEntry);
  SendMessageW(fieldList.Hwnd(), LB_SETCARETINDEX, currentEntry, FALSE);
  FieldToControls(EntryName(currentEntry));
  UpdateControls();

  fontDialogFlags |= CF_INITTOLOGFONTSTRUCT;
  return true;
}

std::wstring CDlgEditTemplate::EntryName(int entry) const {
  if (entry < 0 || entry >= fieldList.Count()) return std::wstring();
  return fieldList.Text(entry);
}

CFieldData* CDlgEditTemplate::FindField(const std::wstring& fieldName) {
  for (auto& field : pageTemplate.fields)
    if (field.FieldName == fieldName) return &field;
  return nullptr;
}

void CDlgEditTemplate::FieldToControls(const std::wstring& fieldName) {
  const CFieldData* field = FindField(fieldName);
  if (!field) return;
  dataFormat.SetText(field->DataFormat);
  printText.SetCheck(field->PrintText != 0);
  ShowInSpin(textDirectionSpin, field->TextDirection);
  ShowInSpin(textTopSpin, field->TextTop);
  ShowInSpin(textLeftSpin, field->TextLeft);
  fontString = field->TextFont;
  printBarcode.SetCheck(field->PrintBarcode != 0);
  for (const ui::Button* b : {&rotate0, &rotate90, &rotate180, &rotate270}) b->SetCheck(false);
  CheckDlgButton(Hwnd(), RotateButtonFor(field->BarcodeRotate), BST_CHECKED);
  ShowInSpin(barcodeWidthSpin, field->BarcodeWidth);
  ShowInSpin(barcodeTopSpin, field->BarcodeTop);
  ShowInSpin(barcodeLeftSpin, field->BarcodeLeft);
  ShowInSpin(barcodeHeightSpin, field->BarcodeHeight);
  barcodeType.SetCurSel(field->BarcodeType >= 0 && field->BarcodeType < kBarcodeTypeCount ? field->BarcodeType : -1);
}

void CDlgEditTemplate::ControlsToField(const std::wstring& fieldName) {
  pageTemplate.BackgroundPicture = background.GetPathName();
  pageTemplate.ForgroundPicture = foreground.GetPathName();
  CFieldData* field = FindField(fieldName);
  if (!field) return;
  field->DataFormat = dataFormat.Text();
  field->PrintText = printText.Checked() ? 1 : 0;
  field->TextDirection = textDirectionSpin.Pos();
  field->TextTop = textTopSpin.Pos();
  field->TextLeft = textLeftSpin.Pos();
  field->TextFont = fontString;
  field->PrintBarcode = printBarcode.Checked() ? 1 : 0;
  field->BarcodeRotate = rotate270.Checked()   ? 270
                         : rotate180.Checked() ? 180
                         : rotate90.Checked()  ? 90
                                               : 0;
  field->BarcodeWidth = barcodeWidthSpin.Pos();
  field->BarcodeTop = barcodeTopSpin.Pos();
  field->BarcodeLeft = barcodeLeftSpin.Pos();
  field->BarcodeHeight = barcodeHeightSpin.Pos();
  const int selected = barcodeType.CurSel();
  field->BarcodeType = selected >= 0 ? static_cast<int>(barcodeType.ItemData(selected)) : -1;
}

void CDlgEditTemplate::UpdateControls() {
  const bool text = printText.Checked();
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &textTopLabel, &textLeftLabel, &textDirectionLabel, &textTop, &textTopSpin, &textLeft, &textLeftSpin,
           &textDirection, &textDirectionSpin, &fontButton})
    c->Enable(text);
  const bool barcode = printBarcode.Checked();
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &barcodeTopLabel, &barcodeLeftLabel, &barcodeWidthLabel, &barcodeHeightLabel, &barcodeDirectionLabel,
           &barcodeTypeLabel, &rotate0, &rotate90, &rotate180, &rotate270, &barcodeTop, &barcodeTopSpin,
           &barcodeLeft, &barcodeLeftSpin, &barcodeWidth, &barcodeWidthSpin, &barcodeHeight, &barcodeHeightSpin,
           &barcodeType})
    c->Enable(barcode);
}

void CDlgEditTemplate::OnPrintAsClicked() { UpdateControls(); }

void CDlgEditTemplate::OnSelchangeFieldList() {
  ControlsToField(EntryName(currentEntry));
  currentEntry = static_cast<int>(SendMessageW(fieldList.Hwnd(), LB_GETCARETINDEX, 0, 0));
  FieldToControls(EntryName(currentEntry));
  UpdateControls();
}

void CDlgEditTemplate::OnFont() {
  COLORREF colour = 0;
  ParseFontString(fontString, colour, dialogFont);
  const int dpi = ScreenPixelsPerInchY(Hwnd());
  const int points = dialogFont.lfHeight;
  dialogFont.lfHeight = -MulDiv(points, dpi, 72);
  int tenths = 0;
  if (!ui::ShowFontDialog(Hwnd(), dialogFont, colour, fontDialogFlags, tenths)) return;
  // The size the user chose, cut to whole points. The returned height is
  // that size rounded to pixels and does not give it back: 10 points are
  // 13.33 pixels at 96 dpi, and 13 pixels are 9.75 points.
  dialogFont.lfHeight = tenths / 10;
  fontString = FormatFontString(colour, dialogFont);
}

void CDlgEditTemplate::TakePicturePath(HWND field) {
  if (!field) return;
  if (field == background.Hwnd())
    pageTemplate.BackgroundPicture = background.GetPathName();
  else if (field == foreground.Hwnd())
    pageTemplate.ForgroundPicture = foreground.GetPathName();
}

LRESULT CDlgEditTemplate::OnBrowsePressed(WPARAM, LPARAM lParam) {
  TakePicturePath(reinterpret_cast<HWND>(lParam));
  return 0;
}

LRESULT CDlgEditTemplate::OnBrowseDone(WPARAM wParam, LPARAM lParam) {
  if (wParam == 1) TakePicturePath(reinterpret_cast<HWND>(lParam));
  return 0;
}

bool CDlgEditTemplate::OnCommand(UINT id, UINT code, HWND) {
  switch (id) {
    case IDC_TPL_PRINT_TEXT:
    case IDC_TPL_PRINT_BARCODE:
      if (code != BN_CLICKED) return false;
      OnPrintAsClicked();
      return true;
    case IDC_TPL_FIELDS:
      if (code != LBN_SELCHANGE) return false;
      OnSelchangeFieldList();
      return true;
    case IDC_TPL_FONT:
      if (code != BN_CLICKED) return false;
      OnFont();
      return true;
    default:
      return false;
  }
}

INT_PTR CDlgEditTemplate::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_BROWSECTRL_PRESSED || msg == WM_BROWSECTRL_NOTIFY) {
    const LRESULT result = msg == WM_BROWSECTRL_PRESSED ? OnBrowsePressed(wParam, lParam) : OnBrowseDone(wParam, lParam);
    SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, result);
    return TRUE;
  }
  return ui::Dialog::DialogProc(msg, wParam, lParam);
}

void CDlgEditTemplate::OnOK() {
  ControlsToField(EntryName(currentEntry));
  pageTemplate.Save(fileName);
  EndDialog(IDOK);
}
