// A page template as the engine prints it: background and foreground
// pictures and the print fields, laid over an EMF page or rendered for a RAW
// job's macro file.
#pragma once

#include <windows.h>
#include <string>

class VFile;

class CTemplate {
 public:
  CTemplate() = default;
  virtual ~CTemplate() = default;
  CTemplate(const CTemplate&) = delete;
  CTemplate& operator=(const CTemplate&) = delete;

  const std::wstring& GetTemplateFile() const { return templateFile; }

  std::wstring templateFile;
};
