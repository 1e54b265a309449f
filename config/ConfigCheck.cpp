#include "config/ConfigCheck.h"

#include <charconv>
#include <iterator>

#include "config/ConfigFile.h"
#include "config/GatherRules.h"
#include "config/SweepSettings.h"
#include "config/WayRefusalText.h"
#include "ExtLib/IniFile.h"
#include "ExtLib/TextFile.h"
#include "platform/ConfigText.h"

namespace {

constexpr const char* TooLargeText = "文件超过64KB";
constexpr const char* UnreadableText = "无法读取";
constexpr const char* MissingFileText = "文件不存在";
constexpr const char* DeniedText = "没有读取权限";
constexpr const char* NotRegularText = "不是普通文件(是目录、管道或设备)";
constexpr const char* UncarriableText = "文件是UTF-8编码，含有系统代码页(ANSI)无法表示的字符";
constexpr const char* UnmarkedUtf8Text =
    "文件是不带BOM的UTF-8编码，按系统代码页读取会读成别的字符: 请另存为ANSI，或带有BOM的UTF-8";
constexpr const char* Utf16Text = "文件是UTF-16编码，必须另存为";
constexpr const char* ByteOrderMarkText = "文件以UTF-8的BOM(字节顺序标记)开头，必须另存为不带BOM的";
constexpr const char* LfLineEndsText = "行尾是LF(Unix格式)，必须是CR LF";
constexpr const char* HashCommentText = "“#”开头的行不是注释，注释必须以“;”开头";
constexpr const char* AfterSectionText = "节名行在“]”之后还有字符(如空格)";
constexpr const char* OpenSectionText = "节名行缺少“]”";
constexpr const char* BlankFirstLineText = "第一行是空行，读取会在这里结束";
static_assert(ConfigFile::MaxBytes == 64 * 1024, "TooLargeText names the limit");
constexpr const char* LongLineText = "这一行太长，读取时会被拆成两行";
constexpr const char* ZeroByteText = "这一行含有零字节，其后的内容不会被读取";
constexpr const char* LoneLfText = "这一行含有单独的LF，行尾必须是CR LF";
constexpr const char* UnendedText = "最后一行没有行尾(CR LF)，文件可能不完整";
constexpr const char* BlankLineText = "空行之后还有内容，空行会结束读取";
constexpr const char* UnsupportedText = "无法识别的行";
constexpr const char* SectionText = "节名必须是[vorn]，且只能出现一次";
constexpr const char* OutsideText = "不在[vorn]节中，不会被读取";
constexpr const char* UnknownKeyText = "不是vorn.ini的配置项";
constexpr const char* RepeatedKeyText = "重复出现，只有第一次会被读取";
constexpr const char* MissingText = "没有设置";
constexpr const char* CutText = "超过200字节，读取时会被截断";
constexpr const char* NotAbsoluteText = "必须是绝对路径";
constexpr const char* FlagText = "只能是true或false";
constexpr const char* DaysText = "必须是0到2147483647之间的十进制整数";
constexpr const char* SpeedText = "必须是十进制整数";
static_assert(IniFile::MaxValueBytes == 200, "CutText names the reader's value limit");

// One line as the reader meets it.
struct Line {
    int number = 0;
    std::string_view text;  // up to its CR
    size_t readCost = 0;    // bytes the reader consumes for it, a LF left over from the line before included
    bool ended = false;     // a CR closes it
};

class LineWalker {
public:
    explicit LineWalker(std::string_view bytes) : bytes(bytes) {}

