// Runs one sweep with the given settings at full speed and prints its summary.
// It stands in for the program's silent run in the benchmark.
//
//   vorn_sweep_once ROOT PATTERN [name=value ...]
//
// Names are the settings' own: subdir, system, readonly, hidden, dirtree,
// regex (true/false), expiredays, speed (numbers).

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/SweepSettings.h"
#include "sweep/StatusChannel.h"
#include "sweep/SweepJob.h"

namespace {

bool SetFlag(std::atomic<bool>& flag, const std::string& value) {
    if (value != "true" && value != "false") return false;
    flag = value == "true";
    return true;
}

bool SetNumber(std::atomic<int>& number, const std::string& value) {
    char* end = nullptr;
    const long parsed = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end) return false;
    number = static_cast<int>(parsed);
    return true;
}

bool Apply(SweepSettings& settings, const char* assignment) {
    const char* equals = std::strchr(assignment, '=');
    if (!equals) return false;
    const std::string name(assignment, equals), value(equals + 1);
    const struct {
        const char* name;
        std::atomic<bool>& flag;
    } flags[] = {{"subdir", settings.subdir}, {"system", settings.system},   {"readonly", settings.readonly},
                 {"hidden", settings.hidden}, {"dirtree", settings.dirtree}, {"regex", settings.regex}};
    for (const auto& flag : flags)
        if (name == flag.name) return SetFlag(flag.flag, value);
    if (name == "expiredays") return SetNumber(settings.expiredays, value);
    if (name == "speed") return SetNumber(settings.speed, value);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    SweepSettings settings;
    settings.speed = 3;
    bool usable = argc >= 3;
    for (int i = 3; usable && i < argc; ++i) usable = Apply(settings, argv[i]);
    if (!usable) {
        std::fprintf(stderr, "usage: %s ROOT PATTERN [name=value ...]\n", argv[0]);
        return 2;
    }
    settings.filepath = argv[1];
    settings.filename = argv[2];

    StatusChannel channel;
    const std::atomic<bool> silent{false};
    SweepJob job(settings, channel, silent);
    job.Start();
    job.WaitDone(WorkerThread::WaitForever);
    std::string last;
    for (StatusRecord record = channel.Take(); record.kind != StatusKind::None; record = channel.Take())
        last = record.text;
    std::printf("%s\n", last.c_str());
    return 0;
}
