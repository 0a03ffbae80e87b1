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

class AnlReader {
public:
    AnlReader(LineSource& lines, const std::string& fileName) : lines_(lines), fileName_(fileName) {}

    Model read() {
        readUnit();
        readJoints();
        readMembers();
        readBetaLists();
        const std::string failedCols = readColumnBlocks();
        exchangeRotatedSections();
        orientMembers();
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
        hitPos_ = containsPosition(lineBuf_, keyword);
    }

    int32_t wholeNumber(double value, const char* what) const {
        const auto rounded = roundToInt32(value);
        if (!rounded) rejectAtLine(std::string("a ") + what + " does not fit a 32-bit whole number");
        return *rounded;
    }

    // ---- unit of length ---------------------------------------------------------------------

    //      6. UNIT METER KN
    void readUnit() {
        searchFor(kUnit);
        if (hitPos_ == 0) reject("no \"UNIT\" line was found, so the unit of length is unknown; is this an analysis output file?");
        const std::string_view word = substring(lineBuf_, hitPos_ + 5, 4);
        if (word == "METE") {
            unitFactor_ = kMetreFactor;
            model_.unit = LengthUnit::Metre;
        } else if (word == "MMS ") {
            unitFactor_ = kMillimetreFactor;
            model_.unit = LengthUnit::Millimetre;
        } else {
            throw Rejection("Change the units to Meter Or mm ");
        }
    }

    // ---- joints and members -----------------------------------------------------------------

    // Reads echoed data lines whose numbers fill entries of `fieldsPerEntry` fields, whatever
    // separates them, until a line with a line number but no second number (or the file's end).
    template <class Store>
    void readDataBlock(const char* blockName, int32_t fieldsPerEntry, Store store) {
        int32_t field = 0;
        int32_t entry = 0;
        for (;;) {
            if (atEnd()) return noteEndInside(blockName);
            nextLine();
            // Blank lines, page headings and anything not starting with a number.
            if (numericValue(lineBuf_) == 0) continue;
            int32_t pos = skipLineNumber(lineBuf_);
            const int32_t lineLen = lineLength();
            if (pos == lineLen && !numberStartsAt(lineBuf_, pos)) return;
            starBlanks();
            for (;;) {
                findNumStart(lineBuf_, pos);
                if (!numberStartsAt(lineBuf_, pos)) break;
                if (field > fieldsPerEntry - 1) {
                    field = 0;
                    ++entry;
                }
                store(entry, field, numericValue(substring(lineBuf_, pos)));
                ++field;
                findNumEnd(lineBuf_, pos);
                if (pos >= lineLen) break;
            }
        }
    }

