// Picking numbers out of the printed report's lines: the text primitives and the field scanners.
// Positions are 1-based, as the reading procedures count them; 0 means "not found".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tierwise {

// "-", ".", "/" and the digits; bytes of 128 and above never are.
constexpr bool isNumberChar(char c) { return c >= '-' && c <= '9'; }

// 1-based position of the first occurrence of `key` at or after `from`, 0 when absent; case-sensitive.
int32_t positionOf(std::string_view line, std::string_view key, int32_t from = 1);

// Characters from the 1-based `start` on, at most `length` of them; empty past the end.
std::string_view substring(std::string_view line, int32_t start, int32_t length = INT32_MAX);

// The leading number of a text: blanks, tabs and line feeds before and inside it are skipped,
// E or D exponents are read, and a text that does not start with a number gives 0.
double numericValue(std::string_view text);

// Single precision, with values beyond its range going to infinity rather than anywhere.
float toSingle(double value);

// Position of the first number character at or after pos, or the last position when none stands
// before it. Requires a non-empty line and 1 <= pos <= length.
int32_t findNumStart(std::string_view line, int32_t& pos);
// Position of the first character at or after pos that is not a number character, or the last position.
int32_t findNumEnd(std::string_view line, int32_t& pos);

// The scanners return the last position both when a number starts there and when none is left;
// the character itself tells which. At the last position only a digit is a number: the
// continuation mark "-" that ends many echoed lines is not.
inline bool numberStartsAt(std::string_view line, int32_t pos) {
    const auto len = static_cast<int32_t>(line.size());
    if (pos < 1 || pos > len) return false;
    const char c = line[pos - 1];
    return pos == len ? (c >= '0' && c <= '9') : isNumberChar(c);
}

// Start of the second number of an echoed input line ("     9. 1 0 0 0" gives the position of
// the "1"), or the last position when it holds no second number.
int32_t skipLineNumber(std::string_view line);

// True for a line of blanks and tabs only, or an empty one.
inline bool isBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

// A word of an echoed data line after its line number: a number (a plain decimal as the echo
// prints coordinates and numbers: "12", "-3.5", ".5", "7."), ";" (the end of a record), the
// continuation mark "-", or anything else.
struct DataToken {
    std::string_view text;
    bool isNumber = false;
};

// The words of an echoed line after its line number (the first word), blanks, tabs and commas
// separating them, ";" a word of its own; into `tokens`, which is cleared first.
void dataTokens(std::string_view line, std::vector<DataToken>& tokens);

// The text of an echoed input line after its line number, point and blanks ("UNIT METER KN" of
// "     6. UNIT METER KN"); empty for a line that is no echoed input line.
std::optional<std::string_view> echoedText(std::string_view line);

// True for an echoed command line whose command is `command`: "     6. UNIT METER KN" for "UNIT".
bool isEchoedCommand(std::string_view line, std::string_view command);

// A word from a damaged line, fit for a one-line message.
std::string printable(std::string_view word);

// The echoed commands and printed headings that start a block the reader reads.
enum class LineKind { None, Beta, ColumnHeader, MemberProperty };
inline constexpr std::string_view kBetaKeyword = "BETA 90 MEMB";
inline constexpr std::string_view kColumnHeader = "C O L U M N   N O.";
inline constexpr std::string_view kMemberProperty = "MEMBER PROPERTY";

// The kind of the first of these keywords the line holds, in this order: a BETA list, a column
// header, the member properties.
LineKind classifyLine(std::string_view line);

}  // namespace tierwise
