#include "report/detailing.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <numbers>
#include <unordered_map>

#include "model/numbers.h"
#include "report/ties.h"

namespace tierwise {

namespace {

constexpr int kMinCircularBars = 6;  // cl. 26.5.3.1 c

double barArea(int diameter) { return std::numbers::pi * diameter * diameter / 4; }

// n bars of one diameter, as the provided area A = n pi phi^2 / 4.
double providedArea(int64_t count, int diameter) { return static_cast<double>(count) * barArea(diameter); }

// The least k in [lo, hi] with fits(k), for a `fits` that turns true as k grows and stays so;
// hi + 1 when none. `guess` (any double) only saves steps.
template <class Fits>
int64_t leastFitting(int64_t lo, int64_t hi, double guess, Fits fits) {
    if (lo > hi) return hi + 1;
    const double clamped = std::isnan(guess) ? static_cast<double>(lo)
                                             : std::clamp(guess, static_cast<double>(lo), static_cast<double>(hi));
    int64_t k = static_cast<int64_t>(clamped);
    while (k > lo && fits(k - 1)) --k;
    while (k <= hi && !fits(k)) ++k;
    return k;
}

// Least centre-to-centre spacing of bars of `diameter`: the bar plus the clear gap.
double leastPitch(int diameter) { return diameter + std::max<double>(diameter, kMinClearGap); }

// How many intermediate bars a face can take: k with its centre spacing (centres / (k + 1))
// at most 300 mm and at least the least pitch. `centres` runs between the corner bar centres.
struct Span {
    int64_t lo = 1, hi = 0;  // empty
};

Span intermediateBars(double centres, int diameter) {
    const double pitch = leastPitch(diameter);
    if (!(centres >= pitch)) return {};  // the corner bars alone stand too close (or nothing is left)
    // Both quotients are of whole or half millimetres by small numbers: exact at the boundaries.
    const auto lo = std::max<int64_t>(0, static_cast<int64_t>(std::ceil(centres / kMaxBarSpacing)) - 1);
    const auto hi = static_cast<int64_t>(std::floor(centres / pitch)) - 1;
    return {lo, hi};
}

// The least-steel candidate of one bar diameter: its count (and faces), or none.
struct Candidate {
    int diameter = 0;
    int64_t count = 0;  // 0: none
    int64_t shortFace = 0, longFace = 0;
    [[nodiscard]] int64_t steel() const { return count * diameter * diameter; }  // A in units of pi/4
};

// Counts n = base + step * k, k in span, with A within [need, cap]: the least, which is the
// least steel for this diameter.
int64_t leastCount(int64_t base, int64_t step, Span span, int diameter, double need, double cap) {
    const auto area = [&](int64_t k) { return providedArea(base + step * k, diameter); };
    const double guess = std::ceil((need / barArea(diameter) - static_cast<double>(base)) / static_cast<double>(step));
    const int64_t k = leastFitting(span.lo, span.hi, guess, [&](int64_t j) { return area(j) >= need; });
    if (k > span.hi || area(k) > cap) return -1;
    return k;
}

Candidate rectangularCandidate(const Section& s, int diameter, double need, double cap, double cover) {
    const Span a = intermediateBars(s.b - 2 * cover - diameter, diameter);
    const Span d = intermediateBars(s.D - 2 * cover - diameter, diameter);
    if (a.lo > a.hi || d.lo > d.hi) return {};
    const Span t{a.lo + d.lo, a.hi + d.hi};  // a + d takes every value in between
    const int64_t k = leastCount(4, 2, t, diameter, need, cap);
    if (k < 0) return {};
    const int64_t longFace = std::min(d.hi, k - a.lo);  // the larger d of equal choices
    return {diameter, 4 + 2 * k, k - longFace, longFace};
}

Candidate circularCandidate(const Section& s, int diameter, double need, double cap, double cover) {
    const double circle = s.D - 2 * cover - diameter;
    const double pitch = leastPitch(diameter);
    const auto chord = [&](int64_t n) { return circle * std::sin(std::numbers::pi / static_cast<double>(n)); };
    if (!(circle > 0) || chord(kMinCircularBars) < pitch) return {};
    // chord(n) <= circle * pi / n, so no more than this many bars keep the least pitch.
    const auto most = static_cast<int64_t>(std::floor(std::numbers::pi * circle / pitch)) + 1;
    const double wide = std::numbers::pi / std::asin(std::min(1.0, kMaxBarSpacing / circle));
    const int64_t lo =
        leastFitting(kMinCircularBars, most, wide, [&](int64_t n) { return chord(n) <= kMaxBarSpacing; });
    const double close = std::numbers::pi / std::asin(std::min(1.0, pitch / circle));
    const int64_t hi = leastFitting(kMinCircularBars, most, close, [&](int64_t n) { return chord(n) < pitch; }) - 1;
    const int64_t n = leastCount(0, 1, Span{lo, hi}, diameter, need, cap);
    if (n < 0) return {};
    return {diameter, n, 0, 0};
}

std::string fixed2(double value) {
    char text[400];  // room for any double in fixed notation
    const auto printed = std::to_chars(text, text + sizeof text, roundTo2Decimals(value), std::chars_format::fixed, 2);
    return {text, printed.ptr};
}

std::string overText() { return "over " + formatDouble(kMaxSteelShare * 100) + " %: enlarge the section"; }

const char* const kNoArrangementText = "no arrangement fits";
const char* const kMixedText = "tick the level where the section changes";

// Why a list of diameters cannot be used, naming the clause that sets its least diameter.
std::string diameterListProblem(const char* flag, const std::vector<int>& diameters, int least, const char* what) {
    if (diameters.empty()) return std::string(flag) + " needs at least one diameter";
    for (const int diameter : diameters) {
        if (diameter < least) {
            return std::string(flag) + ": " + std::to_string(diameter) + " mm is below the " + std::to_string(least) +
                   " mm " + what;
        }
        if (diameter > kMaxBarDiameter) {
            return std::string(flag) + ": " + std::to_string(diameter) + " mm is thicker than " +
                   std::to_string(kMaxBarDiameter) + " mm";
        }
    }
    return {};
}

// The plan position a column line stands on, or nothing.
const PlanLine* planLineOf(const Model& model, const ColumnLine& line) {
    const auto at = std::lower_bound(
        model.planLines.begin(), model.planLines.end(), line, [](const PlanLine& plan, const ColumnLine& wanted) {
            return std::pair(plan.xIndex, plan.zIndex) < std::pair(wanted.xIndex, wanted.zIndex);
        });
    if (at == model.planLines.end() || at->xIndex != line.xIndex || at->zIndex != line.zIndex) return nullptr;
    return &*at;
}

// What stands at a line's plan position in each storey range besides its designed columns.
struct RangePresence {
    std::vector<bool> present;                                   // some column stands there
    std::vector<std::vector<std::pair<int32_t, int32_t>>> gaps;  // levels spanned by columns without design results