    //      7. JOINT COORDINATES
    //      8. 1 0 0 0; 2 6 0 0; 3 12 0 0
    void readJoints() {
        searchFor(kJointCoordinates);
        if (hitPos_ == 0) reject("no \"JOINT COORDINATES\" was found after the UNIT line");
        auto& joints = model_.jointTab;
        joints.assign(1, JointEntry{});
        readDataBlock("joint coordinates", 4, [&](int32_t entry, int32_t field, double value) {
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
        hitPos_ = containsPosition(lineBuf_, kMemberIncidences);
        if (hitPos_ == 0) searchFor(kMemberIncidences);
        if (hitPos_ == 0) reject("no \"MEMBER INCIDENCES\" was found after the joint coordinates");
        auto& members = model_.memberTab;
        members.assign(1, MemberEntry{});
        readDataBlock("member incidences", 3, [&](int32_t entry, int32_t field, double value) {
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
                nextLineContaining({kBetaKeyword, kColumnHeader});
                if (classifyLine(lineBuf_, 2) == LineKind::Beta) hitPos_ = containsPosition(lineBuf_, kBetaKeyword);
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
            int32_t toPos = containsPosition(lineBuf_, kRangeWord);
            for (;;) {
                if (toPos > 0) toPos = containsPosition(lineBuf_, kRangeWord, toPos);
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
        if (model_.betaCount() >= kMaxBetaEntries) rejectAtLine("more members are listed under \"BETA 90 MEMB\" than any model has");
        model_.betaTab.push_back(member);
    }

    // Appends the members one above the last stored, at least one, up to `last`.
    void addBetaRange(int32_t last) {
        const int64_t from = model_.betaTab.back();
        const int64_t count = std::max<int64_t>(1, int64_t{last} - from);
        if (model_.betaCount() + count > kMaxBetaEntries || from + count > std::numeric_limits<int32_t>::max()) {
            rejectAtLine("the range " + std::to_string(from) + " TO " + std::to_string(last) +
                         " under \"BETA 90 MEMB\" is longer than any model has");
        }
        for (int64_t k = 1; k <= count; ++k) model_.betaTab.push_back(static_cast<int32_t>(from + k));
    }

    // ---- column design blocks ---------------------------------------------------------------

    // The number in the 10 characters after `keyword`: in lineBuf, or (searchForward) in the
    // next line holding it, a new column header ending that search with 0.
    float valueAfter(std::string_view keyword, bool searchForward) {
        hitPos_ = 0;
        if (searchForward) {
            if (!atEnd()) {
                nextLineContaining({kColumnHeader, keyword});
                if (containsPosition(lineBuf_, kColumnHeader) != 0) return 0.0f;
                hitPos_ = containsPosition(lineBuf_, keyword);
            }
        } else {
            hitPos_ = containsPosition(lineBuf_, keyword);
        }
        return toSingle(numericValue(fieldAfter(static_cast<int32_t>(keyword.size()) + hitPos_)));
    }

    // The 10 characters from `start` on. The report prints areas 11 characters wide
    // ("    1080.37"), so a number cut by the end of the 10 is read on to its last digit.
    std::string_view fieldAfter(int32_t start) const {
        std::string_view field = substring(lineBuf_, start, kFieldWidth);
        if (field.empty() || !isNumberChar(field.back())) return field;
        size_t end = static_cast<size_t>(start - 1) + field.size();
        while (end < lineBuf_.size() && (std::isdigit(static_cast<unsigned char>(lineBuf_[end])) || lineBuf_[end] == '.')) ++end;
        return lineBuf_.substr(static_cast<size_t>(start - 1), end - static_cast<size_t>(start - 1));
    }

    //                  C O L U M N   N O.     105  D E S I G N   R E S U L T S
    //      LENGTH:  3200.0 mm   CROSS SECTION:  300.0 mm X  450.0 mm  COVER: 40.0 mm
    //      REQD. STEEL AREA   :    1080.00 Sq.mm.
    // Returns the failed columns' member numbers, each after a blank.
    std::string readColumnBlocks() {
        std::string failedCols;
        int64_t lastHeaderLine = -1;
        for (;;) {
            hitPos_ = containsPosition(lineBuf_, kColumnHeader);
            if (hitPos_ == 0) {
                if (atEnd()) break;
                nextLineContaining({kColumnHeader});
                continue;
            }
            // A header starts one block only: at the file's end it may still be in hand.
            if (lines_.lineNumber() == lastHeaderLine) break;
            lastHeaderLine = lines_.lineNumber();

            ColEntry col;
            col.memberNo = valueAfter(kColumnHeader, false);
            col.length = valueAfter(kLength, true);
            col.width = valueAfter(kCrossSection, false);
            col.depth = valueAfter(kDepthMark, false);
            col.steelArea = valueAfter(kSteelArea, true);
            if (col.steelArea == 0.0f) failedCols += " " + formatSingle(col.memberNo);
            model_.colTab.push_back(col);
        }
        return failedCols;
    }

    // Width and depth change places once for every time the member is listed under "BETA 90 MEMB".
    void exchangeRotatedSections() {
        if (model_.betaTab.empty()) return;
        // Counted for the designed columns only: the BETA list may be far longer.
        std::unordered_map<int32_t, int32_t> timesListed;
        for (const ColEntry& col : model_.colTab) {
            const double member = col.memberNo;
            if (member == std::floor(member) && member >= INT32_MIN && member <= INT32_MAX) {
                timesListed.try_emplace(static_cast<int32_t>(member), 0);
            }
        }
        for (const int32_t member : model_.betaTab) {
            if (const auto found = timesListed.find(member); found != timesListed.end()) ++found->second;
        }
        for (ColEntry& col : model_.colTab) {
            const double member = col.memberNo;
            if (member != std::floor(member) || member < INT32_MIN || member > INT32_MAX) continue;
            const auto found = timesListed.find(static_cast<int32_t>(member));
            if (found != timesListed.end() && found->second % 2 == 1) std::swap(col.width, col.depth);
        }
    }

    // Every member is turned to run towards larger X, Y and Z, so a column runs bottom up.
    // A joint number missing from the joint table compares as a joint at the origin.
    void orientMembers() {
        std::unordered_map<int32_t, size_t> firstEntry;
        firstEntry.reserve(model_.jointTab.size());
        for (size_t j = 0; j < model_.jointTab.size(); ++j) firstEntry.try_emplace(model_.jointTab[j].number, j);
        const JointEntry missing{};
        auto jointOf = [&](int32_t number) -> const JointEntry& {
            const auto found = firstEntry.find(number);
            return found == firstEntry.end() ? missing : model_.jointTab[found->second];
        };
        for (MemberEntry& member : model_.memberTab) {
            const JointEntry& s = jointOf(member.start);
            const JointEntry& e = jointOf(member.end);
            if (s.x > e.x || s.y > e.y || s.z > e.z) std::swap(member.start, member.end);
        }
    }

    LineSource& lines_;
    const std::string& fileName_;
    std::string_view lineBuf_;
    std::string scratch_;
    int32_t hitPos_ = 0;
    float unitFactor_ = 0;
    Model model_;
};

}  // namespace

Model readAnl(LineSource& lines, const std::string& fileName) { return AnlReader(lines, fileName).read(); }

}  // namespace tierwise
