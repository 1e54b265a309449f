#include "platform/InfoAhead_posix.h"

#include <dirent.h>

#include "platform/EntryInfo_posix.h"

namespace platform {

namespace {

enum State : uint8_t { Unwanted, Wanted, Asking, Asked, Gone };

// Only what the sweep may delete: a directory is never asked about, and a
// name of unknown type is the reader's to examine first.
bool MayBeFile(unsigned char type) {
    return type == DT_REG || type == DT_LNK;
}

}  // namespace

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
    idle.wait(hold, [this] { return running == 0; });
}

InfoAhead::InfoAhead() : gate(std::make_shared<Gate>()) {}

InfoAhead::~InfoAhead() {
    Stop();
}

size_t InfoAhead::Start(const ListingBatch& listing, size_t from, int fd, uint32_t attributes, bool lastWrite,
                        const std::function<bool(const char*)>& wanted, const Executor& run, int tasks) {
    if (batch || from >= listing.Size() || tasks <= 0) return 0;
    batch = &listing;
    dirFd = fd;
    askedAttributes = attributes;
    askedTime = lastWrite;
    end = listing.Size();
    cursor.store(from, std::memory_order_relaxed);
    const size_t asked = Prepare(end, from, wanted);
    const uint64_t generation = gate->generation;  // changed only by Stop, on this thread
    for (int task = 0; task < tasks; ++task)
        run([gate = gate, self = this, generation] {
            if (!gate->Enter(generation)) return;
            self->AskAll();
            gate->Leave();
        });
    return asked;
}

// Slots are kept from batch to batch: they grow to the largest batch asked.
size_t InfoAhead::Prepare(size_t count, size_t from, const std::function<bool(const char*)>& wanted) {
    if (capacity < count) {
        slots = std::make_unique<Slot[]>(count);
        capacity = count;
    }
    size_t asked = 0;
    for (size_t at = 0; at < count; ++at) {
        const bool ask = at >= from && MayBeFile(batch->Type(at)) && wanted(batch->Name(at));
        slots[at].state.store(ask ? Wanted : Unwanted, std::memory_order_relaxed);
        asked += ask;
    }
    return asked;
}

void InfoAhead::AskAll() {
    for (size_t at; (at = cursor.fetch_add(1, std::memory_order_relaxed)) < end;) {
        uint8_t expected = Wanted;
        if (slots[at].state.compare_exchange_strong(expected, Asking, std::memory_order_acquire))
            Ask(slots[at], at);
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
    if (!batch || at >= end) return Answer::None;
    Slot& slot = slots[at];
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
    gate->Close();
    batch = nullptr;
}

}  // namespace platform
