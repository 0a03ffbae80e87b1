// Worksheet 5, "Steel quantities": the mass of longitudinal bars and ties of each column mark in
// each storey range, totals per bar diameter and overall, and the assumptions in a note.
#pragma once

#include <string>
#include <vector>

#include "report/anchorage.h"
#include "report/detailing.h"
#include "report/grouping.h"
#include "report/workbook.h"

namespace tierwise {

inline constexpr const char* kQuantitiesSheetName = "Steel quantities";
inline constexpr double kStockLength = 12000;    // mm: a bar longer than this is lapped again
inline constexpr double kUnitMassDivisor = 162;  // kg/m of a bar of diameter d mm is d² / 162
// Where a design block gives no grades, the laps are worked out for these (stated in the note).
inline constexpr Grades kAssumedGrades{20, 415};

// Folds a design block's grades into `grades`: the weakest concrete and the strongest main steel,
// which give the longest laps (0: none yet).
void foldLapGrades(Grades& grades, const DesignBlock& block);
// `grades` where a block gave them, else `fallback`'s, else kAssumedGrades.
Grades lapGradesOr(Grades grades, const Grades& fallback);

// The steel of one mark in one storey range, for all the lines that share the mark.
struct QuantityRow {
    size_t mark = 0;   // index into ColumnDetailing::marks
    size_t range = 0;  // storey range, 0-based bottom up
    int lines = 0;
    int bars = 0, barDiameter = 0;
    double barLength = 0;  // one bar, laps and allowances included, m
    double barMass = 0;    // kg, all lines
    int tieDiameter = 0;
    int tieSets = 0;       // ties along one line's range
    double tieLength = 0;  // one set: perimeter tie and crossties with hooks, m
    double tieMass = 0;    // kg, all lines
};

// Every detailed cell of `detailing` (from detailColumns on `lines` of `model`), each with its cover.
std::vector<QuantityRow> steelQuantities(const Model& model, const std::vector<ColumnLine>& lines,
                                         const ColumnDetailing& detailing);

// Mass of `length` mm of bar of `diameter` mm, kg.
double barMass(int diameter, double length);

void writeQuantitiesSheet(const ColumnDetailing& detailing, const std::vector<QuantityRow>& rows, Workbook& book);

}  // namespace tierwise
