#include "support/PlatformSamples.h"

#include <windows.h>

const std::string AbsoluteRoot = "C:\\";
const std::string ForeignDirectory = "/var/log";

std::string NameEncoding() { return std::to_string(GetACP()); }
