#include "support/PlatformSamples.h"

const std::string AbsoluteRoot = "/";
const std::string ForeignDirectory = "D:\\data";

std::string NameEncoding() { return "UTF-8"; }
