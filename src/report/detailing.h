// Detailing: from the required steel area of each column line in each storey range to the bars
// and ties an engineer issues (IS 456:2000, cl. 26.3.2, 26.4.2.1, 26.5.3.1 and 26.5.3.2), the
// column marks that group identical lines, and each line's grid reference on the plan.
// Pure arithmetic on the model's tables: no file, no window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "grid/grid_lines.h"
#include "model/model.h"
#include "report/anchorage.h"
#include "report/grouping.h"
#include "report/levels.h"

namespace tierwise {

// The rules' numbers, which tierwise-batch's help quotes.
inline constexpr double kMinSteelShare = 0.008;   // cl. 26.5.3.1 a: at least 0.8 % of Ag
inline constexpr double kMaxSteelShare = 0.06;    // cl. 26.5.3.1 a: at most 6 % of Ag
inline constexpr double kMaxBarSpacing = 300;     // cl. 26.5.3.1 g: bar centres along a face, mm
inline constexpr double kMinClearGap = 25;        // cl. 26.3.2: 20 mm aggregate + 5 mm, and never below phi
inline constexpr double kMinTieDiameter = 6;      // cl. 26.5.3.2 c
inline constexpr int kMinMainBarDiameter = 12;    // cl. 26.5.3.1 d: longitudinal bars of a column
inline constexpr double kLappedSteelPercent = 4;  // cl. 26.5.3.1 a, note: where bars are lapped
inline constexpr double kMinColumnCover = 40;     // cl. 26.4.2.1: nominal cover of a column's bars, mm
inline constexpr int kTiePitchStep = 25;
inline constexpr int kMaxTiePitch = 300;
inline constexpr int kTiePitchBars = 16;  // pitch within 16 bar diameters
// A choice with fewer bars is taken when it costs at most 10 % more steel: n phi^2 compared as
// 10 n phi^2 <= 11 n0 phi0^2, exactly.
inline constexpr int64_t kAllowanceNum = 11;
inline constexpr int64_t kAllowanceDen = 10;

// The choices an engineer makes before detailing (tierwise-batch --cover, --bars, --ties,
// --max-steel); the window uses the defaults. The defaults and bounds here are the only ones:
// the command line's help and every message are built from them.
struct DetailOptions {
    // Clear cover to the longitudinal bars, mm: at least kMinColumnCover and the thickest bar. A
    // column takes the larger of this and its design block's COVER.
    double cover = kMinColumnCover;
    std::vector<int> barDiameters{12, 16, 20, 25, 28, 32};
    std::vector<int> tieDiameters{8, 10, 12};
    double maxSteelPercent = kLappedSteelPercent;  // pmax: above kMinMaxSteelPercent and up to kMaxMaxSteelPercent
    // Ductile detailing by IS 13920:2016 on top of IS 456 (tierwise-batch --ductile, the window's
    // check box "Ductile detailing (IS 13920)").
    bool ductile = false;
    // Grades for design blocks that print none (tierwise-batch --concrete, --steel); 0: not given.
    Grades fallbackGrades{};
};

// Bounds of the options: a bar or tie diameter, mm (the least bar kMinMainBarDiameter, the least
// tie kMinTieDiameter); --max-steel, per cent of the gross area (IS 456 cl. 26.5.3.1 a: at least
// 0.8 %, at most 6 %).
inline constexpr int kMaxBarDiameter = 50;
inline constexpr double kMinMaxSteelPercent = 0.8;
inline constexpr double kMaxMaxSteelPercent = 6;

// Rectangular: a bar in each corner, `shortFaceBars` more on each short face (length b) and
// `longFaceBars` more on each long face (length D), count = 4 + 2a + 2d.
// Circular: `count` bars evenly on a circle. count == 0: nothing fits.
struct BarArrangement {
    int count = 0;          // n
    int diameter = 0;       // phi, mm
    int shortFaceBars = 0;  // a
    int longFaceBars = 0;   // d
    double area = 0;        // provided area, mm2
};

struct Ties {
    int diameter = 0;  // mm; 0 when no tie diameter is thick enough for the bars
    int pitch = 0;     // mm
};

// Empty: nothing to show (no column, or only failed ones). NoColumn: the line has no column in the
// range (it starts above or stops below it). NoDesignResults: columns stand there, none designed.
enum class RangeOutcome { Empty, Detailed, OverMaxSteel, NoArrangement, MixedSections, NoColumn, NoDesignResults };

// The texts of the flags a cell may carry; the notes say what each means.
inline constexpr const char* kNoColumnText = "no column";
inline constexpr const char* kNoDesignResultsText = "no design results";

// The crossties of one tie level of a rectangular column: straight bars hooked round a main bar on
// each of two opposite faces. Circular columns have hoops alone (all zeros).
struct TieLayout {
    int acrossB = 0;        // crossties parallel to the short side b, each holding a bar of both long faces
    int acrossD = 0;        // crossties parallel to the long side D, each holding a bar of both short faces
    double longestGap = 0;  // the longest run of a hoop side between legs that hold it, bar centre to centre, mm
    // The bars the crossties hold, counted 1 to n along a long face (acrossB of them) and along a
    // short face (acrossD), the corners not counted: what the drawing draws.
    std::vector<int> longFaceHeld, shortFaceHeld;
    [[nodiscard]] int crossties() const { return acrossB + acrossD; }
};

// The hoops of one storey range by IS 13920: the thinnest hoop diameter from the options that
// meets cl. 7.4 and gives the confining steel Ash of cl. 7.6.1 c at a pitch of at least 75 mm.
struct Confinement {
    int diameter = 0;     // hoop diameter, mm; 0 when no hoop fits
    int zonePitch = 0;    // within lo of each end, mm
    int zoneLength = 0;   // lo, mm
    int middlePitch = 0;  // between the zones, mm
    TieLayout layout;
};

// One column line (or mark) in one storey range: what its cell shows. Its texts say all of it, so
// cells that read alike are one RangeDetail (see ColumnDetailing::details).
struct RangeDetail {
    RangeOutcome outcome = RangeOutcome::Empty;
    Section section;                           // when all the range's columns share one
    std::vector<Section> sections;             // bottom up, distinct, when they do not
    BarArrangement bars;                       // Detailed only
    Ties ties;                                 // Detailed only
    double cover = 0;                          // mm, the largest cover among the range's columns
    TieLayout layout;                          // Detailed only: the crossties besides the perimeter tie
    Confinement confinement;                   // Detailed and ductile only: the hoops by IS 13920
    bool overPractical = false;                // Detailed above --max-steel: the least steel up to 6 %
    std::string sizeText, barsText, tiesText;  // "300 X 450", "8 - 20 dia (1.86 %)", "8 dia @ 150 c/c"
    // Where some of the range's columns have no design results: "6 to 9 m: no design results".
    std::string undesignedText;
};

struct ColumnMark {
    std::string mark;                   // "C1"
    std::vector<size_t> lines;          // indexes into the schedule's column lines (groupColumns order)
    std::vector<std::string> gridRefs;  // "B-3" per line, same order
    std::vector<uint32_t> ranges;       // one per storey range, bottom up: indexes into ColumnDetailing::details
};

struct ColumnDetailing {
    DetailOptions options;  // as detailed
    std::vector<StoreyRange> ranges;
    GridAxes axes;                      // the named grid lines of every column position (grid/grid_lines.h)
    std::vector<std::string> lineRefs;  // per column line (groupColumns order): "B-3", "(X 3.5)-3"
    std::vector<ColumnMark> marks;      // C1, C2, ... in the order of their first line
    // Under options.ductile: the member numbers of columns detailed by IS 456 alone because their
    // design blocks give no grades and no fallback grades were given, ascending.
    std::vector<int32_t> ungradedMembers;
    // The distinct cells, each once: the generated 40 x 40 tower, 1 600 lines in 60 ranges, has 131
    // of them. details[0] is the empty cell.
    std::vector<RangeDetail> details;

