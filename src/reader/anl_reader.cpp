#include "reader/anl_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/flat_index.h"
#include "model/numbers.h"
#include "model/rejection.h"
#include "reader/scanning.h"

namespace tierwise {

namespace {

constexpr std::string_view kUnit = "UNIT";
constexpr std::string_view kJointCoordinates = "JOINT COORDINATES";
constexpr std::string_view kMemberIncidences = "MEMBER INCIDENCES";
constexpr std::string_view kRangeWord = "*TO";
constexpr std::string_view kLength = "LENGTH:";
constexpr std::string_view kCrossSection = "CROSS SECTION:";
constexpr std::string_view kDepthMark = "X";
constexpr std::string_view kSteelArea = "REQD. STEEL AREA   :";
// The banner the analysis program prints when its run is over: "END OF THE STAAD.Pro RUN".
// A file without it after the design results was cut off while being written or copied.
constexpr std::string_view kEndOfThe = "END OF THE";
constexpr std::string_view kRunWord = "RUN";
// Repeated at the top of every page, also inside the echoed input.
constexpr std::string_view kPageHeading = "PAGE NO.";
// What a message calls a BETA list the file ended in.
constexpr const char* kBetaListName = "\"BETA 90 MEMB\" list";

// The echo of a continuation line puts its first number right after the line number.
constexpr int32_t kLastContinuationColumn = 10;
// Width of the field that holds the number after a keyword of a design block.
constexpr int32_t kFieldWidth = 10;
// Guards against a mistyped range expanding into millions of entries: member numbers run to
// six digits, so a list of every member ("1 TO 999999") is the most a model can mean.
constexpr int64_t kMaxBetaEntries = 1'000'000;

constexpr float kMetreFactor = 100.0f;
constexpr float kMillimetreFactor = 0.1f;  // the single nearest to 0.1: 25 mm gives 3 cm

// Single precision, with values beyond its range going to infinity rather than anywhere.
float toSingle(double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// How the echoed records of a data block are laid out, for reading and for messages.
struct DataLayout {
    const char* name;      // "joint coordinates"
    int32_t fields;        // numbers per record
    const char* expected;  // what a record holds, for a message
};

// A word of an echoed data line after its line number: a number, ";" (the end of a record),
// the continuation mark "-", or anything else, which no data line holds.
struct DataToken {
    std::string_view text;
    bool isNumber = false;
};

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

// A plain decimal as the echo prints coordinates and numbers: "12", "-3.5", ".5", "7.".
bool isPlainNumber(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    size_t digits = 0;
    while (i < text.size() && isDigitChar(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigitChar(text[i])) ++i, ++digits;
    }
    return digits > 0 && i == text.size();
}

// The words of an echoed line after its line number (the first word), blanks, tabs and commas
// separating them, ";" a word of its own.
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

// The words of a line after its line number, split at blanks and tabs.
std::vector<std::string_view> wordsAfterLineNumber(std::string_view line) {
    std::vector<DataToken> tokens;
    dataTokens(line, tokens);
    std::vector<std::string_view> words;
    words.reserve(tokens.size());
    for (const DataToken& token : tokens) words.push_back(token.text);
    return words;
}

// An echoed command line whose command is UNIT: "     6. UNIT METER KN".
bool isUnitCommand(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    const size_t digitsFrom = i;
    while (i < line.size() && isDigitChar(line[i])) ++i;
    if (i == digitsFrom || i >= line.size() || line[i] != '.') return false;
    ++i;
    const size_t blanksFrom = i;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == blanksFrom) return false;
    const std::string_view rest = line.substr(i);
    return rest.substr(0, kUnit.size()) == kUnit && (rest.size() == kUnit.size() || isBlank(rest[kUnit.size()]));
}

// A word from a damaged line, fit for a one-line message.
std::string printable(std::string_view word) {
    constexpr size_t kMaxShown = 24;
    std::string text;
    for (const char c : word.substr(0, kMaxShown)) text += (c >= ' ' && c <= '~') ? c : '?';
    if (word.size() > kMaxShown) text += "...";
    return text;
}

class AnlReader {
public:
    AnlReader(LineSource& lines, const std::string& fileName) : lines_(lines), fileName_(fileName) {}

