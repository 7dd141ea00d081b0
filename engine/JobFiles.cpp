// Spool job files, the job-information record and the ignore list; see
// JobFiles.h.
#include "engine/JobFiles.h"

#include <cwchar>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/EngineRegistry.h"

std::wstring GetJobFileName(int jobNumber, const std::wstring& extension) {
  return dv::Format(L"%lsspool\\%08d.%ls", ReadInstallPath().c_str(), jobNumber, extension.c_str());
}

JobFileNames GetJobFileNames(int jobNumber) {
  const std::wstring base = dv::Format(L"%lsspool\\%08d.", ReadInstallPath().c_str(), jobNumber);
  return JobFileNames{base + L"Ctl", base + L"Dvm", base + L"Org", base + L"Job"};
}

void CopyRecordText(wchar_t (&field)[JobInformation::kTextChars], const std::wstring& text) {
  size_t n = text.size() < JobInformation::kTextChars - 1 ? text.size() : JobInformation::kTextChars - 1;
  wmemcpy(field, text.data(), n);
  field[n] = L'\0';
}

void FillJobInformation(JobInformation& record, const std::wstring& controlFile, const std::wstring& printerName,
                        int pagesPerSide) {
  CopyRecordText(record.userName, GetIniString(L"General", L"UserName", controlFile));
  CopyRecordText(record.documentName, GetIniString(L"General", L"Document", controlFile));
  CopyRecordText(record.machineName, GetIniString(L"General", L"MachineName", controlFile));
  CopyRecordText(record.printerName, printerName);
  int orientation = GetIniInt(L"General", L"Orientation", controlFile, 1);
  if (pagesPerSide == 2 || pagesPerSide == 6) orientation = orientation == 1 ? 2 : 1;
  record.orientation = orientation;
  record.printerDC = nullptr;
  record.reserved = 0;
}

bool ReadFileToBuffer(const std::wstring& path, std::vector<BYTE>& buffer) {
  buffer.clear();
  dv::FileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    WriteEvent(3, dv::Format(L"File name: %ls, GetLastError Returned:%d (%ls)", path.c_str(), static_cast<int>(error),
                             GetSystemErrorText(error).c_str()));
    return false;
  }
  DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE) return false;
  try {
    buffer.resize(size);
  } catch (...) {
    buffer.clear();
    return false;
  }
  DWORD read = 0;
  if (size > 0 && (!ReadFile(file.get(), buffer.data(), size, &read, nullptr) || read < size)) {
    buffer.clear();
    return false;
  }
  return true;
}

void DeleteJobFiles(const std::wstring& first, const std::wstring& second, const std::wstring& third) {
  const std::wstring settings = ReadInstallPath() + L"Dorvane.ini";
  if (GetIniInt(L"General", L"DeleteFilesAfter", settings, 1) == 0) return;
  DeleteFileW(first.c_str());
  DeleteFileW(second.c_str());
  DeleteFileW(third.c_str());
}

void AddUserToIgnoreList(const std::wstring& controlFile, const std::wstring& /*spoolFile*/) {
  const std::wstring user = GetIniString(L"General", L"UserName", controlFile);
  SetIniString(L"Users", user, ReadInstallPath() + L"IgnoreList.ini", L"1");
}

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

PageTemplatesSection::~PageTemplatesSection() {
  if (controlFile_.empty() || lines_.empty()) return;
  lines_.push_back(L'\0');
  WritePrivateProfileSectionW(L"PageTemplates", lines_.c_str(), controlFile_.c_str());
}

void PageTemplatesSection::Add(int page, const std::wstring& description) {
  lines_ += dv::Format(L"%d=", page);
  lines_ += description;
  lines_.push_back(L'\0');
}
