#include "ui/core/MainTemplate.h"

#include "ui/core/LinkCommands.h"

using K = ControlKind;

const std::vector<TemplateControl>& MainControls() {
    static const std::vector<TemplateControl> controls = {
        {MainIds::Directory, K::Edit, "", 46, 34, 210, 16},
        {MainIds::ChooseDirectory, K::ImageButton, "选择目录", 259, 31, 54, 22},
        {MainIds::Pattern, K::Edit, "", 46, 55, 210, 16},
        {MainIds::Regex, K::CheckBox, "正则表达式匹配", 263, 56, 86, 14},
        {MainIds::Subdirectories, K::CheckBox, "包含子目录", 15, 97, 60, 16},
        {MainIds::SpareSystem, K::CheckBox, "不删除系统文件", 15, 114, 77, 16},
        {MainIds::SpareReadonly, K::CheckBox, "不删除只读文件", 15, 131, 79, 16},
        {MainIds::SpareHidden, K::CheckBox, "不删除隐藏文件", 15, 148, 81, 16},
        {MainIds::KeepStructure, K::CheckBox, "不删除目录结构", 15, 164, 80, 16},
        {MainIds::Days, K::NumberEdit, "", 201, 99, 28, 14},
        {MainIds::SpeedLow, K::Radio, "低速", 154, 129, 36, 14},
        {MainIds::SpeedLow + 1, K::Radio, "中速", 197, 129, 36, 14},
        {MainIds::SpeedLow + 2, K::Radio, "高速", 236, 129, 36, 14},
        {MainIds::SpeedLow + 3, K::Radio, "全速", 279, 129, 36, 14},
        {MainIds::Start, K::ImageButton, "开始", 2, 0, 39, 24},
        {MainIds::Pause, K::ImageButton, "暂停", 42, 0, 39, 24},
        {MainIds::Stop, K::ImageButton, "停止", 82, 0, 39, 24},
        {MainIds::Exit, K::ImageButton, "退出", 122, 0, 39, 24},
        {MainIds::Save, K::ImageButton, "保存配置", 162, 0, 55, 24},
        {MainIds::Website, K::ImageButton, "官网", 218, 0, 39, 24},
        {0, K::Label, "处理目录", 8, 37, 38, 13},
        {0, K::Label, "文 件 名", 8, 59, 38, 15},
        {MainIds::StatusLine, K::StatusLabel, "", 2, 199, 352, 14},
        {0, K::Label, "不删除最近", 154, 101, 43, 12},
        {0, K::Label, "天内修改过的文件", 232, 101, 68, 12},
        {0, K::Label, "处理速度(速度越快占用CPU越高)", 154, 117, 122, 12},
        {0, K::GroupBox, "选项", 8, 83, 340, 110},
        {0, K::Picture, "", 185, 161, 157, 27},
    };
    return controls;
}

const TemplateControl* FindMainControl(int id) {
    for (const TemplateControl& control : MainControls()) {
        if (control.id == id && id != 0) return &control;
    }
    return nullptr;
}

namespace {

MenuPopup SystemPopup() {
    return {"系统(&S)",
            {{"开始(&B)", MainIds::Start},
             {"暂停(&P)", MainIds::Pause},
             {"停止(&C)", MainIds::Stop},
             {"保存配置(&Z)", MainIds::SaveMenu},
             {"", 0},
             {"退出(&E)", MainIds::Exit}}};
}

MenuPopup PortalPopup() {
    MenuPopup popup{"下载站推荐", {}};
    for (const LinkMenuItem& link : PortalMenu()) popup.items.push_back({link.caption, link.command});
    return popup;
}

MenuPopup HelpPopup() {
    return {"帮助(&H)", {{HomePageMenuCaption(), HomePageLinkCommand}, {"关于 VORN(&A)...", MainIds::About}}};
}

}  // namespace

std::vector<MenuPopup> MainMenu() { return {SystemPopup(), PortalPopup(), HelpPopup()}; }
