// Scenario object: construction, selection and template layers.
// Selection chooses no scenario until the job-process settings are read;
// the layers print nothing until templates are loaded.
#include "engine/Scenario.h"

#include <vector>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"

CScenario::CScenario() : settingsFile(GetInstallDirectory() + L"Dorvane.ini") {}

CScenario::~CScenario() = default;

void CScenario::SelectScenario(const JobInformation& record) {
  userName = record.userName;
  documentName = record.documentName;
  machineName = record.machineName;
  printerName = record.printerName;
  printerDC = record.printerDC;
  orientation = record.orientation;
  scenarioFile.clear();
  LoadTemplates();
}

std::wstring CScenario::GetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                                     const std::wstring& def) const {
  return ::GetIniString(section, key, file.empty() ? settingsFile : file, def);
}

void CScenario::LoadTemplates() {}

void CScenario::SetPrinterDC(HDC dc) {
  printerDC = dc;
  LoadTemplates();
}

void CScenario::SetOutput(VFile* stream) {
  output = stream;
  LoadTemplates();
}

void CScenario::PrintTemplate(int /*mode*/, int /*pageNumber*/) {}

std::wstring CScenario::GetDescription(int /*pageNumber*/) const {
  const std::wstring& a = defaultTemplate.GetTemplateFile();
  const std::wstring& b = backsideTemplate.GetTemplateFile();
  if (!b.empty()) return dv::Format(L"%ls, Backside = %ls", a.c_str(), b.c_str());
  return a;
}
