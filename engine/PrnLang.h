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
  int Feed(BYTE b) {
    if (complete_) {
      complete_ = 0;
      inCommand_ = 0;
    }
    if (!inCommand_) {
      if (b != 0x1B) return 0;
      command_[0] = b;
      length_ = 1;
      dataRemaining_ = 0;
      inCommand_ = 1;
      return 1;
    }
    if (dataRemaining_ > 0) {
      // Data of a "W" command: counted, not stored.
      if (--dataRemaining_ == 0) Complete();
      return 1;
    }
    // Parameter bytes are stored; the rest (terminators, the "W" count, the
    // second byte of a two-byte sequence, a full buffer) is decided apart.
    if (b >= 0x40 && b <= 0x5E) return FeedTerminator(b);
    if (length_ == 1 && ((b >= 0x30 && b <= 0x3F) || (b >= 0x5F && b <= 0x7E))) {
      Complete();  // two-byte sequence: delivered as the ESC alone
      return 1;
    }
    if (length_ >= kCommandSize) {
      CompleteOverflow();
      return 1;
    }
    command_[length_++] = b;
    return 1;
  }
  int IsCommandComplete() const { return complete_; }
  // Copies the last completed sequence (at most kCommandSize bytes) and its
  // length.
  void GetCommand(BYTE* out, int* length) const;
  std::string GetCommand() const { return std::string(reinterpret_cast<const char*>(last_), lastLength_); }
  // The last completed sequence in place (valid until another completes).
  const BYTE* CommandBytes() const { return last_; }
  int CommandLength() const { return lastLength_; }

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
  // Inside a sequence that is collecting parameters: feeds the parameter
  // bytes at the start of p[0, n) (none of which ends the sequence) and
  // returns how many it took; it stops at the first byte that may.
  int FeedParameters(const BYTE* p, int n) {
    if (!inCommand_ || complete_ || dataRemaining_ > 0 || length_ < 2) return 0;
    int i = 0;
    while (i < n && length_ < kCommandSize) {
      const BYTE b = p[i];
      if (b == 0x1B || (b >= 0x40 && b <= 0x5E)) break;
      command_[length_++] = b;
      ++i;
    }
    return i;
  }

 private:
  int FeedTerminator(BYTE b);
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
