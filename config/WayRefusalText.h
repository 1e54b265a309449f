#pragma once
// What the user is told of a way refused: the root of a sweep, or the
// settings file of an unattended run.

#include <string>

#include "platform/WayRefusal.h"

// The place at fault and what is wrong with it, in one phrase.
std::string WayRefusalText(const platform::WayRefusal& refusal);
