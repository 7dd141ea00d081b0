// The fuzzing harness of the cross-built driver (dvfuzz.exe): guard-page
// placement of inputs and heap blocks, the mutator, the fault catcher and the
// run loop. The targets (FuzzTargets.cpp) only say what to call with an
// input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dvfuzz {

using Bytes = std::vector<uint8_t>;

struct Target {
  const char* name;
  // Called once per input; data ends right before a no-access page.
  void (*run)(const uint8_t* data, size_t size);
  // Largest input the mutator makes.
  size_t maxSize;
  // Tokens the mutator inserts (the reader's keywords and separators).
  std::vector<std::string> dictionary;
  // Seeds built in code (in addition to the files of the corpus folder);
  // an empty result after the first ends them.
  Bytes (*builtinSeed)(size_t index);
  // An input costs file-system round trips or a library load (the long run
  // gives such a target a tenth of the inputs).
  bool costly = false;
  // Called once after the target's run (undoes what its first input set up).
  void (*finish)() = nullptr;
};

// Inputs per target of the long run (--long) and of the test run (--short,
// the whole driver in about two minutes).
constexpr unsigned long long kLongInputs = 1000000;
constexpr unsigned long long kLongInputsCostly = 100000;
constexpr unsigned long long kShortInputs = 200000;
constexpr unsigned long long kShortInputsCostly = 8000;

// Every target of the driver, in run order.
const std::vector<Target>& Targets();

// A finding a target reports without a fault (a reader handed out bytes that
// break its own contract): recorded like a fault, the input kept.
void ReportFinding(const char* what);

// Ends the current input when the target runs for longer than this.
constexpr unsigned kHangSeconds = 10;

// Deterministic generator (xorshift64*): the same seed gives the same run.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }

 private:
  uint64_t state_;
};

// One to eight mutations of input (byte flips, interesting values, inserts,
// deletes, duplicated runs, dictionary tokens, splices with another seed),
// kept within maxSize.
void Mutate(Bytes& input, const std::vector<Bytes>& pool, const std::vector<std::string>& dictionary,
            size_t maxSize, Random& random);

}  // namespace dvfuzz
