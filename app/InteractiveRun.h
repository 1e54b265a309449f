#pragma once
// The interactive run: the main window, run modally until the user leaves it.

#include "app/ExitStatus.h"

class SweepApp;

ExitStatus RunWindow(SweepApp& app);
