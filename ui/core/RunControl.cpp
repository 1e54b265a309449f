#include "ui/core/RunControl.h"

#include "sweep/WorkerThread.h"

RunControl::Situation RunControl::Current() const {
    // A sweep that ended on its own is finished whatever the window last asked.
    if (!worker.IsRunning()) return state == Idle ? Situation::Idle : Situation::Finished;
    return state == Paused ? Situation::Paused : Situation::Active;
}

bool RunControl::SweepUnfinished() const { return worker.IsRunning(); }

void RunControl::StartOrResume() {
    switch (Current()) {
    case Situation::Paused: worker.Resume(); break;
    case Situation::Active: break;
    case Situation::Idle:
    case Situation::Finished: worker.Start(); break;
    }
    state = Running;
}

void RunControl::Pause() {
    if (Current() != Situation::Active) return;
    worker.Suspend();
    state = Paused;
}

void RunControl::Stop() {
    worker.Stop(StopWaitMillis);
    state = Idle;
}
