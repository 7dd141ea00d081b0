// Event log writer and the table of event texts; see EventLog.h.
#include "common/EventLog.h"

#include <vector>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"

namespace {

struct EventTextEntry {
  int code;
  const wchar_t* text;
};

// The texts are the system's own, misspellings included: readers of the log
// and the viewer match on them.
const EventTextEntry kEventTexts[] = {
    {1, L"Error deleting job files"},
    {2, L"Error copying job files"},
    {3, L"Unable to open devmode file"},
    {4, L"PCL Command two long, unable to process"},
    {1001, L"AfxOleInit failed"},
    {1002, L"pDocTemplate creation failed"},
    {1003, L"ProcessShellCommand failed"},
    {1004, L"Can't create printer hDC"},
    {1005, L"Destination files already exists - deleting existing files"},
    {1006, L"Unable to open printer to read data for the control file"},
    {1007, L"Can't open original file"},
    {1008, L"Can't open printer"},
    {1009, L"Can't Start job on printer"},
    {1010, L"Can't Start page on printer"},
    {1011, L"Can't End page on printer"},
    {1012, L"Can't End job on printer"},
    {1013, L"Can't open graphic file"},
    {1014, L"Unable to load library: Strimlet.dll"},
    {1015, L"Unable to get proc address: GetBarcodeStringBits"},
    {1016, L"Unable to load library: Jobforge.dll"},
    {1017, L"Unable to find procedure in library"},
    {1018, L"Unable to start Document on Printer (RAW, MCR file)"},
    {1019, L"Unable to start Page on Printer (RAW, MCR file)"},
    {1020, L"Unable to Reset DC on Printer (RAW, MCR file)"},
    {2006, L"Wrong entrance password was typed"},
    {2007, L"Entrance password decription error (Match)"},
    {2008, L"Entrance password decription error (Length)"},
    {3001, L"RAW print job was cancelled"},
    {3002, L"The new driver configurations were made with a different driver then the original one"},
    {3003, L"The driver configurations is missing"},
    {4001, L"Dorvane controller application was started"},
    {4002, L"RAW print job was sent to the printer"},
};

constexpr size_t kLineBufferBytes = 4096;
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 20;

int ConvertedLength(UINT codePage, const wchar_t* text, size_t count) {
  if (count == 0) return 0;
  return dv::ToCodePage(codePage, 0, text, static_cast<int>(count), nullptr, 0);
}

}  // namespace

std::wstring GetEventText(int code) {
  for (const auto& e : kEventTexts)
    if (e.code == code) return e.text;
  return L"Unknown Code";
}

int GetEventCategory(int code) { return code / 1000; }

std::wstring GetSystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  if (n == 0 || text == nullptr) {
    if (text) LocalFree(text);
    return L"Unknown Error";
  }
  std::wstring result(text, n);
  LocalFree(text);
  size_t cr = result.find(L'\r');
  if (cr != std::wstring::npos) result.resize(cr);
  return result;
}

std::wstring LastErrorDetail(DWORD error) {
  return dv::Format(L"GetLastError Returned: %d (%ls)", static_cast<int>(error), GetSystemErrorText(error).c_str());
}

std::wstring FormatEventLine(int code, const std::wstring& detail, const SYSTEMTIME& t) {
  std::wstring clean = detail;
  for (auto& c : clean)
    if (c == L'\r' || c == L'\n') c = L' ';
  return dv::Format(L"%d,%d,%ls,%02d/%02d/%04d,%02d:%02d:%02d,%ls\r\n", GetEventCategory(code), code,
                    GetEventText(code).c_str(), t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond,
                    clean.c_str());
}

std::string ConvertEventLine(const std::wstring& line, UINT codePage) {
  // The body is the line without its CR LF; it may take 4094 bytes.
  std::wstring body = line;
  if (body.size() >= 2 && body.compare(body.size() - 2, 2, L"\r\n") == 0) body.resize(body.size() - 2);
  const size_t maxBody = kLineBufferBytes - 2;
  size_t count = body.size();
  if (count > maxBody) count = maxBody;
  while (count > 0 && static_cast<size_t>(ConvertedLength(codePage, body.data(), count)) > maxBody) --count;
  // Never split a surrogate pair.
  if (count > 0 && count < body.size() && IS_HIGH_SURROGATE(body[count - 1])) --count;
  std::string out(ConvertedLength(codePage, body.data(), count), '\0');
  if (!out.empty())
    dv::ToCodePage(codePage, 0, body.data(), static_cast<int>(count), &out[0], static_cast<int>(out.size()));
  out += "\r\n";
  return out;
}

std::wstring GetEventLogPath() { return GetInstallDirectory() + L"Events.log"; }

void WriteEvent(int code, const std::wstring& detail) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string bytes = ConvertEventLine(FormatEventLine(code, detail, now));
  const std::wstring path = GetEventLogPath();

  // Another writer may hold the file for a moment (share mode FILE_SHARE_READ
  // admits no second writer): retry briefly before the event is given up.
  dv::FileHandle file;
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    file.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
    if (file) break;
    if (GetLastError() != ERROR_SHARING_VIOLATION) return;
    Sleep(kOpenRetryMs);
  }
  if (!file) return;
  if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
    return;
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void LogLastError(int code, DWORD error) { WriteEvent(code, LastErrorDetail(error)); }
