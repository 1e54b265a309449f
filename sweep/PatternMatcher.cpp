#include "sweep/PatternMatcher.h"

#include <algorithm>
#include <cstring>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "sweep/NameExpression.h"

namespace {

pcre2_code* CompileCode(const std::string& expression, uint32_t options) {
    int error;
    PCRE2_SIZE errorOffset;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.c_str()), PCRE2_ZERO_TERMINATED,
                                     options, &error, &errorOffset, nullptr);
    // Without JIT support the interpreter gives the same results, only slower.
    if (code) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    return code;
}

bool AllSingleBytes(const char* subject, size_t length) {
    return std::all_of(subject, subject + length, [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

}  // namespace

// The expression twice: as it is, for names of single-byte characters only,
// where every position begins a character; and with a callout before every
// item, which asks for a boundary, for the others.
struct PatternMatcher::Compiled {
    explicit Compiled(std::vector<char> inside) : inside(std::move(inside)) {}
    ~Compiled() {
        pcre2_code_free(plain);
        pcre2_code_free(bounded);
    }

    std::vector<char> inside;
    pcre2_code* plain = nullptr;
    pcre2_code* bounded = nullptr;
};

// One thread's matching: its match data, and the name's character starts
// that its callouts consult.
struct PatternMatcher::Matching {
    Matching(const Compiled& compiled, uint32_t pairs)
        : compiled(compiled),
          data(pcre2_match_data_create(pairs, nullptr)),
          context(pcre2_match_context_create(nullptr)) {
        pcre2_set_callout(context, Callout, this);
    }
    ~Matching() {
        pcre2_match_data_free(data);
        pcre2_match_context_free(context);
    }
    Matching(const Matching&) = delete;
    Matching& operator=(const Matching&) = delete;

    int Run(const char* subject, size_t length) {
        const bool plain = AllSingleBytes(subject, length);
        if (plain) starts.clear();
        else CharacterStarts({subject, length}, starts);
        return pcre2_match(plain ? compiled.plain : compiled.bounded, reinterpret_cast<PCRE2_SPTR>(subject), length,
                           0, 0, data, context);
    }

    // A positive answer fails the match at this point, as a mismatch would.
    static int Callout(pcre2_callout_block* block, void* self) {
        const Matching& matching = *static_cast<const Matching*>(self);
        const bool begins = matching.starts.empty() || matching.starts[block->current_position];
        switch (block->callout_number) {
        case NameExpression::InsideCallout: return begins ? 1 : 0;
        case NameExpression::AutomaticCallout:
            if (matching.compiled.inside[block->pattern_position]) return 0;
            [[fallthrough]];
        case NameExpression::BoundaryCallout: return begins ? 0 : 1;
        }
        return 0;
    }

    const Compiled& compiled;
    pcre2_match_data* data;
    pcre2_match_context* context;
    std::vector<char> starts;  // empty: every position begins a character
};

std::string BuildExpression(const std::string& pattern, bool regex) {
    if (regex) return pattern;
    // One pass gives what three successive replacements would: no
    // replacement text contains a sign that a later one replaces.
    std::string expression = "^";
    for (const char c : pattern) {
        switch (c) {
            case '.':
                expression += "\\.";
                break;
            case '?':
                expression += "\\C";
                break;
            case '*':
                expression += "\\C*";
                break;
            default:
                expression += c;
        }
    }
    return expression + "$";
}

PatternMatcher::PatternMatcher() = default;

PatternMatcher::~PatternMatcher() = default;

bool PatternMatcher::Compile(const std::string& expression, bool wildcard) {
    matching.reset();
    compiled.reset();
    NameExpression names = ExpressionForNames(expression, !wildcard);
    refusal = names.refusal;
    if (!refusal.empty()) return false;
    // The library may have been built with UTF support; names are matched as
    // bytes whatever the expression asks for.
    const uint32_t options =
        PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | (wildcard ? PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY : 0);
    auto code = std::make_unique<Compiled>(std::move(names.inside));
    code->plain = CompileCode(names.text, options);
    code->bounded = CompileCode(names.text, options | PCRE2_AUTO_CALLOUT);
    if (!code->plain || !code->bounded) return false;
    compiled = std::move(code);
    matching = std::make_unique<Matching>(*compiled, MatchRecord::Pairs);
    return true;
}

bool PatternMatcher::Match(const char* subject, int limit) {
    records.clear();
    if (!compiled) return false;
    const char* position = subject;
    size_t remaining = std::strlen(subject);
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matching->data);
    for (bool more = true; more;) {
        MatchRecord& record = records.emplace_back();
        record.start = position;
        record.result = matching->Run(position, remaining);
        if (record.result < 0) {
            records.pop_back();
            break;
        }
        std::memcpy(record.offsets.data(), ovector, sizeof record.offsets);
        if (limit <= 0 && limit != Unlimited) break;
        const size_t end = record.offsets[1];
        position += end;
        remaining -= end;
        if (limit > 0) --limit;
        // An empty match would leave the position where it is for ever.
        more = record.result > 0 && remaining > 0 && limit != 0 && end > 0;
    }
    return !records.empty();
}

NameMatch::NameMatch(const PatternMatcher& matcher)
    : compiled(matcher.compiled.get()),
      matching(compiled ? std::make_unique<PatternMatcher::Matching>(*compiled, 1) : nullptr) {}

NameMatch::~NameMatch() = default;

NameMatchResult NameMatch::operator()(const char* name) const {
    if (!matching) return NameMatchResult::NoMatch;
    const int result = matching->Run(name, std::strlen(name));
    if (result >= 0) return NameMatchResult::Match;
    return result == PCRE2_ERROR_NOMATCH ? NameMatchResult::NoMatch : NameMatchResult::Failed;
}
