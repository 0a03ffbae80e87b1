#include "drawing/dxf_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
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

// A record: a group 0 and the groups after it.
struct Entity {
    std::string type;
    std::multimap<int, std::string> groups;

    [[nodiscard]] std::string value(int code) const {
        const auto found = groups.find(code);
        return found == groups.end() ? "" : found->second;
    }
};

// The file read back: the header's values, and the entities of each block and ("") the model space.
struct ReadBack {
    std::map<std::string, std::string> header;  // "$TEXTSIZE": its first value
    std::map<std::string, std::vector<Entity>> blocks;
};

ReadBack readBack(const std::string& dxf) {
    ReadBack file;
    std::vector<Entity> records;
    std::string variable;
    for (const Group& group : groups(dxf)) {
        if (group.code == 9) {
            variable = group.value;
        } else if (group.code == 0) {
            variable.clear();
            records.push_back({group.value, {}});
        } else if (!variable.empty()) {
            file.header.try_emplace(variable, group.value);
        } else {
            records.back().groups.emplace(group.code, group.value);
        }
    }
    std::string block;
    bool inEntities = false;
    for (const Entity& record : records) {
        if (record.type == "SECTION" || record.type == "ENDSEC") {
            inEntities = record.value(2) == "ENTITIES";
        } else if (record.type == "BLOCK" || record.type == "ENDBLK") {
            block = record.type == "BLOCK" ? record.value(2) : "";
        } else if (!block.empty() || inEntities) {
            file.blocks[block].push_back(record);
        }
    }
    return file;
}

// A schedule sheet with a symbol placed twice, a bar and a text, and a layout plan at 1:100
// holding one 3 x 4.5 mm column outline: 300 x 450 in the model.
Drawing scaledDrawing() {
    Drawing drawing;
    drawing.cadScale = 100;
    Sheet schedule;
    schedule.lines.push_back({{0, 0}, {10, 10}, Layer::Grid});
    schedule.polylines.push_back({{{0, 0}, {1, 0}, {1, 1}}, true, Layer::Ties});
    schedule.circles.push_back({{5, 5}, 2, true, Layer::Bars});
    schedule.circles.push_back({{5, 5}, 8, false, Layer::Grid});
    schedule.texts.push_back({{1.5, 2.25}, "C1", 3.5, HAlign::Centre, VAlign::Middle, false, Layer::Text});
    schedule.symbols.push_back(
        {{}, {{{{0, 0}, {1, 0}, {1, 1}}, true, Layer::Ties}}, {{{0, 0}, 2, true, Layer::Bars}}, {}});
    schedule.placements = {{0, {10, 10}}, {0, {20, 10}}};
    Sheet plan;
    plan.width = 594;
    plan.height = 420;
    plan.planScale = 100;
    plan.polylines.push_back({{{100, 100}, {103, 100}, {103, 104.5}, {100, 104.5}}, true, Layer::Outline});
    plan.texts.push_back({{104, 105.5}, "C1", kTextHeight, HAlign::Left, VAlign::Bottom, false, Layer::Text});
    drawing.sheets = {schedule, plan};
    return drawing;
}

struct Extents {
    double left = 1e300, bottom = 1e300, right = -1e300, top = -1e300;
    void add(double x, double y) {
        left = std::min(left, x), right = std::max(right, x);
        bottom = std::min(bottom, y), top = std::max(top, y);
    }
};

TEST(DxfWriter, SheetsAsBlocksAtTheCadScale) {
    const std::string text = dxfText(scaledDrawing());
    DxfCheck check;
    check.take(text);
    EXPECT_EQ(check.problem(), "");
    const ReadBack file = readBack(text);

    // Each sheet inserted once, on layer 0, in a row 50 mm of paper apart: 47 m along.
    std::vector<std::string> inserted;
    for (const Entity& e : file.blocks.at("")) {
        EXPECT_EQ(e.type + " " + e.value(8), "INSERT 0");
        inserted.push_back(e.value(2) + " at " + e.value(10) + "," + e.value(20));
    }
    EXPECT_EQ(inserted, (std::vector<std::string>{"SCHEDULE1 at 0,0", "PLAN1 at 47000,0"}));
    std::vector<std::string> blocks;
    for (const auto& [name, entities] : file.blocks) blocks.push_back(name);
    EXPECT_EQ(blocks, (std::vector<std::string>{"", "BAR", "CELL1_1", "PLAN1", "SCHEDULE1"}));

    // On the plan: the paper edge 594 x 420 mm of paper, the column's outline 300 x 450 within it,
    // the mark 250 high.
    Extents edge;
    Extents column;
    for (const Entity& e : file.blocks.at("PLAN1")) {
        if (e.type == "TEXT") {
            EXPECT_EQ(e.value(40), "250");
        }
        if (e.type != "LINE") continue;
        for (const int code : {10, 11}) {
            const double x = std::stod(e.value(code));
            const double y = std::stod(e.value(code + 10));
            (x > 0 && x < 59400 ? column : edge).add(x, y);
        }
    }
    EXPECT_EQ(std::vector<double>({edge.left, edge.bottom, edge.right, edge.top}),
              std::vector<double>({0, 0, 59400, 42000}));
    EXPECT_EQ(std::vector<double>({column.left, column.bottom, column.right, column.top}),
              std::vector<double>({10000, 10000, 10300, 10450}));

    // The schedule's sizes grow alike: its text, its ring and bar, and the cells at scale 1
    // where they are placed, their own bars scaled inside.
    std::multiset<std::string> sizes;
    std::map<std::string, int> counts;  // "TYPE LAYER"
    for (const Entity& e : file.blocks.at("SCHEDULE1")) {
        ++counts[e.type + " " + e.value(8)];
        if (e.type == "TEXT") sizes.insert("text " + e.value(40));
        if (e.type == "CIRCLE") sizes.insert("ring " + e.value(40));
        if (e.type == "INSERT") sizes.insert(e.value(2) + " at " + e.value(10) + " scale " + e.value(41));
    }
    for (const Entity& e : file.blocks.at("CELL1_1")) {
        if (e.type == "INSERT") sizes.insert("in cell " + e.value(2) + " scale " + e.value(41));
    }
    EXPECT_EQ(sizes,
              (std::multiset<std::string>{"text 350", "ring 400", "BAR at 500 scale 200", "CELL1_1 at 1000 scale ",
                                          "CELL1_1 at 2000 scale ", "in cell BAR scale 200"}));

    // A draughtsman's own text and dimensions come out at plot size; limits in the model, the
    // paper limits the largest sheet.
    const std::map<std::string, std::string> header{{"$DIMSCALE", "100"},  {"$LTSCALE", "100"},   {"$TEXTSIZE", "250"},
                                                    {"$EXTMAX", "106400"}, {"$LIMMAX", "106400"}, {"$PLIMMAX", "594"},
                                                    {"$INSUNITS", "4"}};
    for (const auto& [variable, value] : header) EXPECT_EQ(file.header.at(variable), value) << variable;
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
