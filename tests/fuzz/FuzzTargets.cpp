// The targets of dvfuzz.exe: every reader of data that comes from outside
// the program (spool files, RAW printer data, devmodes and their hex text,
// template and scenario files, job-name rules, barcode texts, the stored
// password, event log lines), each called the way its programs call it.
//
// Text readers get their text in one of two forms chosen by the input's
// first byte: the rest as 8-bit characters, or as UTF-16 code units (so
// characters above 0xFF reach them too). File readers get the input as the
// whole file.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "barcode/Barcode.h"
#include "barcode/Strimlet.h"
#include "common/FieldData.h"
#include "common/FontString.h"
#include "common/InstallFolder.h"
#include "common/JobRule.h"
#include "common/PageTemplate.h"
#include "common/SettingsFile.h"
#include "common/SpooledEmf.h"
#include "controller/PasswordCodec.h"
#include "engine/BarcodeDrawing.h"
#include "engine/DestinationPrinter.h"
#include "engine/FieldFormat.h"
#include "engine/PrnLang.h"
#include "engine/RawJob.h"
#include "engine/RawOverlay.h"
#include "engine/VFile.h"
#include "tests/fuzz/FuzzHarness.h"
#include "tests/fuzz/PureTargets.h"
#include "tools/fixtures/EmfSpool.h"
#include "viewer/JotviewLog.h"

namespace dvfuzz {
namespace {

// ---------------------------------------------------------------------------
// Helpers.

// A folder of this process for the file readers' inputs.
const std::wstring& WorkFolder() {
  static const std::wstring folder = [] {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring f = std::wstring(temp) + L"dvfuzz-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(f.c_str(), nullptr);
    return f;
  }();
  return folder;
}

std::wstring WriteInputFile(const wchar_t* name, const uint8_t* data, size_t size) {
  const std::wstring path = WorkFolder() + name;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    if (size) WriteFile(f, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(f);
  }
  return path;
}

Bytes FromString(const std::string& s) { return Bytes(s.begin(), s.end()); }

uint64_t Fnv1a(const uint8_t* data, size_t size) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001b3ull;
  return h;
}

// A text input in its 8-bit form (first byte even).
Bytes TextSeed(const char* text) {
  const size_t n = std::strlen(text);
  Bytes b(n + 1, 0);
  std::memcpy(b.data() + 1, text, n);
  return b;
}

// ---------------------------------------------------------------------------
// EMF spool data.

void AppendRaw(Bytes& b, const void* p, size_t n) {
  const size_t at = b.size();
  b.resize(at + n);
  std::memcpy(&b[at], p, n);
}

void AppendU32(Bytes& b, uint32_t v) { AppendRaw(b, &v, 4); }

// A small metafile built record by record: header, a few drawing records,
// end of file.
Bytes SmallMetafile(int shapes) {
  Bytes records;
  auto record = [&](uint32_t type, std::vector<uint32_t> params) {
    AppendU32(records, type);
    AppendU32(records, static_cast<uint32_t>(8 + 4 * params.size()));
    for (uint32_t p : params) AppendU32(records, p);
  };
  for (int i = 0; i < shapes; ++i) {
    record(27, {static_cast<uint32_t>(10 * i), 10});        // EMR_MOVETOEX
    record(54, {200, static_cast<uint32_t>(20 + 10 * i)});  // EMR_LINETO
    record(43, {5, 5, 100, static_cast<uint32_t>(50 + i)});  // EMR_RECTANGLE
  }
  record(14, {0, 16, 20});  // EMR_EOF

  ENHMETAHEADER h = {};
  h.iType = EMR_HEADER;
  h.nSize = sizeof(h);
  h.rclBounds = {0, 0, 200, 200};
  h.rclFrame = {0, 0, 5000, 5000};
  h.dSignature = ENHMETA_SIGNATURE;
  h.nVersion = 0x10000;
  h.nBytes = static_cast<DWORD>(sizeof(h) + records.size());
  h.nRecords = static_cast<DWORD>(1 + 3 * shapes + 1);
  h.nHandles = 1;
  h.szlDevice = {4958, 7016};
  h.szlMillimeters = {210, 297};
  Bytes emf;
  AppendRaw(emf, &h, sizeof(h));
  emf.insert(emf.end(), records.begin(), records.end());
  return emf;
}

Bytes EmfSeed(size_t index) {
  if (index > 3) return Bytes();
  std::vector<BYTE> devmode(sizeof(DEVMODEW) + 8);
  DEVMODEW* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
  wcscpy(dm->dmDeviceName, L"dvtest");
  dm->dmSize = sizeof(DEVMODEW);
  dm->dmDriverExtra = 8;
  dm->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DUPLEX;
  dm->dmOrientation = 1;
  dm->dmPaperSize = DMPAPER_A4;
  dm->dmCopies = 1;
  dm->dmDuplex = 1;
  std::vector<std::vector<BYTE>> pages;
  for (size_t p = 0; p <= index; ++p) {
    const Bytes page = SmallMetafile(static_cast<int>(p + 1));
    pages.emplace_back(page.begin(), page.end());
  }
  std::vector<BYTE> stream =
      dvfix::BuildEmfSpoolStream(L"Fuzz document", index == 2 ? std::vector<BYTE>() : devmode, pages);
  if (index == 3) {
    // A font record and a page-start record between the pages.
    const uint32_t font[4] = {1, 2, 3, 4};
    dvfix::AppendRecord(stream, dvfix::kEmriEngineFontTrueType, font, sizeof(font));
    dvfix::AppendRecord(stream, 5, nullptr, 0);
    const Bytes page = SmallMetafile(2);
    dvfix::AppendRecord(stream, dvfix::kEmriMetafileData, page.data(), page.size());
  }
  return Bytes(stream.begin(), stream.end());
}

const std::vector<std::string> kEmfDictionary = {
    std::string("\x00\x00\x01\x00", 4), std::string("\x0c\x00\x00\x00", 4), std::string("\x03\x00\x00\x00", 4),
    std::string("\x01\x00\x00\x00", 4), std::string("\x0e\x00\x00\x00", 4), std::string(" EMF", 4),
    std::string("\x00\x00\x00\x00", 4), std::string("\x08\x00\x00\x00", 4)};

void RunEmfCount(const uint8_t* data, size_t size) {
  const std::wstring path = WriteInputFile(L"count.spl", data, size);
  CSpooledEmf reader(path);
  const int count = reader.GetPageCount();
  if (count < 0) ReportFinding("negative page count");
  // The record walk on its own, as the page reader uses it.
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    int pages = 0;
    uint32_t n = 0;
    CSpooledEmf::NextRecord next;
    while ((next = CSpooledEmf::ReadNextPage(f, n)) == CSpooledEmf::NextRecord::kPage && pages < 100000) {
      LARGE_INTEGER skip;
      skip.QuadPart = n;
      if (!SetFilePointerEx(f, skip, nullptr, FILE_CURRENT)) break;
      ++pages;
    }
    LARGE_INTEGER zero = {}, at = {};
    SetFilePointerEx(f, zero, &at, FILE_CURRENT);
    CloseHandle(f);
    if (pages != count) ReportFinding("ReadNextPage and CountPages disagree");
    if (pages < 100000 && (next == CSpooledEmf::NextRecord::kEnd) == reader.IsCut())
      ReportFinding("the walk and the count disagree on how the stream ends");
    // A clean end: a header record first, and the walk at the file's end.
    uint32_t firstType = 0;
    if (size >= 4) std::memcpy(&firstType, data, 4);
    if (!reader.IsCut() && (firstType != CSpooledEmf::kHeaderRecord || static_cast<uint64_t>(at.QuadPart) != size))
      ReportFinding("a stream that breaks off was counted as whole");
  }
}

