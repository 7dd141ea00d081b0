// dvfuzz.exe: runs the readers of outside data on mutated inputs.
//
//   dvfuzz.exe [--target NAME]... [--inputs N | --short | --long] [--seconds T] [--seed S]
//              [--corpus DIR] [--replay DIR] [--findings DIR]
//              [--no-guard-heap] [--list]
//   dvfuzz.exe --self-test | --write-seeds DIR
//
// Every input is copied so that its last byte ends right before a no-access
// page, and while a target runs every operator new block is placed the same
// way (its end rounded up to the 16-byte alignment callers may rely on), so a
// read past an input or a block faults at once instead of reading a
// neighbour. A vectored handler turns a fault into a finding of that input:
// the input is kept in the findings folder and the run goes on with the next
// one; so does an exception the target lets out. An input that runs longer
// than ten seconds is kept as a hang, and one that makes the program abort is
// kept too; both end the run (nothing can go on safely after them).
//
// --long gives each target 1,000,000 inputs, 100,000 where an input costs
// file-system round trips (a file written and opened again) or a library
// load; --short (the test run's budget) 200,000 and 8,000. Budgets are counts,
// so that a run repeats exactly on any machine.
// --replay DIR runs every file of DIR/<target>/ once before the mutation run
// (inputs that once faulted, kept as fixtures). The generator is seeded with
// --seed (default 1) and the target's name, so a run repeats exactly.
// Exit status 0 when no target had a finding.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzHarness.h"

