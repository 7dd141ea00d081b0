// The document calls in force; see DocumentCalls.h.
#include "engine/DocumentCalls.h"

#include <winspool.h>

namespace {

const DocumentCalls kPlatform = {StartDocW,        StartPage,        EndPage,        EndDoc,       ResetDCW,
                                 StartDocPrinterW, StartPagePrinter, EndPagePrinter, EndDocPrinter};

const DocumentCalls* g_calls = &kPlatform;

}  // namespace

const DocumentCalls& PlatformDocumentCalls() { return kPlatform; }

const DocumentCalls& GetDocumentCalls() { return *g_calls; }

void SetDocumentCalls(const DocumentCalls* calls) { g_calls = calls ? calls : &kPlatform; }