    Model read() {
        readUnit();
        readJoints();
        readMembers();
        readBetaLists();
        readColumnBlocks();
        noteCutOff();
        exchangeRotatedSections();
        orientMembers();
        std::string failedCols;  // member numbers, each after a blank
        for (const DesignBlock& col : model_.designBlocks) {
            if (col.steelArea == 0.0f) failedCols.append(" ").append(formatSingle(col.memberNo));
        }
        if (!failedCols.empty()) throw Rejection(" Failed Columns " + failedCols);
        return std::move(model_);
    }

private:
    // ---- the stream -------------------------------------------------------------------------

    bool atEnd() { return lines_.atEnd(); }

    void nextLine() {
        try {
            lineBuf_ = lines_.readLine();
        } catch (const LineSource::LineTooLong& tooLong) {
            rejectTooLong(tooLong);
        }
    }

    // The next line holding any of `keys`, or the last line; the lines between are passed over
    // a block at a time: most of a large file is analysis results that hold no keyword.
    void nextLineContaining(std::initializer_list<std::string_view> keys) {
        try {
            lineBuf_ = lines_.readLineContaining({keys.begin(), keys.size()});
        } catch (const LineSource::LineTooLong& tooLong) {
            rejectTooLong(tooLong);
        }
    }

    // nextLineContaining for the part of the file after the echoed input: the lines passed over
    // are also watched for the run's end banner, which keys of its own would otherwise skip.
    void nextResultLineContaining(std::initializer_list<std::string_view> keys) {
        std::string_view watched[4];
        size_t count = 0;
        for (const std::string_view key : keys) watched[count++] = key;
        watched[count++] = kEndOfThe;
        for (;;) {
            try {
                lineBuf_ = lines_.readLineContaining({watched, count});
            } catch (const LineSource::LineTooLong& tooLong) {
                rejectTooLong(tooLong);
            }
            const bool holdsKey = std::any_of(keys.begin(), keys.end(), [&](std::string_view key) {
                return lineBuf_.find(key) != std::string_view::npos;
            });
            if (lineBuf_.find(kEndOfThe) != std::string_view::npos &&
                lineBuf_.find(kRunWord) != std::string_view::npos) {
                runEndLine_ = lines_.lineNumber();
            }
            if (holdsKey || atEnd()) return;
        }
    }

    [[noreturn]] void rejectTooLong(const LineSource::LineTooLong& tooLong) const {
        throw Rejection(fileName_ + ", line " + std::to_string(tooLong.lineNumber) +
                        ": the line is longer than a printed analysis report has; is this an analysis output file?");
    }

    [[noreturn]] void reject(const std::string& what) const { throw Rejection(fileName_ + ": " + what); }
    [[noreturn]] void rejectAtLine(const std::string& what) const {
        throw Rejection(fileName_ + ", line " + std::to_string(lines_.lineNumber()) + ": " + what);
    }

    // lineBuf as a copy of its own, so that it can be rewritten.
    std::string& ownLine() {
        if (lineBuf_.data() != scratch_.data()) {
            scratch_.assign(lineBuf_);
            lineBuf_ = scratch_;
        }
        return scratch_;
    }
    void replaceAll(std::string_view from, std::string_view to) {
        std::string& line = ownLine();
        for (size_t at = line.find(from); at != std::string::npos; at = line.find(from, at + to.size())) {
            line.replace(at, from.size(), to);
        }
        lineBuf_ = scratch_;
    }
    // Blanks become "*", so that the numeric value of a field stops at the field's end.
    void starBlanks() {
        std::string& line = ownLine();
        std::replace(line.begin(), line.end(), ' ', '*');
    }

    int32_t lineLength() const { return static_cast<int32_t>(lineBuf_.size()); }

    // hitPos of `keyword` in the next line holding it; 0 when no line is left that does.
    void searchFor(std::string_view keyword) {
        hitPos_ = 0;
        if (atEnd()) return;
        nextLineContaining({keyword});
        hitPos_ = positionOf(lineBuf_, keyword);
    }

    int32_t wholeNumber(double value, const char* what) const {
        const auto rounded = roundToInt32(value);
        if (!rounded) rejectAtLine(std::string("a ") + what + " does not fit a 32-bit whole number");
        return *rounded;
    }