// True when the metafile's records chain from its header to its end: each
// record at least 8 bytes, a multiple of 4 and within the bytes. A chain
// that breaks makes the platform's player loop or read past the end.
bool RecordChainIsSound(const std::vector<BYTE>& bits) {
  size_t at = 0;
  while (at < bits.size()) {
    if (bits.size() - at < 8) return false;
    uint32_t type, size;
    std::memcpy(&type, &bits[at], 4);
    std::memcpy(&size, &bits[at + 4], 4);
    if (at == 0 && type != EMR_HEADER) return false;
    if (size < 8 || size % 4 != 0 || size > bits.size() - at) return false;
    at += size;
    if (type == EMR_EOF) break;
  }
  return true;
}

void RunEmfGetPage(const uint8_t* data, size_t size) {
  const std::wstring path = WriteInputFile(L"pages.spl", data, size);
  CSpooledEmf reader(path);
  // Half the inputs read through a held file, as the engine does.
  if (size && (data[size - 1] & 1)) reader.HoldFile();
  const int count = reader.GetPageCount();
  for (int n = 1; n <= count && n <= 16; ++n) {
    HENHMETAFILE page = reader.GetPage(n);
    if (!page) continue;
    // Never played: a broken record chain makes the player hang. The bytes
    // GDI took are checked instead.
    const UINT bytes = GetEnhMetaFileBits(page, 0, nullptr);
    std::vector<BYTE> bits(bytes);
    if (bytes) GetEnhMetaFileBits(page, bytes, bits.data());
    ENHMETAHEADER header;
    GetEnhMetaFileHeader(page, sizeof(header), &header);
    DeleteEnhMetaFile(page);
    if (!RecordChainIsSound(bits) || !IsWellFormedEmf(bits.data(), bits.size())) {
      ReportFinding("GetPage handed out a metafile whose record chain is broken");
      return;
    }
  }
  if (count > 0 && reader.GetPage(1) != nullptr) ReportFinding("a page behind the reading position was handed out");
}

