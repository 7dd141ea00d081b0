// Destination printer settings: hex text, devmode checks, the destination
// devmode on a table of cases, the scenario's forced settings and stored
// configurations, the job devmode with its fallback, the device context with
// its fallback, and events 3, 3002, 3003 and 1004 with their details.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "common/EventLog.h"
#include "common/InstallFolder.h"
#include "common/StringUtil.h"
#include "engine/DestinationPrinter.h"
#include "tests/support/TestEnv.h"
#include "tools/fixtures/EmfSpool.h"
#include "tools/fixtures/PrinterSetup.h"

namespace {

struct DevmodeSpec {
  const wchar_t* device = L"JobPrinter";
  int driverExtra = 0;
  DWORD fields = 0;
  short orientation = DMORIENT_PORTRAIT;
  short paperSize = DMPAPER_A4;
  short copies = 1;
  short color = DMCOLOR_MONOCHROME;
  short duplex = DMDUP_SIMPLEX;
};

std::vector<BYTE> MakeDevmode(const DevmodeSpec& s) {
  std::vector<BYTE> bytes(sizeof(DEVMODEW) + s.driverExtra, 0);
  auto* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
  wcsncpy(dm->dmDeviceName, s.device, CCHDEVICENAME - 1);
  dm->dmSize = sizeof(DEVMODEW);
  dm->dmDriverExtra = static_cast<WORD>(s.driverExtra);
  dm->dmFields = s.fields;
  dm->dmOrientation = s.orientation;
  dm->dmPaperSize = s.paperSize;
  dm->dmCopies = s.copies;
  dm->dmColor = s.color;
  dm->dmDuplex = s.duplex;
  for (int i = 0; i < s.driverExtra; ++i) bytes[sizeof(DEVMODEW) + i] = static_cast<BYTE>(i);
  return bytes;
}

const DEVMODEW& Dm(const std::vector<BYTE>& bytes) { return *reinterpret_cast<const DEVMODEW*>(bytes.data()); }

std::wstring ToHex(const std::vector<BYTE>& bytes) {
  std::wstring text;
  for (BYTE b : bytes) text += dv::Format(L"%02X", b);
  return text;
}


}  // namespace

TEST(HexText, PairsOfCharactersBecomeBytes) {
  struct Row {
    const wchar_t* text;
    std::vector<BYTE> bytes;
  } rows[] = {
      {L"0a1B", {0x0A, 0x1B}},
      {L"0G", {0x10}},       // G is 71, 71 - 55 = 16
      {L"ABC", {0xAB}},      // an odd last character is ignored
      {L"", {}},
      {L"zz", {0x53}},       // (35 * 16 + 35) kept to 8 bits
      {L"FF00ff", {0xFF, 0x00, 0xFF}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(r.text));
    EXPECT_EQ(HexToBytes(r.text), r.bytes);
  }
  EXPECT_EQ(HexPairToByte(L"A"), 0);
  EXPECT_EQ(HexPairToByte(L""), 0);
  EXPECT_EQ(HexPairToByte(L"7f"), 0x7F);
}

