// The job commands of the spool list: reprint through the engine library and
// delete. Both walk the selected rows from the top; neither refreshes the
// list (the copies of a reprint appear with the next refresh).
#include "controller/SpoolFrm.h"

#include <climits>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "ui/CommonDialogs.h"

namespace {

constexpr int kEventDeleteFailed = 1;
constexpr int kEventCopyFailed = 2;

constexpr int kMaskOrg = 1;
constexpr int kMaskDvm = 2;
constexpr int kMaskCtl = 4;

// How many taken numbers a reprint steps over before it gives up.
constexpr int kFreeNumberSearch = 1000;

using EngineExport = int (*)(int);

std::wstring JobFile(const std::wstring& folder, int number, const wchar_t* extension) {
  return dv::Format(L"%ls%08d.%ls", folder.c_str(), number, extension);
}

std::wstring UpperCase(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A number is taken while any of the files a reprint writes exists under it.
bool NumberTaken(const std::wstring& folder, int number) {
  return PathExists(JobFile(folder, number, L"Org")) || PathExists(JobFile(folder, number, L"Dvm")) ||
         PathExists(JobFile(folder, number, L"Ctl"));
}

void LogCopyFailure(int oldNumber, int newNumber, int mask) {
  WriteEvent(kEventCopyFailed, dv::Format(L"Original Job number: %d, New Job number: %d, Error: %d", oldNumber,
                                          newNumber, mask));
}

}  // namespace

bool CSpoolFrm::IsEmfJob(int number) {
  const DWORD attributes = GetFileAttributesW(JobFile(GetSpoolFolder(), number, L"Dvm").c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CSpoolFrm::CopyJobToNewNumber(int oldNumber) {
  const std::wstring folder = GetSpoolFolder();
  const std::wstring ini = GetIniFile();
  // LastJobNumber may have been lowered or reset while jobs remain: step
  // over numbers that already have files rather than replace another job.
  long long candidate = static_cast<long long>(GetIniInt(L"General", L"LastJobNumber", ini, 0)) + 1;
  int steps = 0;
  while (candidate <= INT_MAX && NumberTaken(folder, static_cast<int>(candidate)) && steps < kFreeNumberSearch) {
    ++candidate;
    ++steps;
  }
  if (candidate > INT_MAX || NumberTaken(folder, static_cast<int>(candidate))) {
    LogCopyFailure(oldNumber, static_cast<int>(candidate > INT_MAX ? INT_MAX : candidate),
                   kMaskOrg | kMaskDvm | kMaskCtl);
    return 0;
  }
  const int n = static_cast<int>(candidate);
  SetIniInt(L"General", L"LastJobNumber", ini, n);

  // Copies never replace a file: one that appeared since the search belongs
  // to a job the print processor numbered meanwhile.
  int mask = 0;
  if (!CopyFileW(JobFile(folder, oldNumber, L"Org").c_str(), JobFile(folder, n, L"Org").c_str(), TRUE))
    mask |= kMaskOrg;
  // A RAW job has no devmode file by design; only an EMF job's is copied.
  if (IsEmfJob(oldNumber) &&
      !CopyFileW(JobFile(folder, oldNumber, L"Dvm").c_str(), JobFile(folder, n, L"Dvm").c_str(), TRUE))
    mask |= kMaskDvm;
  if (!CopyFileW(JobFile(folder, oldNumber, L"Ctl").c_str(), JobFile(folder, n, L"Ctl").c_str(), TRUE))
    mask |= kMaskCtl;
  if (mask != 0) LogCopyFailure(oldNumber, n, mask);
  return n;
}

void CSpoolFrm::ReprintJob(int oldNumber) {
  const int n = CopyJobToNewNumber(oldNumber);
  if (n == 0) return;
  const bool emf = IsEmfJob(n);
  // A missing or unloadable engine is not reported: the copies stay in the
  // spool folder and show with the next refresh.
  dv::ModuleHandle engine(LoadLibraryW((GetInstallDirectory() + L"Jobforge.Dll").c_str()));
  if (!engine) return;
  FARPROC address =
      GetProcAddress(engine.get(), emf ? "ProcessEmfJobAndSendToPrinter" : "ProcessRawJobAndSendToPrinter");
  // The engine runs the job on this thread; its result is not used.
  if (address) reinterpret_cast<EngineExport>(reinterpret_cast<void*>(address))(n);
}

void CSpoolFrm::OnReprintJobs() {
  for (int row = jobList.NextSelected(-1); row != -1; row = jobList.NextSelected(row))
    ReprintJob(static_cast<int>(jobList.ItemData(row)));  // the number of its column-0 text
}

std::unordered_set<std::wstring> CSpoolFrm::ListDevmodeFiles(const std::wstring& folder) {
  std::unordered_set<std::wstring> names;
  WIN32_FIND_DATAW data;
  dv::FindHandle find(FindFirstFileW((folder + L"*.Dvm").c_str(), &data));
  if (!find) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(UpperCase(data.cFileName));
  } while (FindNextFileW(find.get(), &data));
  return names;
}

void CSpoolFrm::DeleteJobFiles(const std::wstring& numberText, const std::wstring& folder,
                               const std::unordered_set<std::wstring>* devmodeFiles) {
  auto file = [&](const wchar_t* extension) {
    return dv::Format(L"%ls%ls.%ls", folder.c_str(), numberText.c_str(), extension);
  };
  int mask = 0;
  if (!DeleteFileW(file(L"Org").c_str())) mask |= kMaskOrg;
  // A RAW job has no devmode file by design: one that is not there is no
  // failure to delete it. Asking for a name that is not there costs a
  // search of the whole folder (names differ in case only on some file
  // systems), so a given listing is believed.
  const bool listed = !devmodeFiles || devmodeFiles->count(UpperCase(numberText + L".Dvm")) != 0;
  if (listed && !DeleteFileW(file(L"Dvm").c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) mask |= kMaskDvm;
  if (!DeleteFileW(file(L"Ctl").c_str())) mask |= kMaskCtl;
  if (mask != 0)
    WriteEvent(kEventDeleteFailed, dv::Format(L"Job number: %ls, Error: %d", numberText.c_str(), mask));
}

void CSpoolFrm::OnDeleteJobs() {
  const int count = jobList.SelectedCount();
  if (ui::AppMessageBox(dv::Format(L"Are you sure you want to delete %d file(s)?", count),
                        MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
    return;
  // The files go job by job from the top; the rows go afterwards in one
  // pass, as the list finds each next selected row by walking from the row
  // before it. A row goes even when some of its files stayed: it comes back
  // with the next refresh if its control file remains.
  // One listing of the devmode files spares a folder search for each RAW
  // job, which has none.
  const std::wstring folder = GetSpoolFolder();
  const auto devmodeFiles = ListDevmodeFiles(folder);
  std::vector<bool> remove(rows.size(), false);
  for (int row = jobList.NextSelected(-1); row != -1; row = jobList.NextSelected(row)) {
    DeleteJobFiles(jobList.ItemText(row, 0), folder, &devmodeFiles);
    remove[static_cast<size_t>(row)] = true;
  }
  jobList.SetRedraw(false);
  RemoveRows(remove);
  jobList.SetRedraw(true);
}