// The check a page's bytes (and a template's picture) pass before GDI gets
// them, on the input as the metafile; what it passes must chain soundly.
void RunEmfMetafile(const uint8_t* data, size_t size) {
  if (IsWellFormedEmf(data, size) && !RecordChainIsSound(std::vector<BYTE>(data, data + size)))
    ReportFinding("IsWellFormedEmf passed a metafile whose record chain is broken");
}

Bytes MetafileSeed(size_t index) { return index < 3 ? SmallMetafile(static_cast<int>(index)) : Bytes(); }

// ---------------------------------------------------------------------------
// RAW printer data.

const std::vector<std::string> kPclDictionary = {
    "\x1b" "E", "\x1b&l0O", "\x1b&l1o26A", "\x1b&l26A", "\x1b*rB", "\x1b*c0P", "\x1b&b1M", "\x1b&B1m",
    "\x1b" "9", "\x1b%-12345X", "@PJL EOJ\r\n", "@PJL ENTER LANGUAGE=PCL\r\n", "\r\n", "\x1b*b0W", "\x1b*b12W",
    "\x1b*b2147483647W", "\x1b*b2147483646W", "\x1b*b4294967295W", "\x1b*b16384W", "\x1b&a10v20H", "\x1b(s12H",
    "\x1b*p0x0Y", "\x1b&l1X", "\x1b&l2S", "\x1b&l0S", "\x0c", "\x1b" "&" "\x1b" "A", "LANGUAGE = PCLXL",
    "LANGUAGE=POSTSCRIPT", "%!PS", "\x1b%-12345X@PJL JOB NAME=\"Dorvane Instructions Job\"", "\x1b*c0Q",
    "\x1b*b0M", "\x1b*c2F"};

Bytes PclSeed(size_t index) {
  const std::string E = "\x1b";
  switch (index) {
    case 0:
      return FromString(E + "%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n" + E + "E" + E + "&l0O" + E + "&l26A" +
                        E + "&l1X" + E + "*p0x0Y" + "Page one\r\n\x0c" + "Page two\r\n\x0c" + E + "E" + E +
                        "%-12345X@PJL EOJ\r\n" + E + "%-12345X");
    case 1: {
      std::string s = E + "E" + E + "&l1o2S" + E + "*p0x0Y" + E + "*r1A";
      for (int row = 0; row < 8; ++row) s += E + "*b8W" + std::string("\x1b\x0c&b1Mxy", 8);
      return FromString(s + E + "*rB\x0c" + "text" + E + "&b1M\x0c" + "last\x0c" + E + "E");
    }
    case 2: {
      // Raster data crossing the stream's buffer.
      std::string s = E + "E" + E + "*p0x0Y" + E + "*b20000W";
      s += std::string(20000, '\x0c');
      return FromString(s + "after\x0c" + E + "E");
    }
    case 3:
      return FromString(E + "&l1X" + E + "*p0x0Y" + E + "&a10v20H" + E + "(s12H" + "Hello" + E + "&B1m\x0c" + "x");
    case 4:
      return FromString("\x1b%-12345X@PJL JOB NAME=\"Dorvane Instructions Job\"\r\n");
    case 5:
      return FromString("@PJL ENTER LANGUAGE = PCLXL\r\n) HP-PCL XL;2;0\r\n");
    default:
      return Bytes();
  }
}

void RunVFileMatch(const uint8_t* data, size_t size) {
  FuzzVFileMatch(data, size, ReportFinding);
  if (size == 0) return;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  VFile in(&bytes, VFile::kReadString);
  // Reads and peeks of sizes taken from the data, then the copy loop's view.
  in.Rewind();
  char scratch[VFile::kBufferSize];
  for (size_t i = 1; i + 1 < size && i < 64; i += 2) {
    const int n = (data[i] | (data[i + 1] << 8)) % (VFile::kBufferSize + 2);
    if (data[i] & 1) in.Peek(scratch, n);
    else in.Read(scratch, n);
  }
  in.Rewind();
  for (int guard = 0; guard < 100000; ++guard) {
    const int avail = in.Available(1 + guard % 7);
    if (avail == 0) break;
    volatile BYTE sink = in.Cursor()[avail - 1];
    (void)sink;
    in.Advance(avail > 3 ? avail - 3 : avail);
  }
}

void RunPrnScanner(const uint8_t* data, size_t size) { FuzzPrnScanner(data, size, ReportFinding); }

// The file routes of the RAW readers on every sixteenth input (by its
// bytes, so a run repeats): they must agree with the readers on memory.
bool AlsoThroughAFile(const uint8_t* data, size_t size) { return (Fnv1a(data, size) & 15) == 0; }

