// The controller's page template (CPageTemplate): the contents of one
// template file (*.dpt) as the page template editor loads, extends and saves
// it. The file:
//
//   [General]  BackgroundPicture, ForgroundPicture (spelled so), NumFields
//   [Field_1] ... [Field_<NumFields>]  one section per field (CFieldData)
//
// The engine reads the same files into its own template class and never
// writes them.
#pragma once

#include <string>
#include <vector>

#include "common/FieldData.h"

class CPageTemplate {
 public:
  CPageTemplate() = default;
  virtual ~CPageTemplate() = default;
  // Copies are deep (the fields are values), so no field is ever shared.
  CPageTemplate(const CPageTemplate&) = default;
  CPageTemplate& operator=(const CPageTemplate&) = default;

  // Appends a field with these two strings and the constructor values for
  // everything else.
  void AddField(const std::wstring& fieldName, const std::wstring& dataFormat);
  // Writes [General] and Field_1 to Field_<n> in array order. Sections of
  // fields beyond n from an earlier version stay in the file, unread.
  void Save(const std::wstring& templateFile) const;
  // Replaces the contents with the file's. A missing file gives an empty
  // template; a NumFields below 1 or above kMaxTemplateFields gives no
  // fields.
  void Load(const std::wstring& templateFile);

  // Number of entries in fields: read from the array itself, so it can never
  // disagree with the fields a caller added or removed.
  int numFields() const { return static_cast<int>(fields.size()); }

  std::wstring BackgroundPicture;
  std::wstring ForgroundPicture;
  std::vector<CFieldData> fields;
};

// Reads fields 1..count of a template file, in file order. A count below 1
// or above kMaxTemplateFields, or one that cannot be allocated, gives none.
// Shared by the controller's and the engine's templates.
std::vector<CFieldData> LoadTemplateFields(const std::wstring& templateFile, int count);
