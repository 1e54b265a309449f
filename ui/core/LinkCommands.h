#pragma once
// The web-link commands: eleven download portals in the menu "下载站推荐"
// and the home page in the Help menu, all resolved by LinkCommandAddress;
// and the home-page button's address. Opening an address is the window's.

#include <optional>
#include <string>
#include <vector>

inline constexpr int FirstLinkCommand = 32771;
inline constexpr int LastLinkCommand = 32783;
inline constexpr int HomePageLinkCommand = 32783;

struct LinkMenuItem {
    int command;
    std::string caption;
};

// The portal entries of the "下载站推荐" menu, in menu order.
const std::vector<LinkMenuItem>& PortalMenu();
// "访问官方网站", the Help menu's entry for HomePageLinkCommand.
std::string HomePageMenuCaption();

// The address a string-table text leads to: "http://" and the text's second
// line when it has one, else its first. Nothing for an empty text.
std::optional<std::string> LinkAddress(const std::string& text);
// The address behind `command`'s string; nothing for a command without a
// string (such as 32779) or outside the link range.
std::optional<std::string> LinkCommandAddress(int command);

// "http://" + the home page's host + "/".
std::string HomePageAddress();
