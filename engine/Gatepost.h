// Hand-off of processed jobs to the Gatepost print-management system.
//
// With General/SendToGatepost on, the job is printed into a file of
// Gatepost's queue folder instead of onto the printer ("<ExePath>Queue\F<n>",
// n a new JobNumber), the job's control file is copied beside it as the
// header file ("...\H<n>"), and Gatepost's own Submitter.exe is started for
// it. Gatepost's installation writes HKLM "SOFTWARE\Gatepost\Settings":
// ExePath (its program folder) and JobNumber (the last queue number used).
//
// The queue and header files belong to Gatepost once written; the engine
// never deletes them. JobNumber is read, incremented and written back
// without a lock.
#pragma once

#include <windows.h>
#include <string>

struct JobContext;

extern const wchar_t kGatepostKey[];  // SOFTWARE\Gatepost\Settings

// Writes a REG_DWORD value of an HKLM key, creating the key when missing.
// Returns the registry status.
LSTATUS RegWriteHklmDword(const std::wstring& keyPath, const std::wstring& valueName, DWORD value);

// Takes the next queue file name and consumes its JobNumber. A number whose
// F or H file is already in the queue folder is passed over, so no job
// overwrites another. False (event 1009, no number taken) when ExePath is
// empty: the job is then not printed and its files are kept.
bool GetGatepostQueueFile(std::wstring& queueFile);

// Header file of a queue file: its last "F" replaced by "H".
std::wstring GetGatepostHeaderFile(const std::wstring& queueFile);

// Starts "<ExePath>Submitter.exe" "<header file>" by its full path with a
// hidden window, without waiting for it. False (event 1012 with the error
// and the command line) when ExePath is empty or the start fails.
bool StartGatepostSubmitter(const std::wstring& headerFile);

// After the document has ended: copies the control file to the header file
// (never over an existing one) and starts the submitter. False when either
// fails (event 2 for the copy); the pipeline then keeps the job's files.
bool HandOffToGatepost(const JobContext& ctx);
