// The viewer's reading of the shared event log, without a window: the file's
// lines, each line split into the list's columns, and the Clear of the file.
//
// A line is "category,code,event,date,time,detail" in the ANSI code page.
// It is split at its first five commas and the rest, commas included, is
// the detail; so in a line of event 4, whose text holds a comma, the text
// takes two columns and date, time and detail move one column on. The lines
// are shown as split.
#pragma once

#include <string>
#include <vector>

// The longest line kept, in bytes; the rest of a longer line is dropped.
constexpr size_t kMaxLogLine = 4095;

struct LogRow {
  int icon = 0;  // the first field as a number, modulo 5; I_IMAGENONE below 0
  std::wstring code;
  std::wstring event;
  std::wstring date;
  std::wstring time;
  std::wstring info;
};

// Splits one line (without its line feed; a trailing CR is cut off). False
// when the line holds no comma; a line with one to four commas gives a row
// with the missing columns empty.
bool SplitLogLine(const std::string& line, LogRow& row);

// The non-empty lines of the file, each without its CR LF and cut to
// kMaxLogLine bytes. False when the file cannot be opened (it must exist);
// the file is opened with read and write sharing, so that the writers can
// go on appending while it is read.
bool ReadLogLines(const std::wstring& path, std::vector<std::string>& lines);

// Deletes the file and creates it again, empty. A file that cannot be
// deleted stays as it is; false then, or when the new file cannot be made.
bool ClearLogFile(const std::wstring& path);
