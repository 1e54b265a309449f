// The metrics file as node_exporter's textfile collector reads it. A real
// collector reads what these files hold in tests/app/metrics_test.sh.

#include "app/MetricsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "platform/Path.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

RunRecord SampleRun(int status, int64_t endTime) {
    RunRecord run;
    run.status = status;
    run.endTime = endTime;
    run.durationSeconds = 12.5;
    run.counts = {40, 30, 7, 4096, 5};
    run.outcomes[static_cast<size_t>(EntryOutcome::Removed)] = 3;
    run.outcomes[static_cast<size_t>(EntryOutcome::SparedReadOnly)] = 2;
    run.outcomes[static_cast<size_t>(EntryOutcome::TooRecent)] = 5;
    run.shortfalls.undeletedFiles = 1;
    run.shortfalls.unreadableDirectories = 2;
    run.shortfalls.unmatchedNames = 4;
    return run;
}

// The value of one sample, found by its name and labels as written.
std::string Value(const std::string& text, const std::string& sample) {
    const size_t at = text.find("\n" + sample + " ");
    if (at == std::string::npos) return "missing";
    const size_t start = at + sample.size() + 2;
    return text.substr(start, text.find('\n', start) - start);
}

TEST(RunMetrics, EverySampleCarriesTheRunAndTheSettingsLabel) {
    const std::string text = MetricsText(SampleRun(6, 1700000000), 1690000000, "web");
    const struct {
        const char* sample;
        const char* value;
    } cases[] = {
        {"vorn_run_end_time_seconds{settings=\"web\"}", "1700000000"},
        {"vorn_last_success_time_seconds{settings=\"web\"}", "1690000000"},
        {"vorn_run_status{settings=\"web\"}", "6"},
        {"vorn_run_duration_seconds{settings=\"web\"}", "12.500"},
        {"vorn_files_found{settings=\"web\"}", "40"},
        {"vorn_files_deleted{settings=\"web\"}", "30"},
        {"vorn_files_deleted_bytes{settings=\"web\"}", "4096"},
        {"vorn_directories_searched{settings=\"web\"}", "7"},
        {"vorn_directories_removed{settings=\"web\"}", "3"},
        {"vorn_files_spared{settings=\"web\",reason=\"readonly\"}", "2"},
        {"vorn_files_spared{settings=\"web\",reason=\"too_recent\"}", "5"},
        {"vorn_files_spared{settings=\"web\",reason=\"system\"}", "0"},
        {"vorn_shortfalls{settings=\"web\",kind=\"undeleted_files\"}", "1"},
        {"vorn_shortfalls{settings=\"web\",kind=\"unreadable_directories\"}", "2"},
        {"vorn_shortfalls{settings=\"web\",kind=\"overlong_directories\"}", "0"},
        {"vorn_shortfalls{settings=\"web\",kind=\"unmatched_names\"}", "4"},
        {"vorn_workers{settings=\"web\"}", "5"},
    };
    for (const auto& c : cases) EXPECT_EQ(Value(text, c.sample), c.value) << c.sample;
}

// Each metric once, HELP before TYPE before its samples; gauges only, so no
// name ends in _total; no sample carries a timestamp.
TEST(RunMetrics, FormIsTheExpositionFormatsPlainestForm) {
    const std::string text = MetricsText(SampleRun(0, 1), 1, "vorn");
    const std::regex line(R"((# HELP (\w+) .+)|(# TYPE (\w+) gauge)|((\w+)\{[^}]*\} [0-9.]+))");
    std::string declared;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        const std::string one = text.substr(at, end - at);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(one, m, line)) << one;
        if (m[2].matched) {
            EXPECT_EQ(text.find("# HELP " + m[2].str() + " "), at) << "declared twice: " << one;
            declared = m[2];
        }
        if (m[4].matched) {
            EXPECT_EQ(m[4], declared);
        }
        if (m[6].matched) {
            EXPECT_EQ(m[6], declared);
        }
        EXPECT_EQ(one.find("_total"), std::string::npos) << one;
    }
}

