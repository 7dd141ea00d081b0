// The EMF middle of the pipeline: the destination device context from the
// job's devmode, the document and its pages played 1-up.
#include <windows.h>

#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "engine/EngineRegistry.h"
#include "engine/Gatepost.h"
#include "engine/Pipeline.h"
#include "engine/Scenario.h"

namespace {

// Page records of the spooled EMF stream, in order.
std::vector<std::vector<BYTE>> ReadSpoolPages(const std::wstring& path) {
  std::vector<std::vector<BYTE>> pages;
  std::vector<BYTE> data;
  dv::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return pages;
  DWORD size = GetFileSize(file.get(), nullptr);
  data.resize(size);
  DWORD read = 0;
  if (size && (!ReadFile(file.get(), data.data(), size, &read, nullptr) || read != size)) return pages;
  size_t pos = 0;
  while (pos + 8 <= data.size()) {
    DWORD type = *reinterpret_cast<const DWORD*>(&data[pos]);
    DWORD len = *reinterpret_cast<const DWORD*>(&data[pos + 4]);
    pos += 8;
    if (type == 0x00010000) len = len >= 8 ? len - 8 : 0;
    if (len > data.size() - pos) break;
    if (type == 12) pages.emplace_back(data.begin() + pos, data.begin() + pos + len);
    pos += len;
  }
  return pages;
}

// A DEVMODE is used only when its stated sizes fit the bytes it came in.
const DEVMODEW* UsableDevmode(const std::vector<BYTE>& bytes) {
  if (bytes.size() < offsetof(DEVMODEW, dmFields) + sizeof(DWORD)) return nullptr;
  const auto* dm = reinterpret_cast<const DEVMODEW*>(bytes.data());
  if (size_t(dm->dmSize) + dm->dmDriverExtra > bytes.size() || dm->dmSize < offsetof(DEVMODEW, dmFields)) return nullptr;
  return dm;
}

}  // namespace

bool RunEmfJob(JobContext& ctx) {
  std::vector<BYTE> devmodeBytes;
  ReadFileToBuffer(ctx.files.dvm, devmodeBytes);
  const DEVMODEW* devmode = UsableDevmode(devmodeBytes);

  dv::DcHandle dc(CreateDCW(L"WINSPOOL", ctx.destinationPrinter.c_str(), nullptr, devmode));
  if (!dc) dc.reset(CreateDCW(L"WINSPOOL", ctx.printerName.c_str(), nullptr, devmode));
  if (!dc) {
    LogLastErrorWithText(1004, GetLastError(), ctx.printerName);
    return false;
  }

  ctx.duplex = devmode && (devmode->dmFields & DM_DUPLEX) ? devmode->dmDuplex : 1;
  WriteDuplexToControlFile(ctx);
  ctx.scenario->SetMacroMode(0);
  ctx.scenario->SetJobNumber(ctx.jobNumber);
  ctx.scenario->SetPrinterDC(dc.get());

  if (ctx.sendToGatepost && !GetGatepostQueueFile(ctx.gatepostQueueFile)) return false;
  const std::wstring datatype = GetIniString(L"General", L"Datatype", ctx.files.ctl, L"NT EMF 1.008");
  DOCINFOW di = {};
  di.cbSize = sizeof(di);
  di.lpszDocName = ctx.outputJobName.c_str();
  di.lpszOutput = ctx.gatepostQueueFile.empty() ? nullptr : ctx.gatepostQueueFile.c_str();
  di.lpszDatatype = datatype.c_str();
  if (StartDocW(dc.get(), &di) <= 0) {
    LogLastError(1009, GetLastError());
    return false;
  }

  const auto pages = ReadSpoolPages(ctx.files.org);
  const int width = GetDeviceCaps(dc.get(), HORZRES);
  const int height = GetDeviceCaps(dc.get(), VERTRES);
  for (int page = 1; page <= ctx.totalPages; ++page) {
    if (StartPage(dc.get()) <= 0) {
      LogLastError(1010, GetLastError());
      AbortDoc(dc.get());
      return false;
    }
    ctx.scenario->PrintTemplate(1, page);
    SetIniString(L"PageTemplates", std::to_wstring(page), ctx.files.ctl, ctx.scenario->GetDescription(page));
    if (page <= static_cast<int>(pages.size())) {
      dv::EnhMetaFileHandle emf(SetEnhMetaFileBits(static_cast<UINT>(pages[page - 1].size()), pages[page - 1].data()));
      RECT r = {0, 0, width, height};
      if (emf) PlayEnhMetaFile(dc.get(), emf.get(), &r);
    }
    ctx.scenario->PrintTemplate(0, page);
    if (EndPage(dc.get()) <= 0) {
      LogLastError(1011, GetLastError());
      AbortDoc(dc.get());
      return false;
    }
    ctx.scenario->PrintTemplate(3, page);
  }
  if (EndDoc(dc.get()) <= 0) {
    LogLastError(1012, GetLastError());
    return false;
  }
  return true;
}
