// Destination printer settings; see DestinationPrinter.h.
#include "engine/DestinationPrinter.h"

#include <winspool.h>
#include <climits>
#include <cstddef>
#include <cwchar>

#include "common/DriverConfig.h"
#include "common/EventLog.h"
#include "common/InstallFolder.h"
#include "common/PlatformHelpers.h"
#include "common/StringUtil.h"
#include "engine/EmfPageOutput.h"
#include "engine/EngineRegistry.h"
#include "engine/JobFiles.h"

namespace {

// Every field the engine reads or writes lies before dmFormName.
constexpr size_t kMinDmSize = offsetof(DEVMODEW, dmFormName);

DEVMODEW* AsDevmode(std::vector<BYTE>& bytes) { return reinterpret_cast<DEVMODEW*>(bytes.data()); }
const DEVMODEW* AsDevmode(const std::vector<BYTE>& bytes) { return reinterpret_cast<const DEVMODEW*>(bytes.data()); }

// dmDeviceName need not be terminated.
std::wstring DeviceName(const DEVMODEW& dm) {
  return std::wstring(dm.dmDeviceName, wcsnlen(dm.dmDeviceName, CCHDEVICENAME));
}

int HexDigit(wchar_t c) {
  wchar_t upper = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
  if (upper >= L'0' && upper <= L'9') return upper - L'0';
  return static_cast<int>(upper) - 55;
}

short ClampShort(int value) { return static_cast<short>(value > SHRT_MAX ? SHRT_MAX : value); }

}  // namespace

std::wstring OrientationPrefix(int recordOrientation) { return recordOrientation == 1 ? L"Portrait" : L"Landscape"; }

BYTE HexPairToByte(const std::wstring& text) {
  if (text.size() < 2) return 0;
  return static_cast<BYTE>((HexDigit(text[0]) * 16 + HexDigit(text[1])) & 0xFF);
}