namespace dvfuzz {
namespace {

constexpr size_t kPage = 4096;

// ---------------------------------------------------------------------------
// Guard-page placement.

size_t RoundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

// A committed region whose last page is no-access; the usable part ends
// right before it.
struct GuardRegion {
  uint8_t* base = nullptr;
  size_t usable = 0;  // bytes before the guard page
  uint8_t* guard() const { return base + usable; }
};

GuardRegion AllocateGuarded(size_t bytes) {
  GuardRegion r;
  r.usable = RoundUp(bytes ? bytes : 1, kPage);
  r.base = static_cast<uint8_t*>(VirtualAlloc(nullptr, r.usable + kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (!r.base) return GuardRegion();
  DWORD old = 0;
  VirtualProtect(r.guard(), kPage, PAGE_NOACCESS, &old);
  return r;
}

// Heap blocks: a 16-byte header before each block tells where it came from.
constexpr uint64_t kMallocBlock = 0x6B6F6C426C6C614Dull;  // from malloc
constexpr uint64_t kGuardBlock = 0x6B6F6C4264726147ull;   // from AllocateGuarded

std::atomic<bool> g_guardHeap{false};
bool g_guardHeapWanted = true;

// Guarded regions freed by the targets are kept for reuse by page count
// (a fresh one costs two system calls): most blocks are small and come and
// go many times per input.
constexpr size_t kCachedPageCounts = 64;
constexpr size_t kCachedPerCount = 64;
struct RegionCache {
  uint8_t* bases[kCachedPerCount];
  size_t count = 0;
};
RegionCache g_cache[kCachedPageCounts + 1];
SRWLOCK g_cacheLock = SRWLOCK_INIT;

GuardRegion TakeRegion(size_t bytes) {
  const size_t pages = RoundUp(bytes, kPage) / kPage;
  if (pages <= kCachedPageCounts) {
    AcquireSRWLockExclusive(&g_cacheLock);
    RegionCache& c = g_cache[pages];
    uint8_t* base = c.count ? c.bases[--c.count] : nullptr;
    ReleaseSRWLockExclusive(&g_cacheLock);
    if (base) return GuardRegion{base, pages * kPage};
  }
  return AllocateGuarded(bytes);
}

void GiveBackRegion(uint8_t* base, size_t usable) {
  const size_t pages = usable / kPage;
  if (pages <= kCachedPageCounts) {
    AcquireSRWLockExclusive(&g_cacheLock);
    RegionCache& c = g_cache[pages];
    const bool kept = c.count < kCachedPerCount;
    if (kept) c.bases[c.count++] = base;
    ReleaseSRWLockExclusive(&g_cacheLock);
    if (kept) return;
  }
  VirtualFree(base, 0, MEM_RELEASE);
}

void* NewBlock(size_t size) {
  if (g_guardHeap.load(std::memory_order_relaxed)) {
    // The region's first eight bytes hold its usable size; the block ends
    // at the guard page, its 16-byte header right before it.
    const size_t body = RoundUp(size ? size : 1, 16);
    GuardRegion r = TakeRegion(body + 16 + 8);
    if (!r.base) return nullptr;
    reinterpret_cast<uint64_t*>(r.base)[0] = r.usable;
    uint8_t* user = r.guard() - body;
    reinterpret_cast<uint64_t*>(user)[-2] = kGuardBlock;
    reinterpret_cast<uint64_t*>(user)[-1] = reinterpret_cast<uint64_t>(r.base);
    return user;
  }
  uint8_t* raw = static_cast<uint8_t*>(std::malloc(size + 16));
  if (!raw) return nullptr;
  reinterpret_cast<uint64_t*>(raw)[0] = kMallocBlock;
  return raw + 16;
}

void FreeBlock(void* p) {
  if (!p) return;
  uint64_t* header = static_cast<uint64_t*>(p) - 2;
  if (header[0] == kGuardBlock) {
    uint8_t* base = reinterpret_cast<uint8_t*>(header[1]);
    header[0] = 0;  // a second delete of the block now ends in free() and faults
    GiveBackRegion(base, reinterpret_cast<uint64_t*>(base)[0]);
    return;
  }
  std::free(header);
}

}  // namespace
}  // namespace dvfuzz

void* operator new(size_t size) {
  void* p = dvfuzz::NewBlock(size);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return dvfuzz::NewBlock(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return dvfuzz::NewBlock(size); }
void operator delete(void* p) noexcept { dvfuzz::FreeBlock(p); }
void operator delete[](void* p) noexcept { dvfuzz::FreeBlock(p); }
void operator delete(void* p, size_t) noexcept { dvfuzz::FreeBlock(p); }
void operator delete[](void* p, size_t) noexcept { dvfuzz::FreeBlock(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { dvfuzz::FreeBlock(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { dvfuzz::FreeBlock(p); }

namespace dvfuzz {
namespace {

// ---------------------------------------------------------------------------
// Faults, hangs and findings of the current input.

enum class Kind { kNone, kCrash, kOverRead, kException, kFinding, kHang };

const char* KindName(Kind k) {
  switch (k) {
    case Kind::kCrash: return "crash";
    case Kind::kOverRead: return "overread";
    case Kind::kException: return "exception";
    case Kind::kFinding: return "finding";
    case Kind::kHang: return "hang";
    default: return "none";
  }
}

struct Current {
  const Target* target = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  GuardRegion input;
};

Current g_current;
std::atomic<bool> g_inTarget{false};
std::atomic<uint64_t> g_startedAt{0};
intptr_t g_jump[5];
Kind g_faultKind = Kind::kNone;
DWORD g_faultCode = 0;
uintptr_t g_faultAddress = 0;
uintptr_t g_faultPc = 0;
std::string g_findingText;
std::wstring g_findingsDir = L"fuzz-findings";
CRITICAL_SECTION g_outputLock;

// Milliseconds of a monotonic clock (the tick count is not kept current
// under every Wine).
uint64_t NowMs() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<uint64_t>(c.QuadPart / (frequency / 1000));
}

uint64_t Fnv(const uint8_t* data, size_t size) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001b3ull;
  return h;
}

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// Keeps the input as findings/<target>/<kind>-<hash>.bin; returns its path.
std::wstring KeepInput(const char* target, Kind kind, const uint8_t* data, size_t size) {
  const bool wasGuarding = g_guardHeap.exchange(false);
  CreateDirectoryW(g_findingsDir.c_str(), nullptr);
  const std::wstring dir = g_findingsDir + L"\\" + Widen(target);
  CreateDirectoryW(dir.c_str(), nullptr);
  wchar_t name[64];
  swprintf(name, 64, L"%hs-%016llx.bin", KindName(kind), static_cast<unsigned long long>(Fnv(data, size)));
  const std::wstring path = dir + L"\\" + name;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(f, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(f);
  }
  g_guardHeap.store(wasGuarding);
  return path;
}

// Committed no-access pages are the guard pages placed here: nothing else in
// the process has any.
bool IsGuardPage(uintptr_t address) {
  MEMORY_BASIC_INFORMATION mbi;
  if (!VirtualQuery(reinterpret_cast<void*>(address), &mbi, sizeof(mbi))) return false;
  return mbi.State == MEM_COMMIT && mbi.Protect == PAGE_NOACCESS;
}

[[noreturn]] void FaultLanding() { __builtin_longjmp(reinterpret_cast<void**>(g_jump), 1); }

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
  if (!g_inTarget.load()) return EXCEPTION_CONTINUE_SEARCH;
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_STACK_OVERFLOW:
    case STATUS_HEAP_CORRUPTION:
    case STATUS_STACK_BUFFER_OVERRUN:
      break;
    default:
      return EXCEPTION_CONTINUE_SEARCH;
  }
  g_inTarget.store(false);
  g_guardHeap.store(false);
  g_faultCode = code;
  g_faultPc = reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress);
  g_faultAddress = code == EXCEPTION_ACCESS_VIOLATION && info->ExceptionRecord->NumberParameters >= 2
                       ? static_cast<uintptr_t>(info->ExceptionRecord->ExceptionInformation[1])
                       : 0;
  g_faultKind = g_faultAddress && IsGuardPage(g_faultAddress) ? Kind::kOverRead : Kind::kCrash;
  if (code == EXCEPTION_STACK_OVERFLOW) {
    // No stack left to land on: keep the input and stop here.
    KeepInput(g_current.target->name, Kind::kCrash, g_current.data, g_current.size);
    std::printf("%s: stack overflow\n", g_current.target->name);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  // Resume in FaultLanding, on the faulting thread's stack well below the
  // fault, which jumps back to the run loop.
  CONTEXT* c = info->ContextRecord;
  c->Rsp = ((c->Rsp - 4096) & ~static_cast<DWORD64>(15)) - 8;
  c->Rip = reinterpret_cast<DWORD64>(&FaultLanding);
  return EXCEPTION_CONTINUE_EXECUTION;
}

DWORD WINAPI Watchdog(void*) {
  for (;;) {
    Sleep(200);
    if (!g_inTarget.load()) continue;
    const uint64_t started = g_startedAt.load();
    if (started && NowMs() - started > kHangSeconds * 1000ull) {
      g_guardHeap.store(false);
      const std::wstring path = KeepInput(g_current.target->name, Kind::kHang, g_current.data, g_current.size);
      EnterCriticalSection(&g_outputLock);
      std::printf("%s: HANG (more than %u s) on an input of %zu bytes, kept as %ls\n", g_current.target->name,
                  kHangSeconds, g_current.size, path.c_str());
      std::fflush(stdout);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

// abort() (std::terminate too) ends the process: keep the input first.
void OnAbort(int) {
  if (!g_inTarget.load()) return;
  g_guardHeap.store(false);
  const std::wstring path = KeepInput(g_current.target->name, Kind::kCrash, g_current.data, g_current.size);
  std::printf("%s: abort on an input of %zu bytes, kept as %ls\n", g_current.target->name, g_current.size,
              path.c_str());
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 3);
}

// Runs one input; returns what happened.
__attribute__((noinline)) Kind RunOne(const Target& target, const uint8_t* bytes, size_t size) {
  if (size > g_current.input.usable) size = g_current.input.usable;
  uint8_t* placed = g_current.input.guard() - size;
  if (size) std::memcpy(placed, bytes, size);
  g_current.target = &target;
  g_current.data = placed;
  g_current.size = size;
  g_faultKind = Kind::kNone;
  g_findingText.clear();
  if (__builtin_setjmp(reinterpret_cast<void**>(g_jump)) == 0) {
    g_startedAt.store(NowMs());
    g_guardHeap.store(g_guardHeapWanted);
    g_inTarget.store(true);
    try {
      target.run(placed, size);
    } catch (const std::exception& e) {
      // An exception the reader lets out ends its program: a crash.
      g_faultKind = Kind::kException;
      g_findingText = e.what();
    } catch (...) {
      g_faultKind = Kind::kException;
      g_findingText = "an exception of unknown type";
    }
    g_inTarget.store(false);
    g_guardHeap.store(false);
  }
  g_startedAt.store(0);
  return g_faultKind;
}

// ---------------------------------------------------------------------------
// Mutation.

const uint8_t kInterestingBytes[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0x1B, 0x0C, 0x0A, 0x0D, '0',
                                     '9',  ',',  ';',  '#',  '=',  '~',  '-',  ' ',  'W',  '%'};
const uint32_t kInterestingWords[] = {0u,          1u,          8u,          12u,         0x10000u,   16383u,
                                      16384u,      16385u,      4095u,       4096u,       0x7FFFFFFFu, 0x80000000u,
                                      0xFFFFFFFFu, 0xFFFFFFF8u, 0x7FFFFFF0u, 0x00010000u, 220u,        88u};
const char* const kInterestingNumbers[] = {"0", "-1", "2147483647", "2147483648", "-2147483648", "4294967296",
                                           "99999999999999999999", "16384", "4096", "1e308", "0x10"};

void Mutate1(Bytes& in, const std::vector<Bytes>& pool, const std::vector<std::string>& dict, size_t maxSize,
             Random& r) {
  const size_t n = in.size();
  switch (r.Below(12)) {
    case 0:  // bit flip
      if (n) in[r.Below(n)] ^= static_cast<uint8_t>(1u << r.Below(8));
      break;
    case 1:  // random byte
      if (n) in[r.Below(n)] = static_cast<uint8_t>(r.Next());
      break;
    case 2:  // interesting byte
      if (n) in[r.Below(n)] = kInterestingBytes[r.Below(sizeof(kInterestingBytes))];
      break;
    case 3: {  // interesting 32-bit word, either byte order
      if (n < 4) break;
      uint32_t w = kInterestingWords[r.Below(sizeof(kInterestingWords) / sizeof(kInterestingWords[0]))];
      if (r.Below(2)) w = __builtin_bswap32(w);
      std::memcpy(&in[r.Below(n - 3)], &w, 4);
      break;
    }
    case 4: {  // insert random bytes
      const size_t k = 1 + r.Below(16);
      Bytes add(k);
      for (auto& b : add) b = static_cast<uint8_t>(r.Next());
      in.insert(in.begin() + static_cast<ptrdiff_t>(r.Below(n + 1)), add.begin(), add.end());
      break;
    }
    case 5: {  // delete a range
      if (!n) break;
      const size_t at = r.Below(n);
      const size_t k = 1 + r.Below(std::min<size_t>(n - at, r.Below(4) ? 8 : n));
      in.erase(in.begin() + static_cast<ptrdiff_t>(at), in.begin() + static_cast<ptrdiff_t>(at + k));
      break;
    }
    case 6: {  // duplicate a range
      if (!n) break;
      const size_t at = r.Below(n);
      const size_t k = 1 + r.Below(std::min<size_t>(n - at, 256));
      Bytes copy(in.begin() + static_cast<ptrdiff_t>(at), in.begin() + static_cast<ptrdiff_t>(at + k));
      in.insert(in.begin() + static_cast<ptrdiff_t>(r.Below(n + 1)), copy.begin(), copy.end());
      break;
    }
    case 7:
    case 8: {  // dictionary token
      if (dict.empty()) break;
      const std::string& t = dict[r.Below(dict.size())];
      if (r.Below(2) || t.size() > n) {
        in.insert(in.begin() + static_cast<ptrdiff_t>(r.Below(n + 1)), t.begin(), t.end());
      } else {
        std::memcpy(&in[r.Below(n - t.size() + 1)], t.data(), t.size());
      }
      break;
    }
    case 9: {  // number text
      const char* t = kInterestingNumbers[r.Below(sizeof(kInterestingNumbers) / sizeof(kInterestingNumbers[0]))];
      in.insert(in.begin() + static_cast<ptrdiff_t>(r.Below(n + 1)), t, t + std::strlen(t));
      break;
    }
    case 10: {  // splice with another seed
      if (pool.empty()) break;
      const Bytes& other = pool[r.Below(pool.size())];
      if (other.empty()) break;
      const size_t cut = r.Below(n + 1);
      const size_t from = r.Below(other.size());
      in.resize(cut);
      in.insert(in.end(), other.begin() + static_cast<ptrdiff_t>(from), other.end());
      break;
    }
    case 11: {  // truncate
      if (n) in.resize(r.Below(n));
      break;
    }
  }
  if (in.size() > maxSize) in.resize(maxSize);
}

}  // namespace

void Mutate(Bytes& input, const std::vector<Bytes>& pool, const std::vector<std::string>& dictionary,
            size_t maxSize, Random& random) {
  const size_t rounds = 1 + random.Below(random.Below(4) ? 4 : 8);
  for (size_t i = 0; i < rounds; ++i) Mutate1(input, pool, dictionary, maxSize, random);
}

void ReportFinding(const char* what) {
  if (g_faultKind != Kind::kNone) return;
  g_faultKind = Kind::kFinding;
  g_findingText = what;
}

namespace {

// ---------------------------------------------------------------------------
// Corpus and run loop.

std::vector<std::wstring> ListFiles(const std::wstring& dir) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(dir + L"\\" + fd.cFileName);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  std::sort(files.begin(), files.end());  // a fixed order, for repeatable runs
  return files;
}

Bytes ReadAll(const std::wstring& path) {
  Bytes bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size;
  if (GetFileSizeEx(f, &size) && size.QuadPart < (64ll << 20)) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size()))
      bytes.clear();
  }
  CloseHandle(f);
  return bytes;
}

struct Tally {
  unsigned long long inputs = 0;
  unsigned long long crashes = 0;
  unsigned long long overreads = 0;
  unsigned long long findings = 0;
  std::set<uint64_t> kept;  // one copy of each distinct input
};

void Record(const Target& t, Kind kind, const uint8_t* data, size_t size, Tally& tally, const char* phase) {
  if (kind == Kind::kNone) return;
  if (kind == Kind::kOverRead) ++tally.overreads;
  else if (kind == Kind::kFinding) ++tally.findings;
  else ++tally.crashes;
  // The first 200 distinct inputs are kept; the rest are only counted.
  if (tally.kept.size() >= 200 || !tally.kept.insert(Fnv(data, size)).second) return;
  const std::wstring path = KeepInput(t.name, kind, data, size);
  if (tally.kept.size() > 20) return;  // kept, not printed
  if (kind == Kind::kFinding || kind == Kind::kException) {
    std::printf("%s: %s %s on a %zu-byte input: %s; kept as %ls\n", t.name, phase, KindName(kind), size,
                g_findingText.c_str(), path.c_str());
  } else {
    std::printf("%s: %s %s (code %08lx at pc %p, address %p) on a %zu-byte input; kept as %ls\n", t.name, phase,
                KindName(kind), static_cast<unsigned long>(g_faultCode), reinterpret_cast<void*>(g_faultPc),
                reinterpret_cast<void*>(g_faultAddress), size, path.c_str());
  }
  std::fflush(stdout);
}

struct Options {
  std::vector<std::string> targets;
  unsigned long long inputs = 0;  // 0: no count limit
  double seconds = 0;             // 0: no time limit
  uint64_t seed = 1;
  std::wstring corpus;
  std::wstring replay;
  bool list = false;
  bool longRun = false;   // each target's own long budget
  bool shortRun = false;  // each target's own short budget
  bool selfTest = false;
  std::wstring writeSeeds;
};

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out += static_cast<char>(c < 0x80 ? c : '?');
  return out;
}

bool FuzzTarget(const Target& t, const Options& o) {
  Tally tally;
  // Seeds: built-in ones, then the corpus folder's files.
  std::vector<Bytes> pool;
  if (t.builtinSeed) {
    for (size_t i = 0;; ++i) {
      Bytes b = t.builtinSeed(i);
      if (b.empty() && i > 0) break;
      pool.push_back(b);
      if (i > 64) break;
    }
  }
  if (!o.corpus.empty())
    for (const auto& f : ListFiles(o.corpus + L"\\" + Widen(t.name))) pool.push_back(ReadAll(f));
  if (pool.empty()) pool.push_back(Bytes());
  {
    std::set<uint64_t> seen;
    std::vector<Bytes> unique;
    for (Bytes& b : pool)
      if (seen.insert(Fnv(b.data(), b.size())).second) unique.push_back(std::move(b));
    pool.swap(unique);
  }

  // Fixtures first: every input that once faulted.
  if (!o.replay.empty()) {
    for (const auto& f : ListFiles(o.replay + L"\\" + Widen(t.name))) {
      const Bytes b = ReadAll(f);
      const Kind k = RunOne(t, b.data(), b.size());
      ++tally.inputs;
      if (k != Kind::kNone) std::printf("%s: fixture %s\n", t.name, Narrow(f).c_str());
      Record(t, k, b.data(), b.size(), tally, "fixture");
    }
  }

  // The seed derives from the run's seed and the target's name only.
  Random random(o.seed * 0x9E3779B97F4A7C15ull ^ Fnv(reinterpret_cast<const uint8_t*>(t.name), std::strlen(t.name)));
  const uint64_t start = NowMs();
  const size_t seeds = pool.size();
  for (const Bytes& s : std::vector<Bytes>(pool)) {
    Record(t, RunOne(t, s.data(), s.size()), s.data(), s.size(), tally, "seed");
    ++tally.inputs;
  }
  Bytes input;
  uint64_t lastReport = start;
  for (unsigned long long i = 0;; ++i) {
    if ((i & 255) == 0 && NowMs() - lastReport >= 60000) {
      lastReport = NowMs();
      std::printf("%s: %llu inputs so far\n", t.name, tally.inputs);
      std::fflush(stdout);
    }
    const unsigned long long limit = o.longRun    ? (t.costly ? kLongInputsCostly : kLongInputs)
                                     : o.shortRun ? (t.costly ? kShortInputsCostly : kShortInputs)
                                                  : o.inputs;
    if (limit && tally.inputs >= limit) break;
    if (o.seconds > 0 && (i & 15) == 0 && (NowMs() - start) / 1000.0 >= o.seconds) break;
    input = pool[random.Below(pool.size())];
    Mutate(input, pool, t.dictionary, t.maxSize, random);
    const Kind k = RunOne(t, input.data(), input.size());
    ++tally.inputs;
    Record(t, k, input.data(), input.size(), tally, "mutation");
    // Without coverage to guide it, the pool drifts: now and then a mutant
    // joins it (up to a bound) so that mutations stack over many steps.
    if (k == Kind::kNone && random.Below(64) == 0) {
      if (pool.size() < seeds + 256) pool.push_back(input);
      else pool[seeds + random.Below(256)] = input;
    }
  }
  if (t.finish) t.finish();
  const double secs = (NowMs() - start) / 1000.0;
  const bool bad = tally.crashes + tally.overreads + tally.findings > 0;
  std::printf("%-18s inputs=%llu crashes=%llu hangs=0 overreads=%llu findings=%llu seconds=%.1f\n", t.name,
              tally.inputs, tally.crashes, tally.overreads, tally.findings, secs);
  std::fflush(stdout);
  return !bad;
}

// The harness's own check: a read one byte past an input and one past a
// heap block must each be caught as an over-read, a wild write as a crash,
// an exception let out as one, and the run must go on after each.
void ReadPastInput(const uint8_t* data, size_t size) {
  volatile uint8_t b = data[size];
  (void)b;
}
void ReadPastBlock(const uint8_t*, size_t) {
  std::vector<char>* v = new std::vector<char>(48);
  volatile char b = v->data()[48];
  (void)b;
}
void WriteWild(const uint8_t*, size_t) {
  volatile uintptr_t where = 16;
  *reinterpret_cast<volatile int*>(where) = 1;
}
void ThrowOut(const uint8_t*, size_t size) {
  if (size) throw std::length_error("thrown by the self-test");
}

bool SelfTest() {
  const Target input{"selftest_input", ReadPastInput, 64, {}, nullptr};
  const Target block{"selftest_block", ReadPastBlock, 64, {}, nullptr};
  const Target wild{"selftest_wild", WriteWild, 64, {}, nullptr};
  const Target thrower{"selftest_throw", ThrowOut, 64, {}, nullptr};
  const uint8_t bytes[7] = {1, 2, 3, 4, 5, 6, 7};
  bool ok = true;
  for (int round = 0; round < 2; ++round) {
    ok = RunOne(input, bytes, sizeof(bytes)) == Kind::kOverRead && ok;
    ok = RunOne(block, bytes, sizeof(bytes)) == Kind::kOverRead && ok;
    ok = RunOne(wild, bytes, sizeof(bytes)) == Kind::kCrash && ok;
    ok = RunOne(thrower, bytes, sizeof(bytes)) == Kind::kException && ok;
  }
  std::printf("dvfuzz: self-test %s\n", ok ? "passed" : "FAILED");
  return ok;
}

// Writes the built-in seeds as files: DIR/<target>/seed-<n>.bin.
void WriteSeeds(const std::wstring& dir) {
  CreateDirectoryW(dir.c_str(), nullptr);
  for (const Target& t : Targets()) {
    if (!t.builtinSeed) continue;
    const std::wstring sub = dir + L"\\" + Widen(t.name);
    CreateDirectoryW(sub.c_str(), nullptr);
    for (size_t i = 0;; ++i) {
      const Bytes b = t.builtinSeed(i);
      if (b.empty()) break;
      const std::wstring path = sub + L"\\seed-" + std::to_wstring(i) + L".bin";
      HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (f == INVALID_HANDLE_VALUE) continue;
      DWORD written = 0;
      WriteFile(f, b.data(), static_cast<DWORD>(b.size()), &written, nullptr);
      CloseHandle(f);
    }
  }
}

}  // namespace
}  // namespace dvfuzz

