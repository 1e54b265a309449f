#pragma once
// A file handle that writes byte runs, reads CR-terminated lines and, when it
// was opened for writing, cuts the file at the current position on close.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileIo.h"

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
