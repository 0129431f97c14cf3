#pragma once
// A recording as the host's print job: the one place where the graphics layer's operations
// become the host's drawing operations. The layer's printing calls (GdiRecording.h) go through
// it; it is public only so that the conversion can be checked operation by operation.
#include <vector>

#include "GdiRecording.h"
#include "HostPrinters.h"

// Pages (1-based numbers; empty: all) of recording as a job for its device's paper, repeated
// for copies (at least one). Raises EPrinter for a page the recording does not have. What a
// vector page cannot express (inverting and mixing blits) is left out.
HostPrintJob GdiMakePrintJob(const GdiRecording& recording, const std::vector<int>& pages,
                             int copies, const String& title);
