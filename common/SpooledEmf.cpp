// The spooled EMF reader; see SpooledEmf.h.
#include "common/SpooledEmf.h"

#include <new>
#include <vector>

#include "common/Handles.h"

namespace {

dv::FileHandle OpenSpoolData(const std::wstring& path) {
  // Read sharing only: while the print processor still writes the file the
  // open fails and the reader sees no pages.
  return dv::FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Bytes left between the file's position and its end; false when either
// cannot be read.
bool BytesLeft(HANDLE file, uint64_t& left) {
  LARGE_INTEGER size, position, zero;
  zero.QuadPart = 0;
  if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, zero, &position, FILE_CURRENT)) return false;
  left = position.QuadPart < size.QuadPart ? static_cast<uint64_t>(size.QuadPart - position.QuadPart) : 0;
  return true;
}

bool ReadExactly(HANDLE file, void* buffer, uint32_t bytes) {
  DWORD read = 0;
  return ReadFile(file, buffer, bytes, &read, nullptr) && read == bytes;
}

bool SkipForward(HANDLE file, uint64_t bytes) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(bytes);
  return SetFilePointerEx(file, distance, nullptr, FILE_CURRENT) != 0;
}

bool Position(HANDLE file, uint64_t& position) {
  LARGE_INTEGER zero, current;
  zero.QuadPart = 0;
  if (!SetFilePointerEx(file, zero, &current, FILE_CURRENT)) return false;
  position = static_cast<uint64_t>(current.QuadPart);
  return true;
}

}  // namespace

CSpooledEmf::CSpooledEmf(const std::wstring& path) {
  SetFile(path);
  pageCount = CountPages();
}

CSpooledEmf::CSpooledEmf(const std::wstring& path, int count) {
  Reset();
  SetFile(path);
  SetPageCount(count);
}

CSpooledEmf::~CSpooledEmf() = default;

void CSpooledEmf::SetFile(const std::wstring& path) {
  // The reading position belongs to one file: carrying it over to another
  // would seek into the middle of an unrelated record.
  if (path != filePath) {
    lastPage = 0;
    lastOffset = 0;
    heldFile.reset();
  }
  filePath = path;
}

void CSpooledEmf::SetPageCount(int count) { pageCount = count != 0 ? count : CountPages(); }

void CSpooledEmf::Reset() {
  heldFile.reset();
  filePath.clear();
  pageCount = 0;
  lastPage = 0;
  lastOffset = 0;
}

bool CSpooledEmf::HoldFile() {
  heldFile.reset();
  if (filePath.empty()) return false;
  heldFile = OpenSpoolData(filePath);
  return static_cast<bool>(heldFile);
}

uint32_t CSpooledEmf::ReadNextPageSize(HANDLE file) {
  for (;;) {
    uint32_t record[2];  // type, size
    if (!ReadExactly(file, record, sizeof(record))) return 0;
    uint32_t type = record[0];
    uint64_t size = record[1];
    if (type == kHeaderRecord) {
      if (size < 8) return 0;  // cannot even cover its own type and size
      size -= 8;
    }
    uint64_t left = 0;
    if (!BytesLeft(file, left) || size > left) return 0;  // runs past the end: the stream is cut
    if (type == kMetafileDataRecord) return static_cast<uint32_t>(size);
    if (!SkipForward(file, size)) return 0;
  }
}

int CSpooledEmf::CountPages() const {
  if (filePath.empty()) return 0;
  dv::FileHandle file = OpenSpoolData(filePath);
  if (!file) return 0;
  int count = 0;
  for (;;) {
    uint32_t size = ReadNextPageSize(file.get());
    if (size == 0 || !SkipForward(file.get(), size)) break;
    ++count;
  }
  return count;
}

HENHMETAFILE CSpooledEmf::GetPage(int n) {
  if (pageCount < 1 || n > pageCount || filePath.empty()) return nullptr;
  // The reader only moves forward: a page already passed (or below 1) needs
  // a new reader.
  if (n <= lastPage || n < 1) return nullptr;
  dv::FileHandle opened;
  HANDLE file = heldFile.get();
  if (!heldFile) {
    opened = OpenSpoolData(filePath);
    if (!opened) return nullptr;
    file = opened.get();
  }
  // From the position after the last page handed out (the start before the
  // first); a held file may stand elsewhere after a failed read.
  LARGE_INTEGER offset;
  offset.QuadPart = static_cast<LONGLONG>(lastPage > 0 ? lastOffset : 0);
  if (!SetFilePointerEx(file, offset, nullptr, FILE_BEGIN)) return nullptr;
  for (int page = lastPage + 1; page <= n; ++page) {
    uint32_t size = ReadNextPageSize(file);
    if (size == 0) return nullptr;  // the stream ends before page n
    if (page < n) {
      if (!SkipForward(file, size)) return nullptr;
      continue;
    }
    std::vector<BYTE> bits;
    try {
      bits.resize(size);
    } catch (const std::bad_alloc&) {
      return nullptr;  // a page that cannot be held ends the stream here
    }
    if (!ReadExactly(file, bits.data(), size)) return nullptr;
    uint64_t after = 0;
    if (!Position(file, after)) return nullptr;
    lastPage = n;
    lastOffset = after;
    return SetEnhMetaFileBits(size, bits.data());
  }
  return nullptr;
}
