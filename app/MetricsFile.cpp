#include "app/MetricsFile.h"

#include "platform/FileIo.h"
#include "platform/Path.h"
#include "platform/PublishedFile.h"

namespace {

constexpr const char* Extension = ".prom";
constexpr const char* FailedText = "无法写入指标文件 ";
// Far more than the file this program writes.
constexpr size_t MaxPreviousBytes = 64 * 1024;

std::string ReadPrevious(const std::string& path) {
    const platform::FileHandle file = platform::OpenFile(path.c_str(), platform::AccessRead, platform::OpenExisting);
    if (file == platform::InvalidFile) return {};
    std::string text(MaxPreviousBytes, '\0');
    size_t total = 0, got = 0;
    while (total < text.size() && platform::ReadFile(file, text.data() + total, text.size() - total, got) && got)
        total += got;
    platform::CloseFile(file);
    text.resize(total);
    return text;
}

}  // namespace

std::string PublishRunMetrics(const std::string& folder, const std::string& settingsPath, const RunRecord& run) {
    const std::string name = MetricsName(settingsPath);
    const std::string file = name + Extension;
    const bool separated = !folder.empty() && folder.back() == platform::PathSeparator;
    const std::string path = folder + (separated ? "" : std::string(1, platform::PathSeparator)) + file;
    const int64_t lastSuccess = run.status == 0 ? run.endTime : LastSuccessIn(ReadPrevious(path));
    const platform::PublishResult result = platform::PublishFile(folder, file, MetricsText(run, lastSuccess, name));
    return result == platform::PublishResult::Failed ? FailedText + path : std::string();
}
