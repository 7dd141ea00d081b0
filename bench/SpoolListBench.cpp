// The spool list on a spool folder of 10,000 jobs, in one run on the same
// files:
//   bare read      lists the folder and opens, reads and closes every
//                  control file once; nothing is parsed or shown
//   rebuild        the list emptied and made again from every control file
//                  (target: at most 1.5 times the bare read)
//   refresh        the frame's automatic refresh (Refresh Now, told the
//                  new job's number) after one new job arrived, with 10,000
//                  jobs listed (target: at most the folder listing, by the
//                  call a refresh lists with, plus a bare read of the new
//                  control file, both timed beside it); how many of these
//                  refreshes took the folder's change reports rather than
//                  listing it is shown beside the figure; Refresh Now
//                  after the same new job, which always lists, shows what
//                  the automatic refresh costs when it cannot use them
//   column click   the sort of every row by job number, both directions
//   delete         Delete of 1,000 selected jobs (every tenth row), the
//                  confirmation answered Yes
//   start-up       what the administrator waits for: the controller program
//                  started on a spool folder until its list holds every row,
//                  seen from outside, less the same start on an empty spool
//                  folder (target: at most 1.5 times the bare read, timed
//                  just before and after each start), on a tenth of the
//                  jobs (shown, not judged), on the jobs and on twice as
//                  many, for each shape of control file a spool folder
//                  holds: [General] alone (as the print processor leaves a
//                  job), as the engine leaves a printed job ([General],
//                  [Job] and [PageTemplates]), and with fewer keys ([Job]
//                  with Duplex alone): the cost of a job must not grow with
//                  the jobs, whatever the shape;
//                  then, in the first shape's rounds on the jobs, new jobs
//                  written by this program, as the print processor writes
//                  them, each until the running controller lists its row
//                  (target: every one within 0.5 s)
// The targets are measured with the main window not shown, so that the
// figures are the list's own work; the refresh is then timed once more with
// the window on screen, the drawing of the scroll bar and of the rows that
// follows it included, and the column clicks and the delete are timed on
// screen too. Each figure is the best of several runs; the rebuild and the
// bare read take turns, as do the refresh and its two parts, so that a slow
// spell of the machine falls on both sides. The start-up figures are the
// medians of several rounds, each begun by an untimed read so that the
// timed ones find the files in the system's cache. Exit code 0 when every
// target is met, 1 when not, 2 when the set-up failed.
//   spool_list_bench.exe [jobs [controller]]
// (the controller program: by default Dorvane.exe of the same build)
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "controller/MainFrame.h"
#include "controller/resource.h"
#include "ui/App.h"
#include "ui/CommonDialogs.h"

