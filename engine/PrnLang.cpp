// The PCL escape-sequence scanner; see PrnLang.h.
#include "engine/PrnLang.h"

#include <climits>
#include <cstring>

#include "common/EventLog.h"

PrnLang::PrnLang() = default;

PrnLang::~PrnLang() = default;

void PrnLang::GetCommand(BYTE* out, int* length) const {
  memcpy(out, last_, lastLength_);
  *length = lastLength_;
}

void PrnLang::FeedPlainRun(int n) {
  if (n > 0 && complete_) {
    complete_ = 0;
    inCommand_ = 0;
  }
}

void PrnLang::Complete() {
  memcpy(last_, command_, length_);
  lastLength_ = length_;
  length_ = 0;
  dataRemaining_ = 0;
  complete_ = 1;
}

void PrnLang::CompleteOverflow() {
  // The byte that would not fit is not stored; it ends the sequence so that
  // scanning can go on with the next one.
  LogLastError(4, GetLastError());
  Complete();
}

int PrnLang::FeedTerminator(BYTE b) {
  if (length_ >= kCommandSize) {
    CompleteOverflow();
    return 1;
  }
  if (b != 'W') {
    command_[length_++] = b;
    Complete();
    return 1;
  }
  // The data count is the decimal number just before the "W". A count too
  // large for an int is saturated: the data then runs to the end of the
  // input, which is all a reader can do with it.
  long long value = 0;
  long long scale = 1;
  for (int i = length_ - 1; i >= 0 && IsDigit(command_[i]); --i) {
    const int digit = command_[i] - '0';
    if (digit != 0) {
      if (scale > INT_MAX) {
        value = INT_MAX;
      } else {
        value += digit * scale;
        if (value > INT_MAX) value = INT_MAX;
      }
    }
    if (scale <= INT_MAX) scale *= 10;
  }
  command_[length_++] = b;
  if (value == 0) {
    // No data follows: the sequence ends at the "W".
    Complete();
  } else {
    dataRemaining_ = static_cast<int>(value);
  }
  return 1;
}