    // ---- unit of length ---------------------------------------------------------------------

    //      6. UNIT METER KN
    // The first UNIT command counts: a line whose first word after the echoed line number is
    // UNIT. "UNIT" elsewhere (a title such as "COMMUNITY CENTRE" or "UNIT 4 WAREHOUSE", a page
    // heading) is not one. The length unit may stand before or after the force unit.
    void readUnit() {
        for (;;) {
            searchFor(kUnit);
            if (hitPos_ == 0)
                reject(
                    "no \"UNIT\" line was found, so the unit of length is unknown; is this an analysis output file?");
            if (isUnitCommand(lineBuf_)) break;
        }
        for (const std::string_view word : wordsAfterLineNumber(lineBuf_)) {
            // "METE" as the first four letters, as METER and METERS both are.
            if (word.substr(0, 4) == "METE") {
                unitFactor_ = kMetreFactor;
                model_.unit = LengthUnit::Metre;
                return;
            }
            if (word == "MMS") {
                unitFactor_ = kMillimetreFactor;
                model_.unit = LengthUnit::Millimetre;
                return;
            }
        }
        throw Rejection("Change the units to Meter Or mm ");
    }

    // ---- joints and members -----------------------------------------------------------------

    // Reads echoed data lines whose numbers fill records of `layout.fields` numbers, until a
    // line with a line number but no number after it (or the file's end). Records follow one
    // another over line ends (a record may go on in the next line, with or without the
    // continuation mark "-"); a ";" may only stand between whole records. A word that is not a
    // number, or a ";" inside a record, is refused with its line: read on, it would shift every
    // later field and give a plausible but wrong model.
    template <class Store>
    void readDataBlock(const DataLayout& layout, Store store) {
        int32_t entry = -1;
        int32_t field = 0;       // numbers read into the record in hand
        int64_t recordLine = 0;  // the line it started in
        for (;;) {
            if (atEnd()) return noteEndInside(layout.name);
            nextLine();
            if (lineBuf_.find('\0') != std::string_view::npos) {
                rejectAtLine(std::string("the line holds NUL bytes inside the ") + layout.name +
                             "; the file looks damaged");
            }
            // Blank lines, page headings and anything not starting with a number.
            if (numericValue(lineBuf_) == 0 || lineBuf_.find(kPageHeading) != std::string_view::npos) continue;
            std::vector<DataToken>& tokens = tokens_;
            dataTokens(lineBuf_, tokens);
            const bool anyNumber =
                std::any_of(tokens.begin(), tokens.end(), [](const DataToken& t) { return t.isNumber; });
            if (!anyNumber) {  // the next command
                if (field != 0) rejectShortRecord(layout, field, recordLine);
                return;
            }
            for (size_t t = 0; t < tokens.size(); ++t) {
                const DataToken& token = tokens[t];
                if (token.text == ";") {
                    if (field != 0) rejectShortRecord(layout, field, recordLine);
                    continue;
                }
                if (token.text == "-" && t + 1 == tokens.size()) break;  // the continuation mark
                if (!token.isNumber) {
                    // Appended, not added: GCC 12 warns wrongly (-Wrestrict) on the sum when optimising.
                    std::string message = "\"";
                    message.append(printable(token.text)).append("\" is not a number; ").append(layout.expected);
                    rejectAtLine(message);
                }
                if (field == 0) {
                    ++entry;
                    recordLine = lines_.lineNumber();
                }
                store(entry, field, numericValue(token.text));
                field = (field + 1) % layout.fields;
            }
        }
    }

    [[noreturn]] void rejectShortRecord(const DataLayout& layout, int32_t numbers, int64_t line) const {
        throw Rejection(fileName_ + ", line " + std::to_string(line) + ": a record ends after " +
                        std::to_string(numbers) + (numbers == 1 ? " number" : " numbers") + "; " + layout.expected);
    }

