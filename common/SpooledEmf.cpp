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

// NULL with the reason as the thread's last error (closing the file on the
// way out leaves it as it is).
HENHMETAFILE FailPage(DWORD error) {
  SetLastError(error);
  return nullptr;
}

uint32_t ReadU32(const BYTE* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool IsWellFormedEmf(const BYTE* bits, size_t size) {
  // The fixed part of ENHMETAHEADER up to szlMillimeters: the smallest
  // header any metafile writer produces.
  constexpr size_t kMinHeaderSize = 88;
  constexpr size_t kSignatureOffset = 40;
  constexpr size_t kBytesOffset = 48;
  if (bits == nullptr || size < kMinHeaderSize) return false;
  const uint32_t headerSize = ReadU32(bits + 4);
  const uint32_t total = ReadU32(bits + kBytesOffset);
  if (ReadU32(bits) != EMR_HEADER || ReadU32(bits + kSignatureOffset) != ENHMETA_SIGNATURE) return false;
  if (headerSize < kMinHeaderSize || headerSize % 4 != 0 || total > size || total % 4 != 0 || headerSize > total)
    return false;
  // Every record must move the walk on and stay inside the metafile; the
  // walk then ends exactly at its end, on EMR_EOF.
  size_t offset = 0;
  uint32_t lastType = 0;
  while (offset < total) {
    if (total - offset < 8) return false;
    const uint32_t recordSize = ReadU32(bits + offset + 4);
    if (recordSize < 8 || recordSize % 4 != 0 || recordSize > total - offset) return false;
    lastType = ReadU32(bits + offset);
    offset += recordSize;
  }
  return lastType == EMR_EOF;
}

HENHMETAFILE LoadWellFormedEmf(const std::wstring& path) {
  dv::FileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > MAXDWORD) return nullptr;
  std::vector<BYTE> bits;
  try {
    bits.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!ReadExactly(file.get(), bits.data(), static_cast<uint32_t>(bits.size()))) return nullptr;
  if (!IsWellFormedEmf(bits.data(), bits.size())) return nullptr;
  return SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
}

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
  // The reader only moves forward: a page already passed (or below 1) needs
  // a new reader.
  if (pageCount < 1 || n > pageCount || filePath.empty() || n <= lastPage || n < 1)
    return FailPage(ERROR_INVALID_PARAMETER);
  dv::FileHandle opened;
  HANDLE file = heldFile.get();
  if (!heldFile) {
    opened = OpenSpoolData(filePath);
    if (!opened) return FailPage(GetLastError());
    file = opened.get();
  }
  // From the position after the last page handed out (the start before the
  // first); a held file may stand elsewhere after a failed read.
  LARGE_INTEGER offset;
  offset.QuadPart = static_cast<LONGLONG>(lastPage > 0 ? lastOffset : 0);
  if (!SetFilePointerEx(file, offset, nullptr, FILE_BEGIN)) return FailPage(GetLastError());
  for (int page = lastPage + 1; page <= n; ++page) {
    uint32_t size = ReadNextPageSize(file);
    if (size == 0) return FailPage(ERROR_HANDLE_EOF);  // the stream ends before page n
    if (page < n) {
      if (!SkipForward(file, size)) return FailPage(GetLastError());
      continue;
    }
    std::vector<BYTE> bits;
    try {
      bits.resize(size);
    } catch (const std::bad_alloc&) {
      return FailPage(ERROR_NOT_ENOUGH_MEMORY);  // a page that cannot be held ends the stream here
    }
    if (!ReadExactly(file, bits.data(), size)) return FailPage(ERROR_HANDLE_EOF);
    uint64_t after = 0;
    if (!Position(file, after)) return FailPage(GetLastError());
    lastPage = n;
    lastOffset = after;
    if (!IsWellFormedEmf(bits.data(), bits.size())) return FailPage(ERROR_INVALID_DATA);
    HENHMETAFILE metafile = SetEnhMetaFileBits(size, bits.data());
    if (!metafile) return FailPage(GetLastError());
    return metafile;
  }
  return FailPage(ERROR_INVALID_PARAMETER);
}
