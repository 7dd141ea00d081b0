// RAW jobs: what the printer data is, how many pages it holds, and the
// PCL5 copy with the duplex setting in its job header.
//
// A RAW job arrives as the printer's own data. PCL XL and PostScript pass
// through unchanged; an instructions job is not printed at all; PCL5 is
// copied page by page so the scenario's templates can be laid over each page
// (through the macro file) and the duplex command of the job header set.
// All byte handling goes through VFile and PrnLang. The pipeline's RAW
// middle (AnalyseRawJob and RunRawJob, declared in Pipeline.h) is built from
// these operations.
//
// Only bytes that came from the spool data are copied: a read at the end of
// the data adds nothing.
#pragma once

#include <string>

#include "engine/VFile.h"

class PrnLang;

// Result of AnalyzeRawJob.
constexpr int kRawInstructionsJob = -1;
constexpr int kRawPassThrough = 0;
constexpr int kRawPcl5 = 1;

// What the first 4096 bytes of a job's data say about it.
struct RawAnalysis {
  int kind = kRawPcl5;   // kRawInstructionsJob, kRawPassThrough or kRawPcl5
  int orientation = 0;   // PCL5: 2 landscape (either kind), 1 other, 0 no command
  bool a4 = false;       // PCL5: the paper command names A4 (26)
};

// The analysis of AnalyzeRawJob on a stream from its start (a file, or bytes
// in memory), without touching the control file. The stream is rewound on
// the way.
RawAnalysis AnalyzeRawData(VFile& in);

// Looks at the first 4096 bytes of the spool data: PCL XL or PostScript
// give 0 (pass-through), the instructions job's PJL line -1, anything else 1
// (PCL5), for which General/Orientation ("1" or "2") and, for A4 paper,
// General/DevmodePaper ("9 (A4)") are written to the control file. Spool
// data that cannot be opened: event 1007, result 0.
int AnalyzeRawJob(const std::wstring& controlFile, const std::wstring& spoolFile);

// Pages of PCL5 data: one, plus one for every form feed followed by
// printable data outside PJL or by a command that does not leave the page
// break pending. At least 1; spool data that cannot be opened gives event
// 1007 and 1.
int CountPcl5Pages(const std::wstring& spoolFile);
// The same count on data in memory.
int CountPcl5Pages(const void* data, size_t size);

// Copies the job header (everything before ESC*p0x0Y, else before the first
// copies command ESC&l#X, within the first 4096 bytes) with the duplex digit
// set for a duplex value of 1 to 3 (0, 1, 2: PCL's one-sided, long-edge,
// short-edge): the header's own duplex command gets the digit, a header
// without one gets ESC&l<digit>S at its end. Other values leave the header
// as it is. When the header's end is not found nothing is copied here and
// the data goes on unchanged. The scanner is not used. Returns 1.
int WritePclDuplexHeader(PrnLang& scanner, VFile& in, VFile& out, int duplex);

// Where the pages of a PCL5 copy begin and end: the spooler's page calls and
// the template layers laid over each page hang on these.
class PclPageCalls {
 public:
  virtual ~PclPageCalls() = default;
  // Before the page's first byte (StartPagePrinter, template layer 1, the
  // page's PageTemplates key). False stops the copy at once.
  virtual bool PageStarts(int page) = 0;
  // After the page's last byte, before the form feed the copy writes for it
  // (template layer 0).
  virtual void PageBodyEnds(int page) = 0;
  // After that form feed (EndPagePrinter, template layer 3). False stops the
  // copy at once.
  virtual bool PageEnds(int page) = 0;
};

// Copies a PCL5 job from the start of its data: the job header with its
// duplex digit (WritePclDuplexHeader), then up to totalPages pages, each
// between the calls and closed by a form feed of the copy's own, then what
// is left as it stands.
//
// Pages start exactly where CountPcl5Pages counts them, by the same rules
// run over every byte of the data (the header's too). Page 1 is made when
// the data after the header holds page content (HoldsPageContent) and
// starts right there. A page ends at the form feed that sets the counter's
// page break pending (one after plain data or a completed sequence; one
// inside a sequence or its data does not count), which is consumed; the
// last may end with the data. What lies between a page's form feed and the
// next counted page (line ends, the form feeds of blank pages, raster ends,
// resets, job ends and PJL lines) is copied as it stands before the next
// page's calls; a page counted at a command starts at that command's ESC.
// Data that holds no further page ends the pages, and the rest gets no form
// feed of its own. ESC&b1M (any case) is dropped from pages wherever it
// starts outside the data of a command with a data count (ESC*b#W and the
// like); its bytes are still scanned, and what lies outside pages keeps it.
// Each byte is scanned a bounded number of times, however many blank pages
// the data holds.
//
// Returns the number of pages made; -1 when a call returned false, in which
// case nothing more is copied. Stops writing once the output has failed
// (out.Failed()).
int CopyPcl5Job(VFile& in, VFile& out, int duplex, int totalPages, PclPageCalls& calls);

// True when the data from the read position on, taken as following a form
// feed, holds a page by the page counter's rules: printable data outside
// PJL, or a command other than those that leave a page break pending
// (raster ends, the printer reset, the job-end sequence). What holds none
// (a job of nothing but job control, line ends) is no page: the test for a
// job's first page. Reads ahead without consuming anything; data beyond
// what one read buffer holds counts as a page, as does a command too long
// for the scanner. False at the end of the data.
bool HoldsPageContent(VFile& in);

// Copies the rest of the data as it stands. Returns 1.
int CopyRemainingData(VFile& in, VFile& out);

// Where the pipeline's RAW output stream hands its blocks; nullptr (the
// default) is the printer through WritePrinter. Tests stand in for a printer
// that takes only part of a write or refuses it.
void SetRawOutputTarget(VFile::WriteTarget target, void* context);

