#include "platform/DosAttributes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::DecodeDosAttrib;
using Bytes = std::vector<unsigned char>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Zeros(size_t count) { return Bytes(count, 0); }
Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// `value` with the bytes at the given offsets replaced.
Bytes With(Bytes value, std::initializer_list<std::pair<size_t, unsigned char>> changes) {
    for (const auto& [at, byte] : changes) value[at] = byte;
    return value;
}

bool Decode(const Bytes& value, uint32_t& attributes) {
    return DecodeDosAttrib(value.data(), value.size(), attributes);
}

struct Shape {
    const char* label;
    Bytes value;
    uint32_t attributes;
};

// Samba's binary forms, byte for byte as each version lays them out.
const std::vector<Shape>& BinaryShapes() {
    static const std::vector<Shape> shapes = {
        {"v5", Concat({{0, 0, 5, 0, 5, 0, 0, 0, 0x11, 0, 0, 0, 0x23, 0, 0, 0}, Zeros(8)}), 0x23},
        {"v4", Concat({{0, 0, 4, 0, 4, 0, 0, 0, 0x11, 0, 0, 0, 0x23, 0, 0, 0}, Zeros(16)}), 0x23},
        {"v3", Concat({Text("0x23"), {0, 0, 3, 0, 3, 0, 0, 0, 0x11, 0, 0, 0, 0x23, 0, 0, 0}, Zeros(36)}),
         0x23},
        {"v3 short string", Concat({Text("0x2"), {0, 3, 0, 3, 0, 0x11, 0, 0, 0, 2, 0, 0, 0}, Zeros(36)}),
         0x2},
        {"v3 long string",
         Concat({Text("0x123456"), {0, 0, 3, 0, 3, 0, 0, 0, 0x11, 0, 0, 0, 0x56, 0x34, 0x12, 0}, Zeros(36)}),
         0x123456},
        {"v2", Concat({Text("0x23"), {0, 0, 2, 0, 2, 0, 0, 0, 0x11, 0, 0, 0, 0x23, 0, 0, 0}}), 0x23},
        {"v1", Concat({Text("0x23"), {0, 0, 1, 0, 1, 0, 0, 0, 0x23, 0, 0, 0}, Zeros(36)}), 0x23},
    };
    return shapes;
}

TEST(DosAttributesTest, BinaryShapesDecodeAtTheirOffsets) {
    const size_t expectedSizes[] = {24, 32, 56, 52, 60, 20, 52};
    for (size_t i = 0; i < BinaryShapes().size(); ++i) {
        const Shape& shape = BinaryShapes()[i];
        SCOPED_TRACE(shape.label);
        EXPECT_EQ(shape.value.size(), expectedSizes[i]);
        uint32_t attributes = 0;
        ASSERT_TRUE(Decode(shape.value, attributes));
        EXPECT_EQ(attributes, shape.attributes);
        Bytes longer = Concat({shape.value, Zeros(8)});
        ASSERT_TRUE(Decode(longer, attributes));
        EXPECT_EQ(attributes, shape.attributes);
    }
}

TEST(DosAttributesTest, TruncatedBinaryShapesAreUnparseable) {
    for (const Shape& shape : BinaryShapes()) {
        SCOPED_TRACE(shape.label);
        const size_t firstNul = std::find(shape.value.begin(), shape.value.end(), 0) - shape.value.begin();
        // Shorter prefixes end at or before the string's NUL: those are text.
        for (size_t size = firstNul + 2; size < shape.value.size(); ++size) {
            uint32_t attributes = 0x5a;
            EXPECT_FALSE(Decode(Bytes(shape.value.begin(), shape.value.begin() + size), attributes)) << size;
            EXPECT_EQ(attributes, 0x5au);
        }
    }
}

TEST(DosAttributesTest, TextFormsAndMalformedBinaryFields) {
    const Bytes& v5 = BinaryShapes()[0].value;
    const struct {
        Bytes value;
        bool valid;
        uint32_t attributes;
    } cases[] = {
        {Text("0x23"), true, 0x23},
        {Concat({Text("0x23"), {0}}), true, 0x23},
        {Text("0x1"), true, 0x1},
        {Text("0xaBcD0126"), true, 0xabcd0126},
        {Text("0xA9fF"), true, 0xa9ff},
        {Text("0X23"), false, 0},
        {Text(" 0x23"), false, 0},
        {Text("23"), false, 0},
        {Text("0x"), false, 0},
        {Text("0x2g"), false, 0},
        {Text("0x123456789"), false, 0},
        {Concat({Text("0x23"), {0, 0}}), false, 0},
        {{}, false, 0},
        {With(v5, {{4, 4}}), false, 0},  // level differs from version
        {With(v5, {{2, 6}, {4, 6}}), false, 0},  // unknown version
        {With(v5, {{2, 0}, {4, 0}}), false, 0},  // no version
        {Concat({{'0', 'x', 0x83}, {0, 3, 0, 3, 0}, Zeros(48)}), false, 0},  // wide string
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value.begin(), c.value.end()));
        uint32_t attributes = 0;
        EXPECT_EQ(Decode(c.value, attributes), c.valid);
        if (c.valid) {
            EXPECT_EQ(attributes, c.attributes);
        }
    }
}

}  // namespace
