#include "support/PlatformSamples.h"

const std::string AbsoluteRoot = "C:\\";
const std::string ForeignDirectory = "/var/log";
