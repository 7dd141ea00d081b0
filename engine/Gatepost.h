// Hand-off of processed jobs to the Gatepost print-management system: the
// job is printed into Gatepost's queue folder, its control file copied
// beside it as the header file, and Gatepost's submitter started.
#pragma once

#include <string>

struct JobContext;

// Takes the next queue file name (consumes one Gatepost JobNumber). False
// when the hand-off cannot be made; the job is then not printed.
bool GetGatepostQueueFile(std::wstring& queueFile);

// After the document has ended: header file and submitter start. False when
// the hand-off failed (the job's files are then kept).
bool HandOffToGatepost(const JobContext& ctx);
