// EMF job benchmark: the engine's processing of a 200-page EMF job against
// the bare platform cost of printing the same pages.
//
// For each case the stand-in print processor spools the job once; then, in
// alternating rounds, the engine library prints it (ProcessEmfJobAndSendTo-
// Printer through the stand-in, as the print processor calls it) and the
// benchmark itself plays the same pages with PlayEnhMetaFile into a document
// on the same printer, on the same sheets and cells. The median of each is
// printed with their ratio; the target is a ratio of at most 1.10.
//
// A case may prepare a scenario (settings and scenario files in the install
// folder) before the rounds and may draw extra content on every bare page, so
// that cases with page templates compare like with like: the template case
// lays a background and a foreground picture and eight text fields over
// every page, and its bare run plays the same pictures (kept in memory) and
// draws the same texts in the same fonts.
//
// Run in the project's Wine prefix (scripts/env.sh, dv_ensure_prefix):
//   wine $DV_BUILD/x64/bench/emf_job_bench.exe [pages] [rounds]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "tools/fixtures/EmfSpool.h"
#include "tools/fixtures/PrinterSetup.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

const wchar_t kBenchPrinter[] = L"Dorvane Bench EMF";
const wchar_t kBenchFolder[] = L"C:\\dvbench\\emf\\";

struct BenchCase {
  const char* name;
  int pagesPerSide;
  // Writes the case's settings or scenario files into the install folder
  // before the rounds; empty for none.
  std::function<void(const std::wstring& installFolder)> prepare;
  // Draws on a bare page after its playback (what the scenario's layers
  // would add); empty for none.
  std::function<void(HDC dc, int page)> bareLayers;
  // Draws on a bare page before its playback (a background layer); empty
  // for none.
  std::function<void(HDC dc, int page)> bareBackground;
  // Undoes prepare after the case; empty for none.
  std::function<void(const std::wstring& installFolder)> finish;
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The cells of a sheet, computed here on their own so that the bare run owes
// nothing to the engine's code.
RECT BareCell(int index, int pagesPerSide, int width, int height) {
  int rows = 1, columns = 1;
  if (pagesPerSide == 4) rows = columns = 2;
  const int cellW = width / columns, cellH = height / rows;
  const int row = index / columns, column = index % columns;
  return RECT{column * cellW, row * cellH, (column + 1) * cellW, (row + 1) * cellH};
}

// The bare platform cost: the pages, already in memory as metafiles, played
// into a document on the printer with the job's devmode.
bool PlayBare(const std::wstring& printer, const std::vector<BYTE>& devmode,
              const std::vector<dv::EnhMetaFileHandle>& pages, const BenchCase& c) {
  dv::DcHandle dc(CreateDCW(nullptr, printer.c_str(), nullptr, reinterpret_cast<const DEVMODEW*>(devmode.data())));
  if (!dc) return false;
  DOCINFOW di = {sizeof(di), L"bare playback"};
  if (StartDocW(dc.get(), &di) <= 0) return false;
  const int width = GetDeviceCaps(dc.get(), HORZRES), height = GetDeviceCaps(dc.get(), VERTRES);
  const int n = static_cast<int>(pages.size());
  for (int p = 0; p < n; ++p) {
    const int i = p % c.pagesPerSide;
    if (i == 0 && StartPage(dc.get()) <= 0) return false;
    if (c.bareBackground) c.bareBackground(dc.get(), p + 1);
    RECT cell = BareCell(i, c.pagesPerSide, width, height);
    SetBkMode(dc.get(), TRANSPARENT);
    PlayEnhMetaFile(dc.get(), pages[p].get(), &cell);
    if (c.bareLayers) c.bareLayers(dc.get(), p + 1);
    if ((i == c.pagesPerSide - 1 || p == n - 1) && EndPage(dc.get()) <= 0) return false;
  }
  return EndDoc(dc.get()) > 0;
}

// Page records of a spool stream, as metafiles.
std::vector<dv::EnhMetaFileHandle> LoadPages(const std::wstring& org) {
  std::vector<dv::EnhMetaFileHandle> pages;
  dv::FileHandle file(CreateFileW(org.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return pages;
  std::vector<BYTE> data(GetFileSize(file.get(), nullptr));
  DWORD read = 0;
  if (!ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr)) return pages;
  size_t pos = 0;
  while (pos + 8 <= data.size()) {
    uint32_t type, size;
    memcpy(&type, &data[pos], 4);
    memcpy(&size, &data[pos + 4], 4);
    pos += 8;
    if (type == dvfix::kEmriHeader) size -= 8;
    if (size > data.size() - pos) break;
    if (type == dvfix::kEmriMetafileData) pages.emplace_back(SetEnhMetaFileBits(size, &data[pos]));
    pos += size;
  }
  return pages;
}

std::wstring EngineLibrary() {
  // bench\emf_job_bench.exe beside engine\Jobforge.Dll in the build folder.
  std::wstring folder = GetModuleFolder();
  folder = folder.substr(0, folder.size() - 1);
  folder = folder.substr(0, folder.rfind(L'\\') + 1);
  return folder + L"engine\\Jobforge.Dll";
}

bool RunCase(const BenchCase& c, int pageCount, int rounds, const std::wstring& library, double& worst) {
  const std::wstring output = std::wstring(kBenchFolder) + L"out.prn";
  dvfix::EmfJobSpec spec;
  spec.printer = kBenchPrinter;
  spec.document = L"Benchmark";
  spec.pages = pageCount;
  spec.pagesPerSide = c.pagesPerSide;
  const int job = dvfix::SpoolEmfJob(spec);
  if (job <= 0) {
    fprintf(stderr, "%s: the job could not be spooled\n", c.name);
    return false;
  }
  if (c.prepare) c.prepare(kBenchFolder);
  std::vector<BYTE> devmode = dvfix::GetPrinterDevmode(kBenchPrinter);
  std::vector<dv::EnhMetaFileHandle> pages = LoadPages(dvfix::SpoolFilePath(job, L"Org"));
  if (static_cast<int>(pages.size()) != pageCount) {
    fprintf(stderr, "%s: %d pages in the spool data\n", c.name, static_cast<int>(pages.size()));
    return false;
  }

  std::vector<double> engine, bare;
  for (int r = 0; r < rounds + 1; ++r) {  // round 0 warms both paths up
    DeleteFileW(output.c_str());
    auto t0 = std::chrono::steady_clock::now();
    const int result = dvfix::ProcessSpooledJob(job, false, library);
    auto t1 = std::chrono::steady_clock::now();
    if (result != 1) {
      fprintf(stderr, "%s: the engine returned %d\n", c.name, result);
      return false;
    }
    DeleteFileW(output.c_str());
    auto t2 = std::chrono::steady_clock::now();
    if (!PlayBare(kBenchPrinter, devmode, pages, c)) {
      fprintf(stderr, "%s: the bare playback failed\n", c.name);
      return false;
    }
    auto t3 = std::chrono::steady_clock::now();
    if (r == 0) continue;
    engine.push_back(Seconds(t1 - t0));
    bare.push_back(Seconds(t3 - t2));
  }
  const double e = Median(engine), b = Median(bare);
  const double ratio = b > 0 ? e / b : 0;
  if (c.finish) c.finish(kBenchFolder);
  printf("%-24s engine %8.3f s   bare playback %8.3f s   ratio %.3f  (target <= 1.10)\n", c.name, e, b, ratio);
  worst = std::max(worst, ratio);
  return true;
}

// ---- The template case: a background and a foreground picture and the
// eight text fields on every page. ----

const wchar_t kTemplateUser[] = L"alice";
const wchar_t kTemplateMachine[] = L"\\\\WS01";

struct BenchField {
  const wchar_t* name;
  const wchar_t* format;
  int leftMm, topMm, direction;
};
const BenchField kBenchFields[] = {
    {L"User Name", L"", 20, 20, 0},           {L"Printer Name", L"", 20, 30, 0},
    {L"Document Name", L"", 20, 40, 0},       {L"Machine Name", L"", 20, 50, 0},
    {L"Group", L"", 20, 60, 0},               {L"Time", L"%H:%M", 150, 20, 90},
    {L"Date", L"%x", 160, 20, 270},
    {L"Mixed Data", L"%Date%,%Time%,%User Name%,%Machine Name%", 20, 280, 0},
};
const wchar_t kBenchFont[] = L"0,0,0,0,0,400,0,10,Arial";

void DrawBenchBackground(HDC dc, int, int width, int height) {
  dv::GdiObject brush(CreateSolidBrush(RGB(230, 230, 230)));
  RECT band = {0, 0, width, height / 10};
  FillRect(dc, &band, static_cast<HBRUSH>(brush.get()));
  for (int i = 1; i < 20; ++i) {
    MoveToEx(dc, 0, i * height / 20, nullptr);
    LineTo(dc, width, i * height / 20);
  }
}

void DrawBenchForeground(HDC dc, int, int width, int height) {
  Rectangle(dc, width / 20, height / 20, width / 20 + 600, height / 20 + 300);
  TextOutW(dc, width / 20 + 50, height / 20 + 100, L"CONFIDENTIAL", 12);
}

std::wstring PictureFile(const wchar_t* name) { return std::wstring(kBenchFolder) + name; }

// Scenario, template and pictures in the install folder; the default
// scenario of every job.
void PrepareTemplateScenario(const std::wstring& installFolder) {
  const std::wstring bg = PictureFile(L"bench-bg.emf"), fg = PictureFile(L"bench-fg.emf");
  const std::pair<std::wstring, dvfix::PageDrawer> pictures[] = {{bg, DrawBenchBackground}, {fg, DrawBenchForeground}};
  for (const auto& picture : pictures) {
    const std::vector<BYTE> bytes = dvfix::RecordEmfPage(kBenchPrinter, nullptr, 1, picture.second);
    dv::FileHandle file(CreateFileW(picture.first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  const std::wstring dpt = installFolder + L"bench.dpt";
  const std::wstring scn = installFolder + L"bench.scn";
  DeleteFileW(dpt.c_str());
  SetIniString(L"General", L"BackgroundPicture", dpt, bg);
  SetIniString(L"General", L"ForgroundPicture", dpt, fg);
  SetIniInt(L"General", L"NumFields", dpt, 8);
  for (int i = 0; i < 8; ++i) {
    const std::wstring section = dv::Format(L"Field_%d", i + 1);
    SetIniString(section, L"FieldName", dpt, kBenchFields[i].name);
    SetIniString(section, L"DataFormat", dpt, kBenchFields[i].format);
    SetIniInt(section, L"PrintText", dpt, 1);
    SetIniInt(section, L"TextLeft", dpt, kBenchFields[i].leftMm);
    SetIniInt(section, L"TextTop", dpt, kBenchFields[i].topMm);
    SetIniInt(section, L"TextDirection", dpt, kBenchFields[i].direction);
    SetIniString(section, L"TextFont", dpt, kBenchFont);
  }
  SetIniString(L"General", L"PortraitDefaultTemplateFile", scn, dpt);
  SetIniString(L"General", L"DefaultScenarioFile", installFolder + L"Dorvane.ini", scn);
}

void ClearTemplateScenario(const std::wstring& installFolder) {
  SetIniString(L"General", L"DefaultScenarioFile", installFolder + L"Dorvane.ini", L"");
}

// The bare cost of the same layers: both pictures, already in memory, played
// over the printable area, and the eight texts each in its own font, turned
// and coloured as the fields are.
class BareTemplateLayers {
 public:
  BareTemplateLayers()
      : bg_(GetEnhMetaFileW(PictureFile(L"bench-bg.emf").c_str())),
        fg_(GetEnhMetaFileW(PictureFile(L"bench-fg.emf").c_str())) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring time = dv::Format(L"%02d:%02d", now.wHour, now.wMinute);
    const std::wstring date = dv::Format(L"%02d/%02d/%02d", now.wMonth, now.wDay, now.wYear % 100);
    texts_ = {kTemplateUser, kBenchPrinter, L"Benchmark", kTemplateMachine, L"", time, date,
              date + L"," + time + L"," + kTemplateUser + L"," + kTemplateMachine};
  }
  void Background(HDC dc) const { Play(dc, bg_.get()); }
  void Foreground(HDC dc) const {
    Play(dc, fg_.get());
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    const int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    for (int i = 0; i < 8; ++i) {
      LOGFONTW lf = {};
      lf.lfHeight = -MulDiv(10, dpiY, 72);
      lf.lfWeight = FW_NORMAL;
      lf.lfEscapement = lf.lfOrientation = kBenchFields[i].direction * 10;
      wcscpy(lf.lfFaceName, L"Arial");
      dv::GdiObject font(CreateFontIndirectW(&lf));
      dv::SelectGuard selected(dc, font.get());
      const COLORREF oldColour = GetTextColor(dc);
      const int oldMode = GetBkMode(dc);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, 0);
      TextOutW(dc, static_cast<int>(dpiX * (kBenchFields[i].leftMm / 25.4)) - offX,
               static_cast<int>(dpiY * (kBenchFields[i].topMm / 25.4)) - offY, texts_[i].c_str(),
               static_cast<int>(texts_[i].size()));
      SetTextColor(dc, oldColour);
      SetBkMode(dc, oldMode);
    }
  }

 private:
  static void Play(HDC dc, HENHMETAFILE picture) {
    const RECT area = {0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    PlayEnhMetaFile(dc, picture, &area);
  }
  dv::EnhMetaFileHandle bg_, fg_;
  std::vector<std::wstring> texts_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int pageCount = argc > 1 ? _wtoi(argv[1]) : 200;
  const int rounds = argc > 2 ? _wtoi(argv[2]) : 5;
  const std::wstring library = EngineLibrary();

  // An install folder and a printer of the benchmark's own; the registry's
  // Path is put back afterwards.
  const std::wstring previous = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path");
  CreateDirectoryW(L"C:\\dvbench", nullptr);
  CreateDirectoryW(kBenchFolder, nullptr);
  CreateDirectoryW((std::wstring(kBenchFolder) + L"spool").c_str(), nullptr);
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", kBenchFolder);
  SetIniInt(L"General", L"DeleteFilesAfter", std::wstring(kBenchFolder) + L"Dorvane.ini", 0);
  if (!dvfix::AddFilePrinter(kBenchPrinter, std::wstring(kBenchFolder) + L"out.prn")) {
    fprintf(stderr, "the benchmark printer could not be added (is the test driver installed?)\n");
    return 2;
  }

  std::unique_ptr<BareTemplateLayers> bare;
  auto prepareTemplate = [&bare](const std::wstring& folder) {
    PrepareTemplateScenario(folder);
    bare = std::make_unique<BareTemplateLayers>();
  };
  const BenchCase cases[] = {
      {"EMF 1-up", 1, nullptr, nullptr, nullptr, nullptr},
      {"EMF 4-up", 4, nullptr, nullptr, nullptr, nullptr},
      {"EMF 1-up, template", 1, prepareTemplate, [&bare](HDC dc, int) { bare->Foreground(dc); },
       [&bare](HDC dc, int) { bare->Background(dc); }, ClearTemplateScenario},
  };
  printf("%d pages, median of %d rounds\n", pageCount, rounds);
  double worst = 0;
  bool ok = true;
  for (const BenchCase& c : cases) ok = RunCase(c, pageCount, rounds, library, worst) && ok;

  dvfix::RemovePrinter(kBenchPrinter);
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", previous);
  if (!ok) return 2;
  return worst <= 1.10 ? 0 : 1;
}