    //      7. JOINT COORDINATES
    //      8. 1 0 0 0; 2 6 0 0; 3 12 0 0
    void readJoints() {
        searchFor(kJointCoordinates);
        if (hitPos_ == 0) reject("no \"JOINT COORDINATES\" was found after the UNIT line");
        auto& joints = model_.joints;
        joints.assign(1, JointEntry{});
        static const DataLayout layout{
            "joint coordinates", 4, "each joint is a record of 4 numbers (joint, X, Y, Z), records separated by \";\""};
        readDataBlock(layout, [&](int32_t entry, int32_t field, double value) {
            if (entry >= static_cast<int32_t>(joints.size())) joints.emplace_back();
            JointEntry& joint = joints[static_cast<size_t>(entry)];
            if (field == 0) {
                joint.number = wholeNumber(value, "joint number");
                return;
            }
            const int32_t cm = wholeNumber(value * static_cast<double>(unitFactor_), "joint coordinate in centimetres");
            (field == 1 ? joint.x : field == 2 ? joint.y : joint.z) = cm;
        });
    }

    //     23. MEMBER INCIDENCES
    //     24. 1 1 101; 2 2 102; 3 3 103; 4 4 104
    void readMembers() {
        // The line that ended the joint block may hold it already.
        hitPos_ = positionOf(lineBuf_, kMemberIncidences);
        if (hitPos_ == 0) searchFor(kMemberIncidences);
        if (hitPos_ == 0) reject("no \"MEMBER INCIDENCES\" was found after the joint coordinates");
        auto& members = model_.members;
        members.assign(1, MemberEntry{});
        static const DataLayout layout{
            "member incidences", 3,
            "each member is a record of 3 numbers (member, start joint, end joint), records separated by \";\""};
        readDataBlock(layout, [&](int32_t entry, int32_t field, double value) {
            if (entry >= static_cast<int32_t>(members.size())) members.emplace_back();
            MemberEntry& member = members[static_cast<size_t>(entry)];
            const int32_t number = wholeNumber(value, field == 0 ? "member number" : "joint number");
            (field == 0 ? member.number : field == 1 ? member.start : member.end) = number;
        });
    }

    // ---- members rotated by 90 degrees ------------------------------------------------------

    //     50. BETA 90 MEMB 4 TO 6 13 TO 15 -
    //     51. 22 TO 24 30 31 32
    void readBetaLists() {
        for (;;) {
            // The line that ended the previous block or list is not examined.
            hitPos_ = 0;
            if (!atEnd()) {
                nextResultLineContaining({kBetaKeyword, kColumnHeader});
                if (classifyLine(lineBuf_, 2) == LineKind::Beta) hitPos_ = positionOf(lineBuf_, kBetaKeyword);
            }
            if (hitPos_ <= 0) return;  // the column design blocks start with this line
            replaceAll(kBetaKeyword, "");
            readBetaList();
        }
    }

    void readBetaList() {
        for (;;) {
            while (numericValue(lineBuf_) == 0) {
                if (atEnd()) return noteEndInside(kBetaListName);
                nextLine();
            }
            int32_t pos = skipLineNumber(lineBuf_);
            if (pos > kLastContinuationColumn) return;  // a command, not a continuation
            const int32_t lineLen = lineLength();
            if (pos == lineLen && !numberStartsAt(lineBuf_, pos)) return;
            starBlanks();
            int32_t toPos = positionOf(lineBuf_, kRangeWord);
            for (;;) {
                if (toPos > 0) toPos = positionOf(lineBuf_, kRangeWord, toPos);
                findNumStart(lineBuf_, pos);
                if (!numberStartsAt(lineBuf_, pos)) break;
                addBeta(wholeNumber(numericValue(substring(lineBuf_, pos)), "member number"));
                findNumEnd(lineBuf_, pos);
                if (toPos == pos) {  // "a TO b": a blank and TO right after the number
                    findNumStart(lineBuf_, pos);
                    const int32_t last = wholeNumber(numericValue(substring(lineBuf_, pos)), "member number");
                    addBetaRange(last);
                    findNumEnd(lineBuf_, pos);
                    toPos = pos;
                }
                if (pos >= lineLen) break;
            }
            if (atEnd()) return noteEndInside(kBetaListName);
            nextLine();
        }
    }

    // The block or list reading stopped at the file's end; readers of the model decide on it.
    void noteEndInside(const char* blockName) {
        model_.endsInside = blockName;
        model_.endLine = lines_.lineNumber();
    }

    void addBeta(int32_t member) {
        if (model_.rotatedMemberCount() >= kMaxBetaEntries) rejectBetaLimit("member " + std::to_string(member));
        model_.rotatedMembers.push_back(member);
    }

