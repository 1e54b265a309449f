#include "app/ProcessObjects.h"

// One translation unit, so the order of definition is the order of construction.
SweepApp theApp;
StatusChannel statusChannel;
SweepSettings sweepSettings;
SweepJob sweepJob(sweepSettings, statusChannel, theApp.silentMode);
