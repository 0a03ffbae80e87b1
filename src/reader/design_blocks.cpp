#include "reader/design_blocks.h"

#include <array>
#include <charconv>
#include <cctype>
#include <limits>
#include <string_view>

#include "reader/scanning.h"

namespace tierwise {

namespace {

constexpr std::string_view kLength = "LENGTH:";
constexpr std::string_view kCrossSection = "CROSS SECTION:";
constexpr std::string_view kDepthMark = "X";
constexpr std::string_view kDiameterMark = "dia.";
constexpr std::string_view kCover = "COVER:";
constexpr std::string_view kSteelArea = "REQD. STEEL AREA   :";
// The grade line: concrete first ("M25"), then each steel before its mark ("Fe415 (Main)").
constexpr std::string_view kMainSteelMark = "(Main)";
constexpr std::string_view kTieSteelMark = "(Sec.)";
constexpr std::string_view kConcretePrefix = "M";
constexpr std::string_view kSteelPrefix = "Fe";
// Width of the field that holds the number after a keyword of a design block.
constexpr int32_t kFieldWidth = 10;

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The whole number that `text` starts with, if it is a grade (1 to 32767); 0 for anything else.
int16_t gradeAt(std::string_view text) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front()))) return 0;
    int16_t grade = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), grade);
    (void)end;
    return error == std::errc{} ? grade : int16_t{0};
}

// The grade of the word that `prefix` starts: "M25" gives 25 for "M".
int16_t gradeOf(std::string_view word, std::string_view prefix) {
    return word.substr(0, prefix.size()) == prefix ? gradeAt(word.substr(prefix.size())) : int16_t{0};
}

// The word before `at`: "Fe415" before the mark in "Fe415 (Main)".
std::string_view wordBefore(std::string_view line, size_t at) {
    size_t end = at;
    while (end > 0 && isBlank(line[end - 1])) --end;
    size_t start = end;
    while (start > 0 && !isBlank(line[start - 1])) --start;
    return line.substr(start, end - start);
}

//      M25                          Fe415 (Main)            Fe415 (Sec.)
// The concrete's grade is the first word, each steel's the word before its mark. A line without
// either mark is no grade line.
void readGrades(std::string_view line, DesignBlock& col) {
    const size_t mainAt = line.find(kMainSteelMark);
    const size_t tieAt = line.find(kTieSteelMark, mainAt == std::string_view::npos ? 0 : mainAt);
    if (mainAt == std::string_view::npos && tieAt == std::string_view::npos) return;
    const size_t first = line.find_first_not_of(" \t");
    size_t end = first;
    while (end < line.size() && !isBlank(line[end])) ++end;
    col.concreteGrade = gradeOf(line.substr(first, end - first), kConcretePrefix);
    if (mainAt != std::string_view::npos) col.mainSteelGrade = gradeOf(wordBefore(line, mainAt), kSteelPrefix);
    if (tieAt != std::string_view::npos) col.tieSteelGrade = gradeOf(wordBefore(line, tieAt), kSteelPrefix);
}

// The 10 characters from `start` on. The report prints areas 11 characters wide
// ("    1080.37"), so a number cut by the end of the 10 is read on to its last digit.
std::string_view fieldAfter(std::string_view line, int32_t start) {
    std::string_view field = substring(line, start, kFieldWidth);
    if (field.empty() || !isNumberChar(field.back())) return field;
    size_t end = static_cast<size_t>(start - 1) + field.size();
    while (end < line.size() && (std::isdigit(static_cast<unsigned char>(line[end])) || line[end] == '.')) ++end;
    return line.substr(static_cast<size_t>(start - 1), end - static_cast<size_t>(start - 1));
}

float numberAfter(std::string_view line, int32_t keywordAt, std::string_view keyword) {
    return toSingle(numericValue(fieldAfter(line, static_cast<int32_t>(keyword.size()) + keywordAt)));
}

}  // namespace

