#include "platform/NameCharacters.h"

#include <windows.h>

namespace platform {

const bool NamesInUtf8 = false;

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(CP_ACP, byte); }

}  // namespace platform
