// RAW jobs: analysis, page count, PCL5 copy and the pipeline's RAW middle;
// see RawJob.h and Pipeline.h.
//
// The PCL5 copy runs the page counter's state over every byte it copies, so
// that it starts a page where the count counts one. Its loops follow the
// byte-by-byte rules, but take runs of bytes that no rule can stop (plain
// data that is neither ESC nor a form feed, a sequence's parameters, the
// data of a raster command) in one piece, so a long job costs little more
// than a plain copy.
#include "engine/RawJob.h"

#include <windows.h>
#include <winspool.h>

#include <emmintrin.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "common/EventLog.h"
#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/JobFiles.h"
#include "engine/DocumentCalls.h"
#include "engine/DestinationPrinter.h"
#include "engine/Gatepost.h"
#include "engine/Pipeline.h"
#include "engine/PrnLang.h"
#include "engine/Scenario.h"
#include "engine/VFile.h"

namespace {

constexpr BYTE kEsc = 0x1B;
constexpr BYTE kFormFeed = 0x0C;

const char kPclXlPattern[] = "LANGUAGE~s=~sPCLXL";
const char kPostScriptPattern[] = "LANGUAGE~s=~sPOSTSCRIPT";
const char kPostScriptMagic[] = "%!PS";
const char kInstructionsPattern[] = "\x1b%-12345X@PJL JOB NAME=\"Dorvane Instructions Job\"";
const char kOrientationUpper[] = "\x1b&l~nO";
const char kOrientationLower[] = "\x1b&l~no";
const char kPaperUpper[] = "\x1b&l~nA";
const char kPaperLower[] = "\x1b&l~na";
const char kDuplexCommand[] = "\x1b&l~nS";
const char kHeaderEnd[] = "\x1b*p0x0Y";
const char kCopiesCommand[] = "\x1b&l~nX";

// Offset of the first byte in p[0, n) equal to a or b (n when none), sixteen
// bytes at a time: most of a job is text and raster data that only has to be
// searched for the few bytes that matter.
int FindEither(const BYTE* p, int n, BYTE a, BYTE b) {
  const __m128i va = _mm_set1_epi8(static_cast<char>(a));
  const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(w, va), _mm_cmpeq_epi8(w, vb)));
    if (mask != 0) return i + __builtin_ctz(static_cast<unsigned>(mask));
  }
  for (; i < n; ++i)
    if (p[i] == a || p[i] == b) return i;
  return n;
}

