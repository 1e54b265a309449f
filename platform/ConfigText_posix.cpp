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

}  // namespace platform