TEST(StringToInt, DecimalAtTheStart) {
  struct Row {
    const wchar_t* text;
    int value;
  } rows[] = {{L"42", 42},  {L"  -17x", -17}, {L"+5", 5},          {L"abc", 0},
              {L"", 0},     {L"\t7", 7},      {L"99999999999", INT_MAX}, {L"-99999999999", INT_MIN},
              {L"- 3", 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(dv::ToUtf8(r.text));
    EXPECT_EQ(StringToInt(r.text), r.value);
  }
}

TEST(IsUsableDevmode, SizesMustFitTheBytes) {
  std::vector<BYTE> good = MakeDevmode({L"P", 8});
  std::vector<BYTE> cut = good;
  cut.resize(good.size() - 1);  // driver data cut short
  std::vector<BYTE> tooShort = HexToBytes(L"0A1B");
  std::vector<BYTE> lyingSize = MakeDevmode({L"P", 0});
  reinterpret_cast<DEVMODEW*>(lyingSize.data())->dmDriverExtra = 500;
  std::vector<BYTE> tinyDmSize = MakeDevmode({L"P", 0});
  reinterpret_cast<DEVMODEW*>(tinyDmSize.data())->dmSize = 20;
  std::vector<BYTE> publicPartOnly(good.begin(), good.begin() + sizeof(DEVMODEW) - 1);
  EXPECT_TRUE(IsUsableDevmode(good));
  EXPECT_FALSE(IsUsableDevmode(cut));
  EXPECT_FALSE(IsUsableDevmode(tooShort));
  EXPECT_FALSE(IsUsableDevmode({}));
  EXPECT_FALSE(IsUsableDevmode(lyingSize));
  EXPECT_FALSE(IsUsableDevmode(tinyDmSize));
  EXPECT_FALSE(IsUsableDevmode(publicPartOnly));
}

TEST(DestinationDevmode, Table) {
  const DWORD kNone = 0xFFFFFFFF;  // "not checked"
  struct Row {
    const char* name;
    bool job;
    DevmodeSpec jobSpec;
    bool stored;
    DevmodeSpec storedSpec;
    ForcedSettings forced;
    int totalPages, pagesPerSide, orientation;
    // expected
    bool hasDevmode;
    DWORD fields;  // exact dmFields, or kNone
    short duplex, color, copies, paperSize, orientationOut;
    int duplexValue;
    std::vector<EngineEvent> events;
  };
  const DevmodeSpec job3Copies = {L"JobPrinter", 8, DM_COPIES | DM_PAPERSIZE, DMORIENT_PORTRAIT, 5, 3};
  const DevmodeSpec storedDuplex = {L"StoredPrinter", 8, DM_DUPLEX | DM_COPIES, DMORIENT_PORTRAIT, 9, 1,
                                    DMCOLOR_MONOCHROME, DMDUP_VERTICAL};
  const DevmodeSpec storedNoExtra = {L"StoredPrinter", 0, DM_DUPLEX, DMORIENT_PORTRAIT, 9, 1, DMCOLOR_COLOR,
                                     DMDUP_VERTICAL};
  const DevmodeSpec jobDuplex = {L"JobPrinter", 0, 0, DMORIENT_PORTRAIT, 9, 1, DMCOLOR_MONOCHROME,
                                 DMDUP_HORIZONTAL};
  const DevmodeSpec jobPlain = {};
  const DevmodeSpec jobLandscape = {L"JobPrinter", 0, DM_ORIENTATION, DMORIENT_LANDSCAPE};
  const Row rows[] = {
      {"forced long-edge duplex on a 3-page job", true, jobPlain, false, {}, {2, 0, 0, 0}, 3, 1, 1,
       true, DM_DUPLEX, 2, 1, 1, 9, 1, 2, {}},
      {"forced duplex on a one-page job prints one-sided", true, jobPlain, false, {}, {2, 0, 0, 0}, 1, 1, 1,
       true, DM_DUPLEX, 1, 1, 1, 9, 1, 1, {}},
      {"forced duplex 5 sets the flag and keeps the job's value", true, jobDuplex, false, {}, {5, 0, 0, 0}, 3, 1, 1,
       true, DM_DUPLEX, 3, 1, 1, 9, 1, 3, {}},
      {"forced colour and copies", true, jobPlain, false, {}, {0, 2, 4, 0}, 2, 1, 1,
       true, DM_COLOR | DM_COPIES, 1, 2, 4, 9, 1, 1, {}},
      {"forced colour 7 sets the flag only", true, jobPlain, false, {}, {0, 7, 0, 0}, 2, 1, 1,
       true, DM_COLOR, 1, 1, 1, 9, 1, 1, {}},
      {"forced copies beyond a short are held at 32767", true, jobPlain, false, {}, {0, 0, 40000, 0}, 2, 1, 1,
       true, DM_COPIES, 1, 1, 32767, 9, 1, 1, {}},
      {"stored configuration takes the job's paper and copies", true, job3Copies, true, storedDuplex,
       {3, 2, 0, 1}, 3, 1, 1, true, DM_DUPLEX | DM_COPIES, 2, 1, 3, 5, 1, 2, {}},
      {"stored configuration with forced copies", true, job3Copies, true, storedDuplex, {0, 0, 6, 1}, 3, 1, 1,
       true, DM_DUPLEX | DM_COPIES, 2, 1, 6, 5, 1, 2, {}},
      {"stored configuration without a job devmode: one copy of A4", false, {}, true, storedDuplex,
       {0, 0, 0, 1}, 3, 1, 1, true, DM_DUPLEX | DM_COPIES, 2, 1, 1, 9, 1, 2, {}},
      {"stored configuration of another driver", true, job3Copies, true, storedNoExtra, {0, 0, 0, 1}, 3, 1, 1,
       true, DM_DUPLEX, 2, 2, 3, 5, 1, 2,
       {{3002, L"Original device name: JobPrinter, New device name: StoredPrinter"}}},
      {"stored configuration on a one-page job prints one-sided", true, job3Copies, true, storedDuplex,
       {0, 0, 0, 1}, 1, 1, 1, true, DM_DUPLEX | DM_COPIES, 1, 1, 3, 5, 1, 1, {}},
      {"one-sided rule sets the duplex flag", true, jobDuplex, false, {}, {}, 1, 1, 1,
       true, DM_DUPLEX, 1, 1, 1, 9, 1, 1, {}},
      {"2-up portrait job turns the sheet to landscape", true, jobPlain, false, {}, {}, 3, 2, 1,
       true, DM_ORIENTATION, 1, 1, 1, 9, 2, 1, {}},
      {"6-up landscape job turns the sheet to portrait", true, jobLandscape, false, {}, {2, 0, 0, 0}, 7, 6, 2,
       true, DM_ORIENTATION | DM_DUPLEX, 2, 1, 1, 9, 1, 2, {}},
      {"4-up does not turn the sheet; 4 pages fit one side", true, jobLandscape, false, {}, {2, 0, 0, 0}, 4, 4, 2,
       true, DM_ORIENTATION | DM_DUPLEX, 1, 1, 1, 9, 2, 1, {}},
      {"4-up with 5 pages may print two-sided", true, jobPlain, false, {}, {2, 0, 0, 0}, 5, 4, 1,
       true, DM_DUPLEX, 2, 1, 1, 9, 1, 2, {}},
      {"pages per side 0 counts as 1-up", true, jobPlain, false, {}, {2, 0, 0, 0}, 2, 0, 1,
       true, DM_DUPLEX, 2, 1, 1, 9, 1, 2, {}},
      {"pages per side -1, one page", true, jobPlain, false, {}, {2, 0, 0, 0}, 1, -1, 1,
       true, DM_DUPLEX, 1, 1, 1, 9, 1, 1, {}},
      {"pages per side 3 counts as 1-up", true, jobPlain, false, {}, {2, 0, 0, 0}, 3, 3, 1,
       true, DM_DUPLEX, 2, 1, 1, 9, 1, 2, {}},
      {"no devmode at all: the driver's defaults", false, {}, false, {}, {2, 1, 3, 0}, 1, 1, 1,
       false, kNone, 0, 0, 0, 0, 0, 0, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    DevmodeRequest request;
    if (r.job) request.jobDevmode = MakeDevmode(r.jobSpec);
    if (r.stored) request.settings.storedConfiguration = MakeDevmode(r.storedSpec);
    request.settings.forced = r.forced;
    request.totalPages = r.totalPages;
    request.pagesPerSide = r.pagesPerSide;
    request.orientation = r.orientation;
    const DestinationDevmode out = BuildDestinationDevmode(request);
    EXPECT_EQ(out.events, r.events);
    EXPECT_EQ(out.duplex, r.duplexValue);
    ASSERT_EQ(!out.devmode.empty(), r.hasDevmode);
    if (!r.hasDevmode) continue;
    ASSERT_TRUE(IsUsableDevmode(out.devmode));
    const DEVMODEW& dm = Dm(out.devmode);
    const DWORD baseFields = r.stored ? 0 : (r.job ? r.jobSpec.fields : 0);
    if (r.fields != kNone) {
      EXPECT_EQ(dm.dmFields, r.fields | baseFields);
    }
    EXPECT_EQ(dm.dmDuplex, r.duplex);
    EXPECT_EQ(dm.dmColor, r.color);
    EXPECT_EQ(dm.dmCopies, r.copies);
    EXPECT_EQ(dm.dmPaperSize, r.paperSize);
    EXPECT_EQ(dm.dmOrientation, r.orientationOut);
    if (r.stored) {
      // The rest of the stored configuration, its driver data included, is
      // used as it stands.
      EXPECT_EQ(out.devmode.size(), request.settings.storedConfiguration.size());
      EXPECT_EQ(dm.dmDriverExtra, r.storedSpec.driverExtra);
      EXPECT_EQ(std::wstring(dm.dmDeviceName), r.storedSpec.device);
    }
  }
}

TEST(RawJobDuplex, StoredConfigurationBeforeForcedDuplex) {
  PrinterSettings settings;
  EXPECT_EQ(RawJobDuplex(settings), 0);
  settings.forced.duplex = 3;
  EXPECT_EQ(RawJobDuplex(settings), 3);
  settings.storedConfiguration = MakeDevmode({L"Stored", 0, DM_DUPLEX, 1, 9, 1, 1, DMDUP_VERTICAL});
  EXPECT_EQ(RawJobDuplex(settings), 2);
  EXPECT_TRUE(FitsOneSide(1, 1));
  EXPECT_TRUE(FitsOneSide(0, 1));
  EXPECT_FALSE(FitsOneSide(2, 1));
  EXPECT_TRUE(FitsOneSide(16, 16));
  EXPECT_FALSE(FitsOneSide(3, 3)) << "3 per side prints 1-up";
  EXPECT_FALSE(FitsOneSide(2, 0));
}

TEST(StoredConfiguration, MissingOrUnusableConfigurationsGiveEvent3003) {
  struct Row {
    const char* name;
    std::wstring hex;
    const wchar_t* prefix;
    bool usable;
  } rows[] = {
      {"empty", L"", L"Portrait", false},
      {"landscape, empty", L"", L"Landscape", false},
      {"shorter than a devmode", L"0A1B", L"Portrait", false},
      {"driver data cut", ToHex(MakeDevmode({L"P", 8})).substr(0, 2 * (sizeof(DEVMODEW) + 4)), L"Portrait", false},
      {"whole", ToHex(MakeDevmode({L"P", 8})), L"Landscape", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::vector<EngineEvent> events;
    std::vector<BYTE> bytes = ConvertStoredConfiguration(r.hex, L"Some Driver", r.prefix, events);
    EXPECT_EQ(!bytes.empty(), r.usable);
    if (r.usable) {
      EXPECT_TRUE(events.empty());
    } else {
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].code, 3003);
      EXPECT_EQ(events[0].detail,
                dv::Format(L"Configuration for driver: (Some Driver) is missing on %ls printing", r.prefix));
    }
  }
}

class ScenarioSettingsTest : public testing::Test {
 protected:
  std::wstring Scenario() const { return install.Path() + L"test.scn"; }
  dvtest::ScopedInstallFolder install;
  dvtest::TestPrinter printer;
};

TEST_F(ScenarioSettingsTest, ForcedSettingsOfTheRecordsOrientation) {
  ASSERT_TRUE(printer.ok());
  SetIniInt(L"General", L"PortraitForceDuplex", Scenario(), 3);
  SetIniInt(L"General", L"PortraitForceCopies", Scenario(), 2);
  SetIniInt(L"General", L"LandscapeForceColor", Scenario(), 1);
  SetIniInt(L"General", L"LandscapeForceCopies", Scenario(), 9);

  PrinterSettings portrait = ReadPrinterSettings(printer.Name(), Scenario(), 1);
  EXPECT_EQ(portrait.driverName, dvfix::kTestDriverName);
  EXPECT_EQ(portrait.prefix, L"Portrait");
  EXPECT_EQ(portrait.forced.duplex, 3);
  EXPECT_EQ(portrait.forced.color, 0);
  EXPECT_EQ(portrait.forced.copies, 2);

  // Any orientation other than 1 reads the landscape keys.
  for (int orientation : {2, 0, 3}) {
    SCOPED_TRACE(orientation);
    PrinterSettings landscape = ReadPrinterSettings(printer.Name(), Scenario(), orientation);
    EXPECT_EQ(landscape.prefix, L"Landscape");
    EXPECT_EQ(landscape.forced.duplex, 0);
    EXPECT_EQ(landscape.forced.color, 1);
    EXPECT_EQ(landscape.forced.copies, 9);
  }

  PrinterSettings none = ReadPrinterSettings(printer.Name(), L"", 1);
  EXPECT_EQ(none.forced.duplex + none.forced.color + none.forced.copies + none.forced.devmode, 0);
  EXPECT_TRUE(install.EventLines().empty());
}

TEST_F(ScenarioSettingsTest, StoredConfigurationIsReadWhole) {
  ASSERT_TRUE(printer.ok());
  // A real driver's configuration: far more than 4095 hex characters.
  std::vector<BYTE> config = MakeDevmode({L"Stored", 3000, DM_DUPLEX, DMORIENT_LANDSCAPE, 9, 1, 1, DMDUP_VERTICAL});
  const std::wstring hex = ToHex(config);
  ASSERT_GT(hex.size(), 4095u);
  SetIniString(dvfix::kTestDriverName, L"Landscape", Scenario(), hex);
  SetIniInt(L"General", L"LandscapeForceDevmode", Scenario(), 1);

  EXPECT_EQ(ReadStoredConfiguration(Scenario(), dvfix::kTestDriverName, L"Landscape"), hex);
  PrinterSettings settings = ReadPrinterSettings(printer.Name(), Scenario(), 2);
  EXPECT_EQ(settings.storedConfiguration, config);
  EXPECT_TRUE(install.EventDetails(3003).empty());
}

TEST_F(ScenarioSettingsTest, MissingConfigurationLogs3003AndGoesOn) {
  ASSERT_TRUE(printer.ok());
  SetIniInt(L"General", L"LandscapeForceDevmode", Scenario(), 1);
  SetIniInt(L"General", L"LandscapeForceDuplex", Scenario(), 2);
  SetIniInt(L"General", L"PortraitForceDevmode", Scenario(), 1);
  SetIniString(dvfix::kTestDriverName, L"Portrait", Scenario(), L"");  // deleted in the editor

  PrinterSettings landscape = ReadPrinterSettings(printer.Name(), Scenario(), 2);
  EXPECT_TRUE(landscape.storedConfiguration.empty());
  EXPECT_EQ(landscape.forced.duplex, 2) << "the individual settings still apply";
  PrinterSettings portrait = ReadPrinterSettings(printer.Name(), Scenario(), 1);
  EXPECT_TRUE(portrait.storedConfiguration.empty());

  const std::string driver = dv::ToUtf8(dvfix::kTestDriverName);
  EXPECT_EQ(install.EventDetails(3003),
            (std::vector<std::string>{"Configuration for driver: (" + driver + ") is missing on Landscape printing",
                                      "Configuration for driver: (" + driver + ") is missing on Portrait printing"}));
}

TEST_F(ScenarioSettingsTest, DevmodeNotForcedIsNotRead) {
  ASSERT_TRUE(printer.ok());
  SetIniString(dvfix::kTestDriverName, L"Portrait", Scenario(), ToHex(MakeDevmode({})));
  PrinterSettings settings = ReadPrinterSettings(printer.Name(), Scenario(), 1);
  EXPECT_TRUE(settings.storedConfiguration.empty());
  EXPECT_TRUE(install.EventLines().empty());
}

TEST_F(ScenarioSettingsTest, PrinterDefaultDevmode) {
  ASSERT_TRUE(printer.ok());
  std::vector<BYTE> dm = GetPrinterDefaultDevmode(printer.Name());
  ASSERT_TRUE(IsUsableDevmode(dm));
  EXPECT_EQ(dm.size(), static_cast<size_t>(Dm(dm).dmSize) + Dm(dm).dmDriverExtra);
  EXPECT_TRUE(GetPrinterDefaultDevmode(L"No Such Printer 4711").empty());
}

TEST_F(ScenarioSettingsTest, JobDevmodeFileAndItsFallback) {
  ASSERT_TRUE(printer.ok());
  const std::wstring dvm = install.SpoolFolder() + L"00000001.Dvm";
  const std::vector<BYTE> own = dvfix::GetPrinterDevmode(printer.Name(), 2);
  ASSERT_TRUE(IsUsableDevmode(own));

  ASSERT_TRUE(dvtest::WriteFileBytes(dvm, std::string(own.begin(), own.end())));
  EXPECT_EQ(ReadJobDevmode(dvm, L"No Such Printer 4711", printer.Name()), own);
  EXPECT_TRUE(install.EventLines().empty());

  // Missing file: event 3 with the open error; the destination printer's
  // default takes its place, else PrinterName's.
  DeleteFileW(dvm.c_str());
  std::vector<BYTE> fallback = ReadJobDevmode(dvm, printer.Name(), L"No Such Printer 4711");
  EXPECT_EQ(fallback, GetPrinterDefaultDevmode(printer.Name()));
  EXPECT_FALSE(ReadJobDevmode(dvm, L"No Such Printer 4711", printer.Name()).empty());
  EXPECT_TRUE(ReadJobDevmode(dvm, L"No Such Printer 4711", L"No Such Printer 4712").empty());

  // A file too short for a devmode, and one whose sizes lie: unreadable.
  ASSERT_TRUE(dvtest::WriteFileBytes(dvm, std::string("\x0a\x1b", 2)));
  EXPECT_FALSE(ReadJobDevmode(dvm, printer.Name(), printer.Name()).empty());
  std::vector<BYTE> lying = own;
  reinterpret_cast<DEVMODEW*>(lying.data())->dmDriverExtra = 4000;
  ASSERT_TRUE(dvtest::WriteFileBytes(dvm, std::string(lying.begin(), lying.end())));
  EXPECT_EQ(ReadJobDevmode(dvm, printer.Name(), printer.Name()), GetPrinterDefaultDevmode(printer.Name()));

  const std::string path = dv::ToUtf8(dvm);
  const std::string missing = dv::ToUtf8(dv::Format(L"File name: %ls, GetLastError Returned:%d (%ls)", dvm.c_str(),
                                                    ERROR_FILE_NOT_FOUND,
                                                    GetSystemErrorText(ERROR_FILE_NOT_FOUND).c_str()));
  const std::string invalid = dv::ToUtf8(dv::Format(L"File name: %ls, GetLastError Returned:%d (%ls)", dvm.c_str(),
                                                    ERROR_INVALID_DATA,
                                                    GetSystemErrorText(ERROR_INVALID_DATA).c_str()));
  EXPECT_EQ(install.EventDetails(3), (std::vector<std::string>{missing, missing, missing, invalid, invalid}));
}

TEST_F(ScenarioSettingsTest, DeviceContextFallsBackToThePrinterName) {
  ASSERT_TRUE(printer.ok());
  const std::vector<BYTE> dm = dvfix::GetPrinterDevmode(printer.Name(), 2);
  {
    dv::DcHandle dc = CreateDestinationDC(printer.Name(), dvfix::kTestDriverName, L"Other", dm);
    ASSERT_TRUE(dc);
    EXPECT_GT(GetDeviceCaps(dc.get(), HORZRES), GetDeviceCaps(dc.get(), VERTRES)) << "the devmode is used";
  }
  {
    dv::DcHandle dc = CreateDestinationDC(L"\\\\NOCLUSTER\\" + printer.Name(), L"", printer.Name(), dm);
    EXPECT_TRUE(dc);
  }
  {
    dv::DcHandle dc = CreateDestinationDC(printer.Name(), dvfix::kTestDriverName, printer.Name(), {});
    ASSERT_TRUE(dc) << "no devmode: the driver's defaults";
  }
  EXPECT_TRUE(install.EventLines().empty());

  dv::DcHandle none = CreateDestinationDC(L"No Such Printer 4711", L"", L"No Such Printer 4712", dm);
  EXPECT_FALSE(none);
  std::vector<std::string> details = install.EventDetails(1004);
  ASSERT_EQ(details.size(), 1u);
  EXPECT_EQ(details[0].rfind("GetLastError Returned: ", 0), 0u) << details[0];
  const std::string tail = ", No Such Printer 4712";
  ASSERT_GT(details[0].size(), tail.size());
  EXPECT_EQ(details[0].substr(details[0].size() - tail.size()), tail);
  // The middle is the error number and its system text.
  const int error = atoi(details[0].c_str() + strlen("GetLastError Returned: "));
  EXPECT_EQ(details[0], dv::ToUtf8(dv::Format(L"GetLastError Returned: %d (%ls), No Such Printer 4712", error,
                                              GetSystemErrorText(static_cast<DWORD>(error)).c_str())));
}
