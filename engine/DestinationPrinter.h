// Destination printer settings: what a scenario forces on a job's printer,
// the devmode an EMF job's device context is created with, the duplex value
// of the control file, and the device context itself.
//
// The settings are read per job (ReadPrinterSettings: driver name, the four
// forced-setting keys of the orientation, the stored driver configuration);
// BuildDestinationDevmode then turns the job's devmode and those settings
// into the destination devmode without touching the system, so every rule
// (forcing, stored configuration, one-sided rule, sheet turn) can be checked
// on plain data. CreateDestinationDC creates the device context with its
// fallback to the printer the job was spooled to.
//
// No devmode is trusted: a job devmode, a printer default or a stored
// configuration counts only when it holds a DEVMODE's public part and its
// dmSize + dmDriverExtra fit in its length.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "common/Handles.h"

// An event for the caller to write: code and detail.
struct EngineEvent {
  int code = 0;
  std::wstring detail;
  bool operator==(const EngineEvent& o) const { return code == o.code && detail == o.detail; }
};

// <prefix>ForceDuplex, ForceColor, ForceCopies, ForceDevmode of a scenario;
// 0 (not forced) for a job without a scenario.
struct ForcedSettings {
  int duplex = 0;
  int color = 0;
  int copies = 0;
  int devmode = 0;
};

// Everything the scenario says about the destination printer for one job.
struct PrinterSettings {
  std::wstring driverName;                 // of the destination printer, "" when unreadable
  std::wstring prefix;                     // "Portrait" or "Landscape"
  ForcedSettings forced;
  std::vector<BYTE> storedConfiguration;   // a usable DEVMODE, or empty
};

// "Portrait" for a record orientation of 1, "Landscape" for any other.
std::wstring OrientationPrefix(int recordOrientation);

// Bytes of hexadecimal text, two characters a byte (an odd last character is
// ignored). No character is rejected: digits give their value, any other
// character its upper-cased code minus 55.
std::vector<BYTE> HexToBytes(const std::wstring& text);
// The byte of the first two characters; 0 for a shorter text.
BYTE HexPairToByte(const std::wstring& text);

// The decimal integer at the start of a text (leading blanks and a sign
// allowed), 0 when there is none; saturates at the int range.
int StringToInt(const std::wstring& text);

// True when bytes hold a DEVMODE that can be used: at least the public part
// of a DEVMODEW, a dmSize that covers every field the engine reads or
// writes, and dmSize + dmDriverExtra within the length.
bool IsUsableDevmode(const std::vector<BYTE>& bytes);

// A copy (dmSize + dmDriverExtra bytes) of the printer's default
// DEVMODE from its level-2 information; empty when the printer cannot be
// opened or read or its devmode is not usable. No event.
std::vector<BYTE> GetPrinterDefaultDevmode(const std::wstring& printer);

// The four forced-setting keys of section General; all 0 for "" (no scenario).
ForcedSettings ReadForcedSettings(const std::wstring& scenarioFile, const std::wstring& prefix);

// The stored driver configuration (hex text) of section <driver>, key
// <prefix>, read whole (ReadDriverConfigurationText); "" without a scenario
// file, when missing, and when longer than any DEVMODE's text.
std::wstring ReadStoredConfiguration(const std::wstring& scenarioFile, const std::wstring& driverName,
                                     const std::wstring& prefix);

// The stored configuration as a usable DEVMODE. Empty text or bytes that are
// no usable DEVMODE count as missing: event 3003 is added to events.
std::vector<BYTE> ConvertStoredConfiguration(const std::wstring& hex, const std::wstring& driverName,
                                             const std::wstring& prefix, std::vector<EngineEvent>& events);

// Driver name, forced settings of the record's orientation and (when
// ForceDevmode is above 0) the stored configuration of the destination
// printer's driver. Writes event 3003 when that configuration is missing or
// unusable; the job goes on without it.
PrinterSettings ReadPrinterSettings(const std::wstring& destinationPrinter, const std::wstring& scenarioFile,
                                    int recordOrientation);

// The duplex value of a RAW job before its page count: the stored
// configuration's dmDuplex when there is one, else <prefix>ForceDuplex. The
// caller then applies FitsOneSide (a job that fits one side gets 1).
int RawJobDuplex(const PrinterSettings& settings);

// True when a job of totalPages fits on one side of one sheet; pages per
// side outside 1, 2, 4, 6, 9, 16 count as 1 (they print 1-up).
bool FitsOneSide(int totalPages, int pagesPerSide);

// The job's devmode file as a usable DEVMODE. A file that cannot be opened
// gives event 3 (ReadFileToBuffer's detail); one that is no usable DEVMODE
// gives event 3 with ERROR_INVALID_DATA in the same detail form. In place of
// an unreadable devmode the default devmode of the destination printer, then
// of printerName, is taken; empty when none can be had.
std::vector<BYTE> ReadJobDevmode(const std::wstring& devmodeFile, const std::wstring& destinationPrinter,
                                 const std::wstring& printerName);

// Inputs of the destination devmode of an EMF job.
struct DevmodeRequest {
  std::vector<BYTE> jobDevmode;   // usable DEVMODE, or empty
  PrinterSettings settings;
  int totalPages = 1;
  int pagesPerSide = 1;
  int orientation = 1;            // the control file's Orientation
};

struct DestinationDevmode {
  std::vector<BYTE> devmode;          // empty: the device context gets the driver's defaults
  int duplex = 0;                     // Job/Duplex: the devmode's dmDuplex, 0 without a devmode
  std::vector<EngineEvent> events;    // 3002 when the configuration is another driver's
};

// The devmode the destination printer's device context is created with:
// the stored configuration (with the job's paper and copies, or the forced
// copies) or the job devmode with the forced duplex, colour and copies; then
// the one-sided rule and, for 2 and 6 pages per side, the sheet turn. Every
// field the engine changes gets its flag in dmFields. Pure: nothing is read
// or written outside the arguments.
DestinationDevmode BuildDestinationDevmode(const DevmodeRequest& request);

// Device context of the destination printer with the devmode (none: the
// driver's defaults), else of printerName. When neither can be created,
// event 1004 "GetLastError Returned: %d (%s), <printerName>" and a null
// handle.
dv::DcHandle CreateDestinationDC(const std::wstring& destinationPrinter, const std::wstring& driverName,
                                 const std::wstring& printerName, const std::vector<BYTE>& devmode);