void RunRawPageCount(const uint8_t* data, size_t size) {
  // The input itself is counted: a read past it meets the guard page.
  const int pages = CountPcl5Pages(data, size);
  if (pages < 1) ReportFinding("page count below 1");
  if (AlsoThroughAFile(data, size) && CountPcl5Pages(WriteInputFile(L"count.prn", data, size)) != pages)
    ReportFinding("the spool file's page count differs from the count in memory");
}

void RunRawAnalysis(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  VFile in(&bytes, VFile::kReadString);
  const RawAnalysis found = AnalyzeRawData(in);
  if (found.kind < -1 || found.kind > 1 || found.orientation < 0 || found.orientation > 2)
    ReportFinding("analysis result out of range");
  if (AlsoThroughAFile(data, size)) {
    const std::wstring spool = WriteInputFile(L"analysis.prn", data, size);
    const std::wstring control = WriteInputFile(L"analysis.ctl", nullptr, 0);
    if (AnalyzeRawJob(control, spool) != found.kind) ReportFinding("the spool file's analysis differs from memory's");
  }
}

// The page calls of a copy, checked for their order (each page starts, its
// body ends and it ends, one page after the other); notes how much of the
// data the pages took.
class CheckedPageCalls final : public PclPageCalls {
 public:
  explicit CheckedPageCalls(VFile& in) : in_(in) {}
  bool PageStarts(int page) override { return Step(page, 0); }
  void PageBodyEnds(int page) override {
    Step(page, 1);
    leftAfterPages = in_.BytesLeft();
  }
  bool PageEnds(int page) override { return Step(page, 2); }
  int pages = 0;
  long long leftAfterPages = -1;  // bytes of the data after the last page's end; -1 before any

 private:
  bool Step(int page, int step) {
    const int expected = step == 0 ? pages + 1 : pages;
    if (page != expected || step != next_) ReportFinding("page calls out of order");
    if (step == 0) pages = page;
    next_ = (step + 1) % 3;
    return true;
  }
  VFile& in_;
  int next_ = 0;
};

bool IsDroppedCommand(const std::string& s, size_t i) {
  return i + 5 <= s.size() && s[i] == '\x1b' && s[i + 1] == '&' && (s[i + 2] | 0x20) == 'b' && s[i + 3] == '1' &&
         (s[i + 4] | 0x20) == 'm';
}

void RunRawPageCopy(const uint8_t* data, size_t size) {
  if (size == 0) return;
  const std::string job(reinterpret_cast<const char*>(data + 1), size - 1);
  const int duplex = data[0] % 5;

  // The header as the header copy writes it, and the bytes it takes.
  std::string header;
  size_t headerLength = 0;
  {
    std::string copy = job;
    VFile in(&copy, VFile::kReadString);
    VFile out(&header, VFile::kAppendString);
    PrnLang unused;
    WritePclDuplexHeader(unused, in, out, duplex);
    out.Flush();
    headerLength = job.size() - static_cast<size_t>(in.BytesLeft());
  }

  // The job copied with the page count as its TotalPages.
  const int count = CountPcl5Pages(job.data(), job.size());
  std::string input = job;
  std::string output;
  VFile in(&input, VFile::kReadString);
  VFile out(&output, VFile::kAppendString);
  CheckedPageCalls calls(in);
  const int made = CopyPcl5Job(in, out, duplex, count, calls);
  out.Flush();
  if (made != calls.pages) ReportFinding("the copy's page number differs from its page calls");
  if (made < 0 || made > count) ReportFinding("more pages than the count");
  // A form feed in the header ejects sheets before the first page, which the
  // count includes; otherwise every counted page is made.
  if (made > 0 && job.find('\x0c') >= headerLength && made != count)
    ReportFinding("the copy's pages differ from the page count");

  // What reaches the printer: the header; up to the last page's end the
  // data without the dropped command wherever it starts outside a data
  // count's data, and at most the form feed of a last page that the data
  // does not end; after it, the data as it stands.
  const size_t pagesEnd = made > 0 ? job.size() - static_cast<size_t>(calls.leftAfterPages) : headerLength;
  std::string expected = header;
  PrnLang scanner;
  int dropping = 0;
  for (size_t i = 0; i < job.size(); ++i) {
    if (i >= headerLength && i < pagesEnd && dropping == 0 && scanner.DataRemaining() == 0 && IsDroppedCommand(job, i))
      dropping = 5;
    scanner.Feed(static_cast<BYTE>(job[i]));
    if (i < headerLength) continue;
    if (dropping > 0)
      --dropping;
    else
      expected.push_back(job[i]);
  }
  if (output != expected && !(made > 0 && output == expected + '\x0c'))
    ReportFinding("the copy lost, added or moved bytes of the job");

  // A larger TotalPages makes no page of nothing: what follows the counted
  // pages is copied as it stands either way.
  if (made == count) {
    std::string again = job;
    std::string unbounded;
    VFile againIn(&again, VFile::kReadString);
    VFile againOut(&unbounded, VFile::kAppendString);
    CheckedPageCalls againCalls(againIn);
    if (CopyPcl5Job(againIn, againOut, duplex, 2147483647, againCalls) != made)
      ReportFinding("a larger TotalPages made more pages than the count");
    againOut.Flush();
    if (unbounded != output) ReportFinding("a larger TotalPages copied the data differently");
  }
}

