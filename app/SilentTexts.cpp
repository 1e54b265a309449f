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

std::string UsageText(const std::string& defaultPath) {
    std::string text =
        "用法:\r\n"
        "  vorn                          打开窗口，编辑并保存设置\r\n"
        "  vorn /auto                    按设置静默清理一次，输出一行结果\r\n"
        "  vorn /auto /L                 只列出将删除的文件和目录，不做任何改动\r\n"
        "  vorn /auto /V                 清理，并列出每个匹配项的结果\r\n"
        "  vorn /check                   只检查设置和处理目录，不清理\r\n"
        "  vorn /?  (-h, --help)         显示本说明\r\n"
        "除 /? 外，每种形式都可以加上 /ini:文件，使用该设置文件代替默认的vorn.ini\r\n"
        "(相对路径从当前目录算起)。/auto 和 /auto /V 可以加上 /metrics:目录，\r\n"
        "结束时在该目录留下供node_exporter读取的指标文件。\r\n"
        "默认设置文件: 程序目录中的vorn.ini";
    if (!defaultPath.empty()) text += " (" + defaultPath + ")";
    return text +
           "\r\n退出状态: 0 完成  1 文件名或正则表达式无效  2 设置文件有误或无法打开窗口  3 已经在运行\r\n"
           "  4 运行异常结束  5 无法打开处理目录  6 运行不完整  7 无法建立单实例锁  8 按要求停止";
}

std::string UnusablePathText(const std::string& path) {
    return "设置文件路径“" + path + "”无法使用: 必须是绝对路径或相对于当前目录的路径";
}

std::string GuardProblemText(const std::vector<platform::GuardPlaceProblem>& problems) {
    std::string text = "无法建立单实例锁，没有只属于当前用户的位置:";
    for (const platform::GuardPlaceProblem& problem : problems)
        text += (&problem == &problems.front() ? " " : "；") + problem.place + " " + ReasonText(problem.reason);
    return text;
}
