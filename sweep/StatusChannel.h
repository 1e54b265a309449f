#pragma once
// Progress texts on their way from the worker thread to the window: a
// first-in, first-out queue. The lock is held only for one push, one pop or
// one trim, never while a text is formatted or shown.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

enum class StatusKind : int32_t {
    None = 0,   // what Take gives when nothing waits; never queued
    Info = 1,   // progress and summary texts
    Error = 2,  // the pattern does not compile
};

struct StatusRecord {
    StatusKind kind = StatusKind::None;
    std::string text;
};

class StatusChannel {
public:
    // Above this many waiting records TrimOldest drops the oldest.
    static constexpr size_t TrimThreshold = 10;

    StatusChannel() = default;
    virtual ~StatusChannel() = default;
    StatusChannel(const StatusChannel&) = delete;
    StatusChannel& operator=(const StatusChannel&) = delete;

    void Push(StatusKind kind, const std::string& text);
    // The oldest record, removed; kind None and no text when nothing waits.
    StatusRecord Take();
    // With more than TrimThreshold records waiting, drops the oldest until
    // `keep` remain; otherwise leaves the queue as it is.
    void TrimOldest(size_t keep);

private:
    std::mutex lock;
    std::deque<StatusRecord> queue;
};
