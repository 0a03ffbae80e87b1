#include "reader/echoed_input.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "model/rejection.h"
#include "model/utf8.h"
#include "reader/scanning.h"

namespace tierwise {

namespace {

constexpr std::string_view kJob = "STAAD";  // the first command: STAAD SPACE, then the job title
constexpr std::string_view kUnit = "UNIT";
constexpr std::string_view kJointCoordinates = "JOINT COORDINATES";
constexpr std::string_view kMemberIncidences = "MEMBER INCIDENCES";
// Repeated at the top of every page, also inside the echoed input.
constexpr std::string_view kPageHeading = "PAGE NO.";

// Coordinates are stored in centimetres, converted in single precision.
float centimetresPer(LengthUnit unit) {
    // For millimetres the single nearest to 0.1: 25 mm gives 3 cm.
    return unit == LengthUnit::Metre ? 100.0f : 0.1f;
}

// How the echoed records of a data block are laid out, for reading and for messages.
struct DataLayout {
    const char* name;      // "joint coordinates"
    int32_t fields;        // numbers per record
    const char* expected;  // what a record holds, for a message
};

[[noreturn]] void rejectShortRecord(const ReadCursor& cursor, const DataLayout& layout, int32_t numbers, int64_t line) {
    cursor.rejectAtLine(line, "a record ends after " + std::to_string(numbers) +
                                  (numbers == 1 ? " number" : " numbers") + "; " + layout.expected);
}

// Reads echoed data lines whose numbers fill records of `layout.fields` numbers, until a
// line with a line number but no number after it (or the file's end). Records follow one
// another over line ends (a record may go on in the next line, with or without the
// continuation mark "-"); a ";" may only stand between whole records. A word that is not a
// number, or a ";" inside a record, is refused with its line: read on, it would shift every
// later field and give a plausible but wrong model.
template <class Store>
void readDataBlock(ReadCursor& cursor, Model& model, const DataLayout& layout, Store store) {
    std::vector<DataToken> tokens;  // of the data line in hand
    int32_t entry = -1;
    int32_t field = 0;       // numbers read into the record in hand
    int64_t recordLine = 0;  // the line it started in
    for (;;) {
        if (cursor.atEnd()) return cursor.noteEndInside(model, layout.name);
        cursor.nextLine();
        const std::string_view line = cursor.line();
        if (line.find('\0') != std::string_view::npos) {
            cursor.rejectAtLine(std::string("the line holds NUL bytes inside the ") + layout.name +
                                "; the file looks damaged");
        }
        // Blank lines, page headings and anything not starting with a number.
        if (numericValue(line) == 0 || line.find(kPageHeading) != std::string_view::npos) continue;
        dataTokens(line, tokens);
        const bool anyNumber = std::any_of(tokens.begin(), tokens.end(), [](const DataToken& t) { return t.isNumber; });
        if (!anyNumber) {  // the next command
            if (field != 0) rejectShortRecord(cursor, layout, field, recordLine);
            return;
        }
        for (size_t t = 0; t < tokens.size(); ++t) {
            const DataToken& token = tokens[t];
            if (token.text == ";") {
                if (field != 0) rejectShortRecord(cursor, layout, field, recordLine);
                continue;
            }
            if (token.text == "-" && t + 1 == tokens.size()) break;  // the continuation mark
            if (!token.isNumber) {
                // Appended, not added: GCC 12 warns wrongly (-Wrestrict) on the sum when optimising.
                std::string message = "\"";
                message.append(printable(token.text)).append("\" is not a number; ").append(layout.expected);
                cursor.rejectAtLine(message);
            }
            if (field == 0) {
                ++entry;
                recordLine = cursor.lineNumber();
            }
            store(entry, field, numericValue(token.text));
            field = (field + 1) % layout.fields;
        }
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

// The title as UTF-8 with control characters as blanks and no blanks at either end.
std::string titleText(std::string_view raw) {
    const bool utf8 = isUtf8(raw);
    std::string text;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            text += ' ';
        } else if (byte < 0x80 || utf8) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

double millimetresPer(LengthUnit unit) { return unit == LengthUnit::Metre ? 1000.0 : 1.0; }

void readTitle(ReadCursor& cursor, Model& model) {
    while (!cursor.atEnd()) {
        cursor.nextLine();
        const std::string_view line = cursor.line();
        if (line.find(kUnit) != std::string_view::npos && !isEchoedCommand(line, kJob)) return;
        const std::optional<std::string_view> command = echoedText(line);
        if (!command) continue;
        if (isEchoedCommand(line, kJob)) {
            // STAAD, the kind of structure (SPACE, PLANE, FLOOR, TRUSS), then the title.
            const std::vector<std::string_view> words = wordsAfterLineNumber(line);
            if (words.size() > 2) model.title = titleText(command->substr(words[2].data() - command->data()));
        }
        return;
    }
}

// "UNIT" elsewhere (a title such as "COMMUNITY CENTRE" or "UNIT 4 WAREHOUSE", a page heading) is
// not a UNIT command. The length unit may stand before or after the force unit.
void readUnit(ReadCursor& cursor, Model& model) {
    // From the line in hand, where readTitle stopped.
    while (!isEchoedCommand(cursor.line(), kUnit)) {
        if (cursor.searchFor(kUnit) == 0) {
            cursor.reject(
                "no \"UNIT\" line was found, so the unit of length is unknown; is this an analysis output file?");
        }
    }
    for (const std::string_view word : wordsAfterLineNumber(cursor.line())) {
        // "METE" as the first four letters, as METER and METERS both are.
        if (word.substr(0, 4) == "METE") {
            model.unit = LengthUnit::Metre;
            return;
        }
        if (word == "MMS") {
            model.unit = LengthUnit::Millimetre;
            return;
        }
    }
    throw Rejection("Change the units to Meter Or mm ");
}

void readJoints(ReadCursor& cursor, Model& model) {
    if (cursor.searchFor(kJointCoordinates) == 0)
        cursor.reject("no \"JOINT COORDINATES\" was found after the UNIT line");
    auto& joints = model.joints;
    joints.assign(1, JointEntry{});
    const float unitFactor = centimetresPer(model.unit);
    static const DataLayout layout{"joint coordinates", 4,
                                   "each joint is a record of 4 numbers (joint, X, Y, Z), records separated by \";\""};
    readDataBlock(cursor, model, layout, [&](int32_t entry, int32_t field, double value) {
        if (entry >= static_cast<int32_t>(joints.size())) joints.emplace_back();
        JointEntry& joint = joints[static_cast<size_t>(entry)];
        if (field == 0) {
            joint.number = cursor.wholeNumber(value, "joint number");
            return;
        }
        const int32_t cm =
            cursor.wholeNumber(value * static_cast<double>(unitFactor), "joint coordinate in centimetres");
        (field == 1 ? joint.x : field == 2 ? joint.y : joint.z) = cm;
    });
}

void readMembers(ReadCursor& cursor, Model& model) {
    // The line that ended the joint block may hold it already.
    if (positionOf(cursor.line(), kMemberIncidences) == 0 && cursor.searchFor(kMemberIncidences) == 0) {
        cursor.reject("no \"MEMBER INCIDENCES\" was found after the joint coordinates");
    }
    auto& members = model.members;
    members.assign(1, MemberEntry{});
    static const DataLayout layout{
        "member incidences", 3,
        "each member is a record of 3 numbers (member, start joint, end joint), records separated by \";\""};
    readDataBlock(cursor, model, layout, [&](int32_t entry, int32_t field, double value) {
        if (entry >= static_cast<int32_t>(members.size())) members.emplace_back();
        MemberEntry& member = members[static_cast<size_t>(entry)];
        const int32_t number = cursor.wholeNumber(value, field == 0 ? "member number" : "joint number");
        (field == 0 ? member.number : field == 1 ? member.start : member.end) = number;
    });
}

}  // namespace tierwise
