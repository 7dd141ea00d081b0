// The engine's scenario object: chooses the job's scenario file (by users
// group or printer, overridden by job-name rules, or none through the ignore
// list), holds the scenario's default and backside templates for the job's
// orientation and prints their layers around every page.
#pragma once

#include <windows.h>
#include <string>

#include "engine/JobFiles.h"
#include "engine/Template.h"

class VFile;

class CScenario {
 public:
  CScenario();
  virtual ~CScenario();
  CScenario(const CScenario&) = delete;
  CScenario& operator=(const CScenario&) = delete;

  // Chooses the scenario file for the record and loads its templates.
  void SelectScenario(const JobInformation& record);
  // The chosen scenario file, "" when none.
  std::wstring GetScenarioFile() const { return scenarioFile; }
  // One private-profile read with a 4096-unit buffer; "" file = settingsFile.
  std::wstring GetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                            const std::wstring& def) const;

  // (Re)initialises both templates from the scenario file.
  void LoadTemplates();
  void SetMacroMode(int mode) { macroMode = mode; }
  void SetJobNumber(int number) { jobNumber = number; }
  void SetPrinterDC(HDC dc);
  void SetOutput(VFile* stream);
  // Layers by mode: 1 background, 0 foreground and fields, 3 backside page.
  void PrintTemplate(int mode, int pageNumber);
  // The text recorded in the control file's PageTemplates for a page.
  std::wstring GetDescription(int pageNumber) const;

  std::wstring userName;
  std::wstring documentName;
  std::wstring machineName;
  std::wstring printerName;
  HDC printerDC = nullptr;
  int orientation = 0;
  VFile* output = nullptr;
  int macroMode = 0;
  int jobNumber = 0;
  std::wstring settingsFile;
  std::wstring scenarioFile;
  std::wstring groupName;
  CTemplate defaultTemplate;
  CTemplate backsideTemplate;
};
