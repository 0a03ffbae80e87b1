#include "reader/scanning.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

namespace tierwise {

int32_t positionOf(std::string_view line, std::string_view key, int32_t from) {
    if (from < 1) from = 1;
    const size_t start = static_cast<size_t>(from - 1);
    if (start > line.size()) return 0;
    const size_t found = line.find(key, start);
    return found == std::string_view::npos ? 0 : static_cast<int32_t>(found + 1);
}

std::string_view substring(std::string_view line, int32_t start, int32_t length) {
    if (start < 1 || static_cast<size_t>(start) > line.size() || length <= 0) return {};
    return line.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length));
}

namespace {

constexpr bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Gathers the characters of the leading number, blanks inside it dropped, then converts them
// with correct rounding. Numbers in a printed report are short; a long one takes the slow path.
class NumberText {
public:
    void push(char c) {
        if (size_ < sizeof small_) {
            small_[size_++] = c;
        } else {
            if (large_.empty()) large_.assign(small_, size_);
            large_.push_back(c);
            ++size_;
        }
    }
    [[nodiscard]] size_t size() const { return size_; }
    void truncate(size_t size) {
        size_ = size;
        if (!large_.empty()) large_.resize(size);
    }
    [[nodiscard]] double value() const {
        const char* first = large_.empty() ? small_ : large_.data();
        double result = 0;
        const auto [end, error] = std::from_chars(first, first + size_, result);
        if (error == std::errc::result_out_of_range) {
            // Too many digits for a double: the sign and the exponent say which way it went.
            const bool negative = first[0] == '-';
            std::string_view text(first, size_);
            const size_t e = text.find('e');
            const bool tiny = e != std::string_view::npos && e + 1 < size_ && text[e + 1] == '-';
            const double magnitude = tiny ? 0.0 : HUGE_VAL;
            return negative ? -magnitude : magnitude;
        }
        (void)end;
        return result;
    }

private:
    char small_[128];
    size_t size_ = 0;
    std::string large_;
};

// The common case, a plain decimal of at most 15 or so digits without exponent, exactly: the
// digits as a whole number and the power of ten are both exact doubles, so one correctly
// rounded division gives the same double as a full conversion. Empty for anything else.
std::optional<double> plainDecimal(std::string_view text) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr uint64_t kExact = uint64_t{1} << 53;
    size_t i = 0;
    const size_t n = text.size();
    auto skip = [&] {
        while (i < n && isSkipped(text[i])) ++i;
    };
    skip();
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    uint64_t digits = 0;
    size_t decimals = 0;
    bool anyDigit = false;
    auto take = [&](char c) {
        if (digits >= kExact / 10) return false;
        digits = digits * 10 + static_cast<uint64_t>(c - '0');
        anyDigit = true;
        return true;
    };
    for (skip(); i < n && isDigit(text[i]); skip()) {
        if (!take(text[i++])) return std::nullopt;
    }
    if (i < n && text[i] == '.') {
        ++i;
        for (skip(); i < n && isDigit(text[i]); skip()) {
            if (!take(text[i++]) || ++decimals >= std::size(kPow10)) return std::nullopt;
        }
    }
    if (!anyDigit) return 0.0;
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) return std::nullopt;
    const double magnitude = static_cast<double>(digits) / kPow10[decimals];
    return negative ? -magnitude : magnitude;
}

}  // namespace

double numericValue(std::string_view text) {
    if (const auto plain = plainDecimal(text)) return *plain;
    size_t i = 0;
    const size_t n = text.size();
    auto skip = [&] {
        while (i < n && isSkipped(text[i])) ++i;
    };
    NumberText number;
    skip();
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') number.push('-');
        ++i;
    }
    bool anyDigit = false;
    for (skip(); i < n && isDigit(text[i]); skip()) {
        number.push(text[i++]);
        anyDigit = true;
    }
    if (i < n && text[i] == '.') {
        number.push('.');
        ++i;
        for (skip(); i < n && isDigit(text[i]); skip()) {
            number.push(text[i++]);
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0.0;
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        // An exponent counts only when digits follow it: "1E" reads as 1.
        const size_t mark = number.size();
        number.push('e');
        ++i;
        skip();
        if (i < n && (text[i] == '-' || text[i] == '+')) {
            if (text[i] == '-') number.push('-');
            ++i;
        }
        bool exponentDigit = false;
        for (skip(); i < n && isDigit(text[i]); skip()) {
            number.push(text[i++]);
            exponentDigit = true;
        }
        if (!exponentDigit) number.truncate(mark);
    }
    return number.value();
}

float toSingle(double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

int32_t findNumStart(std::string_view line, int32_t& pos) {
    const auto len = static_cast<int32_t>(line.size());
    while (pos < len && !isNumberChar(line[pos - 1])) ++pos;
    return pos;
}

int32_t findNumEnd(std::string_view line, int32_t& pos) {
    const auto len = static_cast<int32_t>(line.size());
    while (pos < len && isNumberChar(line[pos - 1])) ++pos;
    return pos;
}

int32_t skipLineNumber(std::string_view line) {
    if (line.empty()) return 0;
    int32_t pos = 1;
    findNumStart(line, pos);
    findNumEnd(line, pos);
    findNumStart(line, pos);
    return pos;
}

namespace {

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isPlainNumber(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    return digits > 0 && i == text.size();
}

}  // namespace

void dataTokens(std::string_view line, std::vector<DataToken>& tokens) {
    tokens.clear();
    auto separates = [](char c) { return isBlank(c) || c == ','; };
    size_t i = 0;
    while (i < line.size() && separates(line[i])) ++i;
    while (i < line.size() && !separates(line[i]) && line[i] != ';') ++i;  // the line number
    while (i < line.size()) {
        if (separates(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == ';') {
            tokens.push_back({line.substr(i, 1), false});
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < line.size() && !separates(line[i]) && line[i] != ';') ++i;
        const std::string_view word = line.substr(start, i - start);
        tokens.push_back({word, isPlainNumber(word)});
    }
}

std::optional<std::string_view> echoedText(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    const size_t digitsFrom = i;
    while (i < line.size() && isDigit(line[i])) ++i;
    if (i == digitsFrom || i >= line.size() || line[i] != '.') return std::nullopt;
    ++i;
    const size_t blanksFrom = i;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == blanksFrom) return std::nullopt;
    return line.substr(i);
}

bool isEchoedCommand(std::string_view line, std::string_view command) {
    const std::optional<std::string_view> text = echoedText(line);
    return text && text->substr(0, command.size()) == command &&
           (text->size() == command.size() || isBlank((*text)[command.size()]));
}

std::string printable(std::string_view word) {
    constexpr size_t kMaxShown = 24;
    std::string text;
    for (const char c : word.substr(0, kMaxShown)) text += (c >= ' ' && c <= '~') ? c : '?';
    if (word.size() > kMaxShown) text += "...";
    return text;
}

LineKind classifyLine(std::string_view line) {
    static constexpr struct {
        std::string_view keyword;
        LineKind kind;
    } kKeywords[] = {
        {kBetaKeyword, LineKind::Beta},
        {kColumnHeader, LineKind::ColumnHeader},
        {kMemberProperty, LineKind::MemberProperty},
    };
    for (const auto& [keyword, kind] : kKeywords) {
        if (line.find(keyword) != std::string_view::npos) return kind;
    }
    return LineKind::None;
}

}  // namespace tierwise