void RunRawMacroCopy(const uint8_t* data, size_t size) {
  std::string document(reinterpret_cast<const char*>(data), size);
  std::string output;
  VFile in(&document, VFile::kReadString);
  VFile out(&output, VFile::kAppendString);
  CopyMacroData(in, out);
  out.Flush();
  if (output.size() > document.size()) ReportFinding("the macro copy wrote more bytes than the document holds");
}

// ---------------------------------------------------------------------------
// Devmodes and their hex text.

Bytes DevmodeSeed(size_t index) {
  if (index > 2) return Bytes();
  Bytes b(8 + sizeof(DEVMODEW) + 16 * index);
  b[0] = static_cast<uint8_t>(index * 37);
  DEVMODEW* dm = reinterpret_cast<DEVMODEW*>(b.data() + 8);
  wcscpy(dm->dmDeviceName, L"dvtest");
  dm->dmSize = sizeof(DEVMODEW);
  dm->dmDriverExtra = static_cast<WORD>(16 * index);
  dm->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DUPLEX | DM_COLOR;
  dm->dmOrientation = 1;
  dm->dmPaperSize = DMPAPER_A4;
  dm->dmCopies = 2;
  dm->dmDuplex = 2;
  dm->dmColor = 1;
  return b;
}

void RunDevmode(const uint8_t* data, size_t size) {
  // Eight bytes of settings, then the job devmode; a stored configuration
  // (the same bytes) on every other input.
  if (size < 8) return;
  DevmodeRequest request;
  const std::vector<BYTE> bytes(data + 8, data + size);
  if (IsUsableDevmode(bytes)) request.jobDevmode = bytes;
  if ((data[0] & 1) && IsUsableDevmode(bytes)) request.settings.storedConfiguration = bytes;
  request.settings.forced.duplex = static_cast<int8_t>(data[1]);
  request.settings.forced.color = static_cast<int8_t>(data[2]);
  request.settings.forced.copies = static_cast<int16_t>(data[3] | (data[4] << 8)) * (data[0] & 2 ? 1000 : 1);
  request.totalPages = static_cast<int8_t>(data[5]);
  request.pagesPerSide = data[6] % 20;
  request.orientation = data[7] % 4;
  const DestinationDevmode result = BuildDestinationDevmode(request);
  if (!result.devmode.empty() && !IsUsableDevmode(result.devmode))
    ReportFinding("the destination devmode is not usable");
  PrinterSettings settings;
  settings.storedConfiguration = request.settings.storedConfiguration;
  settings.forced = request.settings.forced;
  RawJobDuplex(settings);
}

void RunHexText(const uint8_t* data, size_t size) {
  const std::wstring text = TextOf(data, size);
  const std::vector<BYTE> bytes = HexToBytes(text);
  if (bytes.size() != text.size() / 2) ReportFinding("HexToBytes gave the wrong number of bytes");
  HexPairToByte(text);
  StringToInt(text);
  std::vector<EngineEvent> events;
  const std::vector<BYTE> stored = ConvertStoredConfiguration(text, L"dvtest", L"Portrait", events);
  if (!stored.empty()) {
    DevmodeRequest request;
    request.settings.storedConfiguration = stored;
    request.jobDevmode = stored;
    BuildDestinationDevmode(request);
  }
}

Bytes HexSeed(size_t index) {
  if (index > 1) return Bytes();
  const Bytes dm = DevmodeSeed(index);
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 8; i < dm.size(); ++i) {
    text += kHex[dm[i] >> 4];
    text += index ? static_cast<char>(std::tolower(kHex[dm[i] & 15])) : kHex[dm[i] & 15];
  }
  return TextSeed(text.c_str());
}

// ---------------------------------------------------------------------------
// Font strings, template and scenario values.

void RunFontString(const uint8_t* data, size_t size) { FuzzFontString(data, size, ReportFinding); }

void RunFieldTime(const uint8_t* data, size_t size) {
  SYSTEMTIME t = {};
  t.wYear = 2026;
  t.wMonth = 12;
  t.wDay = 10;
  t.wHour = 14;
  t.wMinute = 5;
  t.wSecond = 9;
  if (size >= 4) {
    t.wYear = static_cast<WORD>(1601 + (data[1] | (data[2] << 8)) % 8000);
    t.wMonth = static_cast<WORD>(1 + data[3] % 12);
    t.wDayOfWeek = static_cast<WORD>(data[3] % 7);
  }
  const std::wstring text = FormatFieldTime(TextOf(data, size), t);
  if (text.size() > 255) ReportFinding("a time text longer than 255 characters");
}

