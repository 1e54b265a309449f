#pragma once
// The process's exit statuses, for the schedulers that run the silent sweep.

enum class ExitStatus : int {
    Success = 0,          // the silent sweep ran to its end, or the window was closed
    InvalidPattern = 1,   // the name pattern does not compile
    NoWindow = 2,         // nothing to sweep with and no window can be shown
    AlreadyRunning = 3,   // another instance holds the guard
    SweepFailed = 4,      // the sweep ended abnormally
    RootUnreadable = 5,   // the root directory cannot be opened (or safely reached, or its path is too long)
    Incomplete = 6,       // the sweep ran to its end but could not delete, remove or read all it should have
    NoGuard = 7,          // no place where only this user could hold the single-instance guard
    // The sweep was asked to stop (SIGTERM, SIGINT, SIGHUP, an output that
    // is gone) and ended at its next entry with its summary: an end the
    // owner chose, not a failure.
    Stopped = 8,
};