namespace {

const wchar_t kBenchFolder[] = L"C:\\dvbench\\spool_list\\";
const wchar_t kEmptyFolder[] = L"C:\\dvbench\\spool_list_empty\\";
constexpr double kRebuildTarget = 1.5;
constexpr int kRounds = 3;
constexpr int kRefreshRounds = 7;
constexpr int kDeleted = 1000;
constexpr double kStartTarget = 1.5;
constexpr double kArrivalTarget = 0.5;  // seconds
constexpr int kStartRounds = 3;
constexpr int kArrivals = 3;  // new jobs in each round
constexpr DWORD kArrivalPause = 500;  // before each new job

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::wstring JobFile(const std::wstring& spool, int number, const wchar_t* extension) {
  return dv::Format(L"%ls%08d.%ls", spool.c_str(), number, extension);
}

// Control files in the shapes a spool folder holds them. The folder's
// lines end in CR LF, as the profile functions write them.
std::string Lines(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// As the print processor leaves a RAW job: [General] alone.
std::string OneSection(int number) {
  return Lines("[General]\nPrinterName=Finance Laser\nSourcePrinterName=Invoices\nDocument=Invoice " +
               std::to_string(number) +
               ".pdf\nUserName=anna\nMachineName=PC17\nDateSpooled=10/12/2024\nTimeSpooled=09:41:00\n"
               "Status=Printed\nTotalPages=3\nNumberOfPagesPerSide=1\nOrientation=1\nDatatype=RAW\n");
}

// As a job the engine has printed leaves it: the print processor's
// [General] keys with the engine's two, [Job] and [PageTemplates].
std::string EnginePrinted(int i) {
  return Lines(dv::ToUtf8(dv::Format(
      L"[General]\nPrinterName=Office\nSourcePrinterName=Office\nDocument=Quarterly report %d.docx\n"
      L"UserName=user%d\nMachineName=PC%02d\nDateSpooled=10/12/2026\nTimeSpooled=12:%02d:%02d\nStatus=Printed\n"
      L"TotalPages=%d\nNumberOfPagesPerSide=1\nOrientation=1\nDatatype=NT EMF 1.008\nScenarioFile=C:\\dv\\a.scn\n"
      L"JobforgeDllVersion=1.43\n[Job]\nPages=%d\nDuplex=1\n[PageTemplates]\n1=C:\\dv\\a.dpt\n",
      i, i % 97, i % 40, i % 60, i % 60, i % 300 + 1, i % 300 + 1)));
}

// Fewer [General] keys, [Job] with Duplex alone.
std::string FewerKeys(int i) {
  return Lines(dv::ToUtf8(dv::Format(
      L"[General]\nDocument=Quarterly report %d.docx\nStatus=Printed\nDateSpooled=10/12/2026\n"
      L"TimeSpooled=12:%02d:%02d\nUserName=user%d\nSourcePrinterName=Office\nPrinterName=Office\nTotalPages=%d\n"
      L"NumberOfPagesPerSide=1\nOrientation=1\nScenarioFile=C:\\dv\\a.scn\nJobforgeDllVersion=1.43\n[Job]\n"
      L"Duplex=1\n[PageTemplates]\n1=C:\\dv\\a.dpt\n",
      i, i % 60, i % 60, i % 97, i % 300 + 1)));
}

struct Shape {
  const wchar_t* name;
  const wchar_t* folder;  // under C:\dvbench\ while its start-up is timed
  std::string (*text)(int number);
};

const Shape kShapes[] = {
    {L"[General] alone (RAW job as spooled)", L"spool_list_one", OneSection},
    {L"printed by the engine (3 sections)", L"spool_list_printed", EnginePrinted},
    {L"fewer keys, [Job] with Duplex only", L"spool_list_fewer", FewerKeys},
};

// A job as the print processor leaves it: control file and spool data.
bool WriteJob(const std::wstring& spool, int number, const Shape& shape = kShapes[0]) {
  return WriteBytes(JobFile(spool, number, L"Org"), "\x1b" "E job " + std::to_string(number)) &&
         WriteBytes(JobFile(spool, number, L"Ctl"), shape.text(number));
}

void DeleteJob(const std::wstring& spool, int number) {
  DeleteFileW(JobFile(spool, number, L"Org").c_str());
  DeleteFileW(JobFile(spool, number, L"Ctl").c_str());
}

// Opens, reads whole and closes one file; the bytes read.
size_t ReadWhole(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  char buffer[4096];
  size_t total = 0;
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) total += n;
  CloseHandle(file);
  return total;
}

// The control files of the folder, as a listing gives them; the count.
template <typename F>
size_t ListControlFiles(const std::wstring& spool, F each) {
  size_t count = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((spool + L"*.ctl").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    ++count;
    each(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return count;
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

// Lets the window handle what the last operation queued (paint included).
void Settle(HWND window) {
  UpdateWindow(window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
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
  DeleteFileW((folder + L"Events.log").c_str());
  RemoveDirectoryW(folder.c_str());
}

const wchar_t* Verdict(bool met) { return met ? L"met" : L"MISSED"; }

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double BareRead(const std::wstring& spool) {
  return Time([&] { ListControlFiles(spool, [&](const wchar_t* name) { ReadWhole(spool + name); }); });
}

// The controller program, started as the administrator starts it, and its
// windows as this program finds them from outside.
struct Controller {
  PROCESS_INFORMATION process = {};
  HWND frame = nullptr;
  HWND list = nullptr;
};

struct FrameSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindFrame(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<FrameSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64] = {};
  // The window class of the program's main frame (ui::FrameWindow).
  if (owner == search.processId && GetClassNameW(window, name, 64) && lstrcmpW(name, L"ui.FrameWindow") == 0) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindList(HWND window, LPARAM param) {
  wchar_t name[64] = {};
  if (GetClassNameW(window, name, 64) && lstrcmpW(name, WC_LISTVIEWW) == 0) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

// The rows of the program's list, asked across the process boundary: the
// answer comes when its window thread takes messages again. -1 when it
// gave none within the wait.
int RowsShown(HWND list) {
  DWORD_PTR rows = 0;
  if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 60000, &rows)) return -1;
  return static_cast<int>(rows);
}

// Waits until the list holds the given number of rows; false when the
// program ended or did not get there within a minute.
bool WaitForRows(Controller& controller, int rows, const LARGE_INTEGER& from) {
  LARGE_INTEGER freq, now;
  QueryPerformanceFrequency(&freq);
  FrameSearch search = {controller.process.dwProcessId, nullptr};
  for (;;) {
    if (WaitForSingleObject(controller.process.hProcess, 0) == WAIT_OBJECT_0) return false;
    if (!controller.frame) {
      EnumWindows(&FindFrame, reinterpret_cast<LPARAM>(&search));
      controller.frame = search.found;
    }
    if (controller.frame && !controller.list)
      EnumChildWindows(controller.frame, &FindList, reinterpret_cast<LPARAM>(&controller.list));
    if (controller.list && RowsShown(controller.list) == rows) return true;
    QueryPerformanceCounter(&now);
    if (Seconds(from, now, freq) > 60) return false;
    Sleep(1);
  }
}

// Starts the program on the install folder that the registry names: the
// seconds until its list holds the given number of rows, or -1.
double StartController(const std::wstring& program, int rows, Controller& controller) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup = {sizeof(startup)};
  LARGE_INTEGER freq, from, to;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&from);
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &controller.process))
    return -1;
  if (!WaitForRows(controller, rows, from)) return -1;
  QueryPerformanceCounter(&to);
  return Seconds(from, to, freq);
}

