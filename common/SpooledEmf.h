// CSpooledEmf: the one reader of an EMF job's spool stream (the job's Org
// file), used by the engine to print a job page by page and by the
// controller's preview to show one page.
//
// The stream is a sequence of records: a 32-bit type, a 32-bit size and the
// size bytes of data (for the stream header, type 0x00010000, the size counts
// the 8 bytes of type and size as well). Only EMRI_METAFILE_DATA records
// (type 12) are pages; their data is a complete enhanced metafile. Every other
// record (devmodes, fonts, page starts, extensions) is skipped.
//
// The reader keeps no file open between calls and caches no page, unless
// its caller asks it to hold the file open for a run of pages (HoldFile). It
// moves forward only: after page n has been handed out, pages up to n are gone and
// asking for one of them gives NULL; reading the pages in ascending order
// reads the stream once.
//
// The stream ends cleanly when the file ends right after a record. It is
// damaged when it does not start with its header record (an empty file
// included), when a record is cut short, when a size cannot be right (a
// header size below 8, a size that runs past the end of the file, an empty
// page record) or when the file cannot be read. Damage ends the stream
// where it stands, as the clean end does (and a page too large to allocate
// gives no page), but the page count tells damage from the clean end
// (IsCut), so that a caller that takes its page count from the stream does
// not mistake the pages before the damage for the whole job. Nothing is
// thrown and nothing is logged.
//
// A page's bytes are handed to GDI only when their records chain from the
// metafile header to EMR_EOF (IsWellFormedEmf): GDI takes bytes whose
// records do not chain, and playing such a metafile can loop for ever (seen
// with a record of size 0), which would hang the engine's job and the
// controller's preview.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

#include "common/Handles.h"

// True when size bytes form an enhanced metafile whose records can be
// walked safely: an EMR_HEADER record with the metafile signature first,
// header sizes that fit the bytes (the metafile's byte count at most size),
// every record at least 8 bytes long, a multiple of 4 and inside the
// metafile, and the chain ending exactly at the metafile's end with an
// EMR_EOF record. Reads nothing outside the buffer, for any input.
bool IsWellFormedEmf(const BYTE* bits, size_t size);

// The enhanced metafile of a file (a template's picture), which the caller
// deletes; NULL when the file cannot be read or does not hold a well-formed
// metafile (the same danger as a damaged page: GDI would load it and playing
// it could hang). The file is opened with read sharing.
HENHMETAFILE LoadWellFormedEmf(const std::wstring& path);

class CSpooledEmf {
 public:
  static constexpr uint32_t kHeaderRecord = 0x00010000;
  static constexpr uint32_t kMetafileDataRecord = 12;  // EMRI_METAFILE_DATA

  // A reader of the spool data at path with its page records counted.
  explicit CSpooledEmf(const std::wstring& path);
  // A reader whose page count is given: a count other than 0 is taken as it
  // is, 0 makes the reader count the page records of its file.
  CSpooledEmf(const std::wstring& path, int count);
  virtual ~CSpooledEmf();
  CSpooledEmf(const CSpooledEmf&) = delete;
  CSpooledEmf& operator=(const CSpooledEmf&) = delete;

  // Stores the path. Another path than the current one starts reading from
  // the beginning again; the page count is kept.
  void SetFile(const std::wstring& path);
  const std::wstring& GetFile() const { return filePath; }

  // Number of page records in the reader's file before the stream ends;
  // 0 when it cannot be opened. While the file is held (HoldFile) the count
  // walks the held file and opens nothing. *cut, when given, is false when the count
  // reached the stream's clean end and true when it stopped at damage or at
  // a file that cannot be opened or read.
  int CountPages(bool* cut = nullptr) const;
  // The page-record count of the reader's own file (the engine's name for
  // CountPages).
  int CountOwnPages() const { return CountPages(); }

  // Stores a page count other than 0; 0 counts the file's page records.
  void SetPageCount(int count);
  int GetPageCount() const { return pageCount; }
  // True when the page count was counted from the file (the one-argument
  // constructor, a count of 0) and the stream breaks off after the pages
  // counted: the page after them is one the stream cannot deliver. False
  // for a count the caller gave.
  bool IsCut() const { return countCut; }
  int GetLastPage() const { return lastPage; }

  // Empty path, page count 0, reading position at the start.
  void Reset();

  // The enhanced metafile of page n (1-based), which the caller deletes with
  // DeleteEnhMetaFile; NULL for a page behind the reading position, beyond
  // the page count or the stream's end, for an empty path, an unreadable file
  // or bytes that do not form a metafile (IsWellFormedEmf). After NULL,
  // GetLastError tells why: ERROR_HANDLE_EOF when the stream ends before
  // page n, ERROR_INVALID_DATA when page n's bytes are no metafile (the
  // reader has moved past it), ERROR_INVALID_PARAMETER for a page it will not
  // read, or the error of opening or reading the file.
  HENHMETAFILE GetPage(int n);

  // Keeps the file open, with read sharing only, until ReleaseFile, the
  // next SetFile with another path, Reset or the reader's end, so that a
  // job's pages read in order cost one open instead of one per page (an
  // open is a round trip to the system). Meanwhile no other program can
  // write or delete the file. False when it cannot be opened; GetPage then
  // opens it per call as usual.
  bool HoldFile();
  void ReleaseFile() { heldFile.reset(); }

  // What the walk to the next page record found.
  enum class NextRecord { kPage, kEnd, kDamaged };
  // Reads records from the file's current position up to the next page
  // record: kPage with the size of the page's data and the file positioned
  // at that data; kEnd when the file ends right after a record; kDamaged
  // (size 0) for a stream that breaks off there. A walk from the file's
  // start needs the stream's header record first. Skipped records are
  // passed over by seeking.
  static NextRecord ReadNextPage(HANDLE file, uint32_t& size);
  // The size of ReadNextPage's page, 0 at the end of the stream or at
  // damage.
  static uint32_t ReadNextPageSize(HANDLE file);

 private:
  std::wstring filePath;
  int pageCount = 0;
  bool countCut = false;     // the stream breaks off after the pageCount pages counted
  int lastPage = 0;          // number of the last page handed out, 0 before the first
  uint64_t lastOffset = 0;   // file offset just after the data of page lastPage
  dv::FileHandle heldFile;   // open only between HoldFile and ReleaseFile
};
