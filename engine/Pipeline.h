// The job pipeline behind both engine exports: one spooled job, given by its
// number, printed on its destination printer with its scenario applied.
#pragma once

#include <string>

// Runs the whole pipeline for one job. Returns 1 when the job ran to its end
// (printed, handed on to Gatepost when that is on, files deleted under
// DeleteFilesAfter) and 0 on every early exit, which keeps the job's files.
int ProcessJobAndSendToPrinter(int jobNumber, bool isRaw);

// "Dorvane  Job:%03d;%s": the output document name, with a checksum of the
// document name's code units below 128, modulo 1000.
std::wstring BuildOutputJobName(const std::wstring& document);
