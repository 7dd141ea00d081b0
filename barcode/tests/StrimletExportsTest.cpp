// Strimlet.dll as its callers use it: loaded by full path, bound by name
// (and by ordinal), every result handed back to the library.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "barcode/Barcode.h"
#include "barcode/Strimlet.h"
#include "common/Handles.h"
#include "tests/support/TestEnv.h"

namespace {

class StrimletLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    module.reset(LoadLibraryW(dvtest::BuiltFile(L"barcode\\Strimlet.dll").c_str()));
    ASSERT_TRUE(module) << "error " << GetLastError();
    getBits = reinterpret_cast<GetBarcodeStringBitsFn>(reinterpret_cast<void*>(GetProcAddress(module.get(), "GetBarcodeStringBits")));
    freeBits = reinterpret_cast<FreeBarcodeStringBitsFn>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "FreeBarcodeStringBits")));
    ASSERT_NE(getBits, nullptr);
    ASSERT_NE(freeBits, nullptr);
  }

  // One call through the exports, released at once.
  std::string Encode(const char* text, int symbology) {
    char* bits = getBits(text, symbology);
    EXPECT_NE(bits, nullptr);
    if (!bits) return "(null)";
    std::string copy(bits);
    freeBits(bits);
    return copy;
  }

  dv::ModuleHandle module;
  GetBarcodeStringBitsFn getBits = nullptr;
  FreeBarcodeStringBitsFn freeBits = nullptr;
};

}  // namespace

TEST_F(StrimletLibrary, ExportsByNameAndOrdinal) {
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module.get(), MAKEINTRESOURCEA(1))),
            reinterpret_cast<void*>(getBits));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module.get(), MAKEINTRESOURCEA(2))),
            reinterpret_cast<void*>(freeBits));
  EXPECT_NE(GetProcAddress(module.get(), MAKEINTRESOURCEA(3)), nullptr);
}

TEST_F(StrimletLibrary, EmptyTextGivesEachSymbologysFrame) {
  struct Row {
    int symbology;
    size_t modules;
  };
  // Code 128 Auto, Codabar, Code 39, I 2/5, EAN-8, UPC-E, UPC-A, 2/5,
  // 128 A, B, C, EAN-13, Code 93.
  const Row rows[] = {{0, 35}, {1, 28}, {2, 32}, {3, 41}, {4, 67}, {5, 51}, {6, 95},
                      {7, 19}, {8, 35}, {9, 35}, {10, 35}, {11, 95}, {12, 37}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.symbology);
    const std::string bits = Encode("", row.symbology);
    EXPECT_EQ(bits.size(), row.modules);
    EXPECT_EQ(bits.find_first_not_of("01"), std::string::npos);
    // Through the library exactly what the encoder gives.
    std::wstring direct = EncodeSymbology(row.symbology, L"");
    EXPECT_EQ(bits, std::string(direct.begin(), direct.end()));
  }
  EXPECT_EQ(Encode(nullptr, 9), Encode("", 9));
}

TEST_F(StrimletLibrary, OtherNumbersAreCode128Auto) {
  const std::string auto128 = Encode("A1234B", 0);
  ASSERT_FALSE(auto128.empty());
  for (int symbology : {13, -1, 1000, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(symbology);
    EXPECT_EQ(Encode("A1234B", symbology), auto128);
  }
}

TEST_F(StrimletLibrary, RefusalsAreEmptyAndEveryResultIsReleased) {
  EXPECT_EQ(Encode("40063813339311", 11), "");
  EXPECT_EQ(Encode("12A4", 10), "");
  // Freeing an empty result and a null pointer is harmless.
  char* empty = getBits("123456789", 4);
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  freeBits(empty);
  freeBits(nullptr);
  EXPECT_EQ(Encode("AB", 9).size(), 11u * 4 + 13);
}

TEST_F(StrimletLibrary, TextIsReadInTheThreadsAnsiCodePage) {
  // A byte that the code page maps to a character above 0xFF is never taken
  // for its low byte: 0x8C is U+0152 in code page 1252 (low byte 'R'), and
  // no character below 0x100 in UTF-8 either. Code 39 refuses it.
  EXPECT_EQ(Encode("\x8C", 2), "");
  EXPECT_EQ(Encode("\x8C", 0), "");
  EXPECT_EQ(Encode("A", 2).size(), 48u);
}

TEST_F(StrimletLibrary, CallsFromSeveralThreadsAgree) {
  const char* texts[] = {"4006381333931", "123456", "TEST93", "A1234B"};
  const int symbologies[] = {11, 5, 12, 0};
  std::vector<std::string> expected;
  for (int k = 0; k < 4; ++k) expected.push_back(Encode(texts[k], symbologies[k]));
  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 200; ++round) {
        const int k = (t + round) % 4;
        char* bits = getBits(texts[k], symbologies[k]);
        if (expected[k] != bits) ++mismatches[t];
        freeBits(bits);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0);
}

// The engine loads the library for every barcode and unloads it again: a
// load must give back everything it takes from the process. A thread-local
// slot kept per load (a guarded static on first use did) would end the
// engine with an abort once the process has none left.
TEST(StrimletLoads, EachLoadGivesItsThreadLocalSlotsBack) {
  const std::wstring path = dvtest::BuiltFile(L"barcode\\Strimlet.dll");
  auto loadAndEncode = [&path] {
    dv::ModuleHandle module(LoadLibraryW(path.c_str()));
    ASSERT_TRUE(module) << "error " << GetLastError();
    auto getBits = reinterpret_cast<GetBarcodeStringBitsFn>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "GetBarcodeStringBits")));
    auto freeBits = reinterpret_cast<FreeBarcodeStringBitsFn>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "FreeBarcodeStringBits")));
    ASSERT_TRUE(getBits && freeBits);
    for (int symbology = 0; symbology <= 12; ++symbology) {
      for (const char* text : {"4006381333931", "0123456", "ABC-12"}) freeBits(getBits(text, symbology));
    }
  };
  loadAndEncode();  // whatever this program itself sets up on first use
  const DWORD before = TlsAlloc();
  ASSERT_NE(before, TLS_OUT_OF_INDEXES);
  TlsFree(before);
  for (int load = 0; load < 8; ++load) loadAndEncode();
  const DWORD after = TlsAlloc();
  TlsFree(after);
  EXPECT_EQ(after, before);
}
