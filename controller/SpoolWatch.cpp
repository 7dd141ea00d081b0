#include "controller/SpoolWatch.h"

#include <cstddef>

namespace {

// Room for the reports of some hundred jobs between two refreshes; more is
// told as an overflow, and the folder is then listed.
constexpr DWORD kBufferBytes = 64 * 1024;

constexpr DWORD kFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_CREATION | FILE_NOTIFY_CHANGE_ATTRIBUTES;

}  // namespace

bool SpoolWatch::Start(const std::wstring& folder) {
  Stop();
  folderHandle.reset(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
  if (!folderHandle) return false;
  if (!event) event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) {
    folderHandle.reset();
    return false;
  }
  buffer.resize(kBufferBytes / sizeof(DWORD));
  if (Arm()) return true;
  folderHandle.reset();
  return false;
}

void SpoolWatch::Stop() {
  if (pending) {
    // The request writes into the buffer until it is known to be over.
    CancelIoEx(folderHandle.get(), &overlapped);
    DWORD bytes = 0;
    GetOverlappedResult(folderHandle.get(), &overlapped, &bytes, TRUE);
    pending = false;
  }
  folderHandle.reset();
}

bool SpoolWatch::Arm() {
  overlapped = {};
  overlapped.hEvent = event.get();
  ResetEvent(event.get());
  pending = ReadDirectoryChangesW(folderHandle.get(), buffer.data(), kBufferBytes, FALSE, kFilter, nullptr,
                                  &overlapped, nullptr) != FALSE;
  return pending;
}

void SpoolWatch::WaitForReport(DWORD milliseconds) const {
  if (pending) WaitForSingleObject(event.get(), milliseconds);
}

bool SpoolWatch::Collect(std::unordered_map<std::wstring, bool>& changes) {
  if (!pending) return false;
  // Reports that come in while one batch is handed over are kept for the
  // next request, so the batches are taken until none is waiting.
  while (WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0) {
    DWORD bytes = 0;
    const BOOL done = GetOverlappedResult(folderHandle.get(), &overlapped, &bytes, FALSE);
    if (!done && GetLastError() == ERROR_IO_INCOMPLETE) break;
    pending = false;
    // No bytes: more changes than the buffer held, their names lost.
    if (!done || bytes == 0) {
      Stop();
      return false;
    }
    const auto* base = reinterpret_cast<const BYTE*>(buffer.data());
    for (DWORD offset = 0;;) {
      if (offset + offsetof(FILE_NOTIFY_INFORMATION, FileName) > bytes) {
        Stop();
        return false;
      }
      const auto* report = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + offset);
      if (offset + offsetof(FILE_NOTIFY_INFORMATION, FileName) + report->FileNameLength > bytes) {
        Stop();
        return false;
      }
      const std::wstring name(report->FileName, report->FileNameLength / sizeof(wchar_t));
      switch (report->Action) {
        case FILE_ACTION_REMOVED:
        case FILE_ACTION_RENAMED_OLD_NAME:
          changes[name] = false;
          break;
        case FILE_ACTION_ADDED:
        case FILE_ACTION_MODIFIED:
        case FILE_ACTION_RENAMED_NEW_NAME:
          changes[name] = true;
          break;
        default:
          Stop();
          return false;
      }
      if (report->NextEntryOffset == 0) break;
      offset += report->NextEntryOffset;
    }
    if (!Arm()) {
      Stop();
      return false;
    }
  }
  return true;
}
