// A page template as the engine prints it (CTemplate): one template file
// (*.dpt) read into a background picture, a foreground picture and the print
// fields, and the three layers drawn on a page: the background under the
// page's own content, the foreground over it, the fields over the
// foreground.
//
// For an EMF job the layers go to the destination printer's device context.
// In macro mode (a RAW job) every layer is wrapped in a macro document of its
// own whose printer data is copied into the RAW output stream; the macro
// members are declared here and live in engine/RawOverlay.cpp.
//
// The template reads its file afresh at every Init; pictures are opened each
// time a layer is drawn. Nothing is shared between templates, so templates of
// jobs on different spooler threads do not meet.
#pragma once

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "common/FieldData.h"

class VFile;

class CTemplate {
 public:
  // The local time the "Time" and "Date" fields print. Tests inject a fixed
  // one; the default reads the platform's local clock.
  using Clock = std::function<SYSTEMTIME()>;

  CTemplate() = default;
  virtual ~CTemplate() = default;
  CTemplate(const CTemplate&) = delete;
  CTemplate& operator=(const CTemplate&) = delete;

  // Stores the values, then Load. The device context and the output stream
  // stay the caller's.
  void Init(HDC dc, int jobNumber, VFile* output, int macroMode, const std::wstring& templateFile,
            const std::wstring& userName, const std::wstring& documentName, const std::wstring& machineName,
            const std::wstring& printerName, const std::wstring& groupName);
  // Reads templateFile. An empty file name leaves a template without
  // pictures and fields; a missing file reads the same way; a NumFields
  // below 1, above kMaxTemplateFields or not a number gives no fields.
  void Load();
  // One private-profile read with a 4096-unit buffer; "" file = templateFile.
  std::wstring GetIniString(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                            const std::wstring& def) const;
  bool IsEmpty() const { return templateFile.empty(); }
  const std::wstring& GetTemplateFile() const { return templateFile; }
  // Index of the first field whose name equals name exactly; -1 when none.
  int FindField(const std::wstring& name) const;
  int GetFieldCount() const { return static_cast<int>(fields.size()); }
  const CFieldData& GetField(int index) const { return fields[index]; }
  const std::wstring& GetBackgroundPicture() const { return backgroundPicture; }
  const std::wstring& GetForegroundPicture() const { return foregroundPicture; }

  // The text a field of this name prints for the current job: the job's
  // values, the formatted local time, or a "Mixed Data" format with its
  // references replaced. Never throws.
  std::wstring ExpandFieldData(const std::wstring& name) const;
  void SetClock(Clock c) { clock = std::move(c); }

  // Plays one enhanced metafile stretched over the printable area of
  // printerDC. A path that names no file, or a file that is no metafile,
  // draws nothing.
  void PlayPicture(const std::wstring& path) const;
  // The layers. Nothing is reported: a layer that cannot be drawn is lost.
  void PlayBackground();
  void PlayForeground();
  void Play();
  void FreeFields() { fields.clear(); }

  // Macro mode: the layer's own document on the node printer, written into
  // the job's macro file and copied into output (engine/RawOverlay.cpp).
  void StartMacroDocument();
  void EndMacroDocument();
  void CopyMacroFile(const std::wstring& path);
  std::wstring GetMacroFilePath() const;

 private:
  SYSTEMTIME Now() const;
  // After a layer in macro mode: end the document, copy it, delete the file.
  void FinishMacroLayer();

  HDC printerDC = nullptr;
  VFile* output = nullptr;
  int macroMode = 0;
  int jobNumber = 0;
  std::wstring templateFile;
  std::wstring userName;
  std::wstring documentName;
  std::wstring machineName;
  std::wstring printerName;
  std::wstring groupName;
  std::wstring foregroundPicture;
  std::wstring backgroundPicture;
  std::vector<CFieldData> fields;
  Clock clock;
};
