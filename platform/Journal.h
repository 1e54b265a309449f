#pragma once
// What the log a standard stream leads to makes of the lines written to it.

#include <string>

#include "platform/Console.h"

namespace platform {

// The prefix that files a line at error priority where `stream` is systemd's
// journal ("<3>"); empty anywhere else, where it would only be printed.
std::string ErrorPrefix(StandardStream stream);

}  // namespace platform
