#pragma once
// How the bytes names are matched as (platform::NameBytes) make characters:
// UTF-8 here; on Windows the system's ANSI code page, whose double-byte
// characters begin with a lead byte.

namespace platform {

extern const bool NamesInUtf8;

// Whether `byte` begins a double-byte character of the ANSI code page; never
// where names are UTF-8.
bool IsLeadByte(unsigned char byte);

}  // namespace platform
