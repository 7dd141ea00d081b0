// Encoding speed of Strimlet.dll through its exports: a fixed set of texts
// in every symbology, encodings per second for each, then Code 128 Auto and
// Code 93 at growing text lengths (the time per character stays flat when
// encoding is linear in the text's length).
//
// Usage: strimlet_bench [path of Strimlet.dll]
// Without a path the library is taken from the build tree next to bench\.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/Handles.h"

namespace {

typedef char* (*GetBitsFn)(const char*, int);
typedef void (*FreeBitsFn)(char*);

struct Case {
  int symbology;
  const char* name;
  std::vector<const char*> texts;
};

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Encodes the texts round after round for about a quarter of a second.
// Returns encodings per second; modules counts what was produced.
double Measure(GetBitsFn getBits, FreeBitsFn freeBits, const std::vector<const char*>& texts, int symbology,
               unsigned long long& modules) {
  unsigned long long count = 0;
  modules = 0;
  const double start = Now();
  double elapsed = 0;
  do {
    for (int round = 0; round < 64; ++round) {
      for (const char* text : texts) {
        char* bits = getBits(text, symbology);
        modules += bits[0] != '\0';
        freeBits(bits);
        ++count;
      }
    }
    elapsed = Now() - start;
  } while (elapsed < 0.25);
  return static_cast<double>(count) / elapsed;
}

template <class Fn>
Fn Bind(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring path;
  if (argc > 1) {
    path = argv[1];
  } else {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    path.assign(self, n);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"..\\barcode\\Strimlet.dll";
  }
  dv::ModuleHandle module(LoadLibraryW(path.c_str()));
  if (!module) {
    std::fprintf(stderr, "cannot load %ls (error %lu)\n", path.c_str(), GetLastError());
    return 1;
  }
  GetBitsFn getBits = Bind<GetBitsFn>(module.get(), "GetBarcodeStringBits");
  FreeBitsFn freeBits = Bind<FreeBitsFn>(module.get(), "FreeBarcodeStringBits");
  if (!getBits || !freeBits) {
    std::fprintf(stderr, "exports missing in %ls\n", path.c_str());
    return 1;
  }

  const std::vector<const char*> general = {"Dorvane", "JOB-0042", "printer 7", "12345678", "A1234B5678C",
                                            "ACCOUNTS/2024"};
  const std::vector<const char*> digits = {"4006381333931", "9638507", "036000291452", "123456",
                                           "1234567890", "0"};
  const Case cases[] = {
      {0, "Code 128 Auto", general},     {1, "Codabar", digits},
      {2, "Code 39", general},           {3, "Interleaved 2 of 5", digits},
      {4, "EAN-8", {"96385074", "12345670", "0"}},
      {5, "UPC-E", {"123456", "1234565", "654321"}},
      {6, "UPC-A", {"036000291452", "012345678905", "0"}},
      {7, "Code 2 of 5", digits},        {8, "Code 128 A", general},
      {9, "Code 128 B", general},        {10, "Code 128 C", digits},
      {11, "EAN-13", {"4006381333931", "0000000123457", "0"}},
      {12, "Code 93", general},
  };
  std::printf("%-20s %16s\n", "symbology", "encodings/s");
  for (const Case& c : cases) {
    unsigned long long symbols = 0;
    const double rate = Measure(getBits, freeBits, c.texts, c.symbology, symbols);
    std::printf("%-20s %16.0f\n", c.name, rate);
  }

  std::printf("\n%-20s %8s %16s %12s\n", "symbology", "length", "encodings/s", "ns/char");
  for (int symbology : {0, 12}) {
    for (size_t length : {16u, 256u, 4096u}) {
      std::string text;
      for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>(i % 3 ? 'A' + i % 26 : '0' + i % 10));
      unsigned long long symbols = 0;
      const double rate = Measure(getBits, freeBits, {text.c_str()}, symbology, symbols);
      std::printf("%-20s %8zu %16.0f %12.2f\n", symbology == 0 ? "Code 128 Auto" : "Code 93", length, rate,
                  1e9 / (rate * static_cast<double>(length)));
    }
  }
  return 0;
}
