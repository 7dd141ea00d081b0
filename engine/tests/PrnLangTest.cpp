// The PCL scanner: sequence ends, data counts, the command limit.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/PrnLang.h"
#include "tests/support/TestEnv.h"

namespace {

// Feeds the bytes; returns the Feed results as a string of '0' and '1'.
std::string FeedAll(PrnLang& scanner, const std::string& bytes) {
  std::string results;
  for (char c : bytes) results.push_back(scanner.Feed(static_cast<BYTE>(c)) ? '1' : '0');
  return results;
}

const std::string kEsc = "\x1b";

}  // namespace

TEST(PrnLang, SequencesAndTheirEnds) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string results;
    bool complete;     // after the last byte
    std::string command;  // last completed sequence
  } rows[] = {
      {"reset", kEsc + "E", "11", true, kEsc + "E"},
      {"two-byte sequence is the ESC alone", kEsc + "9", "11", true, kEsc},
      {"parameterised", kEsc + "&l2A", "11111", true, kEsc + "&l2A"},
      {"grouped commands end at the upper-case letter", kEsc + "&l1o26a", "11111111", false, ""},
      {"grouped commands completed", kEsc + "&l1o26A", "11111111", true, kEsc + "&l1o26A"},
      {"data bytes are not stored", kEsc + "*b3Wabc", "11111111", true, kEsc + "*b3W"},
      {"data may hold ESC and form feeds", kEsc + "*b2W" + kEsc + "\x0c" + "x", "11111110", false, kEsc + "*b2W"},
      {"zero count ends at the W", kEsc + "*b0W" + kEsc + "*p5X", "1111111111", true, kEsc + "*p5X"},
      {"W without a count ends at the W", kEsc + "*bWx", "11110", false, kEsc + "*bW"},
      {"plain data", "ab\x0c", "000", false, ""},
      {"job end", kEsc + "%-12345X", "111111111", true, kEsc + "%-12345X"},
      {"second ESC is a parameter", kEsc + "&" + kEsc + "A", "1111", true, kEsc + "&" + kEsc + "A"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrnLang scanner;
    EXPECT_EQ(FeedAll(scanner, row.bytes), row.results);
    EXPECT_EQ(scanner.IsCommandComplete() != 0, row.complete);
    EXPECT_EQ(scanner.GetCommand(), row.command);
  }
}

TEST(PrnLang, CompletionLastsUntilTheNextByte) {
  PrnLang scanner;
  FeedAll(scanner, kEsc + "*b3W");
  EXPECT_FALSE(scanner.IsCommandComplete());
  EXPECT_EQ(scanner.DataRemaining(), 3);
  FeedAll(scanner, "ab");
  EXPECT_EQ(scanner.DataRemaining(), 1);
  EXPECT_EQ(scanner.Feed('c'), 1);
  EXPECT_TRUE(scanner.IsCommandComplete());
  BYTE command[PrnLang::kCommandSize];
  int length = 0;
  scanner.GetCommand(command, &length);
  EXPECT_EQ(length, 5);
  EXPECT_EQ(scanner.Feed('x'), 0);  // plain data clears the flag
  EXPECT_FALSE(scanner.IsCommandComplete());
  EXPECT_EQ(scanner.GetCommand(), kEsc + "*b3W");  // still the last one
}

TEST(PrnLang, DataCountIsSaturated) {
  PrnLang scanner;
  FeedAll(scanner, kEsc + "*b99999999999999999999W");
  EXPECT_EQ(scanner.DataRemaining(), INT_MAX);
  PrnLang leadingZeros;
  FeedAll(leadingZeros, kEsc + "*b00000000000000000000012W");
  EXPECT_EQ(leadingZeros.DataRemaining(), 12);
}

TEST(PrnLang, OverlongSequenceEndsWithEvent4) {
  dvtest::ScopedInstallFolder install;
  PrnLang scanner;
  std::string bytes = kEsc + "&" + std::string(PrnLang::kCommandSize - 2, '1');
  EXPECT_EQ(FeedAll(scanner, bytes), std::string(bytes.size(), '1'));
  EXPECT_FALSE(scanner.IsCommandComplete());
  EXPECT_EQ(scanner.Feed('2'), 1);  // not stored: ends the sequence
  EXPECT_TRUE(scanner.IsCommandComplete());
  EXPECT_EQ(scanner.GetCommand(), bytes);
  EXPECT_EQ(scanner.Feed('y'), 0);  // scanning goes on
  auto lines = install.EventLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("0,4,PCL Command two long, unable to process,", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("GetLastError Returned: "), std::string::npos);
}
