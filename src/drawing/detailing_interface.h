// Stand-in for report/detailing.h until the detailing lands: the detailed schedule's data types
// exactly as agreed, nothing more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tierwise {

struct DetailOptions {
    double cover = 40;
    std::vector<int> barDiameters{12, 16, 20, 25, 28, 32};
    std::vector<int> tieDiameters{8, 10, 12};
    double maxSteelPercent = 4;
};
struct Section {
    int b = 0;
    int D = 0;
    [[nodiscard]] bool circular() const { return b == 0; }
};
struct BarArrangement {
    int count = 0;
    int diameter = 0;
    int shortFaceBars = 0;
    int longFaceBars = 0;
    double area = 0;
};
struct Ties {
    int diameter = 0;
    int pitch = 0;
};
enum class RangeOutcome { Empty, Detailed, OverMaxSteel, NoArrangement, MixedSections };
struct RangeDetail {
    RangeOutcome outcome = RangeOutcome::Empty;
    Section section;
    std::vector<Section> sections;
    double requiredArea = 0;
    BarArrangement bars;
    Ties ties;
    std::string sizeText, barsText, tiesText;
};
struct ColumnMark {
    std::string mark;
    std::vector<size_t> lines;
    std::vector<std::string> gridRefs;
    std::vector<RangeDetail> ranges;
};
struct StoreyRange {
    int32_t bottomLevel = 0, topLevel = 0;
    std::string caption;
};
struct GridAxes {
    std::vector<int32_t> x, z;
};
struct DetailedSchedule {
    std::vector<StoreyRange> ranges;
    GridAxes axes;
    std::vector<std::string> lineRefs;
    std::vector<ColumnMark> marks;
};

}  // namespace tierwise
