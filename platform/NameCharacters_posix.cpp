#include "platform/NameCharacters.h"

namespace platform {

const bool NamesInUtf8 = true;

bool IsLeadByte(unsigned char) { return false; }

}  // namespace platform
