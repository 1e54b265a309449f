#include "app/ProgressDisplay.h"

#include <algorithm>
#include <string>

#include "app/ProgressLine.h"
#include "platform/Console.h"

namespace {

constexpr auto Err = platform::StandardStream::Error;

}  // namespace

ProgressDisplay::ProgressDisplay(const SweepProgress* progress) : progress(progress) {
    if (progress) drawer = std::thread([this] { Loop(); });
}

ProgressDisplay::~ProgressDisplay() { Finish(); }

void ProgressDisplay::Finish() {
    {
        std::lock_guard hold(lock);
        finished = true;
    }
    finishing.notify_all();
    if (drawer.joinable()) drawer.join();
}

void ProgressDisplay::Loop() {
    std::unique_lock hold(lock);
    while (!finishing.wait_for(hold, RedrawPeriod, [this] { return finished; })) {
        hold.unlock();
        Draw();
        hold.lock();
    }
    Clear();
}

// The last column stays free: a line that fills the terminal would wrap
// before its carriage return, and every redraw would start a new line.
void ProgressDisplay::Draw() {
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const size_t columns = static_cast<size_t>(std::max(platform::TerminalColumns(Err), 2)) - 1;
    const std::string line = ProgressLine(progress->Take(), seconds, columns);
    const size_t width = TerminalWidth(line);
    platform::WriteStandard(Err, "\r" + line + std::string(drawnWidth > width ? drawnWidth - width : 0, ' '));
    drawnWidth = width;
}

void ProgressDisplay::Clear() {
    if (drawnWidth) platform::WriteStandard(Err, "\r" + std::string(drawnWidth, ' ') + "\r");
    drawnWidth = 0;
}
