#pragma once
// The Windows file attributes, and how a file server on this system records
// them: the value of the extended attribute user.DOSATTRIB.

#include <cstddef>
#include <cstdint>

namespace platform {

inline constexpr uint32_t AttributeReadOnly = 0x1;
inline constexpr uint32_t AttributeHidden = 0x2;
inline constexpr uint32_t AttributeSystem = 0x4;
// What a value that cannot be read stands for: the file is spared unless
// every attribute may be deleted.
inline constexpr uint32_t AttributesUnknown = AttributeReadOnly | AttributeHidden | AttributeSystem;

// Decodes the text form ("0x" and 1 to 8 hex digits, one trailing NUL allowed)
// and the binary form (a NUL-terminated string, then version, level and the
// attribute word, little-endian) into `attributes`. False, with `attributes`
// untouched, for anything else, a truncated value included.
bool DecodeDosAttrib(const unsigned char* value, size_t size, uint32_t& attributes);

}  // namespace platform
