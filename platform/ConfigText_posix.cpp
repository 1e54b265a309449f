#include "platform/ConfigText.h"

namespace platform {

const char* const ConfigEncodingName = "UTF-8";

bool ToConfigText(const std::string& text, std::string& stored) {
    stored = text;
    return true;
}

std::string FromConfigText(const std::string& stored) { return stored; }

// UTF-8 is the file's encoding already.
bool InConfigEncoding(std::string&) { return true; }

bool ReadsOtherwiseAsUtf8(std::string_view) { return false; }

bool IsConfigText(std::string_view) { return true; }

}  // namespace platform
