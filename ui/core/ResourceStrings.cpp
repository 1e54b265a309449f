#include "ui/core/ResourceStrings.h"

#include "ui/core/LinkCommands.h"
#include "ui/core/MainTemplate.h"
#include "ui/core/Portals.h"

#include <map>

namespace {

const std::map<int, std::string>& Table()
{
    static const std::map<int, std::string> table = [] {
        std::map<int, std::string> entries{
            {AboutMenuString, "关于 VORN(&A)..."},
            {HomePageLinkCommand, std::string("访问软件官方网站\n") + HomePageHost},
            {MainIds::About, "显示程序信息、版本号和版权\n关于"},
        };
        for (const Portal& portal : Portals)
            entries.emplace(portal.command, portal.host);
        return entries;
    }();
    return table;
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string LoadResourceString(int id, std::size_t maxBytes)
{
    const auto found = Table().find(id);
    if (found == Table().end())
        return {};
    const std::string& text = found->second;
    if (text.size() <= maxBytes)
        return text;
    // Cutting inside a character would leave a broken byte sequence behind.
    std::size_t length = maxBytes;
    while (length > 0 && IsContinuationByte(text[length]))
        --length;
    return text.substr(0, length);
}
