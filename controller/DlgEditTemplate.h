// The page template editor: one template file (*.dpt), its background and
// foreground pictures, and for each of its print fields the data format, the
// text part (position, direction, font) and the barcode part (position,
// size, rotation, type).
//
// The file is loaded when the dialog opens (a missing file opens as a new
// template) and the whole template is written back on OK; Cancel writes
// nothing. A template without fields is given the eight default fields. The
// dialog edits the fields the template holds and cannot add, remove or
// rename them; several fields of one name are all listed, and every entry of
// that name shows and changes the first of them.
#pragma once

#include <string>

#include "common/PageTemplate.h"
#include "controller/BrowseCtrl.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

// The names the editor shows for the template's barcode type numbers 0-16
// (index = number); kBarcodeTypeCount entries.
constexpr int kBarcodeTypeCount = 17;
extern const wchar_t* const kBarcodeTypeNames[kBarcodeTypeCount];

// The rotation button that shows a BarcodeRotate value (any value other than
// 90, 180 or 270 shows the "0" button), and the value of a checked button.
int RotateButtonFor(int rotate);
int RotationOfButton(int buttonId);

// Adds the eight default fields, in their fixed order and with their default
// data formats, to a template.
void AddDefaultTemplateFields(CPageTemplate& pageTemplate);

class CDlgEditTemplate final : public ui::Dialog {
 public:
  CDlgEditTemplate();
  ~CDlgEditTemplate() override;
  CDlgEditTemplate(const CDlgEditTemplate&) = delete;
  CDlgEditTemplate& operator=(const CDlgEditTemplate&) = delete;

  // The template file's path; set before the dialog runs.
  void SetFileName(const std::wstring& path) { fileName = path; }
  const std::wstring& FileName() const { return fileName; }
  // The template as edited so far (the current field's controls are stored
  // into it on a field change and on OK).
  const CPageTemplate& Template() const { return pageTemplate; }
  const std::wstring& CurrentFont() const { return fontString; }
  int CurrentEntry() const { return currentEntry; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void DoDataExchange();
  void SetupPictureBrowse(CBrowseCtrl& field, int id);
  void FieldToControls(const std::wstring& fieldName);
  void ControlsToField(const std::wstring& fieldName);
  void UpdateControls();
  void OnPrintAsClicked();
  void OnSelchangeFieldList();
  void OnFont();
  LRESULT OnBrowsePressed(WPARAM wParam, LPARAM lParam);
  LRESULT OnBrowseDone(WPARAM wParam, LPARAM lParam);
  // The template's picture of the field that sent a browse message.
  void TakePicturePath(HWND field);
  std::wstring EntryName(int entry) const;
  CFieldData* FindField(const std::wstring& fieldName);

  ui::Static textTopLabel;         // 1041
  ui::Static textLeftLabel;        // 1042
  ui::Static textDirectionLabel;   // 1043
  ui::Static barcodeDirectionLabel;  // 1048
  ui::Static barcodeWidthLabel;    // 1046
  ui::Static barcodeTopLabel;      // 1044
  ui::Static barcodeLeftLabel;     // 1045
  ui::Static barcodeHeightLabel;   // 1047
  ui::Static barcodeTypeLabel;     // 1049
  ui::Button rotate270;            // 1040
  ui::Button rotate180;            // 1039
  ui::Button rotate90;             // 1038
  ui::Button rotate0;              // 1037
  ui::UpDown textTopSpin;          // 1023
  ui::Edit textTop;                // 1021
  ui::UpDown textLeftSpin;         // 1024
  ui::Edit textLeft;               // 1022
  ui::UpDown textDirectionSpin;    // 1036
  ui::Edit textDirection;          // 1035
  ui::UpDown barcodeWidthSpin;     // 1032
  ui::Edit barcodeWidth;           // 1031
  ui::UpDown barcodeTopSpin;       // 1028
  ui::Edit barcodeTop;             // 1027
  ui::UpDown barcodeLeftSpin;      // 1030
  ui::Edit barcodeLeft;            // 1029
  ui::UpDown barcodeHeightSpin;    // 1034
  ui::Edit barcodeHeight;          // 1033
  ui::Button printText;            // 1025
  ui::Button printBarcode;         // 1026
  ui::Button fontButton;           // 3
  ui::ListBox fieldList;           // 1020
  CBrowseCtrl background;          // 1018
  CBrowseCtrl foreground;          // 1019
  ui::ComboBox barcodeType;        // 1050
  ui::Edit dataFormat;             // 1052

  // The font dialog's own font and flags: it starts from this font, which
  // OnFont fills before each use.
  LOGFONTW dialogFont = {};
  DWORD fontDialogFlags = CF_SCREENFONTS | CF_EFFECTS;
  std::wstring fontString = kDefaultFontString;
  CPageTemplate pageTemplate;
  std::wstring fileName;
  int currentEntry = 0;

  HICON rotateIcons[4] = {};
};