std::vector<BYTE> HexToBytes(const std::wstring& text) {
  std::vector<BYTE> bytes(text.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<BYTE>((HexDigit(text[2 * i]) * 16 + HexDigit(text[2 * i + 1])) & 0xFF);
  return bytes;
}

int StringToInt(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  return static_cast<int>(value);
}

bool IsUsableDevmode(const std::vector<BYTE>& bytes) {
  if (bytes.size() < sizeof(DEVMODEW)) return false;
  const DEVMODEW* dm = AsDevmode(bytes);
  if (dm->dmSize < kMinDmSize) return false;
  return static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra <= bytes.size();
}

std::vector<BYTE> GetPrinterDefaultDevmode(const std::wstring& printer) {
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ACCESS_USE};
  dv::PrinterHandle handle;
  if (!OpenPrinterW(const_cast<LPWSTR>(printer.c_str()), handle.put(), &defaults)) return {};
  DWORD needed = 0;
  if (!GetPrinterW(handle.get(), 2, nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
  if (needed < sizeof(PRINTER_INFO_2W)) return {};
  std::vector<BYTE> info(needed);
  if (!GetPrinterW(handle.get(), 2, info.data(), needed, &needed)) return {};
  const DEVMODEW* dm = reinterpret_cast<const PRINTER_INFO_2W*>(info.data())->pDevMode;
  if (!dm) return {};
  // The level-2 buffer holds the devmode whole; its own sizes say how much.
  size_t size = static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra;
  const BYTE* begin = reinterpret_cast<const BYTE*>(dm);
  if (begin < info.data() || begin + size > info.data() + info.size()) return {};
  std::vector<BYTE> copy(begin, begin + size);
  if (!IsUsableDevmode(copy)) return {};
  return copy;
}

ForcedSettings ReadForcedSettings(const std::wstring& scenarioFile, const std::wstring& prefix) {
  ForcedSettings forced;
  if (scenarioFile.empty()) return forced;
  forced.duplex = GetIniInt(L"General", prefix + L"ForceDuplex", scenarioFile, 0);
  forced.color = GetIniInt(L"General", prefix + L"ForceColor", scenarioFile, 0);
  forced.copies = GetIniInt(L"General", prefix + L"ForceCopies", scenarioFile, 0);
  forced.devmode = GetIniInt(L"General", prefix + L"ForceDevmode", scenarioFile, 0);
  return forced;
}

std::wstring ReadStoredConfiguration(const std::wstring& scenarioFile, const std::wstring& driverName,
                                     const std::wstring& prefix) {
  if (scenarioFile.empty()) return std::wstring();
  return ReadDriverConfigurationText(scenarioFile, driverName, prefix);
}

std::vector<BYTE> ConvertStoredConfiguration(const std::wstring& hex, const std::wstring& driverName,
                                             const std::wstring& prefix, std::vector<EngineEvent>& events) {
  std::vector<BYTE> bytes;
  if (!hex.empty()) bytes = HexToBytes(hex);
  if (IsUsableDevmode(bytes)) return bytes;
  events.push_back({3003, dv::Format(L"Configuration for driver: (%ls) is missing on %ls printing", driverName.c_str(),
                                     prefix.c_str())});
  return {};
}

PrinterSettings ReadPrinterSettings(const std::wstring& destinationPrinter, const std::wstring& scenarioFile,
                                    int recordOrientation) {
  PrinterSettings settings;
  settings.driverName = GetPrinterDriverName(destinationPrinter);
  settings.prefix = OrientationPrefix(recordOrientation);
  settings.forced = ReadForcedSettings(scenarioFile, settings.prefix);
  if (settings.forced.devmode > 0) {
    std::vector<EngineEvent> events;
    settings.storedConfiguration = ConvertStoredConfiguration(
        ReadStoredConfiguration(scenarioFile, settings.driverName, settings.prefix), settings.driverName,
        settings.prefix, events);
    for (const EngineEvent& e : events) WriteEvent(e.code, e.detail);
  }
  return settings;
}

int RawJobDuplex(const PrinterSettings& settings) {
  if (IsUsableDevmode(settings.storedConfiguration)) return AsDevmode(settings.storedConfiguration)->dmDuplex;
  return settings.forced.duplex;
}

bool FitsOneSide(int totalPages, int pagesPerSide) { return totalPages <= EffectivePagesPerSide(pagesPerSide); }

std::vector<BYTE> ReadJobDevmode(const std::wstring& devmodeFile, const std::wstring& destinationPrinter,
                                 const std::wstring& printerName) {
  std::vector<BYTE> bytes;
  if (ReadFileToBuffer(devmodeFile, bytes)) {
    if (IsUsableDevmode(bytes)) return bytes;
    WriteEvent(3, dv::Format(L"File name: %ls, GetLastError Returned:%d (%ls)", devmodeFile.c_str(),
                             static_cast<int>(ERROR_INVALID_DATA), GetSystemErrorText(ERROR_INVALID_DATA).c_str()));
  }
  // Without the job's own devmode the printer's default stands in, so that
  // forcing, the one-sided rule and the sheet turn still have a devmode to
  // change.
  bytes = GetPrinterDefaultDevmode(destinationPrinter);
  if (bytes.empty() && printerName != destinationPrinter) bytes = GetPrinterDefaultDevmode(printerName);
  return bytes;
}

DestinationDevmode BuildDestinationDevmode(const DevmodeRequest& request) {
  DestinationDevmode result;
  const ForcedSettings& forced = request.settings.forced;
  const bool hasJob = IsUsableDevmode(request.jobDevmode);

  if (IsUsableDevmode(request.settings.storedConfiguration)) {
    std::wstring jobDevice;
    int jobDriverExtra = 0;
    short copies = 1, paperSize = DMPAPER_A4, paperLength = 0, paperWidth = 0;
    if (hasJob) {
      const DEVMODEW* job = AsDevmode(request.jobDevmode);
      jobDevice = DeviceName(*job);
      jobDriverExtra = job->dmDriverExtra;
      copies = job->dmCopies;
      paperSize = job->dmPaperSize;
      paperLength = job->dmPaperLength;
      paperWidth = job->dmPaperWidth;
    }
    result.devmode = request.settings.storedConfiguration;
    DEVMODEW* dm = AsDevmode(result.devmode);
    dm->dmCopies = forced.copies > 0 ? ClampShort(forced.copies) : copies;
    dm->dmPaperSize = paperSize;
    dm->dmPaperLength = paperLength;
    dm->dmPaperWidth = paperWidth;
    if (jobDriverExtra > 0 && jobDriverExtra != dm->dmDriverExtra) {
      result.events.push_back(
          {3002, dv::Format(L"Original device name: %ls, New device name: %ls", jobDevice.c_str(),
                            DeviceName(*dm).c_str())});
    }
  } else if (hasJob) {
    result.devmode = request.jobDevmode;
    DEVMODEW* dm = AsDevmode(result.devmode);
    if (forced.duplex > 0) {
      dm->dmFields |= DM_DUPLEX;
      if (forced.duplex >= 1 && forced.duplex <= 3) dm->dmDuplex = static_cast<short>(forced.duplex);
    }
    if (forced.color > 0) {
      dm->dmFields |= DM_COLOR;
      if (forced.color == 1 || forced.color == 2) dm->dmColor = static_cast<short>(forced.color);
    }
    if (forced.copies > 0) {
      dm->dmFields |= DM_COPIES;
      dm->dmCopies = ClampShort(forced.copies);
    }
  }
  if (result.devmode.empty()) return result;  // the driver's defaults; duplex unknown (0)

  DEVMODEW* dm = AsDevmode(result.devmode);
  // A job that fits on one side of one sheet always prints one-sided. The
  // flag goes with the value, or the driver keeps its own duplex setting.
  if (FitsOneSide(request.totalPages, request.pagesPerSide)) {
    dm->dmDuplex = DMDUP_SIMPLEX;
    dm->dmFields |= DM_DUPLEX;
  }
  // Two and six pages stand side by side across the long edge of a turned
  // sheet.
  if (request.pagesPerSide == 2 || request.pagesPerSide == 6) {
    dm->dmOrientation = request.orientation == 2 ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
    dm->dmFields |= DM_ORIENTATION;
  }
  result.duplex = dm->dmDuplex;
  return result;
}

dv::DcHandle CreateDestinationDC(const std::wstring& destinationPrinter, const std::wstring& driverName,
                                 const std::wstring& printerName, const std::vector<BYTE>& devmode) {
  const DEVMODEW* dm = IsUsableDevmode(devmode) ? AsDevmode(devmode) : nullptr;
  dv::DcHandle dc(CreateDCW(driverName.c_str(), destinationPrinter.c_str(), nullptr, dm));
  if (dc) return dc;
  const std::wstring fallbackDriver = GetPrinterDriverName(printerName);
  dc.reset(CreateDCW(fallbackDriver.c_str(), printerName.c_str(), nullptr, dm));
  if (dc) return dc;
  DWORD error = GetLastError();
  LogLastErrorWithText(1004, error, printerName);
  return dc;
}