void StopController(Controller& controller) {
  if (!controller.process.hProcess) return;
  if (controller.frame) PostMessageW(controller.frame, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(controller.process.hProcess, 20000) != WAIT_OBJECT_0)
    TerminateProcess(controller.process.hProcess, 1);
  CloseHandle(controller.process.hThread);
  CloseHandle(controller.process.hProcess);
  controller = Controller{};
}

struct StartFigures {
  std::vector<double> bare, empty, full, ratio, arrival;
  bool ran = false;
};

// Rounds of: a bare read, the start on an empty spool folder, the start on
// the jobs (with new jobs arriving while it runs, when asked), a bare read
// again. The registry's Path names the folder of each start. Each round
// begins with an untimed read, so that every timed read and start finds
// the files in the system's cache.
StartFigures TimeStarts(const std::wstring& program, const std::wstring& folder, const std::wstring& emptyFolder,
                        int jobs, bool arrivals, const Shape& shape) {
  StartFigures figures;
  const std::wstring spool = folder + L"spool\\";
  const std::wstring ini = folder + L"Dorvane.ini";
  for (int round = 0; round < kStartRounds; ++round) {
    BareRead(spool);
    const double bareBefore = BareRead(spool);

    Controller controller;
    WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", emptyFolder);
    const double empty = StartController(program, 0, controller);
    StopController(controller);
    if (empty < 0) return figures;

    WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", folder);
    const double full = StartController(program, jobs, controller);
    bool arrived = full >= 0;
    // New jobs as the print processor leaves them, and then a message to
    // the window, as any move of the pointer over it brings: the frame
    // looks at LastJobNumber when its messages have been handled.
    for (int n = 1; n <= (arrivals ? kArrivals : 0) && arrived; ++n) {
      Sleep(kArrivalPause);
      LARGE_INTEGER from;
      QueryPerformanceCounter(&from);
      WriteJob(spool, jobs + n, shape);
      SetIniInt(L"General", L"LastJobNumber", ini, jobs + n);
      PostMessageW(controller.frame, WM_NULL, 0, 0);
      arrived = WaitForRows(controller, jobs + n, from);
      LARGE_INTEGER to, freq;
      QueryPerformanceCounter(&to);
      QueryPerformanceFrequency(&freq);
      if (arrived) figures.arrival.push_back(Seconds(from, to, freq));
    }
    StopController(controller);
    for (int n = 1; n <= kArrivals; ++n) DeleteJob(spool, jobs + n);
    SetIniInt(L"General", L"LastJobNumber", ini, jobs);
    if (!arrived) return figures;

    const double bareAfter = BareRead(spool);
    figures.bare.push_back(bareBefore);
    figures.bare.push_back(bareAfter);
    figures.empty.push_back(empty);
    figures.full.push_back(full);
    figures.ratio.push_back((full - empty) / ((bareBefore + bareAfter) / 2));
  }
  figures.ran = true;
  return figures;
}