    explicit RangePresence(size_t ranges) : present(ranges), gaps(ranges) {}

    void gather(const PlanLine* plan, const std::vector<size_t>& rangeOf) {
        std::fill(present.begin(), present.end(), false);
        for (auto& list : gaps) list.clear();
        if (plan == nullptr) return;
        int32_t below = 0;
        for (const GridPoint& point : plan->points) {
            const auto level = static_cast<size_t>(point.levelIndex);
            if ((point.member != 0 || point.designBlock > 0) && level < rangeOf.size()) {
                const size_t k = rangeOf[level];
                present[k] = true;
                if (point.designBlock <= 0) {
                    const int32_t from = below != 0 ? below : std::max(1, point.levelIndex - 1);
                    if (!gaps[k].empty() && gaps[k].back().second == from) {
                        gaps[k].back().second = point.levelIndex;
                    } else {
                        gaps[k].emplace_back(from, point.levelIndex);
                    }
                }
            }
            below = point.levelIndex;
        }
    }

    // "6 to 9 m: no design results", or empty.
    [[nodiscard]] std::string gapText(const Model& model, size_t k) const {
        std::string text;
        for (const auto& [from, to] : gaps[k]) {
            text += (text.empty() ? "" : ", ") + levelText(model, from) + " to " + levelText(model, to);
        }
        return text.empty() ? text : text + " m: " + kNoDesignResultsText;
    }
};

// Adds one column's design block to its storey range's demand: the weakest concrete, the weakest
// hoop steel (the block's tie grade), each from `fallback` where the block prints none; a column
// with neither leaves the range without grades and is named in `ungraded`.
void gatherDemand(RangeDemand& demand, const DesignBlock& block, const Grades& fallback, int32_t member,
                  std::vector<int32_t>& ungraded) {
    demand.length = std::max(demand.length, static_cast<double>(block.length));
    const int fck = block.concreteGrade > 0 ? block.concreteGrade : fallback.fck;
    const int fy = block.tieSteelGrade > 0 ? block.tieSteelGrade : fallback.fy;
    if (fck <= 0 || fy <= 0) {
        ungraded.push_back(member);
        demand.grades.reset();
        return;
    }
    if (!demand.grades) return;  // an ungraded column already stands in the range
    Grades& grades = *demand.grades;
    grades.fck = grades.fck == 0 ? fck : std::min(grades.fck, fck);
    grades.fy = grades.fy == 0 ? fy : std::min(grades.fy, fy);
}

}  // namespace

std::optional<std::string> optionsProblem(const DetailOptions& options) {
    if (!std::isfinite(options.cover) || !(options.cover >= kMinColumnCover)) {
        return "--cover must be at least " + formatDouble(kMinColumnCover) +
               " mm, the nominal cover IS 456:2000 cl. 26.4.2.1 asks for columns";
    }
    if (!(options.maxSteelPercent > kMinMaxSteelPercent && options.maxSteelPercent <= kMaxMaxSteelPercent)) {
        return "--max-steel must be above " + formatDouble(kMinMaxSteelPercent) + " and at most " +
               formatDouble(kMaxMaxSteelPercent) + " (per cent of the gross area)";
    }
    if (std::string problem = diameterListProblem("--bars", options.barDiameters, kMinMainBarDiameter,
                                                  "IS 456:2000 cl. 26.5.3.1 d asks for a column's bars");
        !problem.empty())
        return problem;
    if (std::string problem = diameterListProblem("--ties", options.tieDiameters, static_cast<int>(kMinTieDiameter),
                                                  "IS 456:2000 cl. 26.5.3.2 c asks for ties");
        !problem.empty())
        return problem;
    const int thickestBar = *std::max_element(options.barDiameters.begin(), options.barDiameters.end());
    if (options.cover < thickestBar) {
        return "--cover " + formatDouble(options.cover) + " mm is less than the " + std::to_string(thickestBar) +
               " mm bars; IS 456:2000 cl. 26.4.2.1 asks at least the bar diameter";
    }
    const int thickestTie = *std::max_element(options.tieDiameters.begin(), options.tieDiameters.end());
    if (thickestTie < std::max(thickestBar / 4.0, kMinTieDiameter)) {
        return "--ties: no tie diameter reaches a quarter of the " + std::to_string(thickestBar) + " mm bars";
    }
    return std::nullopt;
}

double grossArea(const Section& section) {
    if (section.circular()) return std::numbers::pi * section.D * section.D / 4;
    return static_cast<double>(section.b) * section.D;
}

BarArrangement chooseBars(const Section& section, double requiredArea, const DetailOptions& options) {
    const double gross = grossArea(section);
    const double need = std::max(requiredArea, kMinSteelShare * gross);
    const double cap = kMaxSteelShare * gross;
    const double practical = options.maxSteelPercent / 100 * gross;
    if (!(gross > 0) || !(need <= cap) || section.b < 0) return {};

    std::vector<Candidate> feasible;
    for (const int diameter : options.barDiameters) {
        const Candidate candidate = section.circular()
                                        ? circularCandidate(section, diameter, need, cap, options.cover)
                                        : rectangularCandidate(section, diameter, need, cap, options.cover);
        if (candidate.count > 0) feasible.push_back(candidate);
    }
    // Within the practical limit whenever some arrangement can be.
    const bool withinPractical = std::any_of(feasible.begin(), feasible.end(), [&](const Candidate& c) {
        return providedArea(c.count, c.diameter) <= practical;
    });
    if (withinPractical) {
        std::erase_if(feasible, [&](const Candidate& c) { return providedArea(c.count, c.diameter) > practical; });
    }
    if (feasible.empty()) return {};
    const int64_t least =
        std::min_element(feasible.begin(), feasible.end(), [](const Candidate& x, const Candidate& y) {
            return x.steel() < y.steel();
        })->steel();
    // Above the practical limit every bar counts: the least steel, not the fewest bars.
    const int64_t allowed = withinPractical ? kAllowanceNum : kAllowanceDen;
    std::erase_if(feasible, [&](const Candidate& c) { return kAllowanceDen * c.steel() > allowed * least; });
    const Candidate& best =
        *std::min_element(feasible.begin(), feasible.end(), [](const Candidate& x, const Candidate& y) {
            return std::pair(x.count, x.steel()) < std::pair(y.count, y.steel());
        });
    return {static_cast<int>(best.count), best.diameter, static_cast<int>(best.shortFace),
            static_cast<int>(best.longFace), providedArea(best.count, best.diameter)};
}

Ties chooseTies(const Section& section, int barDiameter, const DetailOptions& options) {
    const double least = std::max(barDiameter / 4.0, kMinTieDiameter);
    std::optional<int> diameter;
    for (const int tie : options.tieDiameters) {
        if (tie >= least && (!diameter || tie < *diameter)) diameter = tie;
    }
    if (!diameter) return {};
    const int64_t lateral = section.circular() ? section.D : section.b;
    const int64_t bound = std::min<int64_t>({lateral, int64_t{kTiePitchBars} * barDiameter, kMaxTiePitch});
    return {*diameter, static_cast<int>(std::max<int64_t>(0, bound) / kTiePitchStep * kTiePitchStep)};
}

std::string sizeText(const Section& section) {
    if (section.circular()) return std::to_string(section.D) + " dia";
    return std::to_string(section.b) + " X " + std::to_string(section.D);
}

std::string barsText(const BarArrangement& bars, const Section& section, std::optional<double> overPercent) {
    std::string text = std::to_string(bars.count) + " - " + std::to_string(bars.diameter) + " dia (" +
                       fixed2(bars.area / grossArea(section) * 100) + " %";
    if (overPercent) text += ", over " + formatDouble(*overPercent) + " %";
    return text + ")";
}

std::string tiesText(const Ties& ties) {
    return std::to_string(ties.diameter) + " dia @ " + std::to_string(ties.pitch) + " c/c";
}

RangeDetail detailRange(const std::vector<Section>& sectionsBottomUp, double requiredArea,
                        const DetailOptions& options, const RangeDemand& demand) {
    RangeDetail detail;
    if (sectionsBottomUp.empty()) return detail;
    for (const Section& section : sectionsBottomUp) {
        if (std::find(detail.sections.begin(), detail.sections.end(), section) == detail.sections.end()) {
            detail.sections.push_back(section);
        }
    }
    if (detail.sections.size() > 1) {
        detail.outcome = RangeOutcome::MixedSections;
        for (const Section& section : detail.sections) {
            if (!detail.sizeText.empty()) detail.sizeText += " / ";
            detail.sizeText += sizeText(section);
        }
        detail.barsText = kMixedText;
        return detail;
    }
    detail.section = detail.sections.front();
    detail.sections.clear();
    detail.sizeText = sizeText(detail.section);
    detail.cover = options.cover;
    const double gross = grossArea(detail.section);
    const double need = std::max(requiredArea, kMinSteelShare * gross);
    if (gross > 0 && need > kMaxSteelShare * gross) {
        detail.outcome = RangeOutcome::OverMaxSteel;
        detail.barsText = overText();
        return detail;
    }
    detail.bars = chooseBars(detail.section, requiredArea, options);
    const Ties ties = detail.bars.count > 0 ? chooseTies(detail.section, detail.bars.diameter, options) : Ties{};
    if (detail.bars.count == 0 || ties.diameter == 0) {
        detail.outcome = RangeOutcome::NoArrangement;
        detail.bars = {};
        detail.barsText = kNoArrangementText;
        return detail;
    }
    detail.outcome = RangeOutcome::Detailed;
    detail.ties = ties;
    detail.overPractical = detail.bars.area > options.maxSteelPercent / 100 * gross;
    detail.barsText = barsText(detail.bars, detail.section,
                               detail.overPractical ? std::optional(options.maxSteelPercent) : std::nullopt);
    detail.layout = tieLayout(detail.section, detail.bars, options.cover, options.ductile);
    detail.tiesText = tiesText(detail.ties, detail.layout);
    if (!options.ductile) return detail;
    if (std::min(detail.section.circular() ? detail.section.D : detail.section.b, detail.section.D) <
        kMinDuctileSide) {
        detail.sizeText += ": " + underDuctileSideText();
    }
    if (!demand.grades) {
        detail.tiesText += std::string("; ") + kNoGradesText;
        return detail;
    }
    detail.confinement = confine(detail.section, detail.bars, *demand.grades, demand.length, options);
    detail.tiesText = confinementText(detail.confinement);
    return detail;
}

std::optional<std::string> ungradedWarning(const ColumnDetailing& detailing) {
    if (detailing.ungradedMembers.empty()) return std::nullopt;
    std::string text = detailing.ungradedMembers.size() == 1 ? "member " : "members ";
    for (size_t i = 0; i < detailing.ungradedMembers.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(detailing.ungradedMembers[i]);
    }
    return "no grades for ductile detailing (IS 13920) of " + text +
           ": their design blocks give none, so they are detailed by IS 456 alone";
}

ColumnDetailing detailColumns(const Model& model, const std::vector<ColumnLine>& lines, const LevelTicks& ticks,
                              const DetailOptions& options) {
    ColumnDetailing schedule;
    schedule.options = options;
    schedule.ranges = storeyRanges(model, ticks);

    schedule.axes = gridAxes(model, columnPositions(model));

    const std::vector<size_t> rangeOf = rangeOfLevels(schedule.ranges, model.levelCount());

    // Cells that read alike are kept once, keyed by their texts; lines whose every cell reads the
    // same share a mark, keyed by their cells.
    std::unordered_map<std::string, uint32_t> detailOf;
    std::unordered_map<std::string, size_t> markOf;
    schedule.details.emplace_back();
    detailOf.emplace(std::string(4, '\x1f') + formatDouble(0), 0);
    const auto intern = [&](RangeDetail&& detail) {
        std::string key = detail.sizeText + '\x1f' + detail.barsText + '\x1f' + detail.tiesText + '\x1f' +
                          detail.undesignedText + '\x1f' + formatDouble(detail.cover);
        const auto [found, added] =
            detailOf.try_emplace(std::move(key), static_cast<uint32_t>(schedule.details.size()));
        if (added) schedule.details.push_back(std::move(detail));
        return found->second;
    };
    std::vector<std::vector<Section>> sections(schedule.ranges.size());
    std::vector<std::string> unroundable(schedule.ranges.size());  // such a section as printed
    std::vector<float> required(schedule.ranges.size());
    std::vector<double> cover(schedule.ranges.size());
    std::vector<size_t> designed(schedule.ranges.size());  // columns of the line
    std::vector<RangeDemand> demand(schedule.ranges.size());
    RangePresence presence(schedule.ranges.size());
    std::vector<int32_t> ungraded;
    DetailOptions rangeOptions = options;  // with each range's cover
    std::vector<uint32_t> cells(schedule.ranges.size());
    for (size_t g = 0; g < lines.size(); ++g) {
        const ColumnLine& line = lines[g];
        const std::string ref = gridReference(model, schedule.axes, line.xIndex, line.zIndex);
        schedule.lineRefs.push_back(ref);

        for (auto& list : sections) list.clear();
        for (auto& text : unroundable) text.clear();
        std::fill(required.begin(), required.end(), 0.0f);
        std::fill(cover.begin(), cover.end(), options.cover);
        std::fill(designed.begin(), designed.end(), 0);
        std::fill(demand.begin(), demand.end(), RangeDemand{Grades{}, 0});
        if (schedule.ranges.empty()) continue;
        presence.gather(planLineOf(model, line), rangeOf);
        for (const LineColumn& column : line.columns) {
            const size_t k = rangeOf[static_cast<size_t>(column.levelIndex)];
            const DesignBlock& entry = model.designBlocks[static_cast<size_t>(column.designBlock)];
            if (const std::optional<Section> section = columnSection(entry)) {
                sections[k].push_back(*section);
            } else if (unroundable[k].empty()) {
                unroundable[k] = formatSingle(entry.width) + " X " + formatSingle(entry.depth);
            }
            required[k] = std::max(required[k], column.area);
            if (options.ductile) gatherDemand(demand[k], entry, options.fallbackGrades, column.member, ungraded);
            cover[k] = std::max(cover[k], static_cast<double>(entry.cover));
            ++designed[k];
        }
        for (size_t k = 0; k < schedule.ranges.size(); ++k) {
            RangeDetail detail;
            if (!(required[k] > 0)) {
                // Only failed columns (no area): worksheet 3 leaves the range empty, and the
                // least steel would understate a failed design. So do columns left out for what
                // their design blocks give (leftOutWarnings names them).
                const bool undesigned = !presence.gaps[k].empty();
                if (designed[k] > 0 || (presence.present[k] && !undesigned)) {
                    cells[k] = 0;
                    continue;
                }
                detail.outcome = undesigned ? RangeOutcome::NoDesignResults : RangeOutcome::NoColumn;
                detail.barsText = undesigned ? kNoDesignResultsText : kNoColumnText;
            } else if (unroundable[k].empty()) {
                rangeOptions.cover = cover[k];
                detail = detailRange(sections[k], required[k], rangeOptions, demand[k]);
                detail.undesignedText = presence.gapText(model, k);
            } else {
                detail.outcome = RangeOutcome::NoArrangement;
                detail.sizeText = unroundable[k];
                detail.barsText = kNoArrangementText;
                detail.undesignedText = presence.gapText(model, k);
            }
            cells[k] = intern(std::move(detail));
        }
        std::string key(reinterpret_cast<const char*>(cells.data()), cells.size() * sizeof(uint32_t));
        const auto [found, added] = markOf.try_emplace(std::move(key), schedule.marks.size());
        if (added) schedule.marks.push_back({"C" + std::to_string(schedule.marks.size() + 1), {}, {}, cells});
        ColumnMark& mark = schedule.marks[found->second];
        mark.lines.push_back(g);
        mark.gridRefs.push_back(ref);
    }
    std::sort(ungraded.begin(), ungraded.end());
    ungraded.erase(std::unique(ungraded.begin(), ungraded.end()), ungraded.end());
    schedule.ungradedMembers = std::move(ungraded);
    return schedule;
}

}  // namespace tierwise
