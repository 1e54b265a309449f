#include "ExtLib/TextFile.h"

TextFile::~TextFile() { Close(); }

bool TextFile::Open(const char* path, uint32_t access, uint32_t disposition) {
    this->path = path;
    this->access = access;
    handle = platform::OpenFile(path, access, disposition);
    return IsOpen();
}

bool TextFile::Adopt(const char* path, platform::FileHandle opened) {
    this->path = path;
    access = GenericRead;
    handle = opened;
    return IsOpen();
}

bool TextFile::Write(const void* bytes, size_t count) {
    size_t written = 0;
    return IsOpen() && platform::WriteFile(handle, bytes, count, written) && written == count;
}

bool TextFile::ReadByte(char& byte) {
    if (readPos == readEnd) {
        size_t got = 0;
        if (!IsOpen() || !platform::ReadFile(handle, readBuffer, sizeof readBuffer, got) || got == 0) {
            return false;
        }
        readPos = 0;
        readEnd = got;
    }
    byte = readBuffer[readPos++];
    return true;
}

std::string TextFile::ReadLine() {
    return TakeLine([this](char& byte) { return ReadByte(byte); }, MaxLineBytes);
}

std::string TextFile::Read(size_t limit) {
    std::string bytes;
    char byte;
    while (bytes.size() < limit && ReadByte(byte)) bytes += byte;
    return bytes;
}

bool TextFile::Flush() { return IsOpen() && platform::FlushFile(handle); }

void TextFile::Truncate() {
    if (IsOpen()) platform::TruncateFile(handle);
}

void TextFile::Close() {
    if (!IsOpen()) return;
    if (access & GenericWrite) Truncate();
    platform::CloseFile(handle);
    handle = platform::InvalidFile;
}
