#include "config/GatherRules.h"

#include <string_view>

#include "config/SweepSettings.h"
#include "ExtLib/IniFile.h"
#include "platform/ConfigText.h"
#include "platform/Path.h"

namespace {

std::string TrimWhitespace(const std::string& text) {
    static constexpr const char* whitespace = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(whitespace);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(whitespace) - first + 1);
}

// A line end or a zero byte inside a value would end it early in the file.
bool FitsOnOneLine(const std::string& text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

enum class Fit { Fits, Uncarriable, TooLong };

// The file keeps values of at most MaxValueBytes of its own encoding; a longer
// text would come back cut (for a directory, possibly its parent), and one
// the encoding cannot carry would come back as another text.
Fit FitInTheFile(const std::string& text) {
    std::string stored;
    if (!platform::ToConfigText(text, stored)) return Fit::Uncarriable;
    return stored.size() <= IniFile::MaxValueBytes ? Fit::Fits : Fit::TooLong;
}

// Whatever is saved must also be what a scheduled sweep accepts.
std::string Refusal(const std::string& directory, const std::string& pattern, int days) {
    const Fit directoryFit = FitInTheFile(directory);
    if (directory.empty() || directoryFit == Fit::TooLong || !FitsOnOneLine(directory) ||
        !IsAcceptableDirectory(directory)) {
        return BadDirectoryText;
    }
    if (directoryFit == Fit::Uncarriable) return UncarriableDirectoryText;
    const Fit patternFit = FitInTheFile(pattern);
    if (patternFit == Fit::TooLong) return LongPatternText;
    if (patternFit == Fit::Uncarriable) return UncarriablePatternText;
    if (!FitsOnOneLine(pattern)) return PatternLineBreakText;
    if (days < 0) return NegativeDaysText;
    return {};
}

}  // namespace

bool IsAcceptableDirectory(const std::string& trimmedDirectory) {
    return platform::IsAbsoluteDirectory(trimmedDirectory);
}

std::string ApplyGatherRules(const WindowFields& fields, SweepSettings& settings) {
    const std::string directory = TrimWhitespace(fields.directory);
    const std::string pattern = fields.pattern.empty() ? "*.*" : fields.pattern;
    if (std::string refusal = Refusal(directory, pattern, fields.days); !refusal.empty()) return refusal;

    settings.filepath = directory;
    settings.filename = pattern;
    settings.regex = fields.regexCheck;
    settings.subdir = fields.subdirCheck;
    settings.system = !fields.spareSystemCheck;
    settings.readonly = !fields.spareReadonlyCheck;
    settings.hidden = !fields.spareHiddenCheck;
    settings.dirtree = !fields.keepStructureCheck;
    settings.expiredays = fields.days;
    settings.speed = fields.speed;
    return {};
}

WindowFields FieldsFromSettings(const SweepSettings& settings) {
    WindowFields fields;
    fields.directory = settings.filepath;
    fields.pattern = settings.filename;
    fields.regexCheck = settings.regex;
    fields.subdirCheck = settings.subdir;
    fields.spareSystemCheck = !settings.system;
    fields.spareReadonlyCheck = !settings.readonly;
    fields.spareHiddenCheck = !settings.hidden;
    fields.keepStructureCheck = !settings.dirtree;
    fields.days = settings.expiredays;
    fields.speed = settings.speed;
    return fields;
}
