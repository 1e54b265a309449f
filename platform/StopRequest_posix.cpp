#include "platform/StopRequest.h"

namespace platform {

// Nothing but a signal asks a POSIX process to stop, and no launcher stands
// between a terminal and the program: there is nothing to watch here.
struct StopRequest::State {};

StopRequest::StopRequest(std::function<void()>) {}

StopRequest::~StopRequest() = default;

}  // namespace platform
