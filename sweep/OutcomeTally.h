#pragma once
// How many entries a sweep reported with each outcome, counted on every
// worker, passed on to another report when there is one (the lines of a
// verbose run).

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "sweep/EntryReport.h"

class OutcomeTally final : public EntryReport {
public:
    static constexpr size_t OutcomeCount = EntryOutcomeCount;

    explicit OutcomeTally(EntryReport* next = nullptr) : next(next) {}

    void Entry(EntryOutcome outcome, const std::string& path, bool directory) override;
    uint64_t Count(EntryOutcome outcome) const;

private:
    EntryReport* const next;
    std::array<std::atomic<uint64_t>, OutcomeCount> counts{};
};
