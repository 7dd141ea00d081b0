// The names of Dorvane.ini, the system's one settings file, and the reader
// of its list sections.
//
// The controller writes the file from its menus and dialogs, the engine reads
// it for every job and the outside print processor reads a few keys of
// [General]. Every reader and writer builds the path at the moment of use
// (GetSettingsFilePath in InstallFolder.h) and goes through the platform's
// private-profile functions, so nothing is cached and a value written by one
// program is seen by the next read of any other. A missing file reads as all
// defaults; the file comes into being with the first write.
#pragma once

#include <string>
#include <vector>

inline constexpr wchar_t kSettingsFileName[] = L"Dorvane.ini";

// Sections.
inline constexpr wchar_t kSectionGeneral[] = L"General";
inline constexpr wchar_t kSectionUsers[] = L"Users";                        // <user>=<group>
inline constexpr wchar_t kSectionPrinterScenarios[] = L"PrinterScenarios";  // <printer>=<scenario path>
inline constexpr wchar_t kSectionJobnameScenarios[] = L"JobnameScenarios";  // <rule>=<type>;#;<text>;#;<path>
inline constexpr wchar_t kSectionClusterGroup[] = L"ClusterGroup";          // <printer>=<cluster group>

// Key of a users group's own section (the section is named after the group).
inline constexpr wchar_t kKeyScenarioFile[] = L"ScenarioFile";

// Keys of [General], with the default each reader passes.
inline constexpr wchar_t kKeyLastJobNumber[] = L"LastJobNumber";
inline constexpr int kDefaultLastJobNumber = 0;
inline constexpr wchar_t kKeyAutoRefreshSpool[] = L"AutoRefreshSpool";
inline constexpr int kDefaultAutoRefreshSpool = 1;
inline constexpr wchar_t kKeyDeleteFilesAfter[] = L"DeleteFilesAfter";
inline constexpr int kDefaultDeleteFilesAfter = 1;
// What the print processor does with a RAW job: 0 print it unprocessed,
// 1 ignore it, 2 ask.
inline constexpr wchar_t kKeyProcessErrorsAction[] = L"ProcessErrorsAction";
inline constexpr int kDefaultProcessErrorsAction = 0;
inline constexpr wchar_t kKeyProcessRawJob[] = L"ProcessRawJob";
inline constexpr int kDefaultProcessRawJob = 0;
inline constexpr wchar_t kKeyUseDvSubmit[] = L"UseDvSubmit";  // written as "1" / "0"
inline constexpr int kDefaultUseDvSubmit = 0;
inline constexpr wchar_t kKeyDefaultClusterGroup[] = L"DefaultClusterGroup";  // string, default ""
// The engine reads it as text with default "0" and takes its number; greater
// than 0 is on. Written as "1" / "0".
inline constexpr wchar_t kKeySendToGatepost[] = L"SendToGatepost";
inline constexpr wchar_t kDefaultSendToGatepostText[] = L"0";
inline constexpr wchar_t kKeyGatepostForcePrinter[] = L"GatepostForcePrinter";  // string, default ""
inline constexpr wchar_t kKeyEntrancePassword[] = L"EntrancePassword";          // string, default ""
inline constexpr wchar_t kKeyDefaultScenarioFile[] = L"DefaultScenarioFile";    // string, default ""
// 1: the scenario by printer name; every other value: by the user's group.
inline constexpr wchar_t kKeySelectionType[] = L"SelectionType";
inline constexpr int kDefaultSelectionType = 0;
inline constexpr int kSelectionByPrinter = 1;
inline constexpr wchar_t kKeyOverrideScenarioByJobname[] = L"OverrideScenarioByJobname";
inline constexpr int kDefaultOverrideScenarioByJobname = 0;

// True when a users group of this name would have its own section collide
// with one of the system's sections: "General", "Users", "PrinterScenarios",
// "JobnameScenarios", "Job" or "ClusterGroup", in any letter case (the
// private-profile functions match section names without regard to case).
// The name is compared as given, untrimmed.
bool IsReservedGroupName(const std::wstring& name);

// How a name the editors store sits in the settings file.
enum class SettingsName {
  // The key of a key=value line, read back by splitting each line of its
  // section at the first "=" and looked up by the engine as a key: user,
  // printer and job-name rule names.
  Key,
  // A section's name that is also the value of [Users] lines, which the engine
  // reads with the profile functions' one-value read: users group names.
  SectionAndValue,
};

// Why the private-profile functions would not give the name back unchanged
// from the settings file, as a clause that names the offending character
// (for a message after "... is not a legal ... name: "); "" when they would.
// Checked against the real write-and-read-back round trip in the tests:
// - white space (blank, tab, line feed, carriage return, vertical tab, form
//   feed) at either end is stripped on reading, and a line break anywhere
//   splits the line;
// - a key: "=" anywhere ends the key there; a leading ";" makes the line a
//   comment, a leading "[" a section header once a "]" follows; an empty key
//   is skipped by every reader;
// - a section name with a value: a pair of enclosing quotes (" or ') is
//   stripped from the value; "]" ends a section header, and only a reader
//   that looks for the last one on the line (as this platform's does) gives
//   such a name back whole, so it is kept out; the one-value read holds at
//   most 4095 characters;
// - every character must be one of the ANSI code page, in which the file is
//   written; a surrogate without its other half is a character of none.
// A character beyond the Basic Multilingual Plane is named whole (both its
// surrogates), a lone surrogate by its code.
std::wstring SettingsNameFault(const std::wstring& name, SettingsName kind);

// The same for a part of a key=value line's value (a part that lies between
// fixed texts of the value, or ends it: endsTheLine): a line break anywhere
// splits the line, white space at the line's end is stripped on reading, and
// every character must be one of the ANSI code page (a lone surrogate is of
// none); the offending character is named as above.
std::wstring SettingsValuePartFault(const std::wstring& part, bool endsTheLine);

// How the model readers report a list section that could not be read whole.
// The controller warns with a message box; the engine runs inside the
// spooler where nobody could answer one, so its reads are silent.
enum class SectionWarning { ShowMessage, Silent };

// A list section is read with a buffer that starts at the size its owner
// names and doubles until the section fits, up to this many characters.
inline constexpr unsigned kMaxSectionChars = 1u << 24;

// Reads every line of a section (key=value text, as the platform returns it:
// blanks around key and value removed) in file order. The buffer starts at
// initialChars and doubles until the section fits or maxChars is reached.
// Returns false only when the section still did not fit: lines then holds
// what was read, the last line possibly cut. A missing file or section gives
// no lines and true.
bool ReadSectionLines(const std::wstring& section, const std::wstring& file, unsigned initialChars,
                      std::vector<std::wstring>& lines, unsigned maxChars = kMaxSectionChars);

// Shows a list reader's "too many" text as a warning (exclamation icon, OK,
// the controller's title "Dorvane" as caption) when warning is ShowMessage;
// does nothing when it is Silent.
void ShowSectionWarning(SectionWarning warning, const wchar_t* text);
