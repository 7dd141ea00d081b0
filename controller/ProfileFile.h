// A private-profile (INI) file read whole at once, answering key reads with
// what GetPrivateProfileStringW gives for them.
//
// The platform's profile functions open and parse the file again for every
// key; the spool list needs eight keys from each of thousands of control
// files, so it reads each file once through this class instead. The parser
// follows the platform's reading of the file:
// - a UTF-16LE file starts with FF FE (UTF-16BE with FE FF, UTF-8 with
//   EF BB BF); any other file is text in the ANSI code page;
// - a line ends at CR or LF (CR LF, CR alone and LF alone alike);
// - blanks (tab, LF, VT, FF, CR, space and the DOS end-of-file mark ^Z) are
//   stripped around section names, key names and values;
// - a section line starts with "[" and names what lies before its last "]";
//   a line with "[" but no "]" is an ordinary line;
// - a key line names what lies before its first "="; a line without "=" is
//   a key without a value, which reads as missing;
// - section and key names match without regard to case, and the first
//   section and the first key of a name win (a second [General] is never
//   read);
// - one pair of enclosing double or single quotes is stripped from a value;
// - a NUL character ends a name or a value.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

//
// One reader serves any number of files in turn: each Read replaces the
// last file's text, and the buffers are kept for the next, so that reading
// thousands of control files makes no allocation per file once the
// buffers have the size of the largest.
class CProfileFile {
 public:
  CProfileFile() = default;
  // The names and values point into the file's text.
  CProfileFile(const CProfileFile&) = delete;
  CProfileFile& operator=(const CProfileFile&) = delete;

  // The buffer the settings reads use (values of 4096 characters and more
  // come back cut to 4095).
  static constexpr DWORD kValueChars = 4096;

  // Reads and parses the file. sizeHint (the size a directory listing gave)
  // lets one read take the whole file; a file that grew since is still read
  // to its end. False, with no sections, when the file cannot be opened or
  // read; the reads then give their defaults, as the platform's do.
  bool Read(const std::wstring& path, ULONGLONG sizeHint = 0);

  // Parses the bytes of a whole file.
  void Parse(const char* bytes, size_t size);

  // What GetPrivateProfileStringW(section, key, "", buffer, bufferChars, file)
  // leaves in its buffer; "" for a missing section or key.
  std::wstring Get(std::wstring_view section, std::wstring_view key, DWORD bufferChars = kValueChars) const {
    return std::wstring(Value(section, key, bufferChars));
  }
  // The same text in place, valid until the next Read or Parse.
  std::wstring_view Value(std::wstring_view section, std::wstring_view key, DWORD bufferChars = kValueChars) const;

 private:
  struct Key {
    std::wstring_view name;
    std::wstring_view value;
    bool hasValue = false;
  };
  struct Section {
    std::wstring_view name;
    size_t firstKey = 0;  // into keys_
    size_t keyCount = 0;
  };

  std::string bytes_;  // the file as read
  std::wstring text_;  // the decoded file; the views below point into it
  std::vector<Section> sections_;
  std::vector<Key> keys_;
};
