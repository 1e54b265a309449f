#pragma once
// The texts of vorn.ini as they lie on disk. On Windows they are kept in the
// system's ANSI code page, so that a configuration written by earlier versions
// of the program (and read by its administrators' tools) keeps its paths;
// elsewhere they are UTF-8 like the program's own texts.

#include <string>
#include <string_view>

namespace platform {

// The file's encoding, as a user's editor names it when saving.
extern const char* const ConfigEncodingName;

// False when some character of `text` has no form in the file's encoding.
bool ToConfigText(const std::string& text, std::string& stored);
std::string FromConfigText(const std::string& stored);

// The bytes of the file as its owner's editor shows them, put into the
// file's encoding. On Windows a file that starts with UTF-8's byte-order mark
// (Notepad's "UTF-8 with BOM") is read as UTF-8 and spelt in the ANSI code
// page; false when some character of it has no form there. Any other file
// stays as it is: without the mark a file is in the ANSI code page, as the
// system's own profile functions read it and as the window writes it.
bool InConfigEncoding(std::string& bytes);

// True where unmarked bytes would also read, as UTF-8, as other text than in
// the file's encoding: on Windows, valid UTF-8 with more than ASCII in it.
// Never where UTF-8 is the file's encoding.
bool ReadsOtherwiseAsUtf8(std::string_view bytes);

// False when the bytes hold a sequence the file's encoding does not define
// (in a double-byte code page, a lead byte without its trail byte).
bool IsConfigText(std::string_view bytes);

}  // namespace platform
