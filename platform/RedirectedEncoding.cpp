#include "platform/RedirectedEncoding.h"

namespace platform {

// Every character the program's summaries, reasons and messages use, so
// that a code page that lacks one never gets a "?" in the program's own words.
const std::string_view OwnWords =
    "运行完成已停止列出共搜索到个文件删除了将无效文件名正则表达式异常结束无法打开处理目录的路径超过字节"
    "系统只读隐藏修改未满天不是普通没有权限正在使用已存在失败读取匹配限制不完整未能子配置错误静默模式"
    "前必须先进行经由其他用户建立链接跟随安全继续层数多整个根作为启动程序窗口在中已经运行检查进程确认退出后重新";

RedirectedEncoding ChooseRedirectedEncoding(const std::function<bool(std::string_view)>& carries) {
    return carries(OwnWords) ? RedirectedEncoding::Ansi : RedirectedEncoding::Utf8;
}

}  // namespace platform
