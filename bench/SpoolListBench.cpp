// Spool list rebuild against a bare read of the same control files.
//
// Fills the spool folder of a scratch install folder with 10,000 jobs, then
// times the controller's rebuild of the spool list (listing, rows and the
// eight keys per control file) against a loop that only lists the control
// files and reads the same keys from each. Target: the rebuild takes at most
// 1.5 times the bare read. Each side is timed three times, taking turns;
// the best run counts. Exit code 0 when the target is met, 1 when not, 2
// when the set-up failed.
//   spool_list_bench.exe [jobs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "controller/MainFrame.h"
#include "ui/App.h"

namespace {

const wchar_t kBenchFolder[] = L"C:\\dvbench\\spool_list\\";
const wchar_t* const kKeys[] = {L"Document",  L"Status",           L"DateSpooled", L"TimeSpooled",
                                L"UserName",  L"SourcePrinterName", L"PrinterName", L"TotalPages"};
constexpr double kTarget = 1.5;

bool WriteJob(const std::wstring& spool, int number) {
  const std::string text = "[General]\r\nPrinterName=Finance Laser\r\nSourcePrinterName=Invoices\r\nDocument=Invoice " +
                           std::to_string(number) +
                           ".pdf\r\nUserName=anna\r\nMachineName=PC17\r\nDateSpooled=10/12/2024\r\n"
                           "TimeSpooled=09:41:00\r\nStatus=Printed\r\nTotalPages=3\r\nNumberOfPagesPerSide=1\r\n"
                           "Orientation=1\r\nDatatype=NT EMF 1.008\r\n";
  const std::wstring path = dv::Format(L"%ls%08d.Ctl", spool.c_str(), number);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(file);
  return ok;
}

// The bare read: every control file of the folder, the keys the list shows.
size_t ReadAllKeys(const std::wstring& spool) {
  size_t chars = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((spool + L"*.ctl").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::wstring path = spool + data.cFileName;
    for (const wchar_t* key : kKeys) chars += GetIniString(L"General", key, path).size();
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return chars;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& freq) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
}

template <typename F>
double Time(F run) {
  LARGE_INTEGER freq, a, b;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&a);
  run();
  QueryPerformanceCounter(&b);
  return Seconds(a, b, freq);
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"spool\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW((folder + L"spool\\" + data.cFileName).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW((folder + L"spool").c_str());
  DeleteFileW((folder + L"Dorvane.ini").c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int jobs = argc > 1 ? _wtoi(argv[1]) : 10000;
  const std::wstring folder = kBenchFolder;
  const std::wstring spool = folder + L"spool\\";
  CreateDirectoryW(L"C:\\dvbench", nullptr);
  RemoveFolder(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW(spool.c_str(), nullptr);
  for (int n = 1; n <= jobs; ++n) {
    if (!WriteJob(spool, n)) {
      std::fwprintf(stderr, L"cannot write job %d\n", n);
      return 2;
    }
  }
  const std::wstring previous = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path");
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", folder);

  int status = 2;
  {
    ui::App app;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    auto frame = std::make_unique<CMainFrame>();
    if (frame->Create()) {
      CMainFrame* main = frame.get();
      app.SetMainWindow(std::move(frame));
      CSpoolFrm& view = main->SpoolView();
      // The two sides take turns, so that a slow spell of the machine falls
      // on both rather than on one.
      size_t chars = 0;
      double bare = 1e30, list = 1e30;
      for (int round = 0; round < 3; ++round) {
        bare = std::min(bare, Time([&] { chars = ReadAllKeys(spool); }));
        list = std::min(list, Time([&] { view.RefreshJobList(); }));
      }
      const double ratio = bare > 0 ? list / bare : 0;
      std::wprintf(L"jobs: %d (rows listed: %d, characters read: %zu)\n", jobs, view.JobCount(), chars);
      std::wprintf(L"bare read of the control files: %.3f s\n", bare);
      std::wprintf(L"spool list rebuild:             %.3f s\n", list);
      std::wprintf(L"ratio: %.2f (target at most %.1f): %ls\n", ratio, kTarget, ratio <= kTarget ? L"met" : L"MISSED");
      status = view.JobCount() == jobs && ratio <= kTarget ? 0 : 1;
    } else {
      std::fwprintf(stderr, L"cannot create the main frame (%lu)\n", GetLastError());
    }
  }
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", previous);
  RemoveFolder(folder);
  return status;
}