    // Names the entry of the list, a member or a range, that takes it past the limit.
    [[noreturn]] void rejectBetaLimit(const std::string& entry) const {
        rejectAtLine("with " + entry + ", the members listed under \"BETA 90 MEMB\" come to more than " +
                     std::to_string(kMaxBetaEntries) + ", longer than any model has");
    }

    // Appends the members one above the last stored, at least one, up to `last`.
    void addBetaRange(int32_t last) {
        const int64_t from = model_.rotatedMembers.back();
        const int64_t count = std::max<int64_t>(1, int64_t{last} - from);
        if (model_.rotatedMemberCount() + count > kMaxBetaEntries ||
            from + count > std::numeric_limits<int32_t>::max()) {
            rejectBetaLimit("the range " + std::to_string(from) + " TO " + std::to_string(last));
        }
        for (int64_t k = 1; k <= count; ++k) model_.rotatedMembers.push_back(static_cast<int32_t>(from + k));
    }

    // ---- column design blocks ---------------------------------------------------------------

    // The number in the 10 characters after `keyword`: in lineBuf, or (searchForward) in the
    // next line holding it, a new column header ending that search with 0.
    float valueAfter(std::string_view keyword, bool searchForward) {
        hitPos_ = 0;
        if (searchForward) {
            if (!atEnd()) {
                nextResultLineContaining({kColumnHeader, keyword});
                if (positionOf(lineBuf_, kColumnHeader) != 0) return 0.0f;
                hitPos_ = positionOf(lineBuf_, keyword);
            }
        } else {
            hitPos_ = positionOf(lineBuf_, keyword);
        }
        return toSingle(numericValue(fieldAfter(static_cast<int32_t>(keyword.size()) + hitPos_)));
    }

    // The 10 characters from `start` on. The report prints areas 11 characters wide
    // ("    1080.37"), so a number cut by the end of the 10 is read on to its last digit.
    std::string_view fieldAfter(int32_t start) const {
        std::string_view field = substring(lineBuf_, start, kFieldWidth);
        if (field.empty() || !isNumberChar(field.back())) return field;
        size_t end = static_cast<size_t>(start - 1) + field.size();
        while (end < lineBuf_.size() &&
               (std::isdigit(static_cast<unsigned char>(lineBuf_[end])) || lineBuf_[end] == '.'))
            ++end;
        return lineBuf_.substr(static_cast<size_t>(start - 1), end - static_cast<size_t>(start - 1));
    }

    //                  C O L U M N   N O.     105  D E S I G N   R E S U L T S
    //      LENGTH:  3200.0 mm   CROSS SECTION:  300.0 mm X  450.0 mm  COVER: 40.0 mm
    //      REQD. STEEL AREA   :    1080.00 Sq.mm.
    void readColumnBlocks() {
        for (;;) {
            hitPos_ = positionOf(lineBuf_, kColumnHeader);
            if (hitPos_ == 0) {
                if (atEnd()) break;
                nextResultLineContaining({kColumnHeader});
                continue;
            }
            // A header starts one block only: at the file's end it may still be in hand.
            if (lines_.lineNumber() == lastHeaderLine_) break;
            lastHeaderLine_ = lines_.lineNumber();

            DesignBlock col;
            col.memberNo = valueAfter(kColumnHeader, false);
            col.length = valueAfter(kLength, true);
            col.width = valueAfter(kCrossSection, false);
            col.depth = valueAfter(kDepthMark, false);
            col.steelArea = valueAfter(kSteelArea, true);
            lastBlockHasSteelArea_ = hitPos_ > 0;
            model_.designBlocks.push_back(col);
        }
    }

    // A file whose design results are not followed by the end of the run was cut off: its last
    // blocks, and maybe more, are missing. The file's end is noted for whoever decides on it,
    // and a last block the file ends in before its steel area is no failed column: it is left
    // out and named instead.
    void noteCutOff() {
        if (!model_.endsInside.empty() || runEndLine_ > lastHeaderLine_) return;
        model_.cutOffLine = lines_.lineNumber();
        if (!model_.designBlocks.empty() && !lastBlockHasSteelArea_) {
            model_.cutOffColumn = model_.designBlocks.back().memberNo;
            model_.designBlocks.pop_back();
        }
    }

