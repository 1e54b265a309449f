#pragma once
// The lines a caller's console, a redirected output or a scheduler's log
// keeps of a run.

#include <string>

namespace platform {

enum class StandardStream { Output, Error };

// Writes UTF-8 `text` (lines end in "\n") at once. On Windows a console gets it
// as Unicode and a file or pipe, with CR LF line ends, in the one encoding
// the process chose before its first line (platform/RedirectedEncoding.h):
// in the ANSI code page a character it lacks is "?", as the system's own
// tools write it. A program started from a console without its own handles
// writes to that console. Nothing is written when there is nowhere to write.
void WriteStandard(StandardStream stream, const std::string& text);

}  // namespace platform
