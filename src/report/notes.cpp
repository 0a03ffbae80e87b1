#include "report/notes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "model/numbers.h"
#include "report/levels.h"
#include "report/quantities_sheet.h"
#include "report/ties.h"

namespace tierwise {

namespace {

using BlockGrades = std::array<int16_t, 3>;  // concrete, main bars, ties

BlockGrades gradesOf(const DesignBlock& block) {
    return {block.concreteGrade, block.mainSteelGrade, block.tieSteelGrade};
}

std::string gradesText(const BlockGrades& grades) {
    std::string text;
    // Built by appending, which GCC 12's -Wrestrict does not mistake for an overlapping copy.
    const auto add = [&](const char* prefix, int grade, const char* suffix) {
        if (grade > 0)
            text.append(text.empty() ? "" : ", ").append(prefix).append(std::to_string(grade)).append(suffix);
    };
    add("M", grades[0], "");
    add("Fe", grades[1], " (main)");
    add("Fe", grades[2], " (ties)");
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

// What ductile detailing by IS 13920:2016 holds to, and what it cannot check from the analysis file.
void addDuctileNotes(std::vector<std::string>& notes, const ColumnDetailing& detailing) {
    const std::string side = formatDouble(kMinDuctileSide) + " mm";
    const std::string zonePitch = formatDouble(kMaxZonePitch) + " mm";
    notes.push_back("Hoops (IS 13920:2016 cl. 7.4): closed, with 135\xc2\xb0 hooks extended " +
                    std::to_string(kHookExtensionBars) + " hoop diameters and at least " +
                    formatDouble(kLeastHookExtension) +
                    " mm into the core, the stricter of the 2016 text (6 diameters, 65 mm) and its amendment; at "
                    "least " +
                    std::to_string(kMinHoopDiameter) + " mm, and " + std::to_string(kMinHoopDiameterLargeBars) +
                    " mm where a main bar is over " + std::to_string(kLargeBarDiameter) +
                    " mm; crossties hooked round peripheral bars.");
    notes.push_back(
        "\"... c/c for lo at each end, ... c/c between\" (cl. 7.6): the confining zone lo at each end of "
        "every storey's column is the largest of the larger section side, a sixth of the column's length "
        "and " +
        formatDouble(kMinConfiningLength) + " mm, up to a multiple of " + std::to_string(kConfiningLengthStep) +
        " mm; the length is the design block's LENGTH, centre to centre, which errs on the safe side of "
        "the clear height; a storey range takes its longest column. The zone pitch meets Ash of cl. "
        "7.6.1 c and keeps the 2016 text's limits (a quarter of the least side, " +
        std::to_string(kZonePitchBars) + " bar diameters, " + zonePitch +
        ") although Amendment 1 is reported to relax them to " + std::to_string(kZonePitchBars) +
        " bar diameters alone; it is at least " + std::to_string(kLeastPracticalPitch) +
        " mm, below which concrete is not placed well (practice, not the code). Between the zones "
        "the pitch is within half the least side and IS 456's.");
    notes.push_back(
        "Hoops continue at the zone pitch through every beam-column joint, and at the foot of the "
        "lowest storey at least " +
        formatDouble(kLeastFootingHoops) + " mm into the footing.");
    notes.push_back(
        "Laps (cl. 7.3): only in the middle half of a storey's clear height, never within a joint; hoops "
        "over the lap at most " +
        formatDouble(kMaxLapHoopPitch) + " mm" +
        " c/c; at most 50 % of the bar area lapped at one section; each lap at least the tension "
        "development length Ld of the largest bar (IS 456:2000 cl. 26.2.1, as the lap lengths); bars "
        "over " +
        std::to_string(kLargeBarDiameter) + " mm are not lapped but joined by mechanical splices.");
    notes.push_back(
        "Not checked: the least side of at least 20 times the largest beam bar framing in (cl. 7.1.2), "
        "since the analysis file does not give the beams' bars.");
    const auto anyCell = [&](auto holds) {
        return std::any_of(detailing.details.begin(), detailing.details.end(), holds);
    };
    if (anyCell([](const RangeDetail& d) { return d.sizeText.ends_with(underDuctileSideText()); })) {
        notes.push_back("\"" + underDuctileSideText() + "\": the section's least side is below the " + side +
                        " IS 13920:2016 cl. 7.1.2 asks for; it is detailed all the same, and must be enlarged.");
    }
    if (anyCell([](const RangeDetail& d) { return d.tiesText == kNoHoopFitsText; })) {
        notes.push_back(std::string("\"") + kNoHoopFitsText +
                        "\": no hoop diameter allowed meets the zone pitch of cl. 7.6.1 (its limits, and the "
                        "confining steel Ash) at a pitch of at least " +
                        std::to_string(kLeastPracticalPitch) +
                        " mm; allow thicker hoops or thicker bars (6 diameters of a 12 mm bar are 72 mm), or "
                        "enlarge the section.");
    }
    if (anyCell([](const RangeDetail& d) { return d.tiesText.ends_with(kNoGradesText); })) {
        notes.push_back(std::string("\"") + kNoGradesText +
                        "\": the design blocks of the range's columns give no grades, so their hoops are not "
                        "detailed by IS 13920.");
    }
}

}  // namespace

std::string rulesText(const DetailOptions& options) {
    return options.ductile ? "IS 456:2000 and IS 13920:2016" : "IS 456:2000";
}

bool fromIncompleteFile(const Model& model) { return model.cutOffLine != 0; }

std::string gradesText(const DesignBlock& block) { return gradesText(gradesOf(block)); }

std::string modelGradesText(const Model& model) {
    std::vector<BlockGrades> all;
    for (const DesignBlock& block : model.designBlocks) addOnce(all, gradesOf(block));
    std::string text;
    for (const BlockGrades& grades : all) text += (text.empty() ? "" : "; ") + gradesText(grades);
    return text;
}

namespace {

// The grades that give the longest laps: the weakest concrete and the strongest main steel of the
// design blocks; the options' fallback, or kAssumedGrades, where no block gives them.
Grades lapGrades(const Model& model, const DetailOptions& options) {
    Grades grades{0, 0};
    for (const DesignBlock& block : model.designBlocks) foldLapGrades(grades, block);
    return lapGradesOr(grades, options.fallbackGrades.fck > 0 ? options.fallbackGrades : kAssumedGrades);
}

// A length as the lap table gives it: up to the next 5 mm.
int lapLength(double length) { return static_cast<int>(std::ceil(length / 5)) * 5; }

// The lap lengths of every bar diameter the schedule uses (IS 456 cl. 26.2.5.1), in the note or
// pointing to the drawing's table.
void addLapNote(std::vector<std::string>& notes, const LapTable& table, LapNote lapNote) {
    if (table.rows.empty()) return;
    const std::string basis = "IS 456:2000 cl. 26.2.1 and 26.2.5.1, M" + std::to_string(table.grades.fck) + " and Fe" +
                              std::to_string(table.grades.fy) +
                              ", up to 5 mm; in tension at least 30 bar diameters, in compression 24";
    if (lapNote == LapNote::BesideAsTable) {
        notes.push_back(std::string("Lap lengths: see the table ") + kLapTableTitle + " (" + basis + ").");
        return;
    }
    std::string text = "Lap lengths, mm (" + basis + "):";
    for (const LapRow& row : table.rows) {
        text.append(" ").append(std::to_string(row.diameter)).append(" dia ");
        if (row.tension && row.compression) {
            text.append(std::to_string(*row.tension)).append(" in tension, ");
            text.append(std::to_string(*row.compression)).append(" in compression;");
        } else {
            text.append("not lapped (mechanical splices);");
        }
    }
    text.back() = '.';
    notes.push_back(std::move(text));
}

}  // namespace

LapTable lapTable(const Model& model, const ColumnDetailing& detailing) {
    std::vector<int> diameters;
    for (const RangeDetail& detail : detailing.details) {
        if (detail.bars.count > 0) diameters.push_back(detail.bars.diameter);
    }
    std::sort(diameters.begin(), diameters.end());
    diameters.erase(std::unique(diameters.begin(), diameters.end()), diameters.end());
    LapTable table{lapGrades(model, detailing.options), {}};
    for (const int diameter : diameters) {
        LapRow row{diameter, std::nullopt, std::nullopt};
        if (const std::optional<LapLengths> laps = lapLengths(diameter, table.grades)) {
            row.tension = lapLength(laps->tension);
            row.compression = lapLength(laps->compression);
        }
        table.rows.push_back(row);
    }
    return table;
}

namespace {

// The steel worksheet 5 totals and the concrete of the columns scheduled.
void addTotalsNote(std::vector<std::string>& notes, const Model& model, const std::vector<ColumnLine>& lines,
                   const ColumnDetailing& detailing) {
    double steel = 0;
    for (const QuantityRow& row : steelQuantities(model, lines, detailing)) steel += row.barMass + row.tieMass;
    double concrete = 0;  // mm3: each scheduled column's section over its design length
    for (const ColumnLine& line : lines) {
        for (const LineColumn& column : line.columns) {
            const DesignBlock& block = model.designBlocks[static_cast<size_t>(column.designBlock)];
            if (const std::optional<Section> section = columnSection(block)) {
                concrete += grossArea(*section) * block.length;
            }
        }
    }
    if (steel <= 0 && concrete <= 0) return;
    notes.push_back("Quantities: steel " + formatDouble(std::round(steel)) +
                    " kg (worksheet 5: bars and ties, "
                    "laps and hooks, no wastage); concrete of the columns scheduled " +
                    formatDouble(std::round(concrete / 1e8) / 10) +
                    " m\xc2\xb3 (each column's gross section over "
                    "its length in the design results, centre to centre).");
}

}  // namespace

std::vector<std::string> scheduleNotes(const Model& model, const std::vector<ColumnLine>& lines,
                                       const ColumnDetailing& detailing, LapNote lapNote) {
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
    notes.push_back("Detailing by IS 456:2000 cl. 26.3.2, 26.4.2.1, 26.5.3.1 and 26.5.3.2" +
                    std::string(options.ductile ? " and IS 13920:2016 cl. 7.1.2, 7.3, 7.4 and 7.6" : "") +
                    "; bars within " + practical +
                    " of the gross area where they fit. All dimensions in mm, levels in m.");
    addGradeNotes(notes, model, lines, detailing);
    addCoverNote(notes, detailing);
    notes.push_back(
        "\"+ n crossties\": besides the perimeter tie, straight crossties hooked round a main bar at both "
        "ends, so that every bar is held by a tie's corner or a crosstie (IS 456:2000 cl. 26.5.3.2 b; "
        "where bars stand at most " +
        formatDouble(kAlternateBarSpacing) + " mm apart, alternate bars)" +
        (options.ductile ? ", and parallel hoop legs stand at most " + formatDouble(kMaxHoopLegSpacing) +
                               " mm apart (IS 13920:2016 cl. 7.4.2)."
                         : std::string(".")));
    if (options.ductile) addDuctileNotes(notes, detailing);

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
    addLapNote(notes, lapTable(model, detailing), lapNote);
    addTotalsNote(notes, model, lines, detailing);
    return notes;
}

}  // namespace tierwise
