// Engine page template: loading a template file, expanding field data and
// drawing the three layers.
#include "engine/Template.h"

#include <cwchar>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/PageTemplate.h"
#include "common/SpooledEmf.h"
#include "engine/FieldFormat.h"
#include "engine/JobFiles.h"

void CTemplate::Init(HDC dc, int number, VFile* stream, int mode, const std::wstring& file, const std::wstring& user,
                     const std::wstring& document, const std::wstring& machine, const std::wstring& printer,
                     const std::wstring& group) {
  printerDC = dc;
  jobNumber = number;
  output = stream;
  macroMode = mode;
  templateFile = file;
  userName = user;
  documentName = document;
  machineName = machine;
  printerName = printer;
  groupName = group;
  Load();
}

void CTemplate::Load() {
  FreeFields();
  backgroundPicture.clear();
  foregroundPicture.clear();
  // A template set to no file keeps nothing of an earlier one: it draws
  // nothing, as its description says.
  if (templateFile.empty()) return;
  backgroundPicture = GetIniString(L"General", L"BackgroundPicture", L"", L"");
  foregroundPicture = GetIniString(L"General", L"ForgroundPicture", L"", L"");
  // NumFields is read as text and converted like wcstol: blanks and a sign,
  // digits up to the first other character, "" or no digits give 0.
  const std::wstring count = GetIniString(L"General", L"NumFields", L"", L"");
  const long n = std::wcstol(count.c_str(), nullptr, 10);
  fields = LoadTemplateFields(templateFile, (n < 1 || n > kMaxTemplateFields) ? 0 : static_cast<int>(n));
}

std::wstring CTemplate::GetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                                     const std::wstring& def) const {
  return ::GetIniString(section, key, file.empty() ? templateFile : file, def);
}

int CTemplate::FindField(const std::wstring& name) const {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].GetFieldName() == name) return static_cast<int>(i);
  }
  return -1;
}

SYSTEMTIME CTemplate::Now() const {
  if (clock) return clock();
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now;
}

std::wstring CTemplate::ExpandFieldData(const std::wstring& name) const {
  const int index = FindField(name);
  const std::wstring format = index >= 0 ? fields[index].GetDataFormat() : std::wstring();

  if (name == kFieldUserName) return userName;
  if (name == kFieldPrinterName) return printerName;
  if (name == kFieldDocumentName) return documentName;
  if (name == kFieldGroup) return groupName;
  if (name == kFieldMachineName) return machineName;
  if (name == kFieldTime || name == kFieldDate) return format.empty() ? std::wstring() : FormatFieldTime(format, Now());
  if (name != kFieldMixedData) return name;

  // Every field replaces the first occurrence of its reference, in field
  // order, on the growing text. A "Mixed Data" reference can only be met
  // while a "Mixed Data" text is being built (in the format itself, or in a
  // value inserted for another field, such as a user name "%Mixed Data%"):
  // expanding it would never end, so it stays as written. Every other kind
  // expands without recursion.
  std::wstring text = format;
  for (const CFieldData& field : fields) {
    const std::wstring& fieldName = field.GetFieldName();
    if (fieldName == kFieldMixedData) continue;
    const std::wstring reference = L"%" + fieldName + L"%";
    const size_t at = text.find(reference);
    if (at == std::wstring::npos) continue;
    text.replace(at, reference.size(), ExpandFieldData(fieldName));
  }
  return text;
}

void CTemplate::PlayPicture(const std::wstring& path) const {
  if (!printerDC || path.empty() || !FileExists(path)) return;
  // Loaded only when its records chain: a damaged picture would hang the
  // playback, and with it the job.
  dv::EnhMetaFileHandle picture(LoadWellFormedEmf(path));
  if (!picture) return;  // not a metafile: nothing to draw
  const RECT area = {0, 0, GetDeviceCaps(printerDC, HORZRES), GetDeviceCaps(printerDC, VERTRES)};
  PlayEnhMetaFile(printerDC, picture.get(), &area);
}

void CTemplate::FinishMacroLayer() {
  EndMacroDocument();
  const std::wstring path = GetMacroFilePath();
  CopyMacroFile(path);
  DeleteFileW(path.c_str());
}

void CTemplate::PlayBackground() {
  if (macroMode == 1) StartMacroDocument();
  PlayPicture(backgroundPicture);
  if (macroMode == 1) FinishMacroLayer();
}

void CTemplate::PlayForeground() {
  if (macroMode == 1) StartMacroDocument();
  PlayPicture(foregroundPicture);
  // Field by field in file order, so a later field lies over an earlier one.
  for (CFieldData& field : fields) {
    field.SetPrintText(ExpandFieldData(field.GetFieldName()));
    field.Draw(printerDC);
  }
  if (macroMode == 1) FinishMacroLayer();
}

void CTemplate::Play() {
  PlayBackground();
  PlayForeground();
}
