// Reading and writing one print field's section of a template file.
#include "common/FieldData.h"

#include "common/FontString.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"

const wchar_t kFieldUserName[] = L"User Name";
const wchar_t kFieldPrinterName[] = L"Printer Name";
const wchar_t kFieldDocumentName[] = L"Document Name";
const wchar_t kFieldMachineName[] = L"Machine Name";
const wchar_t kFieldGroup[] = L"Group";
const wchar_t kFieldTime[] = L"Time";
const wchar_t kFieldDate[] = L"Date";
const wchar_t kFieldMixedData[] = L"Mixed Data";

std::wstring FieldSectionName(int position) { return dv::Format(L"%ls%d", L"Field_", position); }

void CFieldData::Save(const std::wstring& templateFile, int position) const {
  const std::wstring section = FieldSectionName(position);
  SetIniString(section, L"DataFormat", templateFile, DataFormat);
  SetIniString(section, L"FieldName", templateFile, FieldName);
  SetIniInt(section, L"PrintText", templateFile, PrintText);
  SetIniInt(section, L"TextTop", templateFile, TextTop);
  SetIniInt(section, L"TextLeft", templateFile, TextLeft);
  SetIniInt(section, L"TextDirection", templateFile, TextDirection);
  SetIniString(section, L"TextFont", templateFile, TextFont);
  SetIniInt(section, L"PrintBarcode", templateFile, PrintBarcode);
  SetIniInt(section, L"BarcodeTop", templateFile, BarcodeTop);
  SetIniInt(section, L"BarcodeLeft", templateFile, BarcodeLeft);
  SetIniInt(section, L"BarcodeWidth", templateFile, BarcodeWidth);
  SetIniInt(section, L"BarcodeHeight", templateFile, BarcodeHeight);
  SetIniInt(section, L"BarcodeRotate", templateFile, BarcodeRotate);
  SetIniInt(section, L"BarcodeType", templateFile, BarcodeType);
}

void CFieldData::Load(const std::wstring& templateFile, int position) {
  const std::wstring section = FieldSectionName(position);
  DataFormat = GetIniString(section, L"DataFormat", templateFile, L"");
  FieldName = GetIniString(section, L"FieldName", templateFile, L"");
  PrintText = GetIniInt(section, L"PrintText", templateFile, 0);
  TextTop = GetIniInt(section, L"TextTop", templateFile, 0);
  TextLeft = GetIniInt(section, L"TextLeft", templateFile, 0);
  TextDirection = GetIniInt(section, L"TextDirection", templateFile, 0);
  TextFont = GetIniString(section, L"TextFont", templateFile, kDefaultFontString);
  PrintBarcode = GetIniInt(section, L"PrintBarcode", templateFile, 0);
  BarcodeTop = GetIniInt(section, L"BarcodeTop", templateFile, 0);
  BarcodeLeft = GetIniInt(section, L"BarcodeLeft", templateFile, 0);
  BarcodeWidth = GetIniInt(section, L"BarcodeWidth", templateFile, 300);
  BarcodeHeight = GetIniInt(section, L"BarcodeHeight", templateFile, 50);
  BarcodeRotate = GetIniInt(section, L"BarcodeRotate", templateFile, 0);
  BarcodeType = GetIniInt(section, L"BarcodeType", templateFile, 0);
}
