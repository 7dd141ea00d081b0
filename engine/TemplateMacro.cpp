// Macro-mode layers of a RAW job's templates: each layer is its own document
// on the node printer, written by the spooler into the job's macro file and
// copied into the RAW output stream.
//
// Not yet rendered: the document is not started, so a layer in macro mode is
// drawn on no device context and nothing is copied into the output stream.
#include "engine/Template.h"

#include "engine/JobFiles.h"

void CTemplate::StartMacroDocument() {}

void CTemplate::EndMacroDocument() {}

void CTemplate::CopyMacroFile(const std::wstring& /*path*/) {}

std::wstring CTemplate::GetMacroFilePath() const { return GetJobFileName(jobNumber, L"Mcr"); }
