#include "drawing/dxf_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

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

// A text as a group value: what a DXF reader decodes back to the text, on one line.
struct ValueCase {
    std::string name;
    std::string text;  // UTF-8
    std::string value;
};

class DxfValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DxfValueTest, WithinAsciiOnOneLine) { EXPECT_EQ(dxfValue(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(Dxf, DxfValueTest,
                         ::testing::Values(ValueCase{"Plain", "C1 300 X 450", "C1 300 X 450"},
                                           ValueCase{"Latin", "B\u00fcrohaus.anl", "B\\U+00FCrohaus.anl"},
                                           ValueCase{"GreekAndChinese", "\u03a9\u529e", "\\U+03A9\\U+529E"},
                                           ValueCase{"OutsideTheBasicPlane", "\U0001F3E2", "\\U+D83C\\U+DFE2"},
                                           ValueCase{"LineEnds", "two\nlines\r\n", "two lines  "},
                                           ValueCase{"OtherControls", "a\tb\x7f\u0085c", "a b  c"},
                                           ValueCase{"NoUtf8", "a\xff\xc3", "a\\U+FFFD\\U+FFFD"},
                                           ValueCase{"BackslashBeforeU", "\\U+0041 \\P", "\\U+005CU+0041 \\P"}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(DxfWriter, EveryFileItWritesPassesTheCheck) {
    Drawing drawing;
    Sheet sheet;
    sheet.polylines.push_back({{{0, 0}, {1, 0}, {1, 1}}, true, Layer::Ties});
    sheet.texts.push_back({{0, 0}, "B\u00fcro\nhaus", 2.5, HAlign::Left, VAlign::Bottom, false, Layer::Text});
    sheet.symbols.push_back({{}, {{{{0, 0}, {1, 0}}, false, Layer::Ties}}, {}, {}});
    sheet.placements = {{0, {10, 10}}};
    drawing.sheets = {sheet, sheet};
    const std::string dxf = dxfText(drawing);
    // Whole or in pieces of any size, as it is read back.
    for (const size_t piece : {dxf.size(), size_t{1}, size_t{7}, size_t{4096}}) {
        DxfCheck check;
        for (size_t at = 0; at < dxf.size(); at += piece) check.take(std::string_view(dxf).substr(at, piece));
        EXPECT_EQ(check.problem(), "") << piece;
    }
    EXPECT_NE(dxf.find("$DWGCODEPAGE\n3\nANSI_1252\n"), std::string::npos);
    EXPECT_NE(dxf.find("\n1\nB\\U+00FCro haus\n"), std::string::npos);
}

struct CheckCase {
    std::string name;
    std::string dxf;
    std::string problem;
};

class DxfCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DxfCheckTest, FindsWhatIsNotWhole) {
    DxfCheck check;
    check.take(GetParam().dxf);
    EXPECT_EQ(check.problem(), GetParam().problem);
}

const std::string kEntities = "0\nSECTION\n2\nENTITIES\n";
const std::string kEnd = "0\nENDSEC\n0\nEOF\n";

INSTANTIATE_TEST_SUITE_P(
    Dxf, DxfCheckTest,
    ::testing::Values(CheckCase{"Whole", kEntities + "0\nTEXT\n1\nC1\n" + kEnd, ""},
                      CheckCase{"Empty", "", "it ends without EOF, at line 0"},
                      CheckCase{"CutInALine", kEntities + "0\nTE", "it ends inside line 6"},
                      CheckCase{"CutAfterACode", kEntities + "0\n", "it ends after a group code, at line 5"},
                      CheckCase{"NoEof", kEntities + "0\nENDSEC\n", "it ends without EOF, at line 6"},
                      CheckCase{"ValueOnTwoLines", kEntities + "0\nTEXT\n1\ntwo\nlines\n" + kEnd,
                                "line 9: \"lines\" is not a group code"},
                      CheckCase{"RawUtf8", kEntities + "0\nTEXT\n1\nB\xc3\xbc\n" + kEnd,
                                "line 8: a value holds a byte outside printable ASCII"},
                      CheckCase{"SectionWithoutName", "0\nSECTION\n0\nENDSEC\n0\nEOF\n",
                                "line 4: a SECTION without its name"},
                      CheckCase{"UnclosedSection", kEntities + "0\nEOF\n", "line 6: EOF inside a SECTION"},
                      CheckCase{"EntityOutsideASection", "0\nLINE\n0\nEOF\n", "line 2: LINE outside a SECTION"},
                      CheckCase{"BlockOutsideBlocks", kEntities + "0\nBLOCK\n" + kEnd,
                                "line 6: a BLOCK outside BLOCKS or inside a BLOCK"},
                      CheckCase{"UnclosedBlock", "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n" + kEnd,
                                "line 8: ENDSEC outside a SECTION or inside a BLOCK"},
                      CheckCase{"UnclosedPolyline", kEntities + "0\nPOLYLINE\n0\nVERTEX\n0\nLINE\n" + kEnd,
                                "line 10: LINE inside a POLYLINE"},
                      CheckCase{"MoreAfterEof", kEntities + kEnd + "0\nEOF\n", "line 9: more after EOF"}),
    [](const auto& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace tierwise
