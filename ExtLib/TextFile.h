#pragma once
// A file handle that writes byte runs, reads CR-terminated lines and, when it
// was opened for writing, cuts the file at the current position on close.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileIo.h"

// One line by the rules of TextFile::ReadLine, from `nextByte`, a callable
// that gives the next byte and returns false at the end.
template <class NextByte>
std::string TakeLine(NextByte&& nextByte, size_t maxBytes);

class TextFile {
public:
    // Access masks and dispositions keep the values callers already store.
    static constexpr uint32_t GenericRead = platform::AccessRead;
    static constexpr uint32_t GenericWrite = platform::AccessWrite;
    static constexpr uint32_t CreateNew = platform::CreateNew;
    static constexpr uint32_t OpenExisting = platform::OpenExisting;
    static constexpr uint32_t OpenAlways = platform::OpenAlways;
    static constexpr size_t MaxLineBytes = 1024;

    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    virtual ~TextFile();

    // Other processes may read the file while it is open, not write it.
    // Does not close a handle that is already open: open each object once.
    bool Open(const char* path, uint32_t access, uint32_t disposition);
    // Takes `opened`, a handle of `path` open for reading, as Open would
    // have given it; closes it in the end.
    bool Adopt(const char* path, platform::FileHandle opened);
    // True only when every byte was written.
    bool Write(const void* bytes, size_t count);
    // The next line without its CR; LF bytes are dropped wherever they stand;
    // at most MaxLineBytes bytes are consumed per call. An empty text stands for
    // an empty line and for the end of the file alike.
    std::string ReadLine();
    // Up to `limit` bytes from where reading stands, as they are in the file;
    // fewer at its end.
    std::string Read(size_t limit);
    bool Flush();
    void Truncate();
    // Truncates first when opened for writing; does nothing when not open.
    void Close();
    bool IsOpen() const { return handle != platform::InvalidFile; }

private:
    bool ReadByte(char& byte);

    std::string path;
    platform::FileHandle handle = platform::InvalidFile;
    uint32_t access = 0;
    // Reads are buffered; the lines come out exactly as a byte-at-a-time reader's.
    char readBuffer[4096];
    size_t readPos = 0;
    size_t readEnd = 0;
};

// The lines of bytes already read, exactly as TextFile::ReadLine gives a file's.
class TextLines {
public:
    explicit TextLines(std::string_view bytes) : bytes(bytes) {}
    std::string ReadLine() {
        return TakeLine(
            [this](char& byte) {
                if (pos == bytes.size()) return false;
                byte = bytes[pos++];
                return true;
            },
            TextFile::MaxLineBytes);
    }

private:
    std::string_view bytes;
    size_t pos = 0;
};

template <class NextByte>
std::string TakeLine(NextByte&& nextByte, size_t maxBytes) {
    std::string line;
    char byte;
    for (size_t count = 0; count < maxBytes && nextByte(byte);) {
        if (byte == '\r') break;
        ++count;
        if (byte != '\n') line += byte;
    }
    return line.substr(0, line.find('\0'));
}
