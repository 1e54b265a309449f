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
// False when the stream refused the text: closed (the reader of a pipe is
// gone) or failing.
bool WriteStandard(StandardStream stream, const std::string& text);

// True when `stream` leads to a terminal a person watches: on POSIX a tty,
// never the journal, a file or a pipe; on Windows a console.
bool IsTerminal(StandardStream stream);
// That terminal's width in columns; 80 where it cannot be told.
int TerminalColumns(StandardStream stream);

}  // namespace platform
