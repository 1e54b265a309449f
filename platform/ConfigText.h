#pragma once
// The texts of vorn.ini as they lie on disk. On Windows they are kept in the
// system's ANSI code page, so that a configuration written by earlier versions
// of the program (and read by its administrators' tools) keeps its paths;
// elsewhere they are UTF-8 like the program's own texts.

#include <string>

namespace platform {

// The file's encoding, as a user's editor names it when saving.
extern const char* const ConfigEncodingName;

// False when some character of `text` has no form in the file's encoding.
bool ToConfigText(const std::string& text, std::string& stored);
std::string FromConfigText(const std::string& stored);

// The bytes of the file as its owner's editor shows them, put into the
// file's encoding. On Windows a file that Notepad saved as UTF-8 (its
// default, with or without a byte-order mark) is read as UTF-8, as Notepad
// itself reads it back, and spelt in the ANSI code page; false when some
// character of it has no form there. Any other file stays as it is.
bool InConfigEncoding(std::string& bytes);

}  // namespace platform
