#include "report/notes.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "model/numbers.h"
#include "report/levels.h"

namespace tierwise {

namespace {

using BlockGrades = std::array<int16_t, 3>;  // concrete, main bars, ties

BlockGrades gradesOf(const DesignBlock& block) {
    return {block.concreteGrade, block.mainSteelGrade, block.tieSteelGrade};
}

std::string gradesText(const BlockGrades& grades) {
    std::string text;
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (grades[0] > 0) add("M" + std::to_string(grades[0]));
    if (grades[1] > 0) add("Fe" + std::to_string(grades[1]) + " (main)");
    if (grades[2] > 0) add("Fe" + std::to_string(grades[2]) + " (ties)");
    return text.empty() ? "grades not printed" : text;
}

void addOnce(std::vector<BlockGrades>& list, const BlockGrades& grades) {
    if (std::find(list.begin(), list.end(), grades) == list.end()) list.push_back(grades);
}

std::string joinedGrades(const std::vector<BlockGrades>& list) {
    std::string text;
    for (const BlockGrades& grades : list) text += (text.empty() ? "" : " / ") + gradesText(grades);
    return text;
}

// One line when the scheduled columns share one set of grades, else one per storey range.
void addGradeNotes(std::vector<std::string>& notes, const Model& model, const std::vector<ColumnLine>& lines,
                   const ColumnDetailing& detailing) {
    const std::vector<size_t> rangeOf = rangeOfLevels(detailing.ranges, model.levelCount());
    std::vector<BlockGrades> all;
    std::vector<std::vector<BlockGrades>> perRange(detailing.ranges.size());
    for (const ColumnLine& line : lines) {
        for (const LineColumn& column : line.columns) {
            const BlockGrades grades = gradesOf(model.designBlocks[static_cast<size_t>(column.designBlock)]);
            addOnce(all, grades);
            const auto level = static_cast<size_t>(column.levelIndex);
            if (level < rangeOf.size() && !perRange.empty()) addOnce(perRange[rangeOf[level]], grades);
        }
    }
    if (all.size() <= 1) {
        if (!all.empty()) notes.push_back("Grades: " + gradesText(all.front()) + ".");
        return;
    }
    for (size_t k = 0; k < perRange.size(); ++k) {
        if (!perRange[k].empty())
            notes.push_back("Grades, " + detailing.ranges[k].span + " m: " + joinedGrades(perRange[k]) + ".");
    }
}

// The covers of the detailed cells, each with the marks that use it.
void addCoverNote(std::vector<std::string>& notes, const ColumnDetailing& detailing) {
    std::map<double, std::vector<std::string>> marksOf;
    for (const ColumnMark& mark : detailing.marks) {
        for (size_t k = 0; k < mark.ranges.size(); ++k) {
            const double cover = detailing.cell(mark, k).cover;
            if (!(cover > 0)) continue;
            std::vector<std::string>& marks = marksOf[cover];
            if (marks.empty() || marks.back() != mark.mark) marks.push_back(mark.mark);
        }
    }
    const std::string rule = " (each column the larger of its design block's cover and " +
                             formatDouble(detailing.options.cover) + " mm; a storey range the largest of its columns).";
    if (marksOf.empty()) return;
    if (marksOf.size() == 1) {
        notes.push_back("Clear cover to the main bars: " + formatDouble(marksOf.begin()->first) + " mm" + rule);
        return;
    }
    std::string text;
    for (const auto& [cover, marks] : marksOf) {
        text += (text.empty() ? "" : "; ") + formatDouble(cover) + " mm in ";
        for (size_t i = 0; i < marks.size(); ++i) text += (i == 0 ? "" : ", ") + marks[i];
    }
    notes.push_back("Clear cover to the main bars: " + text + rule);
}

// Whether some mark's section differs from one storey range to the next.
bool sectionChanges(const ColumnDetailing& detailing) {
    for (const ColumnMark& mark : detailing.marks) {
        std::optional<Section> below;
        for (size_t k = 0; k < mark.ranges.size(); ++k) {
            const RangeDetail& detail = detailing.cell(mark, k);
            if (detail.outcome == RangeOutcome::MixedSections) return true;
            if (detail.section.D <= 0) continue;
            if (below && !(*below == detail.section)) return true;
            below = detail.section;
        }
    }
    return false;
}

}  // namespace

bool fromIncompleteFile(const Model& model) { return model.cutOffLine != 0; }

std::string gradesText(const DesignBlock& block) { return gradesText(gradesOf(block)); }

std::string modelGradesText(const Model& model) {
    std::vector<BlockGrades> all;
    for (const DesignBlock& block : model.designBlocks) addOnce(all, gradesOf(block));
    std::string text;
    for (const BlockGrades& grades : all) text += (text.empty() ? "" : "; ") + gradesText(grades);
    return text;
}

std::vector<std::string> scheduleNotes(const Model& model, const std::vector<ColumnLine>& lines,
                                       const ColumnDetailing& detailing) {
    const DetailOptions& options = detailing.options;
    const std::string practical = formatDouble(options.maxSteelPercent) + " %";
    const std::string codeLimit = formatDouble(kMaxSteelShare * 100) + " %";
    std::vector<std::string> notes;
    if (fromIncompleteFile(model)) {
        notes.push_back(std::string("Made ") + kIncompleteFileText + " (it ends at line " +
                        std::to_string(model.cutOffLine) +
                        "): columns whose design results are missing from it are not scheduled.");
    }
    if (detailing.marks.empty()) return notes;  // nothing detailed
    notes.push_back("Detailing by IS 456:2000 cl. 26.3.2, 26.4.2.1, 26.5.3.1 and 26.5.3.2; bars within " + practical +
                    " of the gross area where they fit. All dimensions in mm.");
    addGradeNotes(notes, model, lines, detailing);
    addCoverNote(notes, detailing);

    const auto anyCell = [&](auto holds) {
        return std::any_of(detailing.details.begin(), detailing.details.end(), holds);
    };
    const auto seenOutcome = [&](RangeOutcome outcome) {
        return anyCell([&](const RangeDetail& detail) { return detail.outcome == outcome; });
    };
    const bool over = anyCell([](const RangeDetail& detail) { return detail.overPractical; });
    const bool someUndesigned = anyCell([](const RangeDetail& detail) { return !detail.undesignedText.empty(); });
    if (over) {
        notes.push_back("\"over " + practical + "\": no bar arrangement fits within " + practical +
                        " of the gross area, so the least steel up to " + codeLimit +
                        " is given. IS 456:2000 cl. 26.5.3.1 a (note) keeps lapped columns to " +
                        formatDouble(kLappedSteelPercent) +
                        " %: stagger the laps of such columns or join their bars by couplers.");
    }
    if (seenOutcome(RangeOutcome::OverMaxSteel)) {
        notes.push_back("\"over " + codeLimit + ": enlarge the section\": the required steel is more than the " +
                        codeLimit + " IS 456:2000 cl. 26.5.3.1 a allows.");
    }
    if (seenOutcome(RangeOutcome::NoArrangement)) {
        notes.push_back("\"no arrangement fits\": no bars of the diameters allowed fit the section within " +
                        codeLimit + "; enlarge the section or allow other diameters.");
    }
    if (seenOutcome(RangeOutcome::MixedSections)) {
        notes.push_back(
            "\"tick the level where the section changes\": the storey range holds columns of more than one section.");
    }
    if (someUndesigned) {
        notes.push_back(std::string("\"... m: ") + kNoDesignResultsText +
                        "\" in a cell: the analysis file has no design results for the columns of those heights; the "
                        "cell's bars are those designed for the range's other columns and must be checked for them.");
    }
    if (seenOutcome(RangeOutcome::NoDesignResults)) {
        notes.push_back(std::string("\"") + kNoDesignResultsText +
                        "\": columns stand in the storey range, but the analysis file has no design results for "
                        "any of them.");
    }
    if (seenOutcome(RangeOutcome::NoColumn)) {
        notes.push_back(std::string("\"") + kNoColumnText +
                        "\": the line has no column in the storey range (it starts higher or stops lower).");
    }
    if (sectionChanges(detailing)) {
        notes.push_back(
            "Where a line's section changes between storey ranges, its bars continue into the smaller "
            "section by laps or dowels; cranking the bars is the engineer's choice.");
    }
    return notes;
}

}  // namespace tierwise
