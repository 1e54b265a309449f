#include "platform/InfoAhead_posix.h"

#include <algorithm>
#include <cstdint>
#include <dirent.h>
#include <utility>

#include "platform/EntryInfo_posix.h"

namespace platform {

namespace {

enum State : uint8_t { Unwanted, Wanted, Asking, Asked, Gone };

constexpr size_t NotMarked = SIZE_MAX;

// Only what the sweep may delete: a directory is never asked about, and a
// name of unknown type is the reader's to examine first.
bool MayBeFile(unsigned char type) {
    return type == DT_REG || type == DT_LNK;
}

}  // namespace

uint64_t InfoAhead::Gate::GiveOut() {
    const std::lock_guard hold(lock);
    ++outstanding;
    return generation;
}

void InfoAhead::Gate::Return(uint64_t of) {
    const std::lock_guard hold(lock);
    if (of == generation) --outstanding;
}

int InfoAhead::Gate::Outstanding() {
    const std::lock_guard hold(lock);
    return outstanding;
}

bool InfoAhead::Gate::Enter(uint64_t of) {
    const std::lock_guard hold(lock);
    if (of != generation) return false;
    ++running;
    return true;
}

void InfoAhead::Gate::Leave() {
    {
        const std::lock_guard hold(lock);
        --running;
    }
    idle.notify_all();
}

void InfoAhead::Gate::Close() {
    std::unique_lock hold(lock);
    ++generation;
    outstanding = 0;
    idle.wait(hold, [this] { return running == 0; });
}

// A task's place in its window, given back when the executor lets go of the
// task: after it ran, or without running it when no worker was free to take
// it. Were a task let go unrun still counted, no later window would ever be
// asked ahead.
struct InfoAhead::Ticket {
    explicit Ticket(std::shared_ptr<Gate> gate) : gate(std::move(gate)), generation(this->gate->GiveOut()) {}
    ~Ticket() { gate->Return(generation); }
    Ticket(const Ticket&) = delete;
    Ticket& operator=(const Ticket&) = delete;

    const std::shared_ptr<Gate> gate;
    const uint64_t generation;
};

InfoAhead::InfoAhead() : gate(std::make_shared<Gate>()) {}

InfoAhead::~InfoAhead() {
    Stop();
}

size_t InfoAhead::Start(const ListingBatch& listing, size_t from, int fd, uint32_t attributes, bool lastWrite,
                        const std::function<bool(const char*)>& wanted, const Executor& run, int tasks) {
    if (tasks <= 0) return 0;
    if (!batch) {
        if (!slots) slots = std::make_unique<Slot[]>(2 * Window);  // only where asked: most directories never are
        batch = &listing;
        dirFd = fd;
        askedAttributes = attributes;
        askedTime = lastWrite;
        end = 0;
        cursor.store(0, std::memory_order_relaxed);
        stopping.store(false, std::memory_order_relaxed);
        for (size_t at = 0; at < 2 * Window; ++at) slots[at].at = NotMarked;  // answers of the last batch
    } else if (attributes != askedAttributes || lastWrite != askedTime) {
        return 0;
    }
    if (Unclaimed(from)) {
        Give(run, tasks - gate->Outstanding());
        return 0;
    }
    // the last window's tasks are still out, or the reader is not half-way through it
    if (!gate->Done() || end > from + Window / 2) return 0;
    const size_t begin = std::max(from, end);
    if (begin >= listing.Size()) return 0;
    const size_t asked = Mark(begin, wanted);
    cursor.store(begin, std::memory_order_relaxed);
    if (asked) Give(run, tasks);
    return asked;
}

// Names of the window that no task claimed yet, the reader's own left out:
// a task let go unrun, or given out before a worker was free to take it, is
// made up for as soon as one is.
bool InfoAhead::Unclaimed(size_t from) {
    size_t at = cursor.load(std::memory_order_relaxed);
    while (at < from && !cursor.compare_exchange_weak(at, from, std::memory_order_relaxed)) {
    }
    return std::max(at, from) < end;
}

void InfoAhead::Give(const Executor& run, int tasks) {
    for (int task = 0; task < tasks; ++task)
        run([ticket = std::make_shared<const Ticket>(gate), self = this] {
            if (!ticket->gate->Enter(ticket->generation)) return;
            self->AskAll();
            ticket->gate->Leave();
        });
}

// The next window: its slots are free, as no task is out.
size_t InfoAhead::Mark(size_t begin, const std::function<bool(const char*)>& wanted) {
    end = std::min(batch->Size(), begin + Window);
    size_t asked = 0;
    for (size_t at = begin; at < end; ++at) {
        const bool ask = MayBeFile(batch->Type(at)) && wanted(batch->Name(at));
        SlotOf(at).at = at;
        SlotOf(at).state.store(ask ? Wanted : Unwanted, std::memory_order_relaxed);
        asked += ask;
    }
    return asked;
}

void InfoAhead::AskAll() {
    for (size_t at; !stopping.load(std::memory_order_relaxed) &&
                    (at = cursor.fetch_add(1, std::memory_order_relaxed)) < end;) {
        uint8_t expected = Wanted;
        if (SlotOf(at).state.compare_exchange_strong(expected, Asking, std::memory_order_acquire))
            Ask(SlotOf(at), at);
    }
}

void InfoAhead::Ask(Slot& slot, size_t at) {
    EntryInfo info;
    const bool present =
        AskEntryInfo(dirFd, batch->Name(at), batch->Type(at) == DT_LNK, askedAttributes, askedTime, info);
    slot.attributes = info.attributes;
    slot.lastWrite = info.lastWrite;
    slot.size = info.size;
    slot.state.store(present ? Asked : Gone, std::memory_order_release);
    slot.state.notify_all();
}

InfoAhead::Answer InfoAhead::Take(size_t at, uint32_t attributes, bool lastWrite, EntryInfo& info) {
    if (!batch || at >= end || SlotOf(at).at != at) return Answer::None;
    Slot& slot = SlotOf(at);
    uint8_t state = Wanted;
    if (slot.state.compare_exchange_strong(state, Unwanted, std::memory_order_acquire)) return Answer::None;
    if (state == Asking) {
        slot.state.wait(Asking, std::memory_order_acquire);
        state = slot.state.load(std::memory_order_acquire);
    }
    const bool statted = NeedsStatus(attributes, lastWrite);
    const bool answers = (attributes & ~askedAttributes) == 0 && (!statted || NeedsStatus(askedAttributes, askedTime));
    if (!answers || (state != Asked && state != Gone)) return Answer::None;
    if (state == Gone) return Answer::Gone;
    info.attributes = slot.attributes & attributes;
    info.lastWrite = statted ? slot.lastWrite : 0;
    info.size = statted ? slot.size : 0;
    return Answer::Present;
}

void InfoAhead::Stop() {
    stopping.store(true, std::memory_order_relaxed);
    gate->Close();
    batch = nullptr;
}

}  // namespace platform