    // Mark `mark`'s cell in storey range `k` (0-based, bottom up).
    [[nodiscard]] const RangeDetail& cell(const ColumnMark& mark, size_t k) const { return details[mark.ranges[k]]; }
};

// Why the options cannot be used ("--max-steel must be above 0.8 and at most 6"), or nothing.
// The flag names are those of tierwise-batch.
std::optional<std::string> optionsProblem(const DetailOptions& options);

// Gross area Ag, mm2: b * D, or pi * D^2 / 4 for a circle.
double grossArea(const Section& section);

// The arrangement for `requiredArea` (As,req) by the rules of the module comment: feasible
// spacing and Aneed <= A <= 6 % of Ag; within pmax whenever some arrangement can be, then fewest
// bars within 10 % of the least steel; above pmax, the least steel. count == 0 when no
// arrangement is feasible.
BarArrangement chooseBars(const Section& section, double requiredArea, const DetailOptions& options);

// Lateral ties for bars of `barDiameter`: the thinnest tie diameter of at least a quarter of the
// bar and 6 mm; the pitch the largest multiple of 25 mm within the least lateral dimension,
// 16 bar diameters and 300 mm.
Ties chooseTies(const Section& section, int barDiameter, const DetailOptions& options);

// What ductile detailing needs of a storey range besides its sections: the grades (the weakest
// concrete, the hoops' steel; nothing when a column's design block gives none and no fallback was
// given) and the largest design LENGTH of its columns, mm.
struct RangeDemand {
    std::optional<Grades> grades;
    double length = 0;
};

// The text of a ductile cell's flag where no grades are known; the notes say what it means.
inline constexpr const char* kNoGradesText = "IS 456 only: no grades";

// One storey range of one line: the sections of its columns bottom up (repeats allowed, empty
// when the line has no column there) and the largest required area among them, detailed with
// options.cover (the range's cover): ties that hold every bar, and under options.ductile the hoops
// of IS 13920 for `demand` ("300 X 450" flagged "230 X 600: under 300 mm" where the least side
// is under 300 mm; the Ties text "... ; IS 456 only: no grades" where demand has no grades).
RangeDetail detailRange(const std::vector<Section>& sectionsBottomUp, double requiredArea, const DetailOptions& options,
                        const RangeDemand& demand = {});

// Worksheet 4's texts: "300 X 450" or "450 dia"; "8 - 20 dia (1.86 %)", or above the practical
// limit `overPercent` "18 - 20 dia (4.19 %, over 4 %)"; "8 dia @ 150 c/c".
std::string sizeText(const Section& section);
std::string barsText(const BarArrangement& bars, const Section& section,
                     std::optional<double> overPercent = std::nullopt);
std::string tiesText(const Ties& ties);

// The warning for detailing.ungradedMembers: "no grades for ductile detailing (IS 13920) of
// members 12, 14: their design blocks give none, so they are detailed by IS 456 alone", or nothing.
std::optional<std::string> ungradedWarning(const ColumnDetailing& detailing);

// Every line of `lines` (from groupColumns on `model`) detailed in every storey range of `ticks`,
// its grid reference, and the marks. A range whose columns all failed (area 0) stays empty, as on
// worksheet 3; one holding a column whose section cannot be rounded shows that section as printed
// and "no arrangement fits". A range without a column of the line says "no column"; one whose
// columns have no design results says so, and a detailed range holding some such columns names
// their heights. Each column's cover is the larger of its design block's and options.cover; a
// range takes the largest, which is part of its cell.
ColumnDetailing detailColumns(const Model& model, const std::vector<ColumnLine>& lines, const LevelTicks& ticks,
                              const DetailOptions& options);

}  // namespace tierwise
