// Scenario object: construction and template layers. The choice of the
// scenario file (SelectScenario) is in ScenarioSelection.cpp; the layers
// print nothing until templates are loaded.
#include "engine/Scenario.h"

#include <vector>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"

CScenario::CScenario() : settingsFile(GetInstallDirectory() + L"Dorvane.ini") {}

CScenario::~CScenario() = default;

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