    // Width and depth change places once for every time the member is listed under "BETA 90 MEMB".
    void exchangeRotatedSections() {
        if (model_.rotatedMembers.empty()) return;
        // Counted for the designed columns only: the BETA list may be far longer. A member
        // designed twice is counted at its first block, and both blocks follow that count.
        const std::vector<DesignBlock>& cols = model_.designBlocks;
        const auto wholeNumber = [](float memberNo) -> std::optional<int32_t> {
            const double member = memberNo;
            if (member != std::floor(member) || member < INT32_MIN || member > INT32_MAX) return std::nullopt;
            return static_cast<int32_t>(member);
        };
        FlatIndex byMember(cols.size());
        const auto sameMember = [&cols](int32_t member) {
            return [&cols, member](uint32_t held) { return static_cast<double>(cols[held - 1].memberNo) == member; };
        };
        std::vector<uint32_t> firstBlock(cols.size(), 0);  // of each block's member, 1-based; 0: none
        for (size_t i = 0; i < cols.size(); ++i) {
            if (const std::optional<int32_t> member = wholeNumber(cols[i].memberNo)) {
                firstBlock[i] = byMember.insertFirst(static_cast<uint32_t>(*member), static_cast<uint32_t>(i + 1),
                                                     sameMember(*member));
            }
        }
        std::vector<bool> listedOddTimes(cols.size() + 1, false);  // by first block; [0] stays false
        for (const int32_t member : model_.rotatedMembers) {
            const uint32_t row = byMember.find(static_cast<uint32_t>(member), sameMember(member));
            if (row != 0) listedOddTimes[row] = !listedOddTimes[row];
        }
        for (size_t i = 0; i < cols.size(); ++i) {
            if (listedOddTimes[firstBlock[i]]) std::swap(model_.designBlocks[i].width, model_.designBlocks[i].depth);
        }
    }

    // Every member is turned to run towards larger X, Y and Z, so a column runs bottom up.
    // A joint number missing from the joint table compares as a joint at the origin; a number
    // listed twice is taken at its first entry.
    void orientMembers() {
        const std::vector<JointEntry>& joints = model_.joints;
        FlatIndex byNumber(joints.size());
        for (size_t j = 0; j < joints.size(); ++j) {
            const int32_t number = joints[j].number;
            byNumber.insertFirst(static_cast<uint32_t>(number), static_cast<uint32_t>(j + 1),
                                 [&](uint32_t row) { return joints[row - 1].number == number; });
        }
        const JointEntry missing{};
        auto jointOf = [&](int32_t number) -> const JointEntry& {
            const uint32_t row = byNumber.find(static_cast<uint32_t>(number),
                                               [&](uint32_t held) { return joints[held - 1].number == number; });
            return row == 0 ? missing : joints[row - 1];
        };
        for (MemberEntry& member : model_.members) {
            const JointEntry& s = jointOf(member.start);
            const JointEntry& e = jointOf(member.end);
            if (s.x > e.x || s.y > e.y || s.z > e.z) std::swap(member.start, member.end);
        }
    }

    LineSource& lines_;
    const std::string& fileName_;
    std::string_view lineBuf_;
    std::string scratch_;
    std::vector<DataToken> tokens_;  // of the data line in hand
    int32_t hitPos_ = 0;
    float unitFactor_ = 0;
    int64_t lastHeaderLine_ = 0;  // the line of the last column header, 0 before the first
    int64_t runEndLine_ = 0;      // the line of the last end banner passed, 0 before the first
    bool lastBlockHasSteelArea_ = false;
    Model model_;
};

}  // namespace

Model readAnl(LineSource& lines, const std::string& fileName) { return AnlReader(lines, fileName).read(); }

std::string cutOffMessage(const Model& model, const std::string& fileName) {
    if (model.cutOffLine == 0) return {};
    std::string where = "line " + std::to_string(model.cutOffLine);
    if (model.cutOffColumn) where += ", inside the design block of column " + formatSingle(*model.cutOffColumn) + ",";
    return fileName + " ends at " + where +
           " without the end of the analysis run; it looks cut off, so its schedule would be incomplete.";
}

}  // namespace tierwise
