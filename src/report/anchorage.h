// Development and lap lengths of bars (IS 456:2000 cl. 26.2.1 and 26.2.5.1): the one place the
// program works out Ld, for the lap lengths of the drawing's notes, ductile laps and steel
// quantities alike. Pure arithmetic.
#pragma once

#include <optional>

namespace tierwise {

// The grades a design gives, N/mm²: fck of the concrete (M25: 25), fy of the steel (Fe415: 415).
struct Grades {
    int fck = 0;
    int fy = 0;
};

enum class BarStress { Tension, Compression };

inline constexpr int kLeastTabulatedGrade = 20;  // cl. 26.2.1.1 tabulates M20 and above
inline constexpr int kMaxLappedBar = 36;         // cl. 26.2.5.1 a: no lap splices of larger bars
inline constexpr int kTensionLapBars = 30;       // cl. 26.2.5.1 c: flexural tension laps at least 30 phi
inline constexpr int kCompressionLapBars = 24;   // cl. 26.2.5.1 d: compression laps at least 24 phi

// The design bond stress tau_bd of cl. 26.2.1.1 for a bar of `grades.fy` in `stress`: the table's
// value for plain bars in tension at the highest tabulated grade not above fck, +60 % for deformed
// bars (fy above 250), +25 % in compression. Nothing below M20, which the table does not give.
std::optional<double> bondStress(const Grades& grades, BarStress stress);

// Ld = phi 0.87 fy / (4 tau_bd), mm (cl. 26.2.1); nothing where bondStress gives nothing.
std::optional<double> developmentLength(int diameter, const Grades& grades, BarStress stress);

// Lap lengths of cl. 26.2.5.1, mm: in flexural tension max(Ld, 30 phi), in compression
// max(Ld in compression, 24 phi). Nothing for a bar over 36 mm (no lap splices) or below M20.
struct LapLengths {
    double tension = 0;
    double compression = 0;
};
std::optional<LapLengths> lapLengths(int diameter, const Grades& grades);

}  // namespace tierwise