int wmain(int argc, wchar_t** argv) {
  using namespace dvfuzz;
  setvbuf(stdout, nullptr, _IOLBF, 1 << 14);
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    const bool more = i + 1 < argc;
    if (a == L"--target" && more) o.targets.push_back(Narrow(argv[++i]));
    else if (a == L"--inputs" && more) o.inputs = std::wcstoull(argv[++i], nullptr, 10);
    else if (a == L"--seconds" && more) o.seconds = std::wcstod(argv[++i], nullptr);
    else if (a == L"--seed" && more) o.seed = std::wcstoull(argv[++i], nullptr, 10);
    else if (a == L"--corpus" && more) o.corpus = argv[++i];
    else if (a == L"--replay" && more) o.replay = argv[++i];
    else if (a == L"--findings" && more) g_findingsDir = argv[++i];
    else if (a == L"--no-guard-heap") g_guardHeapWanted = false;
    else if (a == L"--list") o.list = true;
    else if (a == L"--long") o.longRun = true;
    else if (a == L"--short") o.shortRun = true;
    else if (a == L"--self-test") o.selfTest = true;
    else if (a == L"--write-seeds" && more) o.writeSeeds = argv[++i];
    else {
      std::fprintf(stderr, "dvfuzz: unknown argument %ls\n", a.c_str());
      return 2;
    }
  }
  if (!o.writeSeeds.empty()) {
    WriteSeeds(o.writeSeeds);
    return 0;
  }
  if (o.list) {
    for (const Target& t : Targets()) std::printf("%s\n", t.name);
    return 0;
  }
  InitializeCriticalSection(&g_outputLock);
  // The largest input of any target, placed against its guard page.
  size_t largest = 0;
  for (const Target& t : Targets()) largest = std::max(largest, t.maxSize);
  g_current.input = AllocateGuarded(largest + kPage);
  AddVectoredExceptionHandler(1, OnException);
  std::signal(SIGABRT, OnAbort);
  CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);

  if (o.selfTest) {
    const bool passed = SelfTest();
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), passed ? 0 : 1);
  }
  bool ok = true;
  size_t ran = 0;
  for (const Target& t : Targets()) {
    if (!o.targets.empty() && std::find(o.targets.begin(), o.targets.end(), t.name) == o.targets.end()) continue;
    ++ran;
    if (!FuzzTarget(t, o)) ok = false;
  }
  if (ran == 0) {
    std::fprintf(stderr, "dvfuzz: no such target\n");
    return 2;
  }
  std::printf("dvfuzz: %s\n", ok ? "no new findings" : "FINDINGS (inputs kept in the findings folder)");
  std::fflush(stdout);
  // Skip the static destructors: a target that faulted may have left the
  // heap of the engine's objects half built.
  TerminateProcess(GetCurrentProcess(), ok ? 0 : 1);
  return ok ? 0 : 1;
}