// Template and scenario files: the input is the file.
void RunTemplateScenario(const uint8_t* data, size_t size) {
  const std::wstring file = WriteInputFile(L"values.dpt", data, size);
  // Fields as the engine's template reads them; at most four, so an input
  // costs a bounded number of file reads.
  const int declared = GetIniInt(L"General", L"NumFields", file, 0);
  const int count = declared < 4 ? declared : 4;
  for (CFieldData& field : LoadTemplateFields(file, count)) {
    COLORREF colour;
    LOGFONTW font;
    ParseFontString(field.TextFont, colour, font);
    SYSTEMTIME t = {2026, 12, 4, 10, 14, 5, 9, 0};
    FormatFieldTime(field.DataFormat, t);
    EncodeSymbology(field.BarcodeType, field.GetPrintText().empty() ? field.FieldName : field.GetPrintText());
  }
  // The same file as a scenario.
  for (const wchar_t* prefix : {L"Portrait", L"Landscape"}) {
    ReadForcedSettings(file, prefix);
    std::vector<EngineEvent> events;
    ConvertStoredConfiguration(ReadStoredConfiguration(file, L"dvtest", prefix), L"dvtest", prefix, events);
  }
}

Bytes TemplateSeed(size_t index) {
  switch (index) {
    case 0:
      return FromString(
          "[General]\r\nBackgroundPicture=c:\\dorvane\\bg.emf\r\nForgroundPicture=\r\nNumFields=2\r\n"
          "[Field_1]\r\nDataFormat=%d/%m/%Y\r\nFieldName=Date\r\nPrintText=1\r\nTextTop=10\r\nTextLeft=20\r\n"
          "TextDirection=0\r\nTextFont=0,177,0,0,0,400,0,10,David\r\nPrintBarcode=1\r\nBarcodeTop=30\r\n"
          "BarcodeLeft=20\r\nBarcodeWidth=300\r\nBarcodeHeight=50\r\nBarcodeRotate=0\r\nBarcodeType=2\r\n"
          "[Field_2]\r\nDataFormat=%H:%M:%S %#x %Q %\r\nFieldName=Mixed Data\r\nTextFont=255,0,1,1,1,700,0,-12,Arial\r\n"
          "BarcodeType=11\r\n");
    case 1:
      return FromString(
          "[General]\r\nPortraitForceDuplex=2\r\nPortraitForceColor=1\r\nPortraitForceCopies=3\r\n"
          "PortraitForceDevmode=1\r\nLandscapeForceDuplex=-1\r\n[dvtest]\r\nPortrait=" +
          std::string(reinterpret_cast<const char*>(HexSeed(0).data() + 1), HexSeed(0).size() - 1) +
          "\r\nLandscape=0011\r\n");
    default:
      return Bytes();
  }
}

// ---------------------------------------------------------------------------
// Job-name rules.

void RunJobRule(const uint8_t* data, size_t size) {
  const std::wstring text = TextOf(data, size);
  // key=value, then a line feed and the document name to match.
  const size_t eq = text.find(L'=');
  const size_t lf = text.find(L'\n');
  const std::wstring key = text.substr(0, eq);
  const std::wstring value = eq == std::wstring::npos ? std::wstring() : text.substr(eq + 1, lf == std::wstring::npos ? std::wstring::npos : lf - eq - 1);
  const std::wstring document = lf == std::wstring::npos ? std::wstring() : text.substr(lf + 1);
  CJobRule rule;
  FuzzJobRuleLine(key, value, ReportFinding, rule);
  CJobRuleArray rules;
  rules.SetRule(rule.GetName(), rule.GetSearchType(), rule.GetSearchText(), rule.GetScenarioFile());
  rules.SetRule(L"second", (rule.GetSearchType() + 1) & 3, document.substr(0, document.size() / 2), L"b.scn");
  std::wstring scenario;
  rules.Match(document, scenario);
  rules.DeleteRule(rule.GetName());
}

void RunJobRulesFile(const uint8_t* data, size_t size) {
  const std::wstring file = WriteInputFile(L"Dorvane.ini", data, size);
  CJobRuleArray rules;
  rules.Load(file, SectionWarning::Silent);
  std::wstring scenario;
  rules.Match(L"Microsoft Word - report.docx", scenario);
  rules.Match(L"", scenario);
}

Bytes RuleSeed(size_t index) {
  switch (index) {
    case 0: return TextSeed("Invoices=2;#;Invoice;#;c:\\dorvane\\inv.scn\nInvoice 2026-12");
    case 1: return TextSeed(" Word docs =3;#;.docx;#;word.scn\nreport.docx");
    case 2: return TextSeed("r=-7;#;a;#;b;#;c\n");
    default: return Bytes();
  }
}

