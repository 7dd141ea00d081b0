// RAW jobs: analysis, page count, PCL5 copy and the pipeline's RAW middle;
// see RawJob.h and Pipeline.h.
//
// The copy loops follow the byte-by-byte rules of the page copy, but hand
// runs of bytes that no rule can stop (plain data that is neither ESC nor
// followed by a form feed, the data of a raster command) to the output in
// one piece, so a long job costs little more than a plain copy.
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

VFile::WriteTarget g_outputTarget = nullptr;
void* g_outputContext = nullptr;

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
  const int duplexAt = in.Find(kDuplexCommand);
  int headerEnd = in.Find(kHeaderEnd);
  if (headerEnd < 0) headerEnd = in.Find(kCopiesCommand);
  // Without a recognisable header there is no safe place for a duplex
  // command: the data goes on unchanged (Job/Duplex still records the value).
  if (headerEnd < 0) return 1;

  std::string header(static_cast<size_t>(headerEnd), '\0');
  in.Read(&header[0], headerEnd);
  // Only PCL's three duplex codes become a digit; anything else would put a
  // byte that is no digit into the command.
  if (duplex >= 1 && duplex <= 3) {
    const char digit = static_cast<char>(47 + duplex);
    if (duplexAt < 0) {
      header += "\x1b&l";
      header += digit;
      header += 'S';
    } else if (duplexAt + 3 < headerEnd) {
      header[duplexAt + 3] = digit;
    }
  }
  out.Write(header.data(), static_cast<int>(header.size()));
  return 1;
}

int CopyPclPage(PrnLang& scanner, VFile& in, VFile& out) {
  for (;;) {
    if (out.Failed()) return 1;
    const int avail = in.Available(6);
    if (avail == 0) return 1;  // the end of the data: nothing is added
    const BYTE* p = in.Cursor();
    // Bytes decided within the buffer: each needs the five bytes from it
    // (the dropped command) and the next one (a form feed). At the end of
    // the data the buffer holds all there is and every byte is decided.
    const int limit = in.SourceEnded() ? avail : avail - 5;
    int i = 0;
    int copied = 0;  // bytes before i not yet written; all of them are copied
    bool pageEnds = false;
    while (i < limit) {
      const BYTE b = p[i];
      if (scanner.DataRemaining() > 0) {
        // Data of a command with a data count: binary bytes that pass
        // untouched (an ESC or the dropped command among them is data too).
        // All but the last byte go at once; the count may promise more than
        // the buffer or the whole job holds, so the run is bounded by both.
        const int run = static_cast<int>(std::min<long long>(avail - i, scanner.DataRemaining() - 1LL));
        if (run > 0) {
          scanner.FeedDataRun(run);
          i += run;
          continue;
        }
      } else if (b != kEsc) {
        if (scanner.IsBetweenSequences()) {
          // Plain bytes not followed by a form feed: nothing to decide.
          const int k = i + FindEither(p + i, avail - i, kEsc, kFormFeed);
          int run = (k < avail && p[k] == kFormFeed) ? k - 1 : std::min(k, avail - 1);
          if (run > i) {
            scanner.FeedPlainRun(run - i);
            i = run;
            continue;
          }
        }
        // Parameters of a sequence: copied as they are.
        const int taken = scanner.FeedParameters(p + i, limit - i);
        if (taken > 0) {
          i += taken;
          continue;
        }
      } else if (i + 5 <= avail && IsDroppedCommand(p + i)) {
        // Dropped: neither copied nor fed to the scanner. It does not hide
        // a form feed behind it that ends the page.
        out.Write(p + copied, i - copied);
        i += 5;
        copied = i;
        if (scanner.IsBetweenSequences() && i < avail && p[i] == kFormFeed) {
          pageEnds = true;
          break;
        }
        continue;
      }
      const int inCommand = scanner.Feed(b);
      ++i;
      if ((!inCommand || scanner.IsCommandComplete()) && i < avail && p[i] == kFormFeed) {
        // After plain data or a completed sequence, a form feed ends the
        // page and is not copied.
        pageEnds = true;
        break;
      }
    }
    out.Write(p + copied, i - copied);
    in.Advance(pageEnds ? i + 1 : i);
    if (pageEnds) return 1;
  }
}

bool HoldsPageContent(VFile& in) {
  // Mostly the next page starts within the bytes already buffered; only
  // when they hold no page is the buffer filled to see what is left.
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
  PrnLang scanner;
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
    WritePclDuplexHeader(scanner, in, out, ctx.duplex);
    // 15. Pages, each with its template layers around it.
    PageTemplatesSection pageTemplates(ctx.files.ctl);
    for (int page = 1; page <= ctx.totalPages && !out.Failed(); ++page) {
      // A page is made only of data that holds one: a count larger than the
      // pages the data holds makes no page of nothing, and what follows the
      // last page without page content (the job's closing reset and PJL)
      // is copied below as it stands, with no form feed of its own. Empty
      // data makes no page at all.
      if (!HoldsPageContent(in)) break;
      if (!GetDocumentCalls().startPagePrinter(printer.get())) return FailDocument(1010, GetLastError(), printer.get());
      if (ctx.scenario) {
        ctx.scenario->PrintTemplate(1, page);
        pageTemplates.Add(page, ctx.scenario->GetDescription(page));
      }
      CopyPclPage(scanner, in, out);
      if (ctx.scenario) ctx.scenario->PrintTemplate(0, page);
      out.PutByte(kFormFeed);
      if (!GetDocumentCalls().endPagePrinter(printer.get())) return FailDocument(1011, GetLastError(), printer.get());
      if (ctx.scenario) ctx.scenario->PrintTemplate(3, page);
    }
    // 16. The job's trailing commands.
    CopyRemainingData(in, out);
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