    bool Next(Line& line) {
        if (pos >= bytes.size()) return false;
        const size_t cr = bytes.find('\r', pos);
        const size_t end = cr == std::string_view::npos ? bytes.size() : cr;
        line = {++number, bytes.substr(pos, end - pos), end - pos + (crLfBefore ? 1 : 0), end < bytes.size()};
        crLfBefore = line.ended && end + 1 < bytes.size() && bytes[end + 1] == '\n';
        pos = end + 1 + (crLfBefore ? 1 : 0);
        return true;
    }
    bool OnlyLineEndsLeft() const { return bytes.find_first_not_of("\r\n", pos) == std::string_view::npos; }

private:
    std::string_view bytes;
    size_t pos = 0;
    int number = 0;
    bool crLfBefore = false;
};

using ValueRule = const char* (*)(std::string_view value);  // what is wrong, or null

// Judged by its characters: in a double-byte code page a character's trail
// byte may be 5C, a backslash (表 is 95 5C in code page 932).
const char* DirectoryProblem(std::string_view value) {
    if (value.size() > IniFile::MaxValueBytes) return CutText;
    return IsAcceptableDirectory(platform::FromConfigText(std::string(value))) ? nullptr : NotAbsoluteText;
}

const char* PatternProblem(std::string_view value) { return value.size() > IniFile::MaxValueBytes ? CutText : nullptr; }

const char* FlagProblem(std::string_view value) { return value == "true" || value == "false" ? nullptr : FlagText; }

// Digits with an optional leading minus and nothing else, within int range.
std::optional<int> DecimalInt(std::string_view value) {
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return number;
}

const char* DaysProblem(std::string_view value) {
    const std::optional<int> days = DecimalInt(value);
    return days && *days >= 0 ? nullptr : DaysText;
}

const char* SpeedProblem(std::string_view value) { return DecimalInt(value) ? nullptr : SpeedText; }

struct KeyRule {
    const char* key;
    ValueRule problem;
    bool required;
};

const KeyRule Rules[] = {
    {"filepath", DirectoryProblem, true}, {"filename", PatternProblem, true},
    {"regex", FlagProblem, false},        {"subdir", FlagProblem, false},
    {"system", FlagProblem, false},       {"readonly", FlagProblem, false},
    {"hidden", FlagProblem, false},       {"dirtree", FlagProblem, false},
    {"expiredays", DaysProblem, false},   {"speed", SpeedProblem, false},
};
constexpr size_t RuleCount = std::size(Rules);

// What editors do to a text file that the reader cannot take: a whole file
// in the wrong form is named as such, not by its first odd line.
std::optional<ConfigProblem> FormProblem(std::string_view bytes) {
    const bool utf16Mark = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    const bool utf16Text = bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0');
    if (utf16Mark || utf16Text) return ConfigProblem{0, "", Utf16Text + std::string(platform::ConfigEncodingName)};
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return ConfigProblem{0, "", ByteOrderMarkText + std::string(platform::ConfigEncodingName)};
    if (bytes.find('\r') == std::string_view::npos && bytes.find('\n') != std::string_view::npos)
        return ConfigProblem{0, "", LfLineEndsText};
    return std::nullopt;
}

// A line the reader refuses, named by what its writer most likely meant.
const char* UnsupportedProblem(std::string_view text) {
    if (text.starts_with('#')) return HashCommentText;
    if (text.starts_with('[')) return text.find(']') == std::string_view::npos ? OpenSectionText : AfterSectionText;
    return UnsupportedText;
}

class Checker {
public:
    std::optional<ConfigProblem> Check(std::string_view bytes) {
        if (auto problem = FormProblem(bytes)) return problem;
        LineWalker walker(bytes);
        for (Line line; walker.Next(line);) {
            // The reader stops at the first blank line; only line ends may follow it.
            if (line.text.empty() && line.ended) {
                if (walker.OnlyLineEndsLeft()) break;
                return ConfigProblem{line.number, "", line.number == 1 ? BlankFirstLineText : BlankLineText};
            }
            if (auto problem = CheckLine(line)) return problem;
        }
        return MissingKey();
    }

private:
    static const char* ShapeProblem(const Line& line) {
        if (line.readCost >= TextFile::MaxLineBytes) return LongLineText;
        if (line.text.find('\0') != std::string_view::npos) return ZeroByteText;
        if (line.text.find('\n') != std::string_view::npos) return LoneLfText;
        return line.ended ? nullptr : UnendedText;
    }

