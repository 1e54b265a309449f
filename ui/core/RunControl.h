#pragma once
// What the window's sweep commands do to the worker in each situation. The
// window keeps its own run state, which records what it last asked of the
// worker; together with the worker's running flag it tells four situations
// apart. No control is ever disabled, so this table is all that separates
// them.

class WorkerThread;

class RunControl {
public:
    enum RunState { Idle = 0, Running = 1, Paused = 2 };
    enum class Situation { Idle, Active, Finished, Paused };

    // How long Stop lets a sweep wind down before its thread is ended by force.
    static constexpr int StopWaitMillis = 3000;

    explicit RunControl(WorkerThread& worker) : worker(worker) {}
    virtual ~RunControl() = default;

    Situation Current() const;
    int State() const { return state; }
    // True while leaving would cut a sweep short, so the user is asked first.
    bool SweepUnfinished() const;

    // Called once the settings have been gathered and saved: resumes a paused
    // sweep, starts one when none runs, and leaves a running one alone, so
    // that one job never has two threads.
    void StartOrResume();
    // Only an active sweep can be paused; pausing twice changes nothing.
    void Pause();
    void Stop();

private:
    WorkerThread& worker;
    int state = Idle;
};
