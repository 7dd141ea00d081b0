// The buffered byte stream of RAW jobs; see VFile.h.
#include "engine/VFile.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>

#include "engine/PrnLang.h"

namespace {

bool IsNumberChar(BYTE b) { return PrnLang::IsDigit(b) || b == '-' || b == '+' || b == '.'; }
bool IsSpaceChar(BYTE b) { return b == 0x0C || b == '\r' || b == '\n' || b == ' ' || b == '\t'; }

// Length of the run of bytes from data[i] that satisfy pred.
template <typename Pred>
int RunLength(const BYTE* data, int i, int length, Pred pred) {
  int n = 0;
  while (i + n < length && pred(data[i + n])) ++n;
  return n;
}

}  // namespace

VFile::VFile(HANDLE handle, int mode) : mode_(mode), handle_(handle) {}

VFile::VFile(std::string* bytes, int mode) : mode_(mode), bytes_(bytes) {}

VFile::~VFile() = default;

int VFile::Rewind() {
  count_ = 0;
  position_ = 0;
  totalRead_ = 0;
  totalWritten_ = 0;
  end_ = false;
  if (mode_ == kReadFile && handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
    LARGE_INTEGER zero{};
    SetFilePointerEx(handle_, zero, nullptr, FILE_BEGIN);
  }
  return 0;
}

void VFile::Refill() {
  // Keep what is still unread at the front; the rest of the buffer takes
  // new bytes.
  int kept = count_ > position_ ? count_ - position_ : 0;
  if (kept > 0 && position_ > 0) memmove(buffer_, buffer_ + position_, kept);
  position_ = 0;
  count_ = kept;
  const int room = kBufferSize - kept;
  if (room <= 0) return;  // full: the caller's request fits already

  DWORD got = 0;
  if (mode_ == kReadFile) {
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE ||
        !ReadFile(handle_, buffer_ + kept, static_cast<DWORD>(room), &got, nullptr)) {
      // A source that cannot be read ends here; the owner sees Failed().
      lastError_ = GetLastError();
      failed_ = true;
      got = 0;
    }
  } else if (mode_ == kReadString && bytes_ != nullptr) {
    const size_t offset = static_cast<size_t>(totalRead_);
    if (offset < bytes_->size()) {
      got = static_cast<DWORD>(std::min<size_t>(room, bytes_->size() - offset));
      memcpy(buffer_ + kept, bytes_->data() + offset, got);
    }
  }
  if (got > 0) {
    totalRead_ += got;
    count_ = kept + static_cast<int>(got);
  } else {
    end_ = true;
  }
}

int VFile::AvailableSlow(int want) {
  if (!isReadMode()) return 0;
  want = std::max(1, std::min(want, kBufferSize - 1));
  // A source may deliver less than asked for although it has more: refill
  // until the request lies in the buffer or the source has ended.
  while (position_ + want >= count_ && !end_) Refill();
  if (end_ && position_ > count_) position_ = count_;
  return count_ - position_;
}

long long VFile::BytesLeft() const {
  const long long buffered = count_ > position_ ? count_ - position_ : 0;
  if (mode_ == kReadString) {
    const long long size = bytes_ != nullptr ? static_cast<long long>(bytes_->size()) : 0;
    return std::max(0LL, size - totalRead_) + buffered;
  }
  if (mode_ != kReadFile || handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return -1;
  // The file's own position, not the bytes this stream took: a handle that
  // was read before the stream was made is counted right too.
  LARGE_INTEGER size{}, zero{}, position{};
  if (!GetFileSizeEx(handle_, &size) || !SetFilePointerEx(handle_, zero, &position, FILE_CURRENT)) return -1;
  return std::max(0LL, size.QuadPart - position.QuadPart) + buffered;
}

int VFile::Peek(void* out, int n, int* got) {
  if (got) *got = 0;
  if (n <= 0) return isReadMode() ? kOk : kFailed;
  if (!isReadMode() || n >= kBufferSize) {
    memset(out, 0, n);
    return kFailed;
  }
  const int avail = Available(n);
  const int take = std::min(avail, n);
  memcpy(out, Cursor(), take);
  if (take < n) memset(static_cast<BYTE*>(out) + take, 0, n - take);
  if (got) *got = take;
  return (position_ + n < count_ || !end_) ? kOk : kEnd;
}

int VFile::Read(void* out, int n, int* got) {
  if (got) *got = 0;
  if (!isReadMode()) {
    if (out && n > 0) memset(out, 0, n);
    return kFailed;
  }
  BYTE* dst = static_cast<BYTE*>(out);
  int status = kOk;
  int total = 0;
  while (n > 0) {
    const int chunk = std::min(n, kWindow);
    const int avail = Available(chunk);
    const int take = std::min(avail, chunk);
    if (dst) {
      memcpy(dst, Cursor(), take);
      if (take < chunk) memset(dst + take, 0, chunk - take);
      dst += chunk;
    }
    status = (position_ + chunk < count_ || !end_) ? kOk : kEnd;
    position_ += take;
    total += take;
    n -= chunk;
    if (status == kEnd) {
      if (dst && n > 0) memset(dst, 0, n);
      break;
    }
  }
  if (got) *got = total;
  return status;
}

int VFile::Match(const char* pattern, const BYTE* data, int length) {
  if (pattern == nullptr || *pattern == '\0') return 0;
  int i = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pattern); *p; ++p) {
    if (*p != '~') {
      if (i >= length || data[i] != *p) return 0;
      ++i;
      continue;
    }
    const unsigned char code = *++p;
    if (code < 'A' || code > '~') return 0;  // also a "~" that ends the pattern
    int run = 0;
    switch (code) {
      case 'A':
        if (i >= length) return 0;
        ++i;
        break;
      case 'E':
        if (i >= length || !(data[i] >= 'A' && data[i] <= 'Z')) return 0;
        ++i;
        break;
      case 'e':
        if (i >= length || !(data[i] >= 'a' && data[i] <= 'z')) return 0;
        ++i;
        break;
      case 'a':
        if (i >= length || !((data[i] >= 'A' && data[i] <= 'Z') || (data[i] >= 'a' && data[i] <= 'z'))) return 0;
        ++i;
        break;
      case 'd':
        if (i >= length || !PrnLang::IsDigit(data[i])) return 0;
        ++i;
        break;
      case 'n':
        run = RunLength(data, i, length, [](BYTE b) { return PrnLang::IsDigit(b); });
        if (run == 0) return 0;
        i += run;
        break;
      case 'F':
        run = RunLength(data, i, length, IsNumberChar);
        if (run == 0) return 0;
        i += run;
        break;
      case 'f':
        run = RunLength(data, i, length, [](BYTE b) { return IsNumberChar(b) || b == ','; });
        if (run == 0) return 0;
        i += run;
        break;
      case 'L':
        run = RunLength(data, i, length, [](BYTE b) { return b == '\r' || b == '\n'; });
        if (run == 0) return 0;
        i += run;
        break;
      case 'S':
        i += RunLength(data, i, length, IsSpaceChar);
        break;
      case 's':
        i += RunLength(data, i, length, [](BYTE b) { return b == ' '; });
        break;
      case '~':
        if (i >= length || data[i] != '~') return 0;
        ++i;
        break;
      default:
        return 0;
    }
  }
  return i;
}