// The start-up on spool folders of each shape of control file, with jobs
// and twice as many: the figures of each, and whether every start met its
// target (false, with a message, when a start failed). New jobs arrive in
// the first shape's rounds at the smaller count.
bool TimeStartsOfEveryShape(const std::wstring& program, const std::wstring& emptyFolder, int jobs, bool& met) {
  met = true;
  std::vector<double> arrivals;
  std::wprintf(L"start-up of %ls, medians of %d rounds; the jobs' share is the start less the start on an empty\n"
               L"spool folder, against the round's bare read of every control file (target %.1f times):\n",
               program.c_str(), kStartRounds, kStartTarget);
  std::wprintf(L"  %-38ls %6ls %9ls %9ls %9ls %7ls %8ls\n", L"control files", L"jobs", L"bare read", L"start",
               L"empty", L"share", L"per job");
  bool first = true;
  for (const Shape& shape : kShapes) {
    const std::wstring folder = std::wstring(L"C:\\dvbench\\") + shape.folder + L"\\";
    const std::wstring spool = folder + L"spool\\";
    RemoveFolder(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(spool.c_str(), nullptr);
    int written = 0;
    for (int count : {jobs / 10, jobs, 2 * jobs}) {
      for (; written < count; ++written) {
        if (!WriteJob(spool, written + 1, shape)) {
          std::fwprintf(stderr, L"cannot write job %d\n", written + 1);
          RemoveFolder(folder);
          return false;
        }
      }
      SetIniInt(L"General", L"LastJobNumber", folder + L"Dorvane.ini", count);
      const StartFigures start = TimeStarts(program, folder, emptyFolder, count, first && count == jobs, shape);
      if (!start.ran) {
        std::fwprintf(stderr, L"cannot start %ls, or its list did not show the jobs\n", program.c_str());
        RemoveFolder(folder);
        return false;
      }
      if (first && count == jobs) arrivals = start.arrival;
      const double ratio = Median(start.ratio);
      // On a tenth of the jobs the share is a few tenths of a second, of
      // which the start's own spread and the first paint of a full screen
      // of rows are a large part: its cost per job is shown, not judged.
      const bool judged = count >= jobs;
      if (judged) met = met && ratio <= kStartTarget;
      std::wprintf(L"  %-38ls %6d %7.3f s %7.3f s %7.3f s %5.2f x %5.0f us  (%.2f to %.2f: %ls)\n", shape.name,
                   count, Median(start.bare), Median(start.full), Median(start.empty), ratio,
                   (Median(start.full) - Median(start.empty)) / count * 1e6,
                   *std::min_element(start.ratio.begin(), start.ratio.end()),
                   *std::max_element(start.ratio.begin(), start.ratio.end()),
                   judged ? Verdict(ratio <= kStartTarget) : L"not judged");
    }
    RemoveFolder(folder);
    first = false;
  }
  const double arrivalWorst = *std::max_element(arrivals.begin(), arrivals.end());
  met = met && arrivalWorst < kArrivalTarget;
  std::wprintf(L"  a new job until its row is listed:    %8.1f ms  (worst of %zu: %.1f ms; target %.0f ms: %ls)\n",
               Median(arrivals) * 1000, arrivals.size(), arrivalWorst * 1000, kArrivalTarget * 1000,
               Verdict(arrivalWorst < kArrivalTarget));
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int jobs = argc > 1 ? _wtoi(argv[1]) : 10000;
  const std::wstring program = argc > 2 ? std::wstring(argv[2]) : GetModuleFolder() + L"..\\controller\\Dorvane.exe";
  if (jobs < kDeleted * 2) {
    std::fwprintf(stderr, L"at least %d jobs\n", kDeleted * 2);
    return 2;
  }
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
  // The program starts without the entrance password's prompt.
  const std::wstring password = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"EntrancePassword");
  if (!password.empty()) WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"EntrancePassword", L"");
  // A change of LastJobNumber from 0 only records the number.
  SetIniInt(L"General", L"LastJobNumber", folder + L"Dorvane.ini", jobs);
  const std::wstring emptyFolder = kEmptyFolder;
  RemoveFolder(emptyFolder);
  CreateDirectoryW(emptyFolder.c_str(), nullptr);
  CreateDirectoryW((emptyFolder + L"spool").c_str(), nullptr);
  bool startMet = false;
  const bool started = TimeStartsOfEveryShape(program, emptyFolder, jobs, startMet);
  RemoveFolder(emptyFolder);
  if (!password.empty()) WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"EntrancePassword", password);
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", folder);

  int status = 2;
  if (started) {
    ui::App app;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    ui::ScopedPrompts prompts;
    ui::Prompts().messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDYES; };
    auto frame = std::make_unique<CMainFrame>();
    if (frame->Create()) {
      CMainFrame* main = frame.get();
      app.SetMainWindow(std::move(frame));
      const HWND window = main->Hwnd();
      Settle(window);
      CSpoolFrm& view = main->SpoolView();
      const ui::ListView& list = view.JobList();
      const auto command = [&](UINT id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); };

      // Bare read and rebuild, taking turns.
      size_t bytes = 0;
      double bare = 1e30, rebuild = 1e30;
      for (int round = 0; round < kRounds; ++round) {
        bare = std::min(bare, Time([&] {
                          bytes = 0;
                          ListControlFiles(spool, [&](const wchar_t* name) { bytes += ReadWhole(spool + name); });
                        }));
        rebuild = std::min(rebuild, Time([&] {
                             view.RebuildJobList();
                             Settle(window);
                           }));
      }
      const int built = view.JobCount();

      // One new job, then the automatic refresh; the job goes again before
      // the next round so that every round starts from the same list.
      double listing = 1e30, readNew = 1e30, refresh = 1e30, shownRefresh = 1e30;
      int refreshed = 0;
      unsigned watched = 0;
      double listedRefresh = 1e30;
      int listedRows = 0;
      const auto refreshRounds = [&](double& best, bool measureParts) {
        for (int round = 0; round < kRefreshRounds; ++round) {
          const int number = jobs + 1 + round;
          WriteJob(spool, number);
          if (measureParts) {
            listing = std::min(listing, Time([&] { ListControlFiles(spool, [](const wchar_t*) {}); }));
            readNew = std::min(readNew, Time([&] { ReadWhole(JobFile(spool, number, L"Ctl")); }));
          }
          const unsigned before = view.WatchedRefreshes();
          best = std::min(best, Time([&] {
                            // As the frame's idle pass does when the last
                            // job number changed.
                            view.ExpectNewJob(number);
                            command(ID_VIEW_REFRESH_NOW);
                            Settle(window);
                          }));
          if (measureParts) watched += view.WatchedRefreshes() - before;
          refreshed = std::min(refreshed == 0 ? INT_MAX : refreshed, view.JobCount());
          DeleteJob(spool, number);
          command(ID_VIEW_REFRESH_NOW);
          Settle(window);
          if (measureParts) {
            // The same new job taken in by Refresh Now, which lists.
            WriteJob(spool, number);
            listedRefresh = std::min(listedRefresh, Time([&] {
                                       command(ID_VIEW_REFRESH_NOW);
                                       Settle(window);
                                     }));
            listedRows = std::min(listedRows == 0 ? INT_MAX : listedRows, view.JobCount());
            DeleteJob(spool, number);
            command(ID_VIEW_REFRESH_NOW);
            Settle(window);
          }
        }
      };
      refreshRounds(refresh, true);
      ShowWindow(window, SW_SHOWNORMAL);
      Settle(window);
      refreshRounds(shownRefresh, false);

      // Column clicks: largest number first, then smallest first.
      NMLISTVIEW click = {};
      click.hdr.hwndFrom = list.Hwnd();
      click.hdr.idFrom = IDC_JOB_LIST;
      click.hdr.code = LVN_COLUMNCLICK;
      double sort[2] = {};
      for (double& figure : sort)
        figure = Time([&] {
          SendMessageW(view.Hwnd(), WM_NOTIFY, IDC_JOB_LIST, reinterpret_cast<LPARAM>(&click));
          Settle(window);
        });
      const bool sorted = list.ItemCount() > 1 && list.ItemData(0) == 1 && list.ItemData(list.ItemCount() - 1) == jobs;

      // Every tenth row selected, then Delete.
      for (int i = 0; i < list.ItemCount(); ++i) list.Select(i, i % 10 == 0 && i / 10 < kDeleted);
      const int selected = list.SelectedCount();
      const double remove = Time([&] {
        command(ID_FILE_DELETE_JOBS);
        Settle(window);
      });
      const int left = view.JobCount();
      size_t filesLeft = ListControlFiles(spool, [](const wchar_t*) {});

      const double floor = listing + readNew;
      const bool rebuildMet = rebuild <= kRebuildTarget * bare;
      const bool refreshMet = refresh <= floor;
      std::wprintf(L"jobs: %d (rows after the rebuild: %d, bytes of control files: %zu)\n", jobs, built, bytes);
      std::wprintf(L"bare read of every control file once:  %8.3f s\n", bare);
      std::wprintf(L"full rebuild of the list:              %8.3f s  (%.2f times the bare read; target %.1f: %ls)\n",
                   rebuild, rebuild / bare, kRebuildTarget, Verdict(rebuildMet));
      std::wprintf(L"listing of the folder:                 %8.2f ms\n", listing * 1000);
      std::wprintf(L"bare read of the new control file:     %8.2f ms\n", readNew * 1000);
      std::wprintf(L"automatic refresh after one new job:   %8.2f ms  (rows after it: %d; target %.2f ms: %ls;"
                   L" %u of %d by change reports)\n",
                   refresh * 1000, refreshed, floor * 1000, Verdict(refreshMet), watched, kRefreshRounds);
      std::wprintf(L"  the same by Refresh Now, which lists: %8.2f ms  (rows after it: %d)\n", listedRefresh * 1000,
                   listedRows);
      std::wprintf(L"  the same with the window on screen:  %8.2f ms\n", shownRefresh * 1000);
      std::wprintf(L"column-click sort, largest first:      %8.2f ms\n", sort[0] * 1000);
      std::wprintf(L"column-click sort, smallest first:     %8.2f ms  (%ls)\n", sort[1] * 1000,
                   sorted ? L"in order" : L"OUT OF ORDER");
      std::wprintf(L"delete of %d selected jobs:          %8.2f ms  (rows left: %d, control files left: %zu)\n",
                   selected, remove * 1000, left, filesLeft);
      const bool counts = built == jobs && refreshed == jobs + 1 && listedRows == jobs + 1 && sorted && selected == kDeleted &&
                          left == jobs - kDeleted && filesLeft == static_cast<size_t>(jobs - kDeleted);
      if (!counts) std::fwprintf(stderr, L"the list did not show what the folder holds\n");
      status = counts ? (rebuildMet && refreshMet && startMet ? 0 : 1) : 2;
    } else {
      std::fwprintf(stderr, L"cannot create the main frame (%lu)\n", GetLastError());
    }
  }
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", previous);
  RemoveFolder(folder);
  return status;
}