Bytes RulesFileSeed(size_t index) {
  if (index > 0) return Bytes();
  return FromString(
      "[General]\r\nOverrideScenarioByJobname=1\r\n[JobnameScenarios]\r\nInvoices=2;#;Invoice;#;c:\\dorvane\\inv.scn\r\n"
      "Reports=0;#;report;#;c:\\dorvane\\rep.scn\r\nWord=3;#;.docx;#;word.scn\r\nAll=1;#;;#;\r\n");
}

// ---------------------------------------------------------------------------
// Barcode texts.

void RunBarcode(const uint8_t* data, size_t size) { FuzzBarcodeEncode(data, size, ReportFinding); }

GetBarcodeStringBitsFn g_getBits = nullptr;
FreeBarcodeStringBitsFn g_freeBits = nullptr;

void RunBarcodeLibrary(const uint8_t* data, size_t size) {
  if (!g_getBits) {
    // Loaded once from beside this program, as the engine loads it by its
    // full path.
    HMODULE lib = LoadLibraryW((GetModuleFolder() + L"Strimlet.dll").c_str());
    if (!lib) {
      ReportFinding("Strimlet.dll cannot be loaded");
      return;
    }
    g_getBits = reinterpret_cast<GetBarcodeStringBitsFn>(reinterpret_cast<void*>(GetProcAddress(lib, "GetBarcodeStringBits")));
    g_freeBits = reinterpret_cast<FreeBarcodeStringBitsFn>(reinterpret_cast<void*>(GetProcAddress(lib, "FreeBarcodeStringBits")));
    if (!g_getBits || !g_freeBits) {
      g_getBits = nullptr;
      ReportFinding("Strimlet.dll lacks its exports");
      return;
    }
  }
  if (size == 0) {
    g_freeBits(g_getBits(nullptr, 0));
    return;
  }
  // The text is the bytes after the symbology, ended by the last byte made
  // NUL: its terminator is the last byte before the guard page.
  uint8_t* text = const_cast<uint8_t*>(data);
  text[size - 1] = 0;
  char* bits = g_getBits(reinterpret_cast<const char*>(text + (size > 1 ? 1 : 0)), static_cast<int8_t>(data[0]) % 16);
  if (!bits) {
    ReportFinding("GetBarcodeStringBits returned null");
    return;
  }
  if (std::strspn(bits, "01") != std::strlen(bits)) ReportFinding("a module string holds characters other than 0 and 1");
  g_freeBits(bits);
}

// The engine's side: the EAN and UPC preparation of a field's text, then
// the library loaded from the install folder for each text, as a field is
// drawn. The install folder points at this process's folder meanwhile.
std::wstring g_savedInstallPath;
bool g_installPathSet = false;

void RunBarcodeEngine(const uint8_t* data, size_t size) {
  if (!g_installPathSet) {
    g_installPathSet = true;
    g_savedInstallPath = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path");
    CopyFileW((GetModuleFolder() + L"Strimlet.dll").c_str(), (WorkFolder() + L"Strimlet.dll").c_str(), FALSE);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", WorkFolder());
  }
  if (size == 0) return;
  const int type = data[0] / 2 % 18;
  std::wstring text = TextOf(data, size);
  CoBarcode::ComputeCheckDigit(text);
  CoBarcode::ExpandUpcE(text);
  CoBarcode::GetUpcECheckDigit(text);
  const std::wstring upcE = CoBarcode::CompressUpcA(text);
  if (!upcE.empty() && upcE.size() != 6) ReportFinding("a UPC-E form of other than six digits");
  switch (type) {
    case 4: case 13: CoBarcode::NormalizeEan(text, 8); break;
    case 11: case 12: CoBarcode::NormalizeEan(text, 13); break;
    case 5: case 14: CoBarcode::NormalizeUpc(text, 7); break;
    case 6: case 15: CoBarcode::NormalizeUpc(text, 12); break;
    default: break;
  }
  std::vector<char> bits(CoBarcode::kBitsBufferSize);
  CoBarcode::GetBarcodeBits(text, CoBarcode::GetSymbology(type), bits.data());
  if (std::strspn(bits.data(), "01") != strnlen(bits.data(), bits.size()) || bits.back() != '\0')
    ReportFinding("the module buffer holds other characters or no terminator");
}

void FinishBarcodeEngine() {
  if (!g_installPathSet) return;
  WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, L"Path", g_savedInstallPath);
  g_installPathSet = false;
}

const std::vector<std::string> kBarcodeDictionary = {"0123456789", "ABC", "$", "/+%", "*", "\x7f", "\xe9", "\x80",
                                                    "01234567890", "012345678905", "1234567", "A1234B", "-.$:/+"};

Bytes BarcodeSeed(size_t index) {
  static const char* const kTexts[] = {"HELLO-123", "0123456789012", "4006381", "01234565", "A40156B", "abc\x7f\x01",
                                       "1234567890", "Code 93 %$"};
  if (index >= sizeof(kTexts) / sizeof(kTexts[0])) return Bytes();
  Bytes b = TextSeed(kTexts[index]);
  b[0] = static_cast<uint8_t>(index * 4);  // 8-bit text, a symbology per seed
  return b;
}

