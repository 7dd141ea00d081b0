// Reading of a private-profile file in one pass; the rules it follows are
// listed in ProfileFile.h.
#include "controller/ProfileFile.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/Handles.h"
#include "common/StringUtil.h"

namespace {

// The blanks the platform strips: the C locale's white space and ^Z, the
// DOS end-of-file mark some old editors leave at the end of a file.
bool IsBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20; }

std::wstring_view TrimBlanks(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A name or value ends at its first NUL, as the platform keeps them as C
// strings.
std::wstring_view UpToNul(std::wstring_view text) {
  const size_t nul = text.find(L'\0');
  return nul == std::wstring_view::npos ? text : text.substr(0, nul);
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The text of a value as a read into a buffer of bufferChars characters
// gives it: one pair of enclosing quotes stripped, cut to the buffer. When
// the value is cut, the character that would have been the closing quote's
// place is still dropped, as the platform does.
std::wstring_view BufferedValue(std::wstring_view value, DWORD bufferChars) {
  if (bufferChars == 0) return std::wstring_view();
  const bool quoted = value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
                      value.back() == value.front();
  if (quoted) value.remove_prefix(1);
  std::wstring_view text = value.substr(0, std::min<size_t>(value.size(), bufferChars - 1));
  if (quoted && bufferChars >= value.size() && !text.empty()) text.remove_suffix(1);
  return text;
}

// UTF-16 text after its byte-order mark. An odd last byte is half of a
// character still being written: it is left out (the platform takes
// whatever follows the file in its buffer as the other half).
void Utf16(const char* bytes, size_t size, bool bigEndian, std::wstring& text) {
  text.resize(size / 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char first = static_cast<unsigned char>(bytes[2 * i]);
    const unsigned char second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = bigEndian ? static_cast<wchar_t>(first << 8 | second) : static_cast<wchar_t>(second << 8 | first);
  }
}

}  // namespace

bool CProfileFile::Read(const std::wstring& path, ULONGLONG sizeHint) {
  Parse(nullptr, 0);
  // The writer of a control file (the print processor, the engine) may
  // hold it open: share everything, as the platform's profile reads do.
  dv::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // One byte more than the expected size: a read that comes back short has
  // reached the end, so an unchanged file takes a single read.
  std::string& bytes = bytes_;
  bytes.resize(static_cast<size_t>(std::min<ULONGLONG>(sizeHint, 1 << 20)) + 1);
  size_t got = 0;
  for (;;) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1u << 30));
    if (!ReadFile(file.get(), bytes.data() + got, want, &n, nullptr)) return false;
    got += n;
    if (n < want) break;
    if (bytes.size() > (size_t{1} << 30)) return false;  // no control file is this large
    bytes.resize(bytes.size() * 2);
  }
  Parse(bytes.data(), got);
  return true;
}

void CProfileFile::Parse(const char* bytes, size_t size) {
  text_.clear();
  sections_.clear();
  keys_.clear();
  const auto starts = [&](const char* mark, size_t n) { return size >= n && std::memcmp(bytes, mark, n) == 0; };
  if (starts("\xEF\xBB\xBF", 3)) {
    dv::FromCodePage(CP_UTF8, bytes + 3, size - 3, text_);
  } else if (starts("\xFF\xFE", 2)) {
    Utf16(bytes + 2, size - 2, false, text_);
  } else if (starts("\xFE\xFF", 2)) {
    Utf16(bytes + 2, size - 2, true, text_);
  } else {
    dv::FromCodePage(CP_ACP, bytes, size, text_);
  }

  // Lines before the first section line belong to a section without a name.
  sections_.push_back(Section{});
  const std::wstring_view all(text_);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) end = all.size();
    const std::wstring_view line = TrimBlanks(all.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == L'[') {
      const size_t close = line.rfind(L']');
      if (close != std::wstring_view::npos) {
        sections_.push_back(Section{UpToNul(TrimBlanks(line.substr(1, close - 1))), keys_.size(), 0});
        continue;
      }
    }
    Key key;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
      key.name = UpToNul(line);
    } else {
      key.name = UpToNul(TrimBlanks(line.substr(0, equals)));
      key.value = UpToNul(TrimBlanks(line.substr(equals + 1)));
      key.hasValue = true;
    }
    keys_.push_back(key);
    sections_.back().keyCount++;
  }
}

std::wstring_view CProfileFile::Value(std::wstring_view section, std::wstring_view key, DWORD bufferChars) const {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  for (const Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (size_t i = s.firstKey; i < s.firstKey + s.keyCount; ++i) {
      const Key& k = keys_[i];
      if (SameName(k.name, key)) return k.hasValue ? BufferedValue(k.value, bufferChars) : std::wstring_view();
    }
    return std::wstring_view();
  }
  return std::wstring_view();
}
