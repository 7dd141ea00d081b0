// The controller's document: it holds no data and reads and writes nothing.
// It only carries the title the main frame shows after "Dorvane - " and the
// file name that New, Open and Save give it.
#pragma once

#include <string>

class CDorvaneDoc final {
 public:
  CDorvaneDoc() = default;
  CDorvaneDoc(const CDorvaneDoc&) = delete;
  CDorvaneDoc& operator=(const CDorvaneDoc&) = delete;

  // A new, untitled document; always succeeds.
  bool OnNewDocument();
  // Names the document after a file (its title is the file's name); the file
  // is neither read nor written.
  void SetPathName(const std::wstring& path);

  const std::wstring& Title() const { return title_; }
  const std::wstring& PathName() const { return path_; }

 private:
  std::wstring title_;
  std::wstring path_;
};
