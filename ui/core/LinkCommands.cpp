#include "ui/core/LinkCommands.h"

#include "ExtLib/StringEx.h"
#include "ui/core/Portals.h"
#include "ui/core/ResourceStrings.h"

const std::vector<LinkMenuItem>& PortalMenu()
{
    static const std::vector<LinkMenuItem> menu = [] {
        std::vector<LinkMenuItem> items;
        for (const Portal& portal : Portals)
            items.push_back({portal.command, portal.caption});
        return items;
    }();
    return menu;
}

std::string HomePageMenuCaption()
{
    return "访问官方网站";
}

// The portals' texts are bare hosts; the home page's text carries a
// description on its first line and the host on its second.
std::optional<std::string> LinkAddress(const std::string& text)
{
    const std::vector<StringEx> pieces = StringEx(text).Split("\n");
    if (pieces.empty())
        return std::nullopt;
    const StringEx& host = pieces.size() >= 2 ? pieces[1] : pieces[0];
    return "http://" + host.Str();
}

std::optional<std::string> LinkCommandAddress(int command)
{
    if (command < FirstLinkCommand || command > LastLinkCommand)
        return std::nullopt;
    return LinkAddress(LoadResourceString(command));
}

std::string HomePageAddress()
{
    return std::string("http://") + HomePageHost + "/";
}
