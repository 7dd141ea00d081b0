// PrnLang: the PCL escape-sequence scanner of RAW jobs.
//
// Fed one byte at a time, it tells whether the byte belongs to an escape
// sequence (its ESC, parameters, terminator and the data bytes that follow a
// "W" command) or is plain data, and when a sequence is complete. PCL's
// terminator rule applies: ESC & l 2 A ends at its upper-case letter, a
// lower-case letter joins grouped commands and does not end the sequence.
//
// One scanner serves one scan (a page count, a whole job copy, a macro file
// copy); its state runs on from byte to byte and page to page. A completed
// sequence stays available through GetCommand until another completes.
#pragma once

#include <windows.h>
#include <string>

class PrnLang {
 public:
  static constexpr int kCommandSize = 4096;

  PrnLang();
  virtual ~PrnLang();
  PrnLang(const PrnLang&) = delete;
  PrnLang& operator=(const PrnLang&) = delete;

  // Takes one byte; returns 1 when it belongs to an escape sequence, 0 for
  // plain data. A sequence that fills the command buffer without ending is
  // ended by the next byte (event 4) and delivered with its collected bytes.
  int Feed(BYTE b);
  int IsCommandComplete() const { return complete_; }
  // Copies the last completed sequence (at most kCommandSize bytes) and its
  // length.
  void GetCommand(BYTE* out, int* length) const;
  std::string GetCommand() const { return std::string(reinterpret_cast<const char*>(last_), lastLength_); }

  static bool IsDigit(BYTE b) { return b >= '0' && b <= '9'; }

  // Shortcuts for copy loops, each the same as feeding the bytes one by one.
  // True when the next byte that is not ESC is plain data.
  bool IsBetweenSequences() const { return !inCommand_ || complete_; }
  // Data bytes still expected by a "W" command (0 when none are expected).
  int DataRemaining() const { return (inCommand_ && !complete_) ? dataRemaining_ : 0; }
  // Feeds n plain-data bytes other than ESC (only when IsBetweenSequences()).
  void FeedPlainRun(int n);
  // Feeds n data bytes of a "W" command (n < DataRemaining()).
  void FeedDataRun(int n) { dataRemaining_ -= n; }

 private:
  void Complete();
  void CompleteOverflow();

  int inCommand_ = 0;
  int complete_ = 1;
  BYTE command_[kCommandSize];
  int length_ = 0;
  int dataRemaining_ = 0;
  BYTE last_[kCommandSize];
  int lastLength_ = 0;
};
