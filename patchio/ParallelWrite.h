// The patch text of a large set formatted in pieces on worker threads and
// handed to the sink in order: the same bytes as the writer on one thread.
#pragma once

#include "patchio/PatchIO.h"
#include "patchio/TextSink.h"

namespace parallelwrite {

// Whether set is written in pieces: more than one thread, and text of more
// than a few of the set's chunks.
bool WorthIt(const PatchIO& set);

enum class Result { kWritten, kFailed, kNotStarted };
// Writes set's whole text to out. kFailed when the sink failed or a piece
// could not be formatted (out then holds part of the text); kNotStarted
// when no thread could be started, before anything was written.
Result Write(TextSink& out, const PatchIO& set);

}  // namespace parallelwrite
