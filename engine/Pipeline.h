// The job pipeline behind both engine exports: one spooled job, given by its
// number, printed on its destination printer with its scenario applied.
//
// ProcessJobAndSendToPrinter (Pipeline.cpp) runs the steps common to both
// kinds of job: job files, settings, destination printer, scenario choice,
// Gatepost and deletion. The kind-specific middle, from the destination
// printer's settings to the end of the document, is RunEmfJob (EmfJob.cpp)
// or RunRawJob (RawJob.cpp); AnalyseRawJob (RawJob.cpp) decides first what a
// RAW job is.
#pragma once

#include <string>

#include "engine/JobFiles.h"

class CScenario;

// Working state of one call; nothing survives it.
struct JobContext {
  int jobNumber = 0;
  bool isRaw = false;
  JobFileNames files;
  bool passThrough = false;          // RAW data that is not PCL5
  std::wstring settingsFile;         // install folder + "Dorvane.ini"
  std::wstring printerName;          // General/PrinterName (or the Gatepost forced printer)
  std::wstring destinationPrinter;   // after the cluster rule (or the Gatepost forced printer)
  int totalPages = 1;
  int pagesPerSide = 1;
  int orientation = 1;               // the control file's Orientation
  std::wstring document;
  std::wstring outputJobName;
  JobInformation record;
  CScenario* scenario = nullptr;     // owned by the pipeline
  bool sendToGatepost = false;       // SendToGatepost, read once per job
  std::wstring gatepostQueueFile;    // output file of the document, "" when Gatepost is off
  int duplex = 0;                    // the value written to Job/Duplex
};

// Runs the whole pipeline for one job. Returns 1 when the job ran to its end
// (printed, handed on to Gatepost when that is on, files deleted under
// DeleteFilesAfter) and 0 on every early exit, which keeps the job's files.
int ProcessJobAndSendToPrinter(int jobNumber, bool isRaw);

// "Dorvane  Job:%03d;%s": the output document name, with a checksum of the
// document name's code units below 128, modulo 1000.
std::wstring BuildOutputJobName(const std::wstring& document);

// Writes Job/Duplex of the control file as "%d".
void WriteDuplexToControlFile(const JobContext& ctx);

// EMF middle of the pipeline: destination devmode, device context, document
// and pages. True when the document was printed; false (events logged) on
// the exits that keep the job's files.
bool RunEmfJob(JobContext& ctx);

// RAW analysis before everything else: 1 PCL5 job, 0 pass-through, -1
// instructions job.
int AnalyseRawJob(JobContext& ctx);

// RAW middle of the pipeline: spool data and printer opened, document and
// pages copied. True when the document was printed.
bool RunRawJob(JobContext& ctx);
