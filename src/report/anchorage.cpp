#include "report/anchorage.h"

#include <algorithm>
#include <array>

namespace tierwise {

namespace {

struct BondRow {
    int grade;
    double tau;  // N/mm², plain bars in tension
};
constexpr std::array<BondRow, 5> kBondTable{{{20, 1.2}, {25, 1.4}, {30, 1.5}, {35, 1.7}, {40, 1.9}}};
constexpr int kPlainBarGrade = 250;  // Fe250 is plain mild steel; higher grades are deformed bars
constexpr double kDeformedFactor = 1.6;
constexpr double kCompressionFactor = 1.25;
constexpr double kSteelStressShare = 0.87;  // sigma_s = 0.87 fy at the design stress

}  // namespace

std::optional<double> bondStress(const Grades& grades, BarStress stress) {
    if (grades.fck < kLeastTabulatedGrade || grades.fy <= 0) return std::nullopt;
    double tau = 0;
    for (const BondRow& row : kBondTable) {
        if (row.grade <= grades.fck) tau = row.tau;
    }
    if (grades.fy > kPlainBarGrade) tau *= kDeformedFactor;
    if (stress == BarStress::Compression) tau *= kCompressionFactor;
    return tau;
}

std::optional<double> developmentLength(int diameter, const Grades& grades, BarStress stress) {
    const std::optional<double> tau = bondStress(grades, stress);
    if (!tau) return std::nullopt;
    return diameter * kSteelStressShare * grades.fy / (4 * *tau);
}

std::optional<LapLengths> lapLengths(int diameter, const Grades& grades) {
    if (diameter > kMaxLappedBar) return std::nullopt;
    const std::optional<double> tension = developmentLength(diameter, grades, BarStress::Tension);
    const std::optional<double> compression = developmentLength(diameter, grades, BarStress::Compression);
    if (!tension || !compression) return std::nullopt;
    return LapLengths{std::max(*tension, double{kTensionLapBars} * diameter),
                      std::max(*compression, double{kCompressionLapBars} * diameter)};
}

}  // namespace tierwise
