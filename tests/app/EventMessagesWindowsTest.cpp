// The message table that Event Viewer reads from vorn.exe once the source is
// registered: every event a run writes has its words there, in English and
// in Chinese, around the run's own text.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "app/RunEvents.h"

namespace {

constexpr LANGID English = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID Chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// The message `id` in `language` with "RUN TEXT" for its insertion, as Event
// Viewer formats it; empty when there is none.
std::wstring Message(HMODULE module, DWORD id, LANGID language) {
    // With FORMAT_MESSAGE_ARGUMENT_ARRAY the "va_list" is an array of
    // arguments, here of one.
    DWORD_PTR insertions[] = {reinterpret_cast<DWORD_PTR>(L"RUN TEXT")};
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    if (!FormatMessageW(flags, module, id, language, reinterpret_cast<wchar_t*>(&text), 0,
                        reinterpret_cast<va_list*>(insertions)))
        return {};
    std::wstring message(text);
    LocalFree(text);
    return message;
}

TEST(EventMessages, EveryRunEventHasItsWordsInBothLanguages) {
    const std::wstring exe = std::filesystem::path(VORN_EXECUTABLE).wstring();
    const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (DWORD id = FirstRunEventId; id <= LastRunEventId; ++id) {
        const std::wstring english = Message(module, id, English);
        const std::wstring chinese = Message(module, id, Chinese);
        EXPECT_NE(english.find(L"RUN TEXT"), std::wstring::npos) << id;
        EXPECT_NE(chinese.find(L"RUN TEXT"), std::wstring::npos) << id;
        EXPECT_NE(english, chinese) << id;
        EXPECT_NE(chinese.find_first_of(L"清运未"), std::wstring::npos) << id;
    }
    EXPECT_TRUE(Message(module, LastRunEventId + 1, English).empty());
    FreeLibrary(module);
}

}  // namespace
