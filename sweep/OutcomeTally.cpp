#include "sweep/OutcomeTally.h"

void OutcomeTally::Entry(EntryOutcome outcome, const std::string& path, bool directory) {
    counts[static_cast<size_t>(outcome)].fetch_add(1, std::memory_order_relaxed);
    if (next) next->Entry(outcome, path, directory);
}

uint64_t OutcomeTally::Count(EntryOutcome outcome) const {
    return counts[static_cast<size_t>(outcome)].load(std::memory_order_relaxed);
}
