#include "platform/StopRequests.h"

namespace platform {

// Nothing is caught here: vorn.exe is a window program with no console of
// its own to send it Ctrl+C, and the task scheduler ends a task by force.
struct StopRequests::State {};

StopRequests::StopRequests(std::function<void()>) : state(std::make_unique<State>()) {}

StopRequests::~StopRequests() = default;

bool StopRequests::Received() const { return false; }

}  // namespace platform