HANDLE OpenSpoolData(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// ESC & b 1 M in any case: dropped from every copied page.
bool IsDroppedCommand(const BYTE* p) {
  return p[0] == kEsc && p[1] == '&' && (p[2] | 0x20) == 'b' && p[3] == '1' && (p[4] | 0x20) == 'm';
}

bool EqualsIgnoringCase(const BYTE* a, int length, const char* b) {
  for (int i = 0; i < length; ++i) {
    unsigned char x = a[i];
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

// Reads the number of the command found at offset: the bytes up to and
// including ESC "&l", then the number there, truncated toward zero.
int ReadCommandNumber(VFile& in, int offset) {
  in.Read(nullptr, offset + 3);
  const double value = in.ReadNumber();
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

// The page counter's view of the last completed sequence.
enum class LastCommand { kNone, kJobEnd, kKeepsBreak, kOther };

LastCommand Classify(const BYTE* command, int length) {
  // The listed sequences by length, so that most commands (raster rows,
  // cursor moves) are told apart at once.
  static const char* const kKeepBreak4[] = {"\x1b*rB"};
  static const char* const kKeepBreak5[] = {"\x1b*c0P", "\x1b*b0M", "\x1b*c0Q", "\x1b*c1D", "\x1b*c2D", "\x1b*c2F"};
  switch (length) {
    case 0:
      return LastCommand::kNone;
    case 2:
      return EqualsIgnoringCase(command, 2, "\x1b" "E") ? LastCommand::kKeepsBreak : LastCommand::kOther;
    case 4:
      for (const char* k : kKeepBreak4)
        if (EqualsIgnoringCase(command, 4, k)) return LastCommand::kKeepsBreak;
      return LastCommand::kOther;
    case 5:
      for (const char* k : kKeepBreak5)
        if (EqualsIgnoringCase(command, 5, k)) return LastCommand::kKeepsBreak;
      return LastCommand::kOther;
    case 9:
      return EqualsIgnoringCase(command, 9, "\x1b%-12345X") ? LastCommand::kJobEnd : LastCommand::kOther;
    default:
      return LastCommand::kOther;
  }
}

// Page counter state, fed byte by byte.
struct PageCounter {
  PrnLang scanner;
  int pages = 1;
  bool pending = false;
  bool inPjl = false;
  LastCommand last = LastCommand::kNone;
  int pjlFirst = -1;  // first byte of the PJL line, -1 while it is empty

  // More pages than an int holds would take a spool file of gigabytes; the
  // count stops at INT_MAX rather than wrap.
  void AddPage() {
    if (pages < INT_MAX) ++pages;
    pending = false;
  }

  void Feed(BYTE b) {
    const int inCommand = scanner.Feed(b);
    if (scanner.IsCommandComplete()) last = Classify(scanner.CommandBytes(), scanner.CommandLength());
    if (last == LastCommand::kJobEnd) inPjl = true;
    if (inPjl) {
      if (pjlFirst < 0) pjlFirst = b;
      if (pjlFirst != '@') {
        pjlFirst = -1;
        inPjl = false;
      }
      if (b == '\n') pjlFirst = -1;
    }
    if (!inCommand) {
      if (b == kFormFeed) {
        pending = true;
        last = LastCommand::kNone;
        return;
      }
      if (b != '\r' && b != '\n' && !inPjl) {
        if (pending) {
          AddPage();
        }
        return;
      }
    }
    if (pending && last == LastCommand::kOther) {
      AddPage();
    }
  }

  // Feeds a block; runs that cannot change the count go to the scanner in
  // one piece.
  void FeedBlock(const BYTE* p, int n) {
    int i = 0;
    while (i < n) {
      if (!pending && !inPjl && last != LastCommand::kJobEnd) {
        int run = 0;
        if (scanner.IsBetweenSequences()) {
          run = FindEither(p + i, n - i, kEsc, kFormFeed);
          if (run > 0) {
            scanner.FeedPlainRun(run);
            i += run;
            continue;
          }
        } else if (scanner.DataRemaining() > 1) {
          run = std::min(n - i, scanner.DataRemaining() - 1);
          scanner.FeedDataRun(run);
          i += run;
          continue;
        }
      }
      if (!inPjl && last != LastCommand::kJobEnd) {
        // Parameters change neither the last command nor a pending break.
        const int taken = scanner.FeedParameters(p + i, n - i);
        if (taken > 0) {
          i += taken;
          continue;
        }
      }
      Feed(p[i++]);
    }
  }
};

// Whether bytes p[0, n), read just after a form feed, start a page: the
// page counter with its break pending decides.
bool StartsPage(const BYTE* p, int n) {
  PageCounter probe;
  probe.pending = true;
  int inSequence = 0;  // bytes of the sequence being collected
  for (int i = 0; i < n; ++i) {
    // A sequence that outgrows the scanner's buffer is cut with an event of
    // its own: that is left to the page copy, which scans it once.
    if (inSequence >= PrnLang::kCommandSize) return true;
    probe.Feed(p[i]);
    if (probe.pages > 1) return true;
    inSequence = probe.scanner.IsBetweenSequences() ? 0 : inSequence + 1;
  }
  return false;
}

// Reads the job header (everything before ESC*p0x0Y, else before the first
// copies command, within the first 4096 bytes) and writes it with the duplex
// digit set. Returns the header as the data holds it; empty, with nothing
// read or written, when its end is not found.
std::string CopyDuplexHeader(VFile& in, VFile& out, int duplex) {
  const int duplexAt = in.Find(kDuplexCommand);
  int headerEnd = in.Find(kHeaderEnd);
  if (headerEnd < 0) headerEnd = in.Find(kCopiesCommand);
  // Without a recognisable header there is no safe place for a duplex
  // command: the data goes on unchanged (Job/Duplex still records the value).
  if (headerEnd < 0) return std::string();

  std::string header(static_cast<size_t>(headerEnd), '\0');
  in.Read(&header[0], headerEnd);
  std::string written = header;
  // Only PCL's three duplex codes become a digit; anything else would put a
  // byte that is no digit into the command.
  if (duplex >= 1 && duplex <= 3) {
    const char digit = static_cast<char>(47 + duplex);
    if (duplexAt < 0) {
      written += "\x1b&l";
      written += digit;
      written += 'S';
    } else if (duplexAt + 3 < headerEnd) {
      written[duplexAt + 3] = digit;
    }
  }
  out.Write(written.data(), static_cast<int>(written.size()));
  return header;
}

// One PCL5 job's copy: the page counter's state (one for the whole job)
// run over every byte, so that pages start where the count counts them.
//
// Between pages the break is pending. A sequence that begins there is held
// back until its end tells whether it counts a page (the page then starts
// at its ESC) or leaves the break pending (it is copied between the pages).
// The sequences that leave it pending have at most nine bytes, any other
// ends within the scanner's 4096 bytes, and a data-count command ends, and
// so counts, exactly when the data holds its count, which the stream tells
// without reading the data: nothing is held longer than that.
class PclJobCopy {
 public:
  PclJobCopy(VFile& in, VFile& out) : in_(in), out_(out) {}
  PclJobCopy(const PclJobCopy&) = delete;
  PclJobCopy& operator=(const PclJobCopy&) = delete;

  // Bytes read past the copy (the job header): scanned, not written.
  void Scan(const std::string& bytes) {
    counter_.FeedBlock(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<int>(bytes.size()));
  }

  // Copies a page: the bytes that started it, then up to the form feed that
  // ends it (consumed, not written) or to the end of the data.
  void CopyPclPage() {
    Release(true);
    Run(true);
  }

  // Copies what lies between the page just ended and the next, as it
  // stands. True when a page starts (its first bytes are kept for
  // CopyPclPage); false when the data holds none (what was held is written).
  bool CopyToNextPage() {
    if (Run(false)) return true;
    Release(false);
    return false;
  }

 private:
  // Bytes scanned and to be copied: to the output, or held while a sequence
  // between pages is undecided.
  void Emit(const BYTE* p, int n) {
    if (n <= 0) return;
    if (holding_) {
      held_.append(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
      heldAsItStands_.append(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    } else {
      out_.Write(p, n);
    }
  }
  // The held bytes go out as the first bytes of a page, the dropped command
  // left out, or, when they start none, as they stand: it is dropped from
  // pages only.
  void Release(bool asPage) {
    const std::string& bytes = asPage ? held_ : heldAsItStands_;
    if (!bytes.empty()) out_.Write(bytes.data(), static_cast<int>(bytes.size()));
    held_.clear();
    heldAsItStands_.clear();
    holding_ = false;
  }

  bool Run(bool inPage);

  VFile& in_;
  VFile& out_;
  PageCounter counter_;
  std::string held_;            // for a page: without the dropped command
  std::string heldAsItStands_;  // for no page
  bool holding_ = false;
  int dropping_ = 0;  // bytes of a dropped command still to come: scanned, not written
};

// In a page: runs to the form feed that ends it (true) or to the end of the
// data (false). Between pages: runs to the byte at which the counter counts
// the next page (true; the bytes that start it are held) or to where the
// data shows it holds none (false).
bool PclJobCopy::Run(bool inPage) {
  PageCounter& c = counter_;
  PrnLang& scanner = c.scanner;
  for (;;) {
    if (out_.Failed()) return false;
    // Six bytes: an ESC is decided only with the five of the dropped
    // command in view.
    const int avail = in_.Available(6);
    if (avail == 0) return false;
    const BYTE* p = in_.Cursor();
    int i = 0;
    int copied = 0;  // p[copied, i) is scanned and still to be emitted
    int stop = 0;    // 1: stopped where asked, -1: no page to come
    while (i < avail) {
      const BYTE b = p[i];
      if (dropping_ == 0 && !c.inPjl && c.last != LastCommand::kJobEnd) {
        // Runs that change nothing but the scanner's place while the PJL
        // rules are idle. A pending break is not touched by data or
        // parameters: a command that would end it has ended it already.
        const int remaining = scanner.DataRemaining();
        if (remaining > 1) {
          // Data of a data-count command, all but its last byte (binary: an
          // ESC or a form feed among it is data too).
          const int run = std::min(avail - i, remaining - 1);
          scanner.FeedDataRun(run);
          i += run;
          continue;
        }
        if (remaining == 0 && b != kEsc) {
          if (inPage && !c.pending && scanner.IsBetweenSequences()) {
            const int run = FindEither(p + i, avail - i, kEsc, kFormFeed);
            if (run > 0) {
              scanner.FeedPlainRun(run);
              i += run;
              continue;
            }
          }
          const int taken = scanner.FeedParameters(p + i, avail - i);
          if (taken > 0) {
            i += taken;
            continue;
          }
        }
      }

      // One byte by the counter's rules.
      if (dropping_ == 0 && b == kEsc && scanner.DataRemaining() == 0) {
        if (i + 5 > avail && !in_.SourceEnded()) break;  // refill to see the five bytes
        if (!inPage && scanner.IsBetweenSequences()) {
          Emit(p + copied, i - copied);
          copied = i;
          holding_ = true;
        }
        if (i + 5 <= avail && IsDroppedCommand(p + i)) {
          Emit(p + copied, i - copied);
          copied = i;
          dropping_ = 5;
        }
      }
      const bool wasPending = c.pending;
      c.Feed(b);
      ++i;
      if (dropping_ > 0) {
        --dropping_;
        if (holding_) heldAsItStands_.push_back(static_cast<char>(b));
        copied = i;
      }
      if (inPage) {
        if (!wasPending && c.pending) {
          // The form feed that ends the page: consumed, not copied.
          Emit(p + copied, i - 1 - copied);
          copied = i;
          stop = 1;
          break;
        }
      } else if (wasPending && !c.pending) {
        // The next page starts with this byte, or with the sequence it ends
        // (held since its ESC).
        if (!holding_) {
          Emit(p + copied, i - 1 - copied);
          copied = std::max(copied, i - 1);
        }
        held_.append(reinterpret_cast<const char*>(p + copied), static_cast<size_t>(i - copied));
        holding_ = false;
        copied = i;
        stop = 1;
        break;
      } else if (holding_ && scanner.IsCommandComplete()) {
        // A sequence that leaves the break pending: between the pages.
        Emit(p + copied, i - copied);
        copied = i;
        Release(false);
      } else if (holding_ && scanner.DataRemaining() > 0) {
        // A data-count command ends, and counts a page, only when the data
        // holds all its bytes; else the data ends inside it, with no page
        // (also when the stream cannot tell what is left, which only a
        // failing read gives, and that fails the job).
        const long long left = in_.BytesLeft() - i;
        Emit(p + copied, i - copied);
        copied = i;
        if (left >= scanner.DataRemaining()) {
          holding_ = false;
          stop = 1;
        } else {
          Release(false);
          stop = -1;
        }
        break;
      }
    }
    Emit(p + copied, i - copied);
    in_.Advance(i);
    if (stop != 0) return stop > 0;
  }
}

VFile::WriteTarget g_outputTarget = nullptr;
void* g_outputContext = nullptr;

// The spooler's page calls and the template layers of a PCL5 job's pages.
// A refused page call is kept (its event code and error) for the caller,
// which ends the document.
class SpoolerPageCalls final : public PclPageCalls {
 public:
  SpoolerPageCalls(JobContext& ctx, HANDLE printer, PageTemplatesSection& pageTemplates)
      : ctx_(ctx), printer_(printer), pageTemplates_(pageTemplates) {}

  bool PageStarts(int page) override {
    if (!GetDocumentCalls().startPagePrinter(printer_)) return Refused(1010);
    if (ctx_.scenario) {
      ctx_.scenario->PrintTemplate(1, page);
      pageTemplates_.Add(page, ctx_.scenario->GetDescription(page));
    }
    return true;
  }
  void PageBodyEnds(int page) override {
    if (ctx_.scenario) ctx_.scenario->PrintTemplate(0, page);
  }
  bool PageEnds(int page) override {
    if (!GetDocumentCalls().endPagePrinter(printer_)) return Refused(1011);
    if (ctx_.scenario) ctx_.scenario->PrintTemplate(3, page);
    return true;
  }

  int failure = 0;
  DWORD error = 0;

 private:
  bool Refused(int code) {
    error = GetLastError();
    failure = code;
    return false;
  }

  JobContext& ctx_;
  HANDLE printer_;
  PageTemplatesSection& pageTemplates_;
};

// Spooler failure of a started document: the event, the document ended.
bool FailDocument(int code, DWORD error, HANDLE printer) {
  LogLastError(code, error);
  GetDocumentCalls().endDocPrinter(printer);
  return false;
}

}  // namespace

RawAnalysis AnalyzeRawData(VFile& in) {
  RawAnalysis result;
  if (in.Find(kPclXlPattern) >= 0 || in.Find(kPostScriptPattern) >= 0 || in.Find(kPostScriptMagic) >= 0) {
    result.kind = kRawPassThrough;
    return result;
  }
  if (in.Find(kInstructionsPattern) >= 0) {
    result.kind = kRawInstructionsJob;
    return result;
  }
  int at = in.Find(kOrientationUpper);
  if (at < 0) at = in.Find(kOrientationLower);
  if (at >= 0) {
    const int orientation = ReadCommandNumber(in, at);
    // 1 landscape, 3 reverse landscape.
    result.orientation = orientation == 1 || orientation == 3 ? 2 : 1;
  }
  in.Rewind();
  at = in.Find(kPaperUpper);
  if (at < 0) at = in.Find(kPaperLower);
  result.a4 = at >= 0 && ReadCommandNumber(in, at) == 26;
  return result;
}

int AnalyzeRawJob(const std::wstring& controlFile, const std::wstring& spoolFile) {
  dv::FileHandle file(OpenSpoolData(spoolFile));
  if (!file) {
    LogLastError(1007, GetLastError());
    return kRawPassThrough;
  }
  VFile in(file.get(), VFile::kReadFile);
  const RawAnalysis found = AnalyzeRawData(in);
  if (found.orientation != 0)
    SetIniString(L"General", L"Orientation", controlFile, found.orientation == 2 ? L"2" : L"1");
  if (found.a4) SetIniString(L"General", L"DevmodePaper", controlFile, L"9 (A4)");
  return found.kind;
}

int CountPcl5Pages(const std::wstring& spoolFile) {
  dv::FileHandle file(OpenSpoolData(spoolFile));
  if (!file) {
    LogLastError(1007, GetLastError());
    return 1;
  }
  PageCounter counter;
  // Read in blocks larger than the scan needs: the count does not depend
  // on the block size.
  std::vector<BYTE> block(262144);
  DWORD got = 0;
  while (ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr) && got > 0)
    counter.FeedBlock(block.data(), static_cast<int>(got));
  return counter.pages;
}

int CountPcl5Pages(const void* data, size_t size) {
  PageCounter counter;
  const BYTE* p = static_cast<const BYTE*>(data);
  while (size > 0) {
    const int n = static_cast<int>(std::min<size_t>(size, 1u << 30));
    counter.FeedBlock(p, n);
    p += n;
    size -= n;
  }
  return counter.pages;
}

int WritePclDuplexHeader(PrnLang& /*scanner*/, VFile& in, VFile& out, int duplex) {
  CopyDuplexHeader(in, out, duplex);
  return 1;
}

int CopyPcl5Job(VFile& in, VFile& out, int duplex, int totalPages, PclPageCalls& calls) {
  PclJobCopy job(in, out);
  // The header's bytes are scanned too: the count sees every byte.
  job.Scan(CopyDuplexHeader(in, out, duplex));
  int page = 0;
  // Empty data, or data of nothing but job control, makes no page at all.
  bool more = totalPages >= 1 && HoldsPageContent(in);
  while (more) {
    ++page;
    if (!calls.PageStarts(page)) return -1;
    job.CopyPclPage();
    calls.PageBodyEnds(page);
    out.PutByte(kFormFeed);
    if (!calls.PageEnds(page)) return -1;
    // A count larger than the pages the data holds makes no page of
    // nothing: the pages end with the last one the data holds.
    more = page < totalPages && !out.Failed() && job.CopyToNextPage();
  }
  // What follows the last page (the job's closing reset and PJL), as it
  // stands.
  CopyRemainingData(in, out);
  return page;
}

bool HoldsPageContent(VFile& in) {
  // Mostly a page starts within the bytes already buffered; only when they
  // hold none is the buffer filled to see what is left.
  int avail = in.Available(1);
  if (avail == 0) return false;
  if (StartsPage(in.Cursor(), avail)) return true;
  avail = in.Available(VFile::kBufferSize - 1);
  if (StartsPage(in.Cursor(), avail)) return true;
  // Undecided while the source has more than the buffer holds.
  return !in.SourceEnded();
}

int CopyRemainingData(VFile& in, VFile& out) {
  for (;;) {
    if (out.Failed()) return 1;
    const int avail = in.Available(1);
    if (avail == 0) return 1;
    out.Write(in.Cursor(), avail);
    in.Advance(avail);
  }
}

void SetRawOutputTarget(VFile::WriteTarget target, void* context) {
  g_outputTarget = target;
  g_outputContext = context;
}

int AnalyseRawJob(JobContext& ctx) { return AnalyzeRawJob(ctx.files.ctl, ctx.files.org); }

bool RunRawJob(JobContext& ctx) {
  // 9-10. The scenario's forced settings give the duplex value.
  const PrinterSettings settings =
      ReadPrinterSettings(ctx.destinationPrinter, ctx.scenario ? ctx.scenario->GetScenarioFile() : std::wstring(),
                          ctx.record.orientation);

  // 11. Page count and print language when the print processor gave none.
  if (ctx.totalPages == 0) {
    ctx.totalPages = ctx.passThrough ? 1 : CountPcl5Pages(ctx.files.org);
    SetIniString(L"General", L"PrintLanguage", ctx.files.ctl, ctx.passThrough ? L"PCL6" : L"PCL5");
    SetIniInt(L"General", L"TotalPages", ctx.files.ctl, ctx.totalPages);
    SetIniInt(L"Job", L"Pages", ctx.files.ctl, ctx.totalPages);
  }
  // A job that fits on one side of a sheet prints one-sided.
  ctx.duplex = FitsOneSide(ctx.totalPages, ctx.pagesPerSide) ? 1 : RawJobDuplex(settings);

  dv::FileHandle data(OpenSpoolData(ctx.files.org));
  if (!data) {
    LogLastError(1007, GetLastError());
    return false;
  }
  dv::PrinterHandle printer;
  if (!OpenPrinterW(const_cast<LPWSTR>(ctx.destinationPrinter.c_str()), printer.put(), nullptr) &&
      !OpenPrinterW(const_cast<LPWSTR>(ctx.printerName.c_str()), printer.put(), nullptr)) {
    LogLastError(1008, GetLastError());
    WriteEvent(1008, ctx.destinationPrinter);
    return false;
  }

  // 12. Streams, and the scenario told where RAW layers go.
  WriteDuplexToControlFile(ctx);
  VFile in(data.get(), VFile::kReadFile);
  VFile out(printer.get(), VFile::kWritePrinter);
  if (g_outputTarget) out.SetWriteTarget(g_outputTarget, g_outputContext);
  if (ctx.scenario) {
    ctx.scenario->SetMacroMode(1);
    ctx.scenario->SetJobNumber(ctx.jobNumber);
    ctx.scenario->SetOutput(&out);
  }

  // 13-14. The document, into the Gatepost queue when the hand-off is on.
  if (ctx.sendToGatepost && !GetGatepostQueueFile(ctx.gatepostQueueFile)) return false;
  DOC_INFO_1W di = {};
  di.pDocName = const_cast<LPWSTR>(ctx.outputJobName.c_str());
  di.pOutputFile = ctx.gatepostQueueFile.empty() ? nullptr : const_cast<LPWSTR>(ctx.gatepostQueueFile.c_str());
  di.pDatatype = const_cast<LPWSTR>(L"RAW");
  if (!GetDocumentCalls().startDocPrinter(printer.get(), 1, reinterpret_cast<LPBYTE>(&di))) {
    LogLastError(1009, GetLastError());
    return false;
  }

  if (ctx.passThrough) {
    if (!GetDocumentCalls().startPagePrinter(printer.get())) return FailDocument(1010, GetLastError(), printer.get());
    CopyRemainingData(in, out);
    if (!GetDocumentCalls().endPagePrinter(printer.get())) return FailDocument(1011, GetLastError(), printer.get());
  } else {
    // 15-16. Pages, each with its template layers around it, and the job's
    // trailing commands.
    PageTemplatesSection pageTemplates(ctx.files.ctl);
    SpoolerPageCalls calls(ctx, printer.get(), pageTemplates);
    if (CopyPcl5Job(in, out, ctx.duplex, ctx.totalPages, calls) < 0)
      return FailDocument(calls.failure, calls.error, printer.get());
  }

  // A job whose data did not reach the printer whole is not finished.
  out.Flush();
  if (out.Failed()) return FailDocument(1012, out.LastError(), printer.get());
  if (in.Failed()) return FailDocument(1007, in.LastError(), printer.get());
  if (!GetDocumentCalls().endDocPrinter(printer.get())) {
    LogLastError(1012, GetLastError());
    return false;
  }
  return true;
}
