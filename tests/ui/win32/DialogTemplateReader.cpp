#include "DialogTemplateReader.h"

#include <cstring>
#include <utility>

#include "platform/WideText_win.h"

namespace {

// Walks the template's words; every field is 16-bit aligned, every control
// begins on a 32-bit boundary.
class Cursor {
public:
    explicit Cursor(const BYTE* start) : start(start), at(start) {}

    template <class T>
    T Take() {
        T value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    std::string Text() {
        std::wstring text;
        for (wchar_t c = Take<wchar_t>(); c != L'\0'; c = Take<wchar_t>()) text.push_back(c);
        return platform::Narrow(text);
    }
    NameOrNumber Name() {
        const auto first = reinterpret_cast<const wchar_t*>(at);
        if (*first == 0xFFFF) {
            at += sizeof(wchar_t);
            return {Take<std::uint16_t>(), ""};
        }
        return {0, Text()};
    }
    void AlignTo4() { at = start + ((at - start + 3) & ~std::ptrdiff_t{3}); }
    void Skip(std::size_t bytes) { at += bytes; }

private:
    const BYTE* start;
    const BYTE* at;
};

TemplateItem ReadItem(Cursor& cursor) {
    cursor.AlignTo4();
    TemplateItem item{};
    cursor.Take<DWORD>();  // help id
    item.exStyle = cursor.Take<DWORD>();
    item.style = cursor.Take<DWORD>();
    item.x = cursor.Take<short>();
    item.y = cursor.Take<short>();
    item.width = cursor.Take<short>();
    item.height = cursor.Take<short>();
    item.id = cursor.Take<int>();
    item.windowClass = cursor.Name();
    item.caption = cursor.Name();
    cursor.Skip(cursor.Take<WORD>());  // creation data
    return item;
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(int id) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!found) return std::nullopt;
    Cursor cursor(static_cast<const BYTE*>(LockResource(LoadResource(module, found))));
    if (cursor.Take<WORD>() != 1 || cursor.Take<WORD>() != 0xFFFF) return std::nullopt;
    DialogTemplate dialog{};
    cursor.Take<DWORD>();  // help id
    dialog.exStyle = cursor.Take<DWORD>();
    dialog.style = cursor.Take<DWORD>();
    const WORD count = cursor.Take<WORD>();
    cursor.Take<short>();  // x
    cursor.Take<short>();  // y
    dialog.width = cursor.Take<short>();
    dialog.height = cursor.Take<short>();
    dialog.menu = cursor.Name();
    cursor.Name();  // window class
    dialog.title = cursor.Text();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = cursor.Take<WORD>();
        cursor.Take<WORD>();  // weight
        cursor.Take<BYTE>();  // italic
        dialog.charset = cursor.Take<BYTE>();
        dialog.font = cursor.Text();
    }
    for (WORD i = 0; i < count; ++i) dialog.items.push_back(ReadItem(cursor));
    return dialog;
}

// Class names are not case-sensitive.
std::string ClassName(const NameOrNumber& windowClass) {
    static const std::pair<std::uint16_t, const char*> predefined[] = {
        {0x80, "Button"}, {0x81, "Edit"}, {0x82, "Static"}};
    for (const auto& [atom, name] : predefined) {
        if (windowClass.number == atom || _stricmp(windowClass.text.c_str(), name) == 0) return name;
    }
    return windowClass.text.empty() ? "#" + std::to_string(windowClass.number) : windowClass.text;
}
