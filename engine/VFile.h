// VFile: the buffered byte stream every RAW job runs through.
//
// One stream reads a job's printer data (a file, or an in-memory byte string)
// or writes it (a file, a printer through the spooler, or an in-memory byte
// string). Reads look ahead through a 16384-byte buffer, so patterns can be
// tried at one position several times without touching the source again;
// writes are collected into blocks of 16384 bytes and handed on by Flush.
//
// The pattern language ("~" codes) finds and matches byte sequences such as
// ESC "&l~nO"; see Match.
//
// Failure contract: a stream never owns its handle (the caller closes it
// after the stream is done) and never flushes by itself. A read error ends
// the data; a write that fails or stalls is remembered (Failed()) so the
// owner can refuse to call the job finished.
#pragma once

#include <windows.h>
#include <algorithm>
#include <string>

class VFile {
 public:
  enum Mode : int {
    kReadFile = 1000,
    kReadString = 1100,
    kWriteFile = 1001,
    kWritePrinter = 1011,
    kAppendString = 1101,
  };

  // Status codes of Peek, Read, Flush, PutByte and Write.
  static constexpr int kOk = 0;
  static constexpr int kFailed = 1;  // wrong mode, or the target refused
  static constexpr int kEnd = 2;     // the request reaches the end of the data

  static constexpr int kBufferSize = 16384;
  static constexpr int kWindow = 4096;  // look-ahead of MatchHere and Find

  // Where Flush hands pending bytes; the default is the stream's own target
  // (WriteFile, WritePrinter or the byte string). Returns false on failure;
  // *taken is the number of bytes the target accepted.
  using WriteTarget = bool (*)(void* context, const BYTE* bytes, DWORD count, DWORD* taken);

  // A stream over a file handle (modes 1000, 1001) or a printer handle (1011).
  VFile(HANDLE handle, int mode);
  // A stream over a byte string (modes 1100 and 1101); the string must
  // outlive the stream.
  VFile(std::string* bytes, int mode);
  virtual ~VFile();
  VFile(const VFile&) = delete;
  VFile& operator=(const VFile&) = delete;

  int GetMode() const { return mode_; }

  // Back to the start of the source: buffer, totals and end flag cleared.
  // Returns 0.
  int Rewind();

  // The next n bytes without consuming them. 0 when all n lie in the data,
  // 2 when the request reaches the end of the data (bytes past it read as 0),
  // 1 in a write mode or for n above the buffer size (out is zeroed). *got,
  // when given, receives the number of bytes that came from the data.
  int Peek(void* out, int n, int* got = nullptr);
  // As Peek, then the position advances by n (past the end too). Any n.
  int Read(void* out, int n, int* got = nullptr);

  // Length of the pattern matched from the start of data[0, length); 0 when
  // it does not match, for an empty pattern and when the data runs out.
  static int Match(const char* pattern, const BYTE* data, int length);
  // Match against the bytes at the read position.
  int MatchHere(const char* pattern);
  // Smallest offset 0-4095 from the read position at which the pattern
  // matches, -1 when none; consumes nothing. A match may start in the window
  // and end up to another 4096 bytes beyond it.
  int Find(const char* pattern);
  // Consumes the pattern's bytes when it matches at the read position;
  // returns their number, 0 otherwise.
  int Skip(const char* pattern);
  // Consumes "~S~F" at the read position and returns it as a decimal number;
  // 0 when it is not there.
  double ReadNumber();

  // Hands the pending bytes to the target, as often as it takes a part of
  // them; only the bytes not yet taken are offered again. 0 when all went;
  // 1 when the target failed or took nothing (the rest stays pending and the
  // failure is remembered), or in a read mode.
  int Flush();
  // Appends a byte, flushing first when 16384 bytes are pending. 1 when that
  // flush failed or in a read mode.
  int PutByte(BYTE b);
  // PutByte of each byte, stopping at the first failure.
  int Write(const void* bytes, int n);

  // True once a write to the target failed or stalled, or a read of the
  // source failed. lastError() is the platform error of that failure (0 for
  // a stalled write).
  bool Failed() const { return failed_; }
  DWORD LastError() const { return lastError_; }

  long long TotalRead() const { return totalRead_; }
  long long TotalWritten() const { return totalWritten_; }
  int Pending() const { return isWriteMode() ? count_ : 0; }

  // Direct access for copy loops: makes at least `want` bytes available at
  // the read position when the data has them (refilling as Peek does) and
  // returns how many are buffered there (0 at the end). Cursor() points at
  // them; Advance(n) consumes n of them (n <= the number returned).
  int Available(int want) {
    // Compared as a difference: a want near INT_MAX must not overflow.
    if (want > 0 && want < count_ - position_ && isReadMode()) return count_ - position_;
    return AvailableSlow(want);
  }
  const BYTE* Cursor() const { return buffer_ + position_; }
  // True once the source has no more bytes: what is buffered is all that is
  // left.
  bool SourceEnded() const { return end_; }
  // Never beyond the buffered bytes, so the cursor stays inside the buffer.
  void Advance(int n) { position_ += std::max(0, std::min(n, count_ - position_)); }

  // Bytes from the read position to the end of the source (a file or a byte
  // string), without reading them: how a copy tells whether a data count is
  // backed by the data. -1 in a write mode, or when the file's size or
  // position cannot be read.
  long long BytesLeft() const;

  // Replaces the target of Flush (tests stand in for a short-writing sink).
  void SetWriteTarget(WriteTarget target, void* context) {
    target_ = target;
    targetContext_ = context;
  }

 private:
  bool isReadMode() const { return mode_ == kReadFile || mode_ == kReadString; }
  bool isWriteMode() const { return mode_ == kWriteFile || mode_ == kWritePrinter || mode_ == kAppendString; }
  void Refill();
  int AvailableSlow(int want);
  bool SendToTarget(const BYTE* bytes, DWORD count, DWORD* taken);

  int mode_;
  BYTE buffer_[kBufferSize];
  int count_ = 0;
  int position_ = 0;
  long long totalRead_ = 0;     // for a byte string: the next offset to take
  long long totalWritten_ = 0;
  bool end_ = false;
  HANDLE handle_ = nullptr;
  std::string* bytes_ = nullptr;
  WriteTarget target_ = nullptr;
  void* targetContext_ = nullptr;
  bool failed_ = false;
  DWORD lastError_ = 0;
};
