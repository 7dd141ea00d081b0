// A job's spool files, its control file and the ignore list.
//
// A job lives as files named by its number in the spool folder
// (install folder + "spool\"): Org (spool data), Dvm (devmode, EMF jobs),
// Ctl (control file, INI form), Job (RAW side file), Mcr (temporary macro
// rendering of a RAW overlay).
#pragma once

#include <windows.h>
#include <string>
#include <vector>

struct JobFileNames {
  std::wstring ctl;
  std::wstring dvm;
  std::wstring org;
  std::wstring job;
};

// Paths of the four job files ("%sspool\%08d.%s") under the engine's
// install folder. Always succeeds.
JobFileNames GetJobFileNames(int jobNumber);

// Path of one job file with the given extension ("Mcr", ...).
std::wstring GetJobFileName(int jobNumber, const std::wstring& extension);

// The job-information record handed to scenario selection.
struct JobInformation {
  static constexpr size_t kTextChars = 1024;  // including the terminator
  wchar_t userName[kTextChars] = {};
  wchar_t documentName[kTextChars] = {};
  wchar_t machineName[kTextChars] = {};
  wchar_t printerName[kTextChars] = {};
  HDC printerDC = nullptr;
  int orientation = 1;
  int reserved = 0;
};

// Fills the record from the control file's General section and the current
// printer name; texts are copied as plain text, cut to 1023 characters. For 2
// and 6 pages per side the orientation is turned (1 -> 2, anything else -> 1).
void FillJobInformation(JobInformation& record, const std::wstring& controlFile, const std::wstring& printerName,
                        int pagesPerSide);

// Copies a text into a record field, cut to the field.
void CopyRecordText(wchar_t (&field)[JobInformation::kTextChars], const std::wstring& text);

// Reads a whole file. False (with event 3 and its detail) when it cannot be
// opened; false without an event when it cannot be read whole. A file of 0
// bytes gives true and an empty buffer.
bool ReadFileToBuffer(const std::wstring& path, std::vector<BYTE>& buffer);

// Deletes three job files unless the settings' DeleteFilesAfter is 0.
// A file that cannot be deleted is left without an event.
void DeleteJobFiles(const std::wstring& first, const std::wstring& second, const std::wstring& third);

// Writes "1" to Users/<the control file's UserName> of IgnoreList.ini.
void AddUserToIgnoreList(const std::wstring& controlFile, const std::wstring& spoolFile);

// The PageTemplates keys of the pages printed so far, written to the control
// file in one go when the page loop ends, however it ends. One
// private-profile write rewrites the whole file, so a write per page would
// cost a long job about as much as printing its pages.
class PageTemplatesSection {
 public:
  explicit PageTemplatesSection(const std::wstring& controlFile) : controlFile_(controlFile) {}
  ~PageTemplatesSection();
  PageTemplatesSection(const PageTemplatesSection&) = delete;
  PageTemplatesSection& operator=(const PageTemplatesSection&) = delete;

  // Key "%d" of the page, value the scenario's description of it.
  void Add(int page, const std::wstring& description);

 private:
  std::wstring controlFile_;
  std::wstring lines_;  // "key=value\0" lines; the final \0 is added at the write
};

// True when the path exists and is not a folder.
bool FileExists(const std::wstring& path);
