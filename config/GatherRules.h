#pragma once
// The rules by which the window's field values become settings: the directory
// is trimmed and must be an absolute path, an empty pattern means "*.*", the
// four "do not delete" boxes are stored inverted. Texts the file could not
// keep whole (too long, or with a character its encoding lacks) and a
// negative day count are refused.

#include <string>

class SweepSettings;

struct WindowFields {
    std::string directory;
    std::string pattern;
    bool regexCheck = false;
    bool subdirCheck = false;
    bool spareSystemCheck = false;
    bool spareReadonlyCheck = false;
    bool spareHiddenCheck = false;
    bool keepStructureCheck = false;
    int days = 0;
    int speed = -1;  // index of the checked speed button, -1 when none
};

inline constexpr const char* BadDirectoryText = "请输入或选择正确的处理目录";
inline constexpr const char* UncarriableDirectoryText = "处理目录含有系统代码页(ANSI)无法表示的字符";
inline constexpr const char* LongPatternText = "文件名不能超过200字节";
inline constexpr const char* UncarriablePatternText = "文件名含有系统代码页(ANSI)无法表示的字符";
inline constexpr const char* PatternLineBreakText = "文件名不能包含换行符或空字符";
inline constexpr const char* NegativeDaysText = "天数不能小于0";
inline constexpr const char* SaveFailedText = "保存配置文件失败";

// True when the trimmed text is a directory the sweep may be given: an
// absolute path (platform::IsAbsoluteDirectory); nothing is checked on disk.
bool IsAcceptableDirectory(const std::string& trimmedDirectory);

// On success fills `settings` from `fields` and returns an empty text; otherwise
// returns the text for the user and leaves `settings` unchanged.
std::string ApplyGatherRules(const WindowFields& fields, SweepSettings& settings);

// The reverse, for filling the window from the settings.
WindowFields FieldsFromSettings(const SweepSettings& settings);
