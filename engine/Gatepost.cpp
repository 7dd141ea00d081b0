// Gatepost hand-off; see Gatepost.h. Not wired to Gatepost yet: every
// hand-off is refused, so no job is reported as handed on.
#include "engine/Gatepost.h"

bool GetGatepostQueueFile(std::wstring& queueFile) {
  queueFile.clear();
  return false;
}

bool HandOffToGatepost(const JobContext&) { return false; }
