// The line-end repair of PATOLIS logs: LF CR pairs become CR LF, in place.
//
// Bytes are examined from the start; at an LF whose next byte is CR and whose
// previous byte (as it stands now, after earlier rewrites) is not CR, the
// pair is rewritten as CR LF. Examination always resumes two bytes after an
// LF, so the byte after an LF never starts a pair. An LF that is the first
// byte has no CR before it; one that is the last byte has no byte after it.
// The file keeps its length and nothing outside it is read or written.
//
// When a rewrite is needed but the file cannot be opened for writing, IoError
// is thrown before any byte changes; a file that needs nothing may be
// read-only. Returns whether the file was changed.
#pragma once

#include <string>

namespace trovlin {

bool RepairLineEnds(const std::string& path);

}  // namespace trovlin
