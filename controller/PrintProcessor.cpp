// Print processor registration and printers' print processors; see
// PrintProcessor.h.
#include "controller/PrintProcessor.h"

#include <winspool.h>

#include <vector>

#include "common/Handles.h"
#include "common/InstallFolder.h"

namespace {

constexpr DWORD kAttributeMask = 0xEDFF;
constexpr wchar_t kRawDatatype[] = L"RAW";

bool SystemPrintProcessorDirectory(std::wstring& directory) {
  BYTE buffer[4096] = {};
  DWORD needed = 0;
  if (!GetPrintProcessorDirectoryW(nullptr, nullptr, 1, buffer, sizeof(buffer) - sizeof(wchar_t), &needed))
    return false;
  directory = reinterpret_cast<const wchar_t*>(buffer);
  return !directory.empty();
}

bool SystemEnumPrintProcessors(std::vector<std::wstring>& names) {
  DWORD needed = 0, count = 0;
  EnumPrintProcessorsW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintProcessorsW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
  const auto* info = reinterpret_cast<const PRINTPROCESSOR_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.push_back(info[i].pName ? info[i].pName : L"");
  return true;
}

// Reads the printer's level-2 record into buffer; false on any failure.
bool ReadPrinterRecord(HANDLE printer, std::vector<BYTE>& buffer) {
  DWORD needed = 0;
  if (!GetPrinterW(printer, 2, nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  if (needed == 0) return false;
  buffer.assign(needed, 0);
  return GetPrinterW(printer, 2, buffer.data(), needed, &needed) != FALSE;
}

dv::PrinterHandle OpenPrinterWithAccess(const std::wstring& printer, ACCESS_MASK access) {
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
  dv::PrinterHandle handle;
  std::wstring name = printer;
  if (!OpenPrinterW(&name[0], handle.put(), &defaults)) handle.release();
  return handle;
}

}  // namespace

SpoolerCalls& Spooler() {
  static SpoolerCalls calls;
  return calls;
}

BOOL InstallPrintProcessor() {
  std::wstring directory;
  const bool haveDirectory = Spooler().printProcessorDirectory ? Spooler().printProcessorDirectory(directory)
                                                               : SystemPrintProcessorDirectory(directory);
  // A failed copy is not reported here: the registration decides, and it
  // fails when no file (old or new) is in the directory. Without a directory
  // there is nowhere defined to copy to, so only the registration is tried.
  if (haveDirectory) {
    const std::wstring source = GetModuleFolder() + kPrintProcessorFile;
    const std::wstring target = AddTrailingBackslash(directory) + kPrintProcessorFile;
    CopyFileW(source.c_str(), target.c_str(), FALSE);
  }
  if (Spooler().addPrintProcessor) return Spooler().addPrintProcessor(kPrintProcessorFile, kPrintProcessorName);
  std::wstring file = kPrintProcessorFile, name = kPrintProcessorName;
  return AddPrintProcessorW(nullptr, nullptr, &file[0], &name[0]);
}

namespace {

BOOL DeleteProcessor(const std::wstring& name) {
  if (Spooler().deletePrintProcessor) return Spooler().deletePrintProcessor(name);
  std::wstring copy = name;
  return DeletePrintProcessorW(nullptr, nullptr, &copy[0]);
}

}  // namespace

BOOL UninstallPrintProcessor(const std::wstring& name) {
  if (DeleteProcessor(name)) return TRUE;
  // The spooler refuses to delete a print processor that printers still
  // use: hand those back to the standard one (results not looked at; a
  // printer that cannot be changed stays) and try once more.
  for (const auto& printer : GetLocalPrinterNames())
    if (GetPrinterPrintProcessor(printer) == name) SetPrinterPrintProcessor(printer, kStandardPrintProcessor);
  return DeleteProcessor(name);
}

BOOL IsPrintProcessorInstalled(const std::wstring& name) {
  std::vector<std::wstring> names;
  const bool ok = Spooler().enumPrintProcessors ? Spooler().enumPrintProcessors(names)
                                                : SystemEnumPrintProcessors(names);
  if (!ok) return FALSE;
  for (const auto& n : names)
    if (n == name) return TRUE;
  return FALSE;
}

std::wstring GetPrinterPrintProcessor(const std::wstring& printer) {
  if (Spooler().printerPrintProcessor) return Spooler().printerPrintProcessor(printer);
  dv::PrinterHandle handle = OpenPrinterWithAccess(printer, PRINTER_ACCESS_USE);
  if (!handle) return L"";
  std::vector<BYTE> buffer;
  if (!ReadPrinterRecord(handle.get(), buffer)) return L"";
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  return info->pPrintProcessor ? info->pPrintProcessor : L"";
}

DWORD PrintProcessorAttributes(DWORD attributes) {
  return (attributes & kAttributeMask) | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
}

BOOL SetPrinterPrintProcessor(const std::wstring& printer, const std::wstring& processor) {
  if (Spooler().setPrinterPrintProcessor) return Spooler().setPrinterPrintProcessor(printer, processor);
  dv::PrinterHandle handle = OpenPrinterWithAccess(printer, PRINTER_ALL_ACCESS);
  if (!handle) return FALSE;
  std::vector<BYTE> buffer;
  if (!ReadPrinterRecord(handle.get(), buffer)) return FALSE;
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  // The new strings live until the record has been written.
  std::wstring newProcessor = processor, datatype = kRawDatatype;
  info->pPrintProcessor = &newProcessor[0];
  info->pDatatype = &datatype[0];
  info->Attributes = PrintProcessorAttributes(info->Attributes);
  return SetPrinterW(handle.get(), 2, buffer.data(), 0);
}

std::vector<std::wstring> GetLocalPrinterNames() {
  if (Spooler().localPrinterNames) return Spooler().localPrinterNames();
  std::vector<std::wstring> names;
  DWORD needed = 0, count = 0;
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return names;
  if (needed == 0) return names;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &count)) return names;
  const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.push_back(info[i].pPrinterName ? info[i].pPrinterName : L"");
  return names;
}

void FillLocalPrinterList(HWND listBox) {
  for (const auto& name : GetLocalPrinterNames())
    SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}
