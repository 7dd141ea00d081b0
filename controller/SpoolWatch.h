// Tells which entries of a folder were reported changed since it was last
// asked, from the system's change notifications, so that a refresh of the
// spool list need not list the folder. Whatever cannot be told for sure
// (no watch set, an error, reports lost because too many came at once) is
// told as doubt, and the caller lists the folder instead.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "common/Handles.h"

class SpoolWatch {
 public:
  SpoolWatch() = default;
  SpoolWatch(const SpoolWatch&) = delete;
  SpoolWatch& operator=(const SpoolWatch&) = delete;
  ~SpoolWatch() { Stop(); }

  // Watches the folder from now on (names, sizes, times; not its
  // sub-folders' contents). False when the folder cannot be watched.
  bool Start(const std::wstring& folder);
  void Stop();

  // Adds the names reported since the last call, each mapped to whether
  // its last report left it in the folder (added, written, renamed to)
  // rather than out of it (removed, renamed from). False on doubt; the
  // watch is then stopped.
  bool Collect(std::unordered_map<std::wstring, bool>& changes);
  // Waits at most the given time for a report to come in.
  void WaitForReport(DWORD milliseconds) const;

 private:
  bool Arm();

  dv::FileHandle folderHandle;
  dv::KernelHandle event;
  OVERLAPPED overlapped = {};
  std::vector<DWORD> buffer;  // DWORD-aligned, as the reports must be
  bool pending = false;
};
