#pragma once
// The info of a batch's entries asked ahead, on other threads, while the
// directory's reader still deletes the entries before them. Each entry's
// answer is asked once, by a task or by the reader, whichever claims it first;
// the reader waits only for an answer a task is asking at that moment.

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
    InfoAhead();
    ~InfoAhead();
    InfoAhead(const InfoAhead&) = delete;
    InfoAhead& operator=(const InfoAhead&) = delete;

    // Asks ahead the entries of `batch` from `from` on that may be files and
    // that `wanted` accepts, relative to `dirFd`, on `tasks` tasks given to
    // `run`. Nothing when this batch is already asked. The batch and the
    // directory must stay as they are until Stop. How many entries it set
    // to be asked (0 once tasks are given out for this batch).
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
    // Asked, Gone. The answer lies beside it (24 bytes an entry).
    struct Slot {
        std::atomic<uint8_t> state;
        uint32_t attributes;
        int64_t lastWrite;
        uint64_t size;
    };
    // What may outlive this object: the tasks given to the executor hold it,
    // and start only while their generation is the current one.
    struct Gate {
        std::mutex lock;
        std::condition_variable idle;
        uint64_t generation = 0;
        int running = 0;

        bool Enter(uint64_t of);
        void Leave();
        void Close();  // no task runs when it returns, none starts later
    };
    size_t Prepare(size_t count, size_t from, const std::function<bool(const char*)>& wanted);
    void AskAll();
    void Ask(Slot& slot, size_t at);

    std::shared_ptr<Gate> gate;
    std::unique_ptr<Slot[]> slots;
    size_t capacity = 0;
    const ListingBatch* batch = nullptr;  // while asked
    int dirFd = -1;
    uint32_t askedAttributes = 0;
    bool askedTime = false;
    std::atomic<size_t> cursor{0};
    size_t end = 0;
};

}  // namespace platform
