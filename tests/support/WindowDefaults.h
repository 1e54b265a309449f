#pragma once
// The check marks the main window shows for the built-in settings. The
// sparing boxes show the settings' flags inverted: system files are spared
// (the flag is off), read-only and hidden ones are not.

#include <map>

#include "ui/core/MainTemplate.h"

inline const std::map<int, bool> DefaultChecks = {
    {MainIds::Regex, false},         {MainIds::Subdirectories, true}, {MainIds::SpareSystem, true},
    {MainIds::SpareReadonly, false}, {MainIds::SpareHidden, false},   {MainIds::KeepStructure, false},
    {MainIds::SpeedLow, false},      {MainIds::SpeedLow + 1, true},   {MainIds::SpeedLow + 2, false},
    {MainIds::SpeedLow + 3, false},
};
