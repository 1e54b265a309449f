#pragma once
// The lines of the list-only and verbose runs, on standard output as the run
// goes: a file deleted (or that would be) is its path alone, a directory
// removed (or that would be) its path with a separator at the end; an entry
// that stayed, or a directory not searched, the reason in brackets first:
// "[只读文件] /srv/app/a.log". Lines are written in batches, so a run of a
// million files holds no more than one batch. Every worker of a sweep
// writes here; each line stays whole. An output that refuses a batch (the
// reader of a pipe gone) is written to no more, and `onLost` is called once.

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "sweep/EntryReport.h"

// `path` as one line that gives it back whole: unchanged when it is valid
// UTF-8 without a character a terminal or reader acts on (C0 and C1
// controls, DEL, the line and paragraph separators, the marks that reorder
// text); otherwise (and when it could be taken for a quoted or bracketed
// line) in the $'...' form of bash, with \n, \r, \t, \\ and \xHH (the quote
// itself, each byte of the other such characters and bytes that are not
// UTF-8) standing for what they stand for there.
std::string PathForLine(std::string_view path);

// The whole line for one outcome, without its line end. `expiredays` names
// the age limit a file was too recent for.
std::string EntryLine(EntryOutcome outcome, const std::string& path, bool directory, int expiredays);

class EntryLines final : public EntryReport {
public:
    explicit EntryLines(int expiredays, std::function<void()> onLost = {})
        : expiredays(expiredays), onLost(std::move(onLost)) {}
    ~EntryLines() override { Flush(); }
    EntryLines(const EntryLines&) = delete;
    EntryLines& operator=(const EntryLines&) = delete;

    void Entry(EntryOutcome outcome, const std::string& path, bool directory) override;
    // Writes what is held; call it before anything else goes to the output.
    void Flush();
    // True once the output refused a batch.
    bool Lost() const { return lost; }

private:
    static constexpr size_t BatchBytes = 64 * 1024;

    void Write(std::string lines);

    const int expiredays;
    const std::function<void()> onLost;
    std::atomic<bool> lost{false};
    std::mutex batchLock;
    std::string batch;
    // Held while a batch is written, so that two batches never mix.
    std::mutex outputLock;
};
