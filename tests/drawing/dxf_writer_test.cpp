#include "drawing/dxf_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace tierwise {
namespace {

struct Group {
    int code;
    std::string value;
};

std::vector<Group> groups(const std::string& dxf) {
    std::istringstream in(dxf);
    std::vector<Group> result;
    std::string code;
    std::string value;
    while (std::getline(in, code) && std::getline(in, value)) result.push_back({std::stoi(code), value});
    return result;
}

TEST(DxfWriter, EntitiesPerLayerAndStructure) {
    Drawing drawing;
    Sheet first;
    first.lines.push_back({{0, 0}, {10, 10}, Layer::Grid});
    first.polylines.push_back({{{0, 0}, {1, 0}, {1, 1}}, true, Layer::Ties});
    first.circles.push_back({{5, 5}, 2, true, Layer::Bars});
    first.circles.push_back({{5, 5}, 8, false, Layer::Grid});
    first.texts.push_back({{1.5, 2.25}, "C1", 2.5, HAlign::Centre, VAlign::Middle, false, Layer::Text});
    // One symbol, a tie with a bar, placed twice.
    first.symbols.push_back(
        {{}, {{{{0, 0}, {1, 0}, {1, 1}}, true, Layer::Ties}}, {{{0, 0}, 2, true, Layer::Bars}}, {}});
    first.placements = {{0, {10, 10}}, {0, {20, 10}}};
    Sheet second = first;
    second.width = 594;
    drawing.sheets = {first, second};

    const std::vector<Group> all = groups(dxfText(drawing));
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().value, "EOF");
    std::map<std::string, int> counts;  // "TYPE LAYER"
    bool inEntities = false;
    std::string layerOfLast;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].code == 2 && all[i].value == "ENTITIES") inEntities = true;
        if (!inEntities || all[i].code != 0 || all[i].value == "ENDSEC" || all[i].value == "EOF") continue;
        ASSERT_LT(i + 1, all.size());
        ASSERT_EQ(all[i + 1].code, 8) << all[i].value << " without a layer";
        ++counts[all[i].value + " " + all[i + 1].value];
    }
    // Per sheet: its paper edge and the tie are polylines; a bar is an insert of the disc block.
    const std::map<std::string, int> expected{{"LINE GRID", 2},      {"POLYLINE TIES", 2},    {"VERTEX TIES", 6},
                                              {"SEQEND TIES", 2},    {"INSERT BARS", 2},      {"CIRCLE GRID", 2},
                                              {"TEXT TEXT", 2},      {"POLYLINE OUTLINE", 2}, {"VERTEX OUTLINE", 8},
                                              {"SEQEND OUTLINE", 2}, {"INSERT OUTLINE", 4}};
    EXPECT_EQ(counts, expected);
    // Each sheet's symbol is a block of its own, holding the tie and the bar on their layers.
    std::vector<std::string> blocks;
    for (size_t i = 0; i + 1 < all.size(); ++i) {
        if (all[i].value == "BLOCK" && all[i + 2].code == 2) blocks.push_back(all[i + 2].value);
    }
    EXPECT_EQ(blocks, (std::vector<std::string>{"BAR", "CELL1_1", "CELL2_1"}));

    // The second sheet stands 50 mm right of the first: its line starts at x = 470. (The blocks
    // hold their outlines as lines round their own origin.)
    int lineStarts = 0;
    bool entities = false;
    for (size_t i = 0; i + 1 < all.size(); ++i) {
        entities = entities || (all[i].code == 2 && all[i].value == "ENTITIES");
        if (entities && all[i].code == 0 && all[i].value == "LINE") {
            while (all[i].code != 10) ++i;
            EXPECT_EQ(all[i].value, lineStarts++ == 0 ? "0" : "470");
        }
    }
    EXPECT_EQ(lineStarts, 2);
}

}  // namespace
}  // namespace tierwise
