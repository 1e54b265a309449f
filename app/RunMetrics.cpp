#include "app/RunMetrics.h"

#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

#include "ExtLib/StringEx.h"
#include "platform/Path.h"

namespace {

constexpr std::string_view LastSuccessMetric = "vorn_last_success_time_seconds";

struct Sample {
    std::string label;  // the second label with its value, or empty
    std::string value;
};

struct Metric {
    const char* name;
    const char* help;
    std::vector<Sample> samples;
};

std::string Number(uint64_t value) { return std::to_string(value); }

// Label values escape the backslash, the double quote and the line feed.
std::string LabelValue(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return escaped;
}

std::vector<Sample> Spared(const RunRecord& run) {
    const auto count = [&run](EntryOutcome outcome) { return Number(run.outcomes[static_cast<size_t>(outcome)]); };
    return {{"reason=\"system\"", count(EntryOutcome::SparedSystem)},
            {"reason=\"readonly\"", count(EntryOutcome::SparedReadOnly)},
            {"reason=\"hidden\"", count(EntryOutcome::SparedHidden)},
            {"reason=\"too_recent\"", count(EntryOutcome::TooRecent)},
            {"reason=\"special\"", count(EntryOutcome::Special)}};
}

std::vector<Sample> Shortfalls(const SweepShortfalls& left) {
    const auto count = [](int value) { return Number(static_cast<uint64_t>(value)); };
    return {{"kind=\"undeleted_files\"", count(left.undeletedFiles)},
            {"kind=\"unremoved_directories\"", count(left.unremovedDirectories)},
            {"kind=\"unreadable_directories\"", count(left.unreadableDirectories)},
            {"kind=\"overlong_directories\"", count(left.overlongDirectories)},
            {"kind=\"unmatched_names\"", count(left.unmatchedNames)}};
}

std::vector<Metric> Metrics(const RunRecord& run, int64_t lastSuccess) {
    StringEx duration;
    duration.Format("%.3f", run.durationSeconds);
    const auto one = [](std::string value) { return std::vector<Sample>{{"", std::move(value)}}; };
    const SweepCounts& counts = run.counts;
    return {
        {"vorn_run_end_time_seconds", "When the last silent run ended, in seconds since 1970.",
         one(std::to_string(run.endTime))},
        {LastSuccessMetric.data(), "When the last silent run that ended with status 0 ended; 0: none yet.",
         one(std::to_string(lastSuccess))},
        {"vorn_run_status", "The last run's exit status: 0 done, 6 incomplete, 8 stopped, others failed.",
         one(std::to_string(run.status))},
        {"vorn_run_duration_seconds", "How long the last run took.", one(duration.Str())},
        {"vorn_files_found", "Files whose names the last run looked at.", one(Number(counts.found))},
        {"vorn_files_deleted", "Files the last run deleted.", one(Number(counts.deleted))},
        {"vorn_files_deleted_bytes", "What the files the last run deleted held.", one(Number(counts.deletedBytes))},
        {"vorn_files_spared", "Files whose names matched that the last run left, by reason.", Spared(run)},
        {"vorn_directories_searched", "Directories the last run searched, the root included.",
         one(Number(counts.directoriesSearched))},
        {"vorn_directories_removed", "Directories the last run emptied and removed.",
         one(Number(run.outcomes[static_cast<size_t>(EntryOutcome::Removed)]))},
        {"vorn_shortfalls", "What the last run should have done and could not, by kind.", Shortfalls(run.shortfalls)},
        {"vorn_workers", "The most workers the last run had at once.",
         one(Number(static_cast<uint64_t>(counts.workers)))},
    };
}

}  // namespace

std::string MetricsName(const std::string& settingsPath) {
    const size_t slash = settingsPath.find_last_of(std::string{'/', platform::PathSeparator});
    const std::string file = slash == std::string::npos ? settingsPath : settingsPath.substr(slash + 1);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

std::string MetricsText(const RunRecord& run, int64_t lastSuccess, const std::string& name) {
    const std::string settings = "settings=\"" + LabelValue(name) + "\"";
    std::string text;
    for (const Metric& metric : Metrics(run, lastSuccess)) {
        text += std::string("# HELP ") + metric.name + " " + metric.help + "\n";
        text += std::string("# TYPE ") + metric.name + " gauge\n";
        for (const Sample& sample : metric.samples) {
            const std::string labels = sample.label.empty() ? settings : settings + "," + sample.label;
            text += std::string(metric.name) + "{" + labels + "} " + sample.value + "\n";
        }
    }
    return text;
}

int64_t LastSuccessIn(const std::string& text) {
    const std::string start = std::string(LastSuccessMetric) + "{";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(start, 0) == 0) return std::strtoll(line.c_str() + line.rfind(' ') + 1, nullptr, 10);
    return 0;
}