int VFile::MatchHere(const char* pattern) {
  const int avail = Available(kWindow);
  return Match(pattern, Cursor(), std::min(avail, kWindow));
}

int VFile::Find(const char* pattern) {
  const int avail = Available(2 * kWindow);
  const int limit = std::min(avail, 2 * kWindow);
  const int starts = std::min(avail, kWindow);
  const BYTE* data = Cursor();
  for (int offset = 0; offset < starts; ++offset)
    if (Match(pattern, data + offset, limit - offset) > 0) return offset;
  return -1;
}

int VFile::Skip(const char* pattern) {
  const int n = MatchHere(pattern);
  if (n > 0) Advance(n);
  return n;
}

double VFile::ReadNumber() {
  const int avail = Available(kWindow);
  const BYTE* data = Cursor();
  const int n = Match("~S~F", data, std::min(avail, kWindow));
  if (n == 0) return 0.0;
  // Decimal text: an optional sign, digits, an optional point and digits;
  // whatever follows among the number characters is not part of it.
  int i = 0;
  while (i < n && IsSpaceChar(data[i])) ++i;
  double sign = 1.0;
  if (i < n && (data[i] == '-' || data[i] == '+')) {
    if (data[i] == '-') sign = -1.0;
    ++i;
  }
  double value = 0.0;
  for (; i < n && PrnLang::IsDigit(data[i]); ++i) value = value * 10.0 + (data[i] - '0');
  if (i < n && data[i] == '.') {
    double scale = 0.1;
    for (++i; i < n && PrnLang::IsDigit(data[i]); ++i, scale /= 10.0) value += (data[i] - '0') * scale;
  }
  Advance(n);
  return sign * value;
}

bool VFile::SendToTarget(const BYTE* bytes, DWORD count, DWORD* taken) {
  *taken = 0;
  bool ok = false;
  if (target_ != nullptr) {
    ok = target_(targetContext_, bytes, count, taken);
  } else if (mode_ == kWriteFile) {
    ok = WriteFile(handle_, bytes, count, taken, nullptr) != FALSE;
  } else if (mode_ == kWritePrinter) {
    ok = WritePrinter(handle_, const_cast<BYTE*>(bytes), count, taken) != FALSE;
  } else if (mode_ == kAppendString && bytes_ != nullptr) {
    bytes_->append(reinterpret_cast<const char*>(bytes), count);
    *taken = count;
    ok = true;
  }
  if (!ok) lastError_ = GetLastError();
  if (*taken > count) *taken = count;
  return ok;
}

int VFile::Flush() {
  if (!isWriteMode()) return kFailed;
  int sent = 0;
  int status = kOk;
  while (sent < count_) {
    DWORD taken = 0;
    const bool ok = SendToTarget(buffer_ + sent, static_cast<DWORD>(count_ - sent), &taken);
    sent += static_cast<int>(taken);
    totalWritten_ += taken;
    if (!ok || taken == 0) {
      // Refused, or taking nothing: the bytes cannot go. A success that took
      // nothing is a stall, which is no success either.
      if (ok) lastError_ = 0;
      failed_ = true;
      status = kFailed;
      break;
    }
  }
  // Only what the target has not taken stays pending.
  if (sent > 0 && sent < count_) memmove(buffer_, buffer_ + sent, count_ - sent);
  count_ -= sent;
  return status;
}

int VFile::PutByte(BYTE b) {
  if (!isWriteMode()) return kFailed;
  if (count_ >= kBufferSize && Flush() != kOk) return kFailed;
  buffer_[count_++] = b;
  return kOk;
}

int VFile::Write(const void* bytes, int n) {
  if (!isWriteMode()) return kFailed;
  const BYTE* src = static_cast<const BYTE*>(bytes);
  while (n > 0) {
    if (count_ >= kBufferSize && Flush() != kOk) return kFailed;
    const int take = std::min(n, kBufferSize - count_);
    memcpy(buffer_ + count_, src, take);
    count_ += take;
    src += take;
    n -= take;
  }
  return kOk;
}
