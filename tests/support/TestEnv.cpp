// Test environment helpers; see TestEnv.h.
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/EventLog.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "tools/fixtures/PrinterSetup.h"

namespace dvtest {

namespace {

const wchar_t kTestRoot[] = L"C:\\dvtest\\";

std::wstring SafeName(std::wstring s) {
  for (auto& c : s)
    if (!iswalnum(c)) c = L'_';
  return s;
}

}  // namespace

std::wstring CurrentTestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (!info) return L"test";
  return dv::FromUtf8(std::string(info->test_suite_name()) + "." + info->name());
}

ScopedInstallFolder::ScopedInstallFolder() : ScopedInstallFolder(SafeName(CurrentTestName())) {}

ScopedInstallFolder::ScopedInstallFolder(const std::wstring& name) {
  CreateDirectoryW(kTestRoot, nullptr);
  path_ = std::wstring(kTestRoot) + name + L"\\";
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
  CreateDirectoryW((path_ + L"spool").c_str(), nullptr);
  previous_ = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path");
  hadPrevious_ = !previous_.empty();
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", path_);
}

ScopedInstallFolder::~ScopedInstallFolder() {
  if (hadPrevious_) {
    WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", previous_);
  } else {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, L"Path");
      RegCloseKey(key);
    }
  }
  if (!getenv("DV_KEEP_TEST_FILES")) RemoveTree(path_);
}

std::vector<std::string> ScopedInstallFolder::EventLines() const {
  std::vector<std::string> lines;
  std::string all = ReadFileBytes(EventLog());
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(all.substr(pos));
      break;
    }
    lines.push_back(all.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::vector<int> ScopedInstallFolder::EventCodes() const {
  std::vector<int> codes;
  for (const std::string& line : EventLines()) {
    const size_t comma = line.find(',');
    codes.push_back(comma == std::string::npos ? -1 : std::atoi(line.c_str() + comma + 1));
  }
  return codes;
}

std::vector<std::string> ScopedInstallFolder::EventDetails(int code) const {
  std::vector<std::string> details;
  const std::string prefix = dv::ToUtf8(dv::Format(L"%d,%d,%ls,", code / 1000, code, GetEventText(code).c_str()));
  for (const std::string& line : EventLines()) {
    if (line.rfind(prefix, 0) != 0) continue;
    // The date and the time follow the text: the detail is after them.
    size_t pos = line.find(',', prefix.size());
    pos = pos == std::string::npos ? pos : line.find(',', pos + 1);
    details.push_back(pos == std::string::npos ? std::string() : line.substr(pos + 1));
  }
  return details;
}

bool ScopedInstallFolder::Install(const std::wstring& builtFile, const std::wstring& asName) const {
  std::wstring name = asName;
  if (name.empty()) {
    size_t p = builtFile.find_last_of(L"\\/");
    name = p == std::wstring::npos ? builtFile : builtFile.substr(p + 1);
  }
  return CopyFileW(builtFile.c_str(), (path_ + name).c_str(), FALSE) != FALSE;
}

TestPrinter::TestPrinter() : TestPrinter(L"DvT " + SafeName(CurrentTestName())) {}

TestPrinter::TestPrinter(const std::wstring& name) : name_(name) {
  CreateDirectoryW(kTestRoot, nullptr);
  CreateDirectoryW((std::wstring(kTestRoot) + L"out").c_str(), nullptr);
  output_ = std::wstring(kTestRoot) + L"out\\" + SafeName(name) + L".prn";
  DeleteFileW(output_.c_str());
  ok_ = dvfix::AddFilePrinter(name_, output_);
}

TestPrinter::~TestPrinter() {
  if (ok_) dvfix::RemovePrinter(name_);
  if (!getenv("DV_KEEP_TEST_FILES")) DeleteFileW(output_.c_str());
}

void TestPrinter::ClearOutput() const { DeleteFileW(output_.c_str()); }
std::string TestPrinter::Output() const { return ReadFileBytes(output_); }

std::wstring ProgramFolder() { return GetModuleFolder(); }

std::wstring BuiltFile(const std::wstring& relative) {
  // Test programs sit one or two folders below the x64 build folder
  // (common\common_tests.exe, engine\engine_tests.exe): walk up until the
  // file is found.
  std::wstring folder = ProgramFolder();
  for (int i = 0; i < 4 && !folder.empty(); ++i) {
    std::wstring candidate = folder + relative;
    if (FileExistsAt(candidate)) return candidate;
    folder = folder.substr(0, folder.size() - 1);
    size_t p = folder.rfind(L'\\');
    if (p == std::wstring::npos) break;
    folder = folder.substr(0, p + 1);
  }
  return relative;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string out;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof(buf), &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(h);
  return out;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
  return ok && n == bytes.size();
}

bool FileExistsAt(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::wstring& path) {
  std::wstring folder = path;
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring n = fd.cFileName;
      if (n == L"." || n == L"..") continue;
      std::wstring full = folder + L"\\" + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(folder.c_str());
}

int CountPostScriptPages(const std::string& ps) {
  int count = 0;
  size_t pos = 0;
  while ((pos = ps.find("%%Page:", pos)) != std::string::npos) {
    if (pos == 0 || ps[pos - 1] == '\n' || ps[pos - 1] == '\r') ++count;
    pos += 7;
  }
  return count;
}

bool RenderedPage::IsInk(int x, int y, int threshold) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  return (p[0] + p[1] + p[2]) / 3 < threshold;
}

