#include "app/SilentTexts.h"

#include <utility>

#include "ExtLib/StringEx.h"
#include "sweep/SweepJob.h"

namespace {

const char* ReasonText(platform::GuardPlaceProblem::Reason reason) {
    using Reason = platform::GuardPlaceProblem::Reason;
    switch (reason) {
    case Reason::NoDirectory: return "不存在或不是目录";
    case Reason::NotOwned: return "属于其他用户";
    case Reason::OpenToOthers: return "其他用户可以写入";
    case Reason::NoFile: return "无法建立只属于当前用户的锁文件";
    case Reason::NoLock: return "不支持文件锁";
    }
    return "";
}

}  // namespace

std::string ShortfallText(const SweepShortfalls& shortfalls) {
    const std::pair<int, const char*> parts[] = {
        {shortfalls.undeletedFiles, "%d个文件无法删除"},
        {shortfalls.unremovedDirectories, "%d个已清空的目录无法删除"},
        {shortfalls.unreadableDirectories, "%d个子目录无法读取"},
        {shortfalls.overlongDirectories, "%d个子目录的路径超过260字节，未处理"},
        {shortfalls.unmatchedNames, "%d个文件名超出正则表达式的匹配限制，未处理"},
    };
    std::string text;
    for (const auto& [count, format] : parts) {
        if (count == 0) continue;
        StringEx part;
        part.Format(format, count);
        text += (text.empty() ? "运行不完整: " : "，") + part.Str();
    }
    return text;
}

std::string GuardProblemText(const std::vector<platform::GuardPlaceProblem>& problems) {
    std::string text = "无法建立单实例锁，没有只属于当前用户的位置:";
    for (const platform::GuardPlaceProblem& problem : problems)
        text += (&problem == &problems.front() ? " " : "；") + problem.place + " " + ReasonText(problem.reason);
    return text;
}
