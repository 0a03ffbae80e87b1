#include "report/ties.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tierwise {

namespace {

// Bars held along one face: positions 0 and n + 1 are the corners (held by the perimeter tie),
// 1 to n the intermediate bars `pitch` apart. Returns the intermediate bars that need a crosstie
// and the longest run between held positions, in pitches.
struct FaceHold {
    std::vector<int> held;
    int longestRun = 0;
};

FaceHold holdFace(int n, double pitch, bool ductile) {
    std::vector<bool> held(static_cast<size_t>(n) + 2, false);
    held.front() = held.back() = true;
    // IS 456 cl. 26.5.3.2 b 1: bars at most 75 mm apart need only alternate ties.
    const int step = pitch <= kAlternateBarSpacing ? 2 : 1;
    for (int i = step; i <= n; i += step) held[static_cast<size_t>(i)] = true;
    if (ductile) {
        // Parallel legs at most 300 mm apart: from each held bar, the next held one within 300 mm.
        const int reach = std::max(1, static_cast<int>(std::floor(kMaxHoopLegSpacing / pitch)));
        int last = 0;
        for (int i = 1; i <= n + 1; ++i) {
            if (held[static_cast<size_t>(i)]) {
                last = i;
            } else if (i + 1 - last > reach) {
                held[static_cast<size_t>(i)] = true;
                last = i;
            }
        }
    }
    FaceHold face;
    int last = 0;
    for (int i = 1; i <= n + 1; ++i) {
        if (!held[static_cast<size_t>(i)]) continue;
        if (i <= n) face.held.push_back(i);
        face.longestRun = std::max(face.longestRun, i - last);
        last = i;
    }
    return face;
}

int roundDownTo(double value, int step) { return value <= 0 ? 0 : static_cast<int>(std::floor(value / step)) * step; }

}  // namespace

TieLayout tieLayout(const Section& section, const BarArrangement& bars, double cover, bool ductile) {
    if (section.circular() || bars.count == 0) return {};
    // Bar centres run cover + phi/2 in from each face.
    const double spanB = section.b - 2 * cover - bars.diameter;
    const double spanD = section.D - 2 * cover - bars.diameter;
    const double pitchB = spanB / (bars.shortFaceBars + 1);
    const double pitchD = spanD / (bars.longFaceBars + 1);
    const FaceHold shortFace = holdFace(bars.shortFaceBars, pitchB, ductile);
    const FaceHold longFace = holdFace(bars.longFaceBars, pitchD, ductile);
    // A bar of a long face is held by a crosstie running across b to its partner on the other long face.
    return {static_cast<int>(longFace.held.size()), static_cast<int>(shortFace.held.size()),
            std::max(shortFace.longestRun * pitchB, longFace.longestRun * pitchD), longFace.held, shortFace.held};
}

double hookExtension(int tieDiameter) {
    return std::max(static_cast<double>(kHookExtensionBars) * tieDiameter, kLeastHookExtension);
}

int confiningLength(const Section& section, double length) {
    const double lo = std::max({static_cast<double>(section.D), length / 6, kMinConfiningLength});
    return static_cast<int>(std::ceil(lo / kConfiningLengthStep)) * kConfiningLengthStep;
}

Confinement confine(const Section& section, const BarArrangement& bars, const Grades& grades, double length,
                    const DetailOptions& options) {
    if (bars.count == 0 || grades.fck <= 0 || grades.fy <= 0) return {};
    const int least = bars.diameter > kLargeBarDiameter ? kMinHoopDiameterLargeBars : kMinHoopDiameter;
    const int lateral = section.circular() ? section.D : section.b;
    const double ratio = static_cast<double>(grades.fck) / grades.fy;
    const double gross = grossArea(section);
    const int zoneBound = roundDownTo(
        std::min({lateral / 4.0, static_cast<double>(kZonePitchBars * bars.diameter), kMaxZonePitch}), kTiePitchStep);
    std::vector<int> diameters = options.tieDiameters;
    std::sort(diameters.begin(), diameters.end());
    for (const int hoop : diameters) {
        if (hoop < least || hoop < std::max(bars.diameter / 4.0, kMinTieDiameter)) continue;
        // The core to the hoops' outer faces: the hoop lies inside the cover to the main bars.
        const double coreCover = options.cover - hoop;
        const double legArea = std::numbers::pi * hoop * hoop / 4;
        Confinement confinement{hoop, 0, confiningLength(section, length), 0, {}};
        double pitch = 0;
        if (section.circular()) {
            const double dk = section.D - 2 * coreCover;
            const double core = std::numbers::pi * dk * dk / 4;
            const double share = std::max(0.09 * (gross / core - 1), 0.024);
            pitch = legArea / (dk * ratio * share);
        } else {
            confinement.layout = tieLayout(section, bars, options.cover, true);
            // h: the longest hoop side between legs, to the hoops' outer faces.
            const double h = confinement.layout.longestGap + bars.diameter + 2.0 * hoop;
            const double core = (section.b - 2 * coreCover) * (section.D - 2 * coreCover);
            const double share = std::max(0.18 * (gross / core - 1), 0.05);
            pitch = legArea / (h * ratio * share);
        }
        confinement.zonePitch = roundDownTo(std::min(pitch, static_cast<double>(zoneBound)), kTiePitchStep);
        if (confinement.zonePitch < kLeastPracticalPitch) continue;
        const int is456 = chooseTies(section, bars.diameter, options).pitch;
        confinement.middlePitch = std::min(is456, roundDownTo(lateral / 2.0, kTiePitchStep));
        return confinement;
    }
    return {};
}

std::string tiesText(const Ties& ties, const TieLayout& layout) {
    std::string text = tiesText(ties);
    if (layout.crossties() > 0) {
        text += " + " + std::to_string(layout.crossties()) + (layout.crossties() == 1 ? " crosstie" : " crossties");
    }
    return text;
}

std::string underDuctileSideText() { return "under " + std::to_string(static_cast<int>(kMinDuctileSide)) + " mm"; }

std::string confinementText(const Confinement& confinement) {
    if (confinement.diameter == 0) return kNoHoopFitsText;
    std::string text = std::to_string(confinement.diameter) + " dia @ " + std::to_string(confinement.zonePitch) +
                       " c/c for " + std::to_string(confinement.zoneLength) + " at each end, @ " +
                       std::to_string(confinement.middlePitch) + " c/c between";
    const int crossties = confinement.layout.crossties();
    if (crossties > 0) text += ", + " + std::to_string(crossties) + (crossties == 1 ? " crosstie" : " crossties");
    return text;
}

}  // namespace tierwise
