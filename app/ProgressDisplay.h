#pragma once
// Draws a running sweep's progress line on standard error a few times a
// second, on a thread of its own, and clears it when the sweep ends, so that
// the summary that follows stands alone.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

#include "sweep/SweepProgress.h"

class ProgressDisplay {
public:
    static constexpr auto RedrawPeriod = std::chrono::milliseconds(250);

    // Nothing is drawn when `progress` is null.
    explicit ProgressDisplay(const SweepProgress* progress);
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    // Stops drawing and clears the line; call it before the summary.
    void Finish();

private:
    void Loop();
    void Draw();
    void Clear();

    const SweepProgress* const progress;
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::mutex lock;
    std::condition_variable finishing;
    bool finished = false;
    size_t drawnWidth = 0;  // of the line on the terminal now, only ever touched by the drawing thread
    std::thread drawer;
};
