// The job submitter's one run; see SubmitterApp.h.
#include "submitter/SubmitterApp.h"

#include <climits>
#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The integer at the start of the text; a number outside the int range is
// clamped instead of overflowing.
int LeadingInteger(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && (IsBlank(text[i]) || text[i] == L'\n' || text[i] == L'\r')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  long long value = 0;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > limit) value = limit;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

SubmitCommand ParseSubmitCommandLine(const std::wstring& commandLine) {
  SubmitCommand command;
  command.jobNumber = LeadingInteger(commandLine);
  const size_t blank = commandLine.find(L' ');
  command.exportName = blank == std::wstring::npos ? commandLine : commandLine.substr(blank + 1);
  return command;
}

std::string ToAnsiExportName(const std::wstring& name) {
  if (name.empty()) return std::string();
  const int length = static_cast<int>(name.size());
  int size = dv::ToCodePage(CP_ACP, 0, name.data(), length, nullptr, 0);
  if (size <= 0) return std::string();
  std::string text(static_cast<size_t>(size), '\0');
  dv::ToCodePage(CP_ACP, 0, name.data(), length, &text[0], size);
  return text;
}

BOOL CdvsubmitApp::InitInstance() {
  try {
    const std::wstring libraryPath = GetInstallDirectory() + L"Jobforge.Dll";
    const SubmitCommand command = ParseSubmitCommandLine(commandLine_);
    if (command.jobNumber == 0) return FALSE;

    dv::ModuleHandle engine(LoadLibraryW(libraryPath.c_str()));
    if (!engine) {
      LogLastError(1016, GetLastError());
      return FALSE;
    }
    using EngineExport = int (*)(int);
    const std::string name = ToAnsiExportName(command.exportName);
    FARPROC proc = GetProcAddress(engine.get(), name.c_str());
    if (proc == nullptr) {
      LogLastError(1017, GetLastError());
      return FALSE;
    }
    // The engine reports the job's course itself; its result is not used.
    reinterpret_cast<EngineExport>(reinterpret_cast<void*>(proc))(command.jobNumber);
  } catch (...) {
    // Out of memory while building names: the job stays spooled.
  }
  return FALSE;
}