    std::optional<ConfigProblem> CheckLine(const Line& line) {
        if (const char* shape = ShapeProblem(line)) return ConfigProblem{line.number, "", shape};
        switch (IniFile::ClassifyLine(std::string(line.text))) {
        case IniFile::LineKind::Section: return CheckSection(line);
        case IniFile::LineKind::Entry: return CheckEntry(line);
        case IniFile::LineKind::Ignored: return std::nullopt;
        case IniFile::LineKind::Unsupported: break;
        }
        return ConfigProblem{line.number, "", UnsupportedProblem(line.text)};
    }

    std::optional<ConfigProblem> CheckSection(const Line& line) {
        if (inSection || line.text.substr(1, line.text.size() - 2) != SweepSettings::Section) {
            return ConfigProblem{line.number, "", SectionText};
        }
        inSection = true;
        return std::nullopt;
    }

    std::optional<ConfigProblem> CheckEntry(const Line& line) {
        const size_t equals = line.text.find('=');
        const std::string key(line.text.substr(0, equals));
        if (!inSection) return ConfigProblem{line.number, key, OutsideText};
        const size_t rule = RuleOf(key);
        if (rule == RuleCount) return ConfigProblem{line.number, key, UnknownKeyText};
        if (seen[rule]) return ConfigProblem{line.number, key, RepeatedKeyText};
        seen[rule] = true;
        if (const char* what = Rules[rule].problem(line.text.substr(equals + 1))) {
            return ConfigProblem{line.number, key, what};
        }
        return std::nullopt;
    }

    static size_t RuleOf(const std::string& key) {
        size_t rule = 0;
        while (rule < RuleCount && key != Rules[rule].key) ++rule;
        return rule;
    }

    std::optional<ConfigProblem> MissingKey() const {
        for (size_t rule = 0; rule < RuleCount; ++rule) {
            if (Rules[rule].required && !seen[rule]) return ConfigProblem{0, Rules[rule].key, MissingText};
        }
        return std::nullopt;
    }

    bool inSection = false;
    bool seen[RuleCount] = {};
};

}  // namespace

std::string ConfigProblem::Detail() const {
    std::string text = path + ":";
    if (line > 0) text += " 第" + std::to_string(line) + "行";
    if (!key.empty()) text += " “" + key + "”";
    return text + " " + what;
}

std::string ConfigProblem::Message() const { return "vorn.ini配置文件错误! " + Detail(); }

std::optional<ConfigProblem> FindConfigProblem(std::string_view bytes) { return Checker().Check(bytes); }

std::optional<ConfigProblem> CheckConfig(const ConfigFile& file) {
    std::optional<ConfigProblem> problem;
    switch (file.problem) {
    case ConfigFile::Problem::None: problem = FindConfigProblem(file.bytes); break;
    case ConfigFile::Problem::Missing: problem = ConfigProblem{0, "", MissingFileText}; break;
    case ConfigFile::Problem::Denied: problem = ConfigProblem{0, "", DeniedText}; break;
    case ConfigFile::Problem::NotRegular: problem = ConfigProblem{0, "", NotRegularText}; break;
    case ConfigFile::Problem::TooLarge: problem = ConfigProblem{0, "", TooLargeText}; break;
    case ConfigFile::Problem::Unreadable: problem = ConfigProblem{0, "", UnreadableText}; break;
    case ConfigFile::Problem::Uncarriable: problem = ConfigProblem{0, "", UncarriableText}; break;
    case ConfigFile::Problem::Foreign: problem = ConfigProblem{0, "", WayRefusalText(file.refusal)}; break;
    case ConfigFile::Problem::UnmarkedUtf8: problem = ConfigProblem{0, "", UnmarkedUtf8Text}; break;
    }
    if (problem) problem->path = file.path;
    return problem;
}
