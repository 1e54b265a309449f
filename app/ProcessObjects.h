#pragma once
// The objects that live for the whole process. They are built in this order
// before start-up and torn down in the reverse order after it, so the sweep
// job (which stops a worker still running) goes before the settings and the
// channel it uses.

#include "app/SweepApp.h"
#include "config/SweepSettings.h"
#include "sweep/StatusChannel.h"
#include "sweep/SweepJob.h"

extern SweepApp theApp;
extern StatusChannel statusChannel;
extern SweepSettings sweepSettings;
extern SweepJob sweepJob;
