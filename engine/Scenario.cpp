// Scenario object: construction and template layers. The choice of the
// scenario file (SelectScenario) is in ScenarioSelection.cpp; the layers
// print nothing until templates are loaded.
#include "engine/Scenario.h"

#include <vector>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"

CScenario::CScenario() : settingsFile(GetInstallDirectory() + L"Dorvane.ini") {}

CScenario::~CScenario() = default;

void CScenario::LoadTemplates() {
  if (scenarioFile.empty()) return;
  // Orientation 2 reads the landscape keys; every other value, the portrait
  // ones.
  const wchar_t* const prefix = orientation == 2 ? L"Landscape" : L"Portrait";
  const std::wstring defaultFile =
      GetIniString(L"General", std::wstring(prefix) + L"DefaultTemplateFile", scenarioFile, L"");
  const std::wstring backsideFile =
      GetIniString(L"General", std::wstring(prefix) + L"BacksideTemplateFile", scenarioFile, L"");
  defaultTemplate.Init(printerDC, jobNumber, output, macroMode, defaultFile, userName, documentName, machineName,
                       printerName, groupName);
  backsideTemplate.Init(printerDC, jobNumber, output, macroMode, backsideFile, userName, documentName, machineName,
                        printerName, groupName);
}

void CScenario::SetPrinterDC(HDC dc) {
  printerDC = dc;
  LoadTemplates();
}

void CScenario::SetOutput(VFile* stream) {
  output = stream;
  LoadTemplates();
}

void CScenario::PrintTemplate(int mode, int /*pageNumber*/) {
  switch (mode) {
    case 1:
      defaultTemplate.PlayBackground();
      break;
    case 0:
      defaultTemplate.PlayForeground();
      break;
    case 3:
      // The back page is a page of its own. Like the page loop's own
      // StartPage and EndPage, the results are not examined: a lost back
      // page does not stop the job. For a RAW job there is no device
      // context and the layers go through the macro file.
      if (backsideTemplate.IsEmpty()) break;
      if (printerDC) StartPage(printerDC);
      backsideTemplate.Play();
      if (printerDC) EndPage(printerDC);
      break;
    default:
      break;
  }
}

std::wstring CScenario::GetDescription(int /*pageNumber*/) const {
  const std::wstring& a = defaultTemplate.GetTemplateFile();
  const std::wstring& b = backsideTemplate.GetTemplateFile();
  if (!b.empty()) return dv::Format(L"%ls, Backside = %ls", a.c_str(), b.c_str());
  return a;
}
