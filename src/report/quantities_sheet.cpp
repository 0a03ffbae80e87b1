#include "report/quantities_sheet.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

#include "report/levels.h"
#include "report/ties.h"

namespace tierwise {

namespace {

// The grades of a mark's columns in one storey range: the weakest concrete and the strongest main
// steel, which give the longest laps; kAssumedGrades where no block gives them.
Grades rangeGrades(const Model& model, const std::vector<ColumnLine>& lines, const ColumnMark& mark, size_t range,
                   const std::vector<size_t>& rangeOf) {
    Grades grades{0, 0};
    for (const size_t line : mark.lines) {
        for (const LineColumn& column : lines[line].columns) {
            if (rangeOf[static_cast<size_t>(column.levelIndex)] != range) continue;
            foldLapGrades(grades, model.designBlocks[static_cast<size_t>(column.designBlock)]);
        }
    }
    return lapGradesOr(grades, {});
}

// The tension lap and the anchorage Ld of a bar; no lap for a bar over 36 mm (mechanical splices).
struct BarAllowances {
    double lap = 0;
    double anchorage = 0;
};

BarAllowances allowances(int diameter, const Grades& grades) {
    const Grades used = bondStress(grades, BarStress::Tension) ? grades : kAssumedGrades;
    const std::optional<LapLengths> laps = lapLengths(diameter, used);
    return {laps ? laps->tension : 0.0, developmentLength(diameter, used, BarStress::Tension).value_or(0)};
}

// One tie set: the perimeter tie (or circular hoop) and the crossties of `layout`, on their centre
// lines, with two hooks each.
double tieSetLength(const Section& section, const TieLayout& layout, int tie, double cover) {
    const double ends = 2 * hookExtension(tie);
    if (section.circular()) return std::numbers::pi * (section.D - 2 * cover + tie) + ends;
    const double across = section.b - 2 * cover + tie;
    const double along = section.D - 2 * cover + tie;
    return 2 * (across + along) + ends + layout.acrossB * (across + ends) + layout.acrossD * (along + ends);
}

int ceilDiv(double length, int pitch) { return length > 0 ? static_cast<int>(std::ceil(length / pitch)) : 0; }

// Tie sets along one line over a storey range: one per pitch and one more; ductile hoops per
// storey ceil(lo / zone pitch) in each zone and the middle at the middle pitch, and one more.
int tieSets(const Model& model, const StoreyRange& range, const RangeDetail& cell) {
    const auto level = [&](int index) { return 10.0 * model.gridY[static_cast<size_t>(index - 1)]; };
    const Confinement& hoops = cell.confinement;
    if (hoops.diameter == 0) return ceilDiv(level(range.topLevel) - level(range.bottomLevel), cell.ties.pitch) + 1;
    int sets = 1;
    for (int storey = range.bottomLevel; storey < range.topLevel; ++storey) {
        const double height = level(storey + 1) - level(storey);
        const double zone = std::min<double>(hoops.zoneLength, height / 2);
        sets += 2 * ceilDiv(zone, hoops.zonePitch) + ceilDiv(height - 2 * zone, hoops.middlePitch);
    }
    return sets;
}

// A figure as the sheet shows it, to `places` decimals.
float rounded(double value, int places) {
    const double scale = std::pow(10.0, places);
    return static_cast<float>(std::round(value * scale) / scale);
}
float tenths(double value) { return rounded(value, 1); }

}  // namespace

void foldLapGrades(Grades& grades, const DesignBlock& block) {
    if (block.concreteGrade > 0) {
        grades.fck = grades.fck == 0 ? block.concreteGrade : std::min<int>(grades.fck, block.concreteGrade);
    }
    grades.fy = std::max<int>(grades.fy, block.mainSteelGrade);
}

Grades lapGradesOr(Grades grades, const Grades& fallback) {
    if (grades.fck == 0) grades.fck = fallback.fck > 0 ? fallback.fck : kAssumedGrades.fck;
    if (grades.fy == 0) grades.fy = fallback.fy > 0 ? fallback.fy : kAssumedGrades.fy;
    return grades;
}

double barMass(int diameter, double length) {
    return static_cast<double>(diameter) * diameter / kUnitMassDivisor * length / 1000;
}

std::vector<QuantityRow> steelQuantities(const Model& model, const std::vector<ColumnLine>& lines,
                                         const ColumnDetailing& detailing) {
    std::vector<QuantityRow> rows;
    const std::vector<size_t> rangeOf = rangeOfLevels(detailing.ranges, model.levelCount());
    const size_t last = detailing.ranges.empty() ? 0 : detailing.ranges.size() - 1;
    for (size_t m = 0; m < detailing.marks.size(); ++m) {
        const ColumnMark& mark = detailing.marks[m];
        for (size_t k = 0; k < mark.ranges.size(); ++k) {
            const RangeDetail& cell = detailing.cell(mark, k);
            if (cell.outcome != RangeOutcome::Detailed) continue;
            const StoreyRange& range = detailing.ranges[k];
            const double height = 10.0 * (model.gridY[static_cast<size_t>(range.topLevel - 1)] -
                                          model.gridY[static_cast<size_t>(range.bottomLevel - 1)]);
            const BarAllowances bar = allowances(cell.bars.diameter, rangeGrades(model, lines, mark, k, rangeOf));
            // A lap at the ticked level where the range starts, anchorage into the footing below the
            // lowest range and into the beams above the highest, a lap wherever a bar would pass 12 m.
            double length =
                height + (k > 0 ? bar.lap : 0) + (k == 0 ? bar.anchorage : 0) + (k == last ? bar.anchorage : 0);
            for (double pieces = 1; std::ceil(length / kStockLength) > pieces;) {
                pieces = std::ceil(length / kStockLength);
                length += bar.lap;
            }
            QuantityRow row;
            row.mark = m;
            row.range = k;
            row.lines = static_cast<int>(mark.lines.size());
            row.bars = cell.bars.count;
            row.barDiameter = cell.bars.diameter;
            row.barLength = length / 1000;
            row.barMass = row.lines * row.bars * barMass(row.barDiameter, length);
            const bool hoops = cell.confinement.diameter > 0;
            row.tieDiameter = hoops ? cell.confinement.diameter : cell.ties.diameter;
            row.tieSets = tieSets(model, range, cell);
            const double set =
                tieSetLength(cell.section, hoops ? cell.confinement.layout : cell.layout, row.tieDiameter, cell.cover);
            row.tieLength = set / 1000;
            row.tieMass = row.lines * row.tieSets * barMass(row.tieDiameter, set);
            rows.push_back(row);
        }
    }
    return rows;
}

void writeQuantitiesSheet(const ColumnDetailing& detailing, const std::vector<QuantityRow>& rows, Workbook& book) {
    constexpr int kSheet = kSheetQuantities;
    book.nameSheet(kSheet, kQuantitiesSheetName);
    book.setHeadingRows(kSheet, 1);
    book.setPrintSetup(kSheet, PrintSetup{});
    int row = 1;
    const auto put = [&](int column, const CellValue& value) { book.setCell(kSheet, row, column, value); };
    int column = 0;
    for (const char* heading : {"Mark", "Storey range", "Lines", "Bars", "Bar length (m)", "Bars (kg)", "Ties",
                                "Ties per line", "Tie set length (m)", "Ties (kg)", "Total (kg)"}) {
        put(++column, std::string(heading));
    }
    std::map<int, std::pair<double, double>> byDiameter;  // bars, ties (kg)
    for (const QuantityRow& q : rows) {
        ++row;
        put(1, detailing.marks[q.mark].mark);
        put(2, detailing.ranges[q.range].span);
        put(3, static_cast<int32_t>(q.lines));
        put(4, std::to_string(q.bars) + " - " + std::to_string(q.barDiameter) + " dia");
        put(5, rounded(q.barLength, 2));
        put(6, tenths(q.barMass));
        put(7, std::to_string(q.tieDiameter) + " dia");
        put(8, static_cast<int32_t>(q.tieSets));
        put(9, rounded(q.tieLength, 2));
        put(10, tenths(q.tieMass));
        put(11, tenths(q.barMass + q.tieMass));
        byDiameter[q.barDiameter].first += q.barMass;
        byDiameter[q.tieDiameter].second += q.tieMass;
    }
    row += 2;
    put(1, std::string("Diameter (mm)"));
    put(6, std::string("Bars (kg)"));
    put(10, std::string("Ties (kg)"));
    put(11, std::string("Total (kg)"));
    double total = 0;
    for (const auto& [diameter, mass] : byDiameter) {
        ++row;
        put(1, static_cast<int32_t>(diameter));
        put(6, tenths(mass.first));
        put(10, tenths(mass.second));
        put(11, tenths(mass.first + mass.second));
        total += mass.first + mass.second;
    }
    ++row;
    put(1, std::string("Total"));
    put(11, tenths(total));
    ++row;
    put(1, std::string("Total (t)"));
    put(11, rounded(total / 1000, 3));
    row += 2;
    for (const std::string& note : {
             std::string("Bars: the range's height, a tension lap (IS 456 cl. 26.2.5.1) at every ticked level above "
                         "the lowest and wherever a bar would pass the " +
                         std::to_string(static_cast<int>(kStockLength / 1000)) +
                         " m stock length, and one anchorage length Ld (cl. 26.2.1) into the footing and one into the "
                         "beams at the top; no lap for bars over 36 mm (mechanical splices)."),
             std::string("Ties: one set per pitch over the range's height and one more (ductile hoops: in each storey "
                         "one per zone "
                         "pitch over lo at each end and one per pitch between); each set the perimeter tie "
                         "or hoop and its crossties on their centre lines, each piece with two hooks of " +
                         std::to_string(kHookExtensionBars) + " tie diameters, at least " +
                         std::to_string(static_cast<int>(kLeastHookExtension)) + " mm."),
             "Mass: d\xc2\xb2 / " + std::to_string(static_cast<int>(kUnitMassDivisor)) +
                 " kg/m; no wastage, no rolling margin. Laps where the file gives no grades: M" +
                 std::to_string(kAssumedGrades.fck) + " and Fe" + std::to_string(kAssumedGrades.fy) + ".",
         }) {
        book.setNote(kSheet, ++row, note);
    }
}

}  // namespace tierwise
