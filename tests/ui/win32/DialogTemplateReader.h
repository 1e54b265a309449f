#pragma once
// Reads an extended dialog template back out of the executable's resources,
// as the dialog manager will: the header, the font and every control in
// template order.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A class, caption or menu given either as a number or as a text.
struct NameOrNumber {
    std::uint16_t number = 0;  // 0 when given as a text
    std::string text;          // UTF-8
};

struct TemplateItem {
    DWORD style;
    DWORD exStyle;
    short x, y, width, height;
    int id;  // -1 for the controls no code refers to
    NameOrNumber windowClass;
    NameOrNumber caption;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short width, height;
    NameOrNumber menu;
    std::string title;
    int pointSize;
    int charset;
    std::string font;
    std::vector<TemplateItem> items;
};

// Nothing when the executable holds no dialog `id`, or not an extended one.
std::optional<DialogTemplate> ReadDialogTemplate(int id);

// The predefined control classes by name ("Button", "Edit", "Static"), be
// they given by name or by atom.
std::string ClassName(const NameOrNumber& windowClass);