// The number in the 10 characters after `keyword`: in the line in hand, or (searchForward) in
// the next line holding it, a new column header ending that search with 0.
float DesignBlockReader::valueAfter(ReadCursor& cursor, std::string_view keyword, bool searchForward) {
    hitPos_ = 0;
    if (searchForward) {
        if (!cursor.atEnd()) {
            cursor.nextResultLineContaining(std::array{kColumnHeader, keyword});
            if (positionOf(cursor.line(), kColumnHeader) != 0) return 0.0f;
            hitPos_ = positionOf(cursor.line(), keyword);
        }
    } else {
        hitPos_ = positionOf(cursor.line(), keyword);
    }
    return numberAfter(cursor.line(), hitPos_, keyword);
}

// valueAfter(kLength, true), reading the grade line on the way: the first line after the header
// that is not blank. The lines up to it are read one by one; they hold no keyword to search for.
float DesignBlockReader::lengthAfterGrades(ReadCursor& cursor, DesignBlock& col) {
    while (!cursor.atEnd()) {
        cursor.nextResultLine();
        const std::string_view line = cursor.line();
        if (isBlankLine(line)) continue;
        if (positionOf(line, kColumnHeader) == 0 && positionOf(line, kLength) == 0) {
            readGrades(line, col);
            return valueAfter(cursor, kLength, true);
        }
        // The line the search for the length would have stopped at.
        if (positionOf(line, kColumnHeader) != 0) {
            hitPos_ = 0;
            return 0.0f;
        }
        return valueAfter(cursor, kLength, false);
    }
    hitPos_ = 0;  // the file ends after the header, or in blank lines
    return numberAfter(cursor.line(), hitPos_, kLength);
}

//      LENGTH:  3200.0 mm   CROSS SECTION:  300.0 mm X  450.0 mm  COVER: 40.0 mm
//      LENGTH:  3200.0 mm   CROSS SECTION:  450.0 mm dia.   COVER: 40.0 mm
void DesignBlockReader::readSection(ReadCursor& cursor, DesignBlock& col) {
    col.width = valueAfter(cursor, kCrossSection, false);
    const int32_t sectionAt = hitPos_;
    col.depth = valueAfter(cursor, kDepthMark, false);
    if (sectionAt == 0) return;
    const std::string_view line = cursor.line();
    const int32_t coverAt = positionOf(line, kCover, sectionAt);
    const int32_t diameterAt = positionOf(line, kDiameterMark, sectionAt);
    col.circular = diameterAt != 0 && (coverAt == 0 || diameterAt < coverAt);
    if (coverAt != 0) col.cover = numberAfter(line, coverAt, kCover);
}

void DesignBlockReader::read(ReadCursor& cursor, Model& model) {
    for (;;) {
        if (positionOf(cursor.line(), kColumnHeader) == 0) {
            if (cursor.atEnd()) break;
            cursor.nextResultLineContaining(std::array{kColumnHeader});
            continue;
        }
        // A header starts one block only: at the file's end it may still be in hand.
        if (cursor.lineNumber() == lastHeaderLine_) break;
        lastHeaderLine_ = cursor.lineNumber();

        DesignBlock col;
        col.memberNo = valueAfter(cursor, kColumnHeader, false);
        col.length = lengthAfterGrades(cursor, col);
        readSection(cursor, col);
        col.steelArea = valueAfter(cursor, kSteelArea, true);
        lastBlockHasSteelArea_ = hitPos_ > 0;
        model.designBlocks.push_back(col);
    }
}

void DesignBlockReader::noteCutOff(const ReadCursor& cursor, Model& model) const {
    if (!model.endsInside.empty() || cursor.runEndLine() > lastHeaderLine_) return;
    model.cutOffLine = cursor.lineNumber();
    if (!model.designBlocks.empty() && !lastBlockHasSteelArea_) {
        model.cutOffColumn = model.designBlocks.back().memberNo;
        model.designBlocks.pop_back();
    }
}

}  // namespace tierwise