uint32_t RenderedPage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFF;
  const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

double RenderedPage::InkRatio(int x0, int y0, int x1, int y1) const {
  long ink = 0, all = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      ++all;
      if (IsInk(x, y)) ++ink;
    }
  return all ? double(ink) / all : 0.0;
}

int RunAndWait(const std::wstring& commandLine, DWORD timeoutMs) {
  std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back(0);
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  CloseHandle(pi.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

namespace {

// Reads a binary PPM (P6) file as written by Ghostscript's ppmraw device.
bool ReadPpm(const std::string& data, size_t& pos, RenderedPage& page) {
  auto token = [&](std::string& out) {
    out.clear();
    while (pos < data.size()) {
      char c = data[pos];
      if (c == '#') {
        while (pos < data.size() && data[pos] != '\n') ++pos;
      } else if (isspace(static_cast<unsigned char>(c))) {
        ++pos;
      } else {
        break;
      }
    }
    while (pos < data.size() && !isspace(static_cast<unsigned char>(data[pos]))) out += data[pos++];
    return !out.empty();
  };
  std::string magic, w, h, maxv;
  if (!token(magic) || magic != "P6" || !token(w) || !token(h) || !token(maxv)) return false;
  ++pos;  // one white-space byte before the pixels
  page.width = atoi(w.c_str());
  page.height = atoi(h.c_str());
  size_t bytes = static_cast<size_t>(page.width) * page.height * 3;
  if (pos + bytes > data.size()) return false;
  page.rgb.assign(data.begin() + pos, data.begin() + pos + bytes);
  pos += bytes;
  return true;
}

}  // namespace

std::wstring UnixPath(const std::wstring& windowsPath) {
  using Fn = char*(CDECL*)(LPCWSTR);
  static Fn toUnix = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* u = toUnix ? toUnix(windowsPath.c_str()) : nullptr;
  std::wstring r = u ? dv::FromUtf8(u) : windowsPath;
  if (u) HeapFree(GetProcessHeap(), 0, u);
  return r;
}

int RunUnixShell(const std::wstring& shellCommand, DWORD timeoutMs) {
  // Wine starts a Linux program when given its Unix path, but does not let
  // the caller wait for it or see its exit code: the shell writes the code
  // into a file that appears (by rename) when the command has finished.
  static int serial = 0;
  std::wstring done = dv::Format(L"C:\\dvtest\\unixrun-%lu-%d.rc", GetCurrentProcessId(), ++serial);
  CreateDirectoryW(L"C:\\dvtest", nullptr);
  DeleteFileW(done.c_str());
  std::wstring doneUnix = UnixPath(done);
  std::wstring script = shellCommand + L"; echo $? > '" + doneUnix + L".tmp' && mv '" + doneUnix + L".tmp' '" +
                        doneUnix + L"'";
  std::wstring quoted;
  for (wchar_t c : script) {
    if (c == L'"') quoted += L'\\';  // the script holds Unix paths only
    quoted += c;
  }
  std::wstring cmd = L"/bin/sh -c \"" + quoted + L"\"";
  RunAndWait(cmd, timeoutMs);  // returns at once; the marker file decides
  for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
    if (FileExistsAt(done)) {
      int rc = atoi(ReadFileBytes(done).c_str());
      DeleteFileW(done.c_str());
      return rc;
    }
    Sleep(20);
  }
  return -1;
}

std::vector<RenderedPage> RenderPostScript(const std::wstring& psPath, int dpi) {
  std::vector<RenderedPage> pages;
  std::wstring out = psPath + L".ppm";
  DeleteFileW(out.c_str());
  std::wstring cmd = dv::Format(L"gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r%d '-sOutputFile=%ls' '%ls'", dpi,
                                UnixPath(out).c_str(), UnixPath(psPath).c_str());
  if (RunUnixShell(cmd, 120000) != 0) return pages;
  std::string data = ReadFileBytes(out);
  size_t pos = 0;
  RenderedPage page;
  while (pos < data.size() && ReadPpm(data, pos, page)) pages.push_back(page);
  DeleteFileW(out.c_str());
  return pages;
}

namespace {

void SetSlot(void** slot, void* value) {
  DWORD old = 0;
  if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old)) return;
  *slot = value;
  VirtualProtect(slot, sizeof(*slot), old, &old);
}

}  // namespace

ImportPatch::ImportPatch(const wchar_t* module, const char* function, void* standIn) {
  HMODULE system = GetModuleHandleW(module);
  original_ = system ? reinterpret_cast<void*>(GetProcAddress(system, function)) : nullptr;
  if (!original_) return;
  // Every slot of the import address table that holds the function's
  // address, whichever descriptor it came in by.
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
    for (auto* slot = reinterpret_cast<void**>(base + d->FirstThunk); *slot != nullptr; ++slot) {
      if (*slot != original_) continue;
      SetSlot(slot, standIn);
      slots_.push_back(slot);
    }
  }
}

ImportPatch::~ImportPatch() {
  for (void** slot : slots_) SetSlot(slot, original_);
}

}  // namespace dvtest
