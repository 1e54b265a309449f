#include "app/InteractiveRun.h"

#include "app/ProcessObjects.h"
#include "app/SweepApp.h"
#include "ui/MainDialog.h"

// The window's result is not used: whatever the user did, the run ended well.
ExitStatus RunWindow(SweepApp& app) {
    MainDialog window(sweepSettings, sweepJob, statusChannel, app.ProgramDirectory());
    window.exec();
    return ExitStatus::Success;
}
