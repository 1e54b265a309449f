#pragma once
// The info of a batch's entries asked ahead, on other threads, while the
// directory's reader still deletes the entries before them. Each entry's
// answer is asked once, by a task or by the reader, whichever claims it first;
// the reader waits only for an answer a task is asking at that moment. The
// tasks ask a window of entries at a time, the next one only once the last
// is asked and the reader is half-way through it: no answer is asked more
// than one and a half windows before its entry's turn.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/Directory.h"
#include "platform/ListingBatch_posix.h"

namespace platform {

class InfoAhead {
public:
    // Entries asked by one round of tasks. Memory: two windows of 32-byte
    // answers (64 KiB), whatever the batch, once something is asked ahead.
    static constexpr size_t Window = 1024;

    InfoAhead();
    ~InfoAhead();
    InfoAhead(const InfoAhead&) = delete;
    InfoAhead& operator=(const InfoAhead&) = delete;

    // Asks ahead the next window of `batch`'s entries from `from` on that may
    // be files and that `wanted` accepts, relative to `dirFd`, on `tasks`
    // tasks given to `run`; while the window has entries no task claimed,
    // gives out more until `tasks` are out again (`run` may let a task go
    // unrun when no worker is free). No new window while the last one's
    // tasks are still out or `from` is not half-way through it, nor for
    // another question than the batch's first. The batch and the directory
    // must stay as they are until Stop. How many entries it set to be asked.
    size_t Start(const ListingBatch& batch, size_t from, int dirFd, uint32_t attributes, bool lastWrite,
                 const std::function<bool(const char*)>& wanted, const Executor& run, int tasks);

    enum class Answer { None, Present, Gone };
    // The answer asked ahead for entry `at` of the batch if it answers this
    // question; None when there is none (the entry is then the caller's to
    // ask, no task will).
    Answer Take(size_t at, uint32_t attributes, bool lastWrite, EntryInfo& info);

    // Waits for the tasks asking now; the tasks not started yet will do
    // nothing. The batch is then the caller's again.
    void Stop();

private:
    // An entry's state: Unwanted (nobody asks it ahead), Wanted, Asking,
    // Asked, Gone; the answer beside it; which entry of the batch it is.
    struct Slot {
        std::atomic<uint8_t> state;
        uint32_t attributes;
        int64_t lastWrite;
        uint64_t size;
        size_t at;
    };
    // What may outlive this object: the tasks given to the executor hold it,
    // and start only while their generation is the current one.
    struct Gate {
        std::mutex lock;
        std::condition_variable idle;
        uint64_t generation = 0;
        int running = 0;      // tasks asking now
        int outstanding = 0;  // tasks of this generation given out and not done

        uint64_t GiveOut();
        void Return(uint64_t of);  // a task given out is over, run or not
        bool Done() { return Outstanding() == 0; }  // no task of this generation out
        int Outstanding();
        bool Enter(uint64_t of);
        void Leave();
        void Close();  // no task runs when it returns, none starts later
    };
    struct Ticket;
    size_t Mark(size_t begin, const std::function<bool(const char*)>& wanted);
    bool Unclaimed(size_t from);
    void Give(const Executor& run, int tasks);
    void AskAll();
    void Ask(Slot& slot, size_t at);
    Slot& SlotOf(size_t at) { return slots[at % (2 * Window)]; }

    std::shared_ptr<Gate> gate;
    std::unique_ptr<Slot[]> slots;
    const ListingBatch* batch = nullptr;  // while asked
    int dirFd = -1;
    uint32_t askedAttributes = 0;
    bool askedTime = false;
    std::atomic<size_t> cursor{0};
    std::atomic<bool> stopping{false};
    size_t end = 0;  // of the entries set to be asked
};

}  // namespace platform
