#include "platform/DosAttributes.h"

#include <cstring>

namespace platform {

namespace {

constexpr size_t MaxHexDigits = 8;

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "0x" and 1 to 8 hex digits, as Wine and old Samba write it.
bool DecodeText(const unsigned char* text, size_t size, uint32_t& attributes) {
    if (size < 3 || size > 2 + MaxHexDigits || text[0] != '0' || text[1] != 'x') return false;
    uint32_t value = 0;
    for (size_t i = 2; i < size; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) return false;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    attributes = value;
    return true;
}

uint32_t Little(const unsigned char* bytes, size_t count) {
    uint32_t value = 0;
    for (size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// Bytes each version needs from the 4-aligned start of its fixed part.
size_t FixedPartSize(uint32_t version) {
    static constexpr size_t sizes[] = {0, 40, 8, 44, 24, 16};
    return version >= 1 && version <= 5 ? sizes[version] : 0;
}

// Samba's NDR encoding: a string, then version and level, then the fields.
bool DecodeBinary(const unsigned char* value, size_t size, size_t nul, uint32_t& attributes) {
    for (size_t i = 0; i < nul; ++i)
        if (value[i] >= 0x80) return false;
    const size_t versionAt = (nul + 2) & ~size_t{1};
    if (versionAt + 4 > size) return false;
    const uint32_t version = Little(value + versionAt, 2);
    if (version != Little(value + versionAt + 2, 2) || FixedPartSize(version) == 0) return false;
    const size_t fixedAt = (versionAt + 4 + 3) & ~size_t{3};
    if (fixedAt + FixedPartSize(version) > size) return false;
    attributes = Little(value + fixedAt + (version == 1 ? 0 : 4), 4);
    return true;
}

}  // namespace

bool DecodeDosAttrib(const unsigned char* value, size_t size, uint32_t& attributes) {
    const void* found = size ? std::memchr(value, 0, size) : nullptr;
    const size_t nul = found ? static_cast<const unsigned char*>(found) - value : size;
    if (nul + 1 < size) return DecodeBinary(value, size, nul, attributes);
    return DecodeText(value, nul, attributes);
}

}  // namespace platform
