// Gatepost hand-off; see Gatepost.h.
#include "engine/Gatepost.h"

#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/EngineRegistry.h"
#include "engine/JobFiles.h"
#include "engine/Pipeline.h"

const wchar_t kGatepostKey[] = L"SOFTWARE\\Gatepost\\Settings";

namespace {

// More queue files in a row than any queue holds: past this many taken
// numbers the counter is taken to be broken.
constexpr int kMaxSkippedNumbers = 100000;

// ExePath with its trailing backslash, "" when missing. A path without the
// backslash still names the folder, not a prefix of its files.
std::wstring ReadExePath() {
  std::wstring path;
  if (RegReadHklmValue(kGatepostKey, L"ExePath", path, 1024) != ERROR_SUCCESS) return std::wstring();
  path = dv::Trim(path);
  return path.empty() ? path : AddTrailingBackslash(path);
}

LSTATUS QueryDword(HKEY key, DWORD& value) {
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof(data);
  LSTATUS st = RegQueryValueExW(key, L"JobNumber", nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  if (st != ERROR_SUCCESS) return st;
  // A number stored with another type counts as 0.
  value = (type == REG_DWORD && size == sizeof(data)) ? data : 0;
  return ERROR_SUCCESS;
}

// JobNumber as RegReadHklmValue reads values: the key opened with create
// semantics, a missing value looked up once more in the 32-bit view. 0 when
// missing.
DWORD ReadJobNumber() {
  DWORD value = 0;
  dv::RegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGatepostKey, 0, const_cast<wchar_t*>(kEngineKeyClass),
                      REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return 0;
  if (QueryDword(key.get(), value) == ERROR_FILE_NOT_FOUND) {
    key.reset();
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGatepostKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) ==
        ERROR_SUCCESS)
      QueryDword(key.get(), value);
  }
  return value;
}

std::wstring QueueFileName(const std::wstring& exePath, DWORD number) {
  return dv::Format(L"%lsQueue\\F%d", exePath.c_str(), static_cast<int>(number));
}

}  // namespace

LSTATUS RegWriteHklmDword(const std::wstring& keyPath, const std::wstring& valueName, DWORD value) {
  dv::RegKey key;
  LSTATUS st = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, const_cast<wchar_t*>(kEngineKeyClass),
                               REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(), nullptr);
  if (st != ERROR_SUCCESS) return st;
  return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof(value));
}

std::wstring GetGatepostHeaderFile(const std::wstring& queueFile) {
  std::wstring header = queueFile;
  const size_t f = header.rfind(L'F');
  if (f != std::wstring::npos) header[f] = L'H';
  return header;
}

bool GetGatepostQueueFile(std::wstring& queueFile) {
  queueFile.clear();
  const std::wstring exePath = ReadExePath();
  if (exePath.empty()) {
    // Without Gatepost's folder the queue file would land in the engine's
    // current folder, where Gatepost never looks.
    WriteEvent(1009, dv::Format(L"Gatepost ExePath is missing in HKLM\\%ls", kGatepostKey));
    return false;
  }
  DWORD number = ReadJobNumber();
  for (int skipped = 0;; ++skipped) {
    ++number;
    const std::wstring candidate = QueueFileName(exePath, number);
    if (!FileExists(candidate) && !FileExists(GetGatepostHeaderFile(candidate))) break;
    if (skipped >= kMaxSkippedNumbers) {
      WriteEvent(1009, dv::Format(L"No free Gatepost queue number after %ls", candidate.c_str()));
      return false;
    }
  }
  RegWriteHklmDword(kGatepostKey, L"JobNumber", number);
  queueFile = QueueFileName(exePath, number);
  return true;
}

bool StartGatepostSubmitter(const std::wstring& headerFile) {
  const std::wstring exePath = ReadExePath();
  const std::wstring program = exePath + L"Submitter.exe";
  const std::wstring commandLine = dv::Format(L"\"%ls\" \"%ls\"", program.c_str(), headerFile.c_str());
  if (exePath.empty()) {
    WriteEvent(1012, dv::Format(L"Gatepost ExePath is missing, %ls", commandLine.c_str()));
    return false;
  }
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi = {};
  // The program is named by its full path, so no other Submitter.exe on the
  // search path can be started in its place.
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    LogLastErrorWithText(1012, GetLastError(), commandLine);
    return false;
  }
  // Not waited for; the handles are not needed.
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool HandOffToGatepost(const JobContext& ctx) {
  const std::wstring header = GetGatepostHeaderFile(ctx.gatepostQueueFile);
  if (ctx.gatepostQueueFile.empty() || !CopyFileW(ctx.files.ctl.c_str(), header.c_str(), TRUE)) {
    DWORD error = ctx.gatepostQueueFile.empty() ? ERROR_INVALID_PARAMETER : GetLastError();
    LogLastErrorWithText(2, error, header);
    return false;
  }
  return StartGatepostSubmitter(header);
}
