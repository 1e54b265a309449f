#pragma once
// The download portals offered in the "下载站推荐" menu, in menu order: the
// link command, the menu caption and the host the command opens.

#include <array>

struct Portal {
    int command;
    const char* caption;
    const char* host;
};

inline constexpr std::array<Portal, 11> Portals{{
    {32772, "太平洋下载中心", "dl.pconline.com.cn"},
    {32771, "华军软件园", "www.onlinedown.net"},
    {32773, "中关村在线下载", "xiazai.zol.com.cn"},
    {32774, "PChome下载中心", "download.pchome.net"},
    {32775, "非凡软件站", "www.crsky.com"},
    {32776, "多特软件站", "www.duote.com"},
    {32777, "西西软件园", "www.cr173.com"},
    {32780, "PC6下载站", "www.pc6.com"},
    {32781, "下载之家", "www.downza.cn"},
    {32782, "SourceForge", "sourceforge.net"},
    {32778, "Softpedia", "www.softpedia.com"},
}};
