// The RAW overlay: page templates laid over a PCL5 job through the macro
// file.
//
// A RAW job carries the printer's own language, so its templates cannot be
// drawn on a device context of the job. Instead every template layer is
// rendered as a one-page document of its own through the driver of the
// node's printer (see ClusterPrinter.h), written by the spooler into the
// job's macro file ("%sspool\%08d.Mcr"), and the page's printer commands are
// copied from there into the job's output stream where the layer belongs.
// The CTemplate members of macro mode (StartMacroDocument,
// EndMacroDocument, CopyMacroFile, GetMacroFilePath) live in RawOverlay.cpp.
//
// Failures only lose the overlay of a layer; the job goes on.
#pragma once

class VFile;

// Document name of every macro document (a fixed text).
extern const wchar_t kMacroDocumentName[];  // "Dorvane  Job:694;Dorvane Macro File"

// Copies the page commands of a macro document: from ESC*p0x0Y (else from
// the first copies command ESC&l#X, else from the start) within its first
// 4096 bytes, leaving out ESC&b1M and every copies command (outside the data
// of a command with a data count, which passes untouched), up to the page's
// form feed after plain data or after a completed sequence. That form feed
// and everything after it (the document's trailer) are not copied.
void CopyMacroData(VFile& in, VFile& out);