TEST(RunMetrics, LabelValueIsEscaped) {
    const std::string text = MetricsText(SampleRun(0, 1), 1, "a\"b\\c\nd");
    EXPECT_NE(text.find("vorn_run_status{settings=\"a\\\"b\\\\c\\nd\"} 0"), std::string::npos);
}

TEST(RunMetrics, NameIsTheSettingsFilesWithoutFolderOrExtension) {
    const std::string s(1, platform::PathSeparator);
    EXPECT_EQ(MetricsName(s + "opt" + s + "vorn" + s + "vorn.ini"), "vorn");
    EXPECT_EQ(MetricsName("/etc/vorn/web.ini"), "web");
    EXPECT_EQ(MetricsName("/etc/vorn/logs.nightly.ini"), "logs.nightly");
    EXPECT_EQ(MetricsName("/etc/vorn/plain"), "plain");
    EXPECT_EQ(MetricsName("/etc/vorn.d/.hidden"), ".hidden");
}

TEST(RunMetrics, LastSuccessIsReadBackFromAnEarlierFile) {
    EXPECT_EQ(LastSuccessIn(MetricsText(SampleRun(0, 1700000123), 1700000123, "vorn")), 1700000123);
    EXPECT_EQ(LastSuccessIn(MetricsText(SampleRun(6, 1700000999), 1600000000, "x")), 1600000000);
    EXPECT_EQ(LastSuccessIn(""), 0);
    EXPECT_EQ(LastSuccessIn("# HELP vorn_last_success_time_seconds x\nother 5"), 0);
}

class MetricsFileTest : public ::testing::Test {
protected:
    std::string Settings(const std::string& name) const { return (temp / "etc" / name).string(); }
    std::string Folder() const { return (temp / "prom").string(); }
    std::string Published(const std::string& name) const { return TempDir::Read(temp / "prom" / name); }
    TempDir temp;
};

// A failed run after a good one keeps the good one's time; the next good run
// moves it on.
TEST_F(MetricsFileTest, FailedRunKeepsTheLastSuccess) {
    fs::create_directories(temp / "prom");
    const struct {
        int status;
        int64_t end;
        int64_t lastSuccess;
    } runs[] = {{0, 1000, 1000}, {5, 2000, 1000}, {6, 3000, 1000}, {0, 4000, 4000}};
    for (const auto& run : runs) {
        EXPECT_EQ(PublishRunMetrics(Folder(), Settings("vorn.ini"), SampleRun(run.status, run.end)), "");
        EXPECT_EQ(LastSuccessIn(Published("vorn.prom")), run.lastSuccess) << run.end;
    }
    EXPECT_EQ(TempDir::EntriesIn(temp / "prom"), 1);
}

TEST_F(MetricsFileTest, EachSettingsFileHasItsOwnFile) {
    fs::create_directories(temp / "prom");
    EXPECT_EQ(PublishRunMetrics(Folder(), Settings("vorn.ini"), SampleRun(0, 10)), "");
    EXPECT_EQ(PublishRunMetrics(Folder(), Settings("web.ini"), SampleRun(4, 20)), "");
    EXPECT_NE(Published("vorn.prom").find("vorn_run_status{settings=\"vorn\"} 0"), std::string::npos);
    EXPECT_NE(Published("web.prom").find("vorn_run_status{settings=\"web\"} 4"), std::string::npos);
}

// No collector here: nothing made, nothing said. A folder that is there but
// takes no file is said once.
TEST_F(MetricsFileTest, MissingFolderIsSilentAndAnUnwritableOneIsSaid) {
    EXPECT_EQ(PublishRunMetrics(Folder(), Settings("vorn.ini"), SampleRun(0, 1)), "");
    EXPECT_FALSE(fs::exists(temp / "prom"));
    temp.Write("prom", "a file where the folder should be");
    const std::string said = PublishRunMetrics(Folder(), Settings("vorn.ini"), SampleRun(0, 1));
    EXPECT_NE(said.find("无法写入指标文件"), std::string::npos);
    EXPECT_NE(said.find(TempDir::Utf8(temp / "prom")), std::string::npos) << said;
}

}  // namespace
