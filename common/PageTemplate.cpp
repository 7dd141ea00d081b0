// Template file reading and writing for the page template editor, and the
// field-array reader the engine's template shares.
#include "common/PageTemplate.h"

#include <new>

#include "common/InstallFolder.h"

std::vector<CFieldData> LoadTemplateFields(const std::wstring& templateFile, int count) {
  std::vector<CFieldData> fields;
  if (count < 1 || count > kMaxTemplateFields) return fields;
  try {
    fields.resize(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    return std::vector<CFieldData>();
  }
  for (int i = 0; i < count; ++i) fields[i].Load(templateFile, i + 1);
  return fields;
}

void CPageTemplate::AddField(const std::wstring& fieldName, const std::wstring& dataFormat) {
  CFieldData field;
  field.FieldName = fieldName;
  field.DataFormat = dataFormat;
  fields.push_back(field);
}

void CPageTemplate::Save(const std::wstring& templateFile) const {
  SetIniString(L"General", L"BackgroundPicture", templateFile, BackgroundPicture);
  SetIniString(L"General", L"ForgroundPicture", templateFile, ForgroundPicture);
  SetIniInt(L"General", L"NumFields", templateFile, numFields());
  for (int i = 0; i < numFields(); ++i) fields[i].Save(templateFile, i + 1);
}

void CPageTemplate::Load(const std::wstring& templateFile) {
  BackgroundPicture = GetIniString(L"General", L"BackgroundPicture", templateFile, L"");
  ForgroundPicture = GetIniString(L"General", L"ForgroundPicture", templateFile, L"");
  const int count = GetIniInt(L"General", L"NumFields", templateFile, 0);
  fields = LoadTemplateFields(templateFile, count);
}