// ---------------------------------------------------------------------------
// The stored password.

void RunPassword(const uint8_t* data, size_t size) { FuzzPassword(data, size, ReportFinding); }

Bytes PasswordSeed(size_t index) {
  static const char* const kTexts[] = {"1BTitT4DRbkv6FPVdm", "Z9a0", "*", "abcdefghijklmnopqrstuvwxyz"};
  if (index >= 4) return Bytes();
  return TextSeed(kTexts[index]);
}

// ---------------------------------------------------------------------------
// Event log lines.

void RunLogLine(const uint8_t* data, size_t size) { FuzzLogLines(data, size, ReportFinding); }

void RunLogFile(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  ReadLogLines(WriteInputFile(L"Events.log", data, size), lines);
  for (const std::string& line : lines) {
    if (line.size() > kMaxLogLine) ReportFinding("a line longer than the longest kept");
    LogRow row;
    SplitLogLine(line, row);
  }
}

Bytes LogSeed(size_t index) {
  if (index > 1) return Bytes();
  std::string s =
      "1,1001,Job Processed,10/12/2026,14:05:09,Job: 12\r\n"
      "2,2006,Wrong entrance password,10/12/2026,14:05:10,\r\n"
      "4,4001,Dorvane started,10/12/2026,14:05:11,detail, with, commas\r\n"
      "-3,x,,,,\r\n"
      "no comma here\r\n";
  if (index == 1) s += std::string(5000, 'x') + ",tail\r\n\r\n";
  return FromString(s);
}

const std::vector<std::string> kTextDictionary = {",", ";#;", "=", "\r\n", "\n", "%", "%#", "[General]",
                                                  "[JobnameScenarios]", "[Field_1]", "NumFields=", "TextFont=",
                                                  "DataFormat=", "[dvtest]", "Portrait=", "\xff\xfe", "\x00\xd8"};

}  // namespace

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"emf_count", RunEmfCount, 1 << 16, kEmfDictionary, EmfSeed, true},
      {"emf_getpage", RunEmfGetPage, 1 << 16, kEmfDictionary, EmfSeed, true},
      {"emf_metafile", RunEmfMetafile, 1 << 14, kEmfDictionary, MetafileSeed},
      {"vfile_match", RunVFileMatch, 1 << 16, kPclDictionary, PclSeed},
      {"prn_scanner", RunPrnScanner, 1 << 15, kPclDictionary, PclSeed},
      {"raw_page_count", RunRawPageCount, 1 << 16, kPclDictionary, PclSeed},
      {"raw_analysis", RunRawAnalysis, 1 << 14, kPclDictionary, PclSeed},
      {"raw_page_copy", RunRawPageCopy, 1 << 16, kPclDictionary, PclSeed},
      {"raw_macro_copy", RunRawMacroCopy, 1 << 16, kPclDictionary, PclSeed},
      {"devmode", RunDevmode, 1024, {}, DevmodeSeed},
      {"hex_text", RunHexText, 4096, {"00", "FF", "dc", "g0", "D\x00"}, HexSeed},
      {"font_string", RunFontString, 1024, kTextDictionary, [](size_t i) {
         static const char* const k[] = {"0,177,0,0,0,400,0,10,David", ",,,-1,,99999999999,,,", "1,2,3",
                                         "16777215,0,1,1,1,700,5,-12,A face name much longer than thirty-one"};
         return i < 4 ? TextSeed(k[i]) : Bytes();
       }},
      {"field_time", RunFieldTime, 1024, kTextDictionary, [](size_t i) {
         static const char* const k[] = {"%d/%m/%Y", "%H:%M:%S", "%#c %#x %Q %", "%%%a%A%b%B%j%U%w%W%y%z%Z%p%I"};
         return i < 4 ? TextSeed(k[i]) : Bytes();
       }},
      {"template_scenario", RunTemplateScenario, 8192, kTextDictionary, TemplateSeed, true},
      {"job_rule", RunJobRule, 2048, kTextDictionary, RuleSeed},
      {"job_rules_file", RunJobRulesFile, 1 << 15, kTextDictionary, RulesFileSeed, true},
      {"barcode", RunBarcode, 1024, kBarcodeDictionary, BarcodeSeed},
      {"barcode_library", RunBarcodeLibrary, 1024, kBarcodeDictionary, BarcodeSeed},
      {"barcode_engine", RunBarcodeEngine, 512, kBarcodeDictionary, BarcodeSeed, true, FinishBarcodeEngine},
      {"password", RunPassword, 1024, kTextDictionary, PasswordSeed},
      {"log_line", RunLogLine, 1 << 14, kTextDictionary, LogSeed},
      {"log_file", RunLogFile, 1 << 15, kTextDictionary, LogSeed, true},
  };
  return targets;
}

}  // namespace dvfuzz
