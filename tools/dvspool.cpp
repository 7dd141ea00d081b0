// dvspool: the stand-in print processor on the command line.
//   dvspool emf <printer> [--pages N] [--nup N] [--orientation 1|2] [--doc NAME] [--user NAME] [--no-process]
//   dvspool raw <printer> <data file> [--doc NAME] [--user NAME] [--no-process]
// Spools the job into the install folder's spool folder (the registry's Path)
// and has the engine process it; prints "job <n> result <r>".
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/Handles.h"
#include "tools/fixtures/StandInPrintProcessor.h"

namespace {

std::string ReadAll(const std::wstring& path) {
  std::string out;
  dv::FileHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!f) return out;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(f.get(), buf, sizeof(buf), &n, nullptr) && n > 0) out.append(buf, n);
  return out;
}

int Usage() {
  fwprintf(stderr,
           L"usage: dvspool emf <printer> [--pages N] [--nup N] [--orientation 1|2] [--doc NAME] [--user NAME] "
           L"[--no-process]\n       dvspool raw <printer> <data file> [--doc NAME] [--user NAME] [--no-process]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring kind = argv[1];
  const bool raw = kind == L"raw";
  if (!raw && kind != L"emf") return Usage();
  dvfix::EmfJobSpec emf;
  dvfix::RawJobSpec rawSpec;
  emf.printer = rawSpec.printer = argv[2];
  int first = 3;
  if (raw) {
    if (argc < 4) return Usage();
    rawSpec.data = ReadAll(argv[3]);
    first = 4;
  }
  bool process = true;
  for (int i = first; i < argc; ++i) {
    std::wstring a = argv[i];
    auto next = [&]() -> std::wstring { return i + 1 < argc ? argv[++i] : L""; };
    if (a == L"--pages") emf.pages = _wtoi(next().c_str());
    else if (a == L"--nup") emf.pagesPerSide = _wtoi(next().c_str());
    else if (a == L"--orientation") emf.orientation = rawSpec.orientation = _wtoi(next().c_str());
    else if (a == L"--doc") emf.document = rawSpec.document = next();
    else if (a == L"--user") emf.user = rawSpec.user = next();
    else if (a == L"--no-process") process = false;
    else return Usage();
  }
  const int job = raw ? dvfix::SpoolRawJob(rawSpec) : dvfix::SpoolEmfJob(emf);
  if (job == 0) {
    fwprintf(stderr, L"dvspool: the job could not be spooled\n");
    return 1;
  }
  if (!process) {
    wprintf(L"job %d spooled\n", job);
    return 0;
  }
  const int result = dvfix::ProcessSpooledJob(job, raw);
  wprintf(L"job %d result %d\n", job, result);
  return result == 1 ? 0 : 1;
}
