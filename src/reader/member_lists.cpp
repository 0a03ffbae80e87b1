#include "reader/member_lists.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

#include "reader/echoed_input.h"

namespace tierwise {

namespace {

constexpr std::string_view kRangeWord = "*TO";
// The echo of a continuation line puts its first number right after the line number.
constexpr int32_t kLastContinuationColumn = 10;
// What a message calls a BETA list the file ended in.
constexpr const char* kBetaListName = "\"BETA 90 MEMB\" list";
constexpr std::string_view kPrismatic = "PRIS";
// Repeated at the top of every page, also inside the echoed input.
constexpr std::string_view kPageHeading = "PAGE NO.";

// Names the entry of a list, a member or a range, that takes it past kMaxListedMembers.
[[noreturn]] void rejectListLimit(const ReadCursor& cursor, std::string_view listName, const std::string& entry) {
    cursor.rejectAtLine("with " + entry + ", the members listed under " + std::string(listName) +
                        " come to more than " + std::to_string(kMaxListedMembers) + ", longer than any model has");
}

std::string rangeName(int64_t from, int64_t to) {
    return "the range " + std::to_string(from) + " TO " + std::to_string(to);
}

void addBeta(const ReadCursor& cursor, Model& model, int32_t member) {
    if (model.rotatedMemberCount() >= kMaxListedMembers) {
        rejectListLimit(cursor, "\"BETA 90 MEMB\"", "member " + std::to_string(member));
    }
    model.rotatedMembers.push_back(member);
}

// Appends the members one above the last stored, at least one, up to `last`.
void addBetaRange(const ReadCursor& cursor, Model& model, int32_t last) {
    const int64_t from = model.rotatedMembers.back();
    const int64_t count = std::max<int64_t>(1, int64_t{last} - from);
    if (model.rotatedMemberCount() + count > kMaxListedMembers || from + count > std::numeric_limits<int32_t>::max()) {
        rejectListLimit(cursor, "\"BETA 90 MEMB\"", rangeName(from, last));
    }
    for (int64_t k = 1; k <= count; ++k) model.rotatedMembers.push_back(static_cast<int32_t>(from + k));
}

}  // namespace

void readBetaList(ReadCursor& cursor, Model& model) {
    cursor.replaceAll(kBetaKeyword, "");
    for (;;) {
        while (numericValue(cursor.line()) == 0) {
            if (cursor.atEnd()) return cursor.noteEndInside(model, kBetaListName);
            cursor.nextLine();
        }
        int32_t pos = skipLineNumber(cursor.line());
        if (pos > kLastContinuationColumn) return;  // a command, not a continuation
        const int32_t lineLen = cursor.lineLength();
        if (pos == lineLen && !numberStartsAt(cursor.line(), pos)) return;
        cursor.starBlanks();
        const std::string_view line = cursor.line();
        int32_t toPos = positionOf(line, kRangeWord);
        for (;;) {
            if (toPos > 0) toPos = positionOf(line, kRangeWord, toPos);
            findNumStart(line, pos);
            if (!numberStartsAt(line, pos)) break;
            addBeta(cursor, model, cursor.wholeNumber(numericValue(substring(line, pos)), "member number"));
            findNumEnd(line, pos);
            if (toPos == pos) {  // "a TO b": a blank and TO right after the number
                findNumStart(line, pos);
                const int32_t last = cursor.wholeNumber(numericValue(substring(line, pos)), "member number");
                addBetaRange(cursor, model, last);
                findNumEnd(line, pos);
                toPos = pos;
            }
            if (pos >= lineLen) break;
        }
        if (cursor.atEnd()) return cursor.noteEndInside(model, kBetaListName);
        cursor.nextLine();
    }
}

bool MemberPropertyReader::read(ReadCursor& cursor, LengthUnit unit) {
    statement_.clear();
    bool atCommand = false;
    while (!cursor.atEnd()) {
        cursor.nextLine();
        const std::string_view line = cursor.line();
        if (isBlankLine(line) || line.find(kPageHeading) != std::string_view::npos) continue;
        const std::optional<std::string_view> text = echoedText(line);
        // An assignment starts with a member number, or names its members otherwise and is
        // prismatic; any other line is the next command.
        const bool continues = !statement_.empty();
        atCommand = !text || classifyLine(line) != LineKind::None ||
                    !(continues || (!text->empty() && isNumberChar(text->front())) ||
                      text->find(kPrismatic) != std::string_view::npos);
        if (atCommand) break;
        if (continues) {
            if (statement_.size() + text->size() >= LineSource::kMaxLineLength) {
                cursor.rejectAtLine(
                    "a member property assignment goes on over more continuation lines than a "
                    "line of the report may be long; is this an analysis output file?");
            }
            statement_.append(" ").append(*text);
        } else {
            statement_.assign(line);
        }
        const size_t last = statement_.find_last_not_of(" \t");
        if (statement_[last] == '-' && (last == 0 || statement_[last - 1] == ' ' || statement_[last - 1] == '\t')) {
            statement_.resize(last);  // the continuation mark: the assignment goes on in the next line
            continue;
        }
        readStatement(cursor, unit);
        statement_.clear();
    }
    if (!statement_.empty()) readStatement(cursor, unit);
    return atCommand;
}

// One echoed line and its continuations: assignments "members PRIS YD d [ZD w]", separated by ";".
void MemberPropertyReader::readStatement(const ReadCursor& cursor, LengthUnit unit) {
    dataTokens(statement_, tokens_);
    const double toMillimetres = millimetresPer(unit);
    for (size_t t = 0; t < tokens_.size();) {
        // The members: numbers and "a TO b" ranges, as many as kept (from, to) pairs.
        std::vector<std::pair<int32_t, int32_t>> ranges;
        bool numbered = true;  // only numbers and ranges name the members
        for (; t < tokens_.size() && tokens_[t].text != ";" && tokens_[t].text != kPrismatic; ++t) {
            const DataToken& token = tokens_[t];
            if (token.isNumber) {
                const int32_t member = cursor.wholeNumber(numericValue(token.text), "member number");
                ranges.emplace_back(member, member);
            } else if (token.text == "TO" && !ranges.empty() && t + 1 < tokens_.size() && tokens_[t + 1].isNumber) {
                ranges.back().second = cursor.wholeNumber(numericValue(tokens_[++t].text), "member number");
            } else {
                numbered = false;
            }
        }
        const bool prismatic = t < tokens_.size() && tokens_[t].text == kPrismatic;
        double yd = 0;
        double zd = 0;
        for (; t < tokens_.size() && tokens_[t].text != ";"; ++t) {
            if (t + 1 < tokens_.size() && tokens_[t + 1].isNumber) {
                if (tokens_[t].text == "YD") yd = numericValue(tokens_[t + 1].text);
                if (tokens_[t].text == "ZD") zd = numericValue(tokens_[t + 1].text);
            }
        }
        if (t < tokens_.size()) ++t;  // the ";"
        if (!numbered || !prismatic || yd <= 0) continue;
        const MemberSection section{0, toSingle(yd * toMillimetres), toSingle(zd * toMillimetres)};
        for (const auto& [from, to] : ranges) {
            const int64_t low = std::min(from, to);
            const int64_t count = int64_t{std::max(from, to)} - low + 1;
            if (static_cast<int64_t>(sections_.size()) + count > kMaxListedMembers) {
                rejectListLimit(cursor, "\"MEMBER PROPERTY\"",
                                from == to ? "member " + std::to_string(from) : rangeName(from, to));
            }
            for (int64_t k = 0; k < count; ++k) {
                sections_.push_back(section);
                sections_.back().member = static_cast<int32_t>(low + k);
            }
        }
    }
}

void MemberPropertyReader::finish(Model& model) {
    const auto byMember = [](const MemberSection& a, const MemberSection& b) { return a.member < b.member; };
    if (!std::is_sorted(sections_.begin(), sections_.end(), byMember)) {
        std::stable_sort(sections_.begin(), sections_.end(), byMember);
    }
    std::vector<MemberSection>& table = model.sectionTab;
    table.clear();
    for (size_t i = 0; i < sections_.size(); ++i) {
        const bool lastOfMember = i + 1 == sections_.size() || sections_[i + 1].member != sections_[i].member;
        if (lastOfMember) table.push_back(sections_[i]);
    }
    table.shrink_to_fit();
    sections_.clear();
}

}  // namespace tierwise
