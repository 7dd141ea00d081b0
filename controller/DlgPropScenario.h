// CdPropScenario: one orientation page of the scenario editor (Portrait or
// Landscape). It shows the default and back-side template fields, the forced
// duplex, colour and copies, and the list of stored driver configurations
// (a complete DEVMODE per printer driver) made through the Print dialog.
//
// The editor reads and writes the page's "General" keys through the public
// controls; the page reads and writes its own driver configurations. New,
// Edit and Delete change only the page's memory: the file changes when the
// editor's OK saves, and the editor's Cancel discards everything.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controller/BrowseCtrl.h"
#include "controller/ScenarioConfigs.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

// Opens the page template editor modally on a path. The page template editor
// is set here by whoever links it in; while none is set the edit buttons
// open nothing after their question. Tests put a recorder here.
using TemplateEditorOpener = std::function<void(const std::wstring& path)>;
TemplateEditorOpener& ScenarioTemplateEditor();

class CdPropScenario final : public ui::Dialog {
 public:
  CdPropScenario();
  CdPropScenario(const CdPropScenario&) = delete;
  CdPropScenario& operator=(const CdPropScenario&) = delete;

  // Creates the page hidden as a child of the editor; false when the
  // template cannot be created.
  bool CreatePage(HWND parent) { return Create(parent); }

  // Adds the configurations stored for the orientation ("Portrait" or
  // "Landscape") to the map; warns when the file has too many sections to
  // be read whole and goes on with those read.
  void LoadDriverConfigs(const std::wstring& orientation, const std::wstring& file);
  // Writes the deleted drivers' keys empty, then every stored configuration.
  void SaveDriverConfigs(const std::wstring& orientation, const std::wstring& file);
  // The enabling rules, and the driver list refilled from the map.
  void UpdateControls();

  const DriverConfigMap& DriverConfigs() const { return driverConfigs; }
  const std::vector<std::wstring>& RemovedDrivers() const { return removedDrivers; }

  CBrowseCtrl defaultTemplate;   // 1007
  CBrowseCtrl backsideTemplate;  // 1010
  ui::Button editDefault;        // 1008
  ui::Button editBackside;       // 1009
  ui::Button useBackside;        // 1011
  ui::Button forceDuplex;        // 1012
  ui::ComboBox duplex;           // 1013
  ui::Button forceColor;         // 1014
  ui::ComboBox color;            // 1015
  ui::Button forceDevmode;       // 1016
  ui::Button newDriver;          // 1017
  ui::Button deleteDriver;       // 1023
  ui::Button editDriver;         // 1022
  ui::Button forceCopies;        // 1018
  ui::Edit copies;               // 1019
  ui::UpDown copiesSpin;         // 1020
  ui::Static driverLabel;        // 1051
  ui::ListBox driverList;        // 1021

 protected:
  bool OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  // A page has no OK or Cancel of its own: Enter and Escape in a child
  // dialog must not destroy it.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void DoDataExchange();
  void InitTemplateBrowse(CBrowseCtrl& field, int id);
  void OnForceDevmode();
  void EditTemplateFile(const std::wstring& path);
  void OnNewDriver();
  void OnEditDriver();
  void OnDeleteDriver();
  // Runs the Print dialog seeded with devmode (may be null, the dialog then
  // owns and frees nothing of ours); on OK the returned DEVMODE's driver name
  // and its complete bytes. False on Cancel or when the dialog returned no
  // usable DEVMODE.
  bool RunPrintDialog(HGLOBAL devmode, std::wstring& driver, std::vector<BYTE>& bytes);
  void StoreDriverConfig(const std::wstring& driver, const BYTE* bytes, size_t count);
  HGLOBAL DevmodeFromHex(const std::wstring& driver) const;
  void FillDriverList();
  int Message(const std::wstring& text, UINT type) const;

  DriverConfigMap driverConfigs;
  std::vector<std::wstring> removedDrivers;
};
