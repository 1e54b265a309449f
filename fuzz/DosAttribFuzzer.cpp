// Arbitrary user.DOSATTRIB values: the decoder reads only the bytes it is
// given (the fuzzer's buffer ends exactly there, so ASan sees any read past
// it), leaves the attributes alone when it says false, and agrees with the
// text form's rule and with the binary form's minimum sizes.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "platform/DosAttributes.h"

namespace {

constexpr uint32_t Untouched = 0xDEADBEEF;

bool Decode(const uint8_t* value, size_t size, uint32_t& attributes) {
    attributes = Untouched;
    const bool decoded = platform::DecodeDosAttrib(value, size, attributes);
    if (!decoded) FUZZ_CHECK(attributes == Untouched);
    return decoded;
}

// "0x" and 1 to 8 hex digits, nothing else.
bool ReadText(const std::string& text, uint32_t& value) {
    if (text.size() < 3 || text.size() > 10 || text.compare(0, 2, "0x") != 0) return false;
    for (size_t i = 2; i < text.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    value = static_cast<uint32_t>(std::strtoul(text.c_str() + 2, nullptr, 16));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t attributes;
    const bool decoded = Decode(data, size, attributes);
    const void* nul = size ? std::memchr(data, 0, size) : nullptr;
    const size_t textSize = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;

    if (textSize + 1 >= size) {
        // The text form, with or without one trailing NUL.
        uint32_t expected;
        const std::string text(reinterpret_cast<const char*>(data), textSize);
        const bool readable = ReadText(text, expected);
        FUZZ_CHECK(decoded == readable);
        if (readable) FUZZ_CHECK(attributes == expected);
    } else if (decoded) {
        // The binary form's sizes are minimums: bytes after its fixed part change nothing.
        std::vector<uint8_t> longer(data, data + size);
        longer.resize(size + 8, 0xA5);
        uint32_t again;
        FUZZ_CHECK(Decode(longer.data(), longer.size(), again) && again == attributes);
    }
    return 0;
}
