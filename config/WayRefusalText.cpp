#include "config/WayRefusalText.h"

#include "ExtLib/StringEx.h"

namespace {

using Reason = platform::WayRefusal::Reason;

// Each takes the place, then the owner's id or the permission bits where it names them.
const char* FormatOf(Reason reason) {
    switch (reason) {
    case Reason::ForeignLink: return "“%s”是其他用户建立的链接，不会跟随";
    case Reason::UnsafeTransition: return "经由其他用户的目录进入“%s”不安全，不会继续";
    case Reason::TooManyLinks: return "“%s”处的链接层数过多";
    case Reason::SystemRoot: return "“%s”是整个系统的根目录，不能作为处理目录";
    case Reason::WindowsFolder: return "“%s”是Windows系统目录，不能作为处理目录";
    case Reason::ForeignOwner: return "“%s”属于用户%u，只能属于root或运行程序的用户";
    case Reason::WritableByOthers: return "“%s”的权限是%04o，所有者以外的用户可以写入";
    case Reason::ReplaceableByOthers: return "目录“%s”的权限是%04o，其他用户可以写入又没有粘滞位，可以替换其中的文件";
    }
    return "“%s”";
}

}  // namespace

std::string WayRefusalText(const platform::WayRefusal& refusal) {
    const bool owner = refusal.reason == Reason::ForeignOwner;
    StringEx text;
    text.Format(FormatOf(refusal.reason), refusal.component.c_str(), owner ? refusal.owner : refusal.mode);
    return text.Str();
}
