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
  pageCount = CountPages(&countCut);
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

void CSpooledEmf::SetPageCount(int count) {
  countCut = false;
  pageCount = count != 0 ? count : CountPages(&countCut);
}

void CSpooledEmf::Reset() {
  heldFile.reset();
  filePath.clear();
  pageCount = 0;
  countCut = false;
  lastPage = 0;
  lastOffset = 0;
}

bool CSpooledEmf::HoldFile() {
  heldFile.reset();
  if (filePath.empty()) return false;
  heldFile = OpenSpoolData(filePath);
  return static_cast<bool>(heldFile);
}

CSpooledEmf::NextRecord CSpooledEmf::ReadNextPage(HANDLE file, uint32_t& pageSize) {
  pageSize = 0;
  uint64_t start = 0;
  if (!Position(file, start)) return NextRecord::kDamaged;
  // The stream opens with its header record: a file that does not (an
  // empty one included) is no spool stream.
  bool first = start == 0;
  for (;;) {
    uint32_t record[2];  // type, size
    DWORD got = 0;
    if (!ReadFile(file, record, sizeof(record), &got, nullptr)) return NextRecord::kDamaged;
    if (got == 0 && !first) return NextRecord::kEnd;         // the file ends after a record
    if (got != sizeof(record)) return NextRecord::kDamaged;  // part of a record: cut
    const uint32_t type = record[0];
    uint64_t size = record[1];
    if (first && type != kHeaderRecord) return NextRecord::kDamaged;
    first = false;
    if (type == kHeaderRecord) {
      if (size < 8) return NextRecord::kDamaged;  // cannot even cover its own type and size
      size -= 8;
    }
    uint64_t left = 0;
    if (!BytesLeft(file, left) || size > left) return NextRecord::kDamaged;  // runs past the end: the stream is cut
    if (type == kMetafileDataRecord) {
      if (size == 0) return NextRecord::kDamaged;  // no metafile is empty
      pageSize = static_cast<uint32_t>(size);
      return NextRecord::kPage;
    }
    if (!SkipForward(file, size)) return NextRecord::kDamaged;
  }
}

uint32_t CSpooledEmf::ReadNextPageSize(HANDLE file) {
  uint32_t size = 0;
  return ReadNextPage(file, size) == NextRecord::kPage ? size : 0;
}

int CSpooledEmf::CountPages(bool* cut) const {
  if (cut) *cut = true;
  if (filePath.empty()) return 0;
  // A held file is counted through its own handle: the pages counted are
  // then those the reader goes on to read, whatever another program has
  // done with the path since (GetPage seeks to its own position first).
  dv::FileHandle opened;
  HANDLE file = heldFile.get();
  if (!heldFile) {
    opened = OpenSpoolData(filePath);
    if (!opened) return 0;
    file = opened.get();
  } else {
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return 0;
  }
  int count = 0;
  for (;;) {
    uint32_t size = 0;
    const NextRecord next = ReadNextPage(file, size);
    if (next != NextRecord::kPage) {
      if (cut) *cut = next != NextRecord::kEnd;
      break;
    }
    if (!SkipForward(file, size)) break;
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
