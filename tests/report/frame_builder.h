// Models for the report tests, built straight as buildPlanGrid leaves them: levels, plan lines and
// design entries, with no analysis file and no coordinates.
#pragma once

#include <algorithm>
#include <tuple>
#include <vector>

#include "model/model.h"

namespace tierwise::support {

// A column reaching `level` from below; designed = false gives a column without a design entry.
struct Column {
    int32_t level;
    float member;
    float width = 300;
    float depth = 450;
    float area = 1000;
    bool designed = true;
    float cover = 0;            // COVER of the design block, 0: not printed
    int16_t concreteGrade = 0;  // fck of the design block, 0: not printed
};

// The columns of one plan position; node is the joint at the lowest level, 0 for none.
struct Line {
    int32_t xIndex;
    int32_t zIndex;
    int32_t node;
    std::vector<Column> columns;
};

inline Model buildFrame(std::vector<int32_t> levelsCm, std::vector<Line> lines) {
    Model model;
    model.gridY = std::move(levelsCm);
    std::sort(lines.begin(), lines.end(),
              [](const Line& a, const Line& b) { return std::tie(a.xIndex, a.zIndex) < std::tie(b.xIndex, b.zIndex); });
    int32_t nx = 0;
    int32_t nz = 0;
    for (const Line& line : lines) {
        nx = std::max(nx, line.xIndex);
        nz = std::max(nz, line.zIndex);
        PlanLine plan{line.xIndex, line.zIndex, {}};
        if (line.node != 0) plan.points.push_back({1, line.node, 0});
        for (const Column& column : line.columns) {
            int32_t col = 0;
            if (column.designed) {
                model.designBlocks.push_back(
                    {column.member, 3000, column.width, column.depth, column.area, column.cover, column.concreteGrade});
                col = model.designBlockCount();
            }
            plan.points.push_back({column.level, 1000 * column.level + line.xIndex * 10 + line.zIndex, col,
                                   static_cast<int32_t>(column.member)});
        }
        model.planLines.push_back(std::move(plan));
    }
    for (int32_t i = 1; i <= nx; ++i) model.gridX.push_back(100 * i);
    for (int32_t i = 1; i <= nz; ++i) model.gridZ.push_back(100 * i);
    return model;
}

}  // namespace tierwise::support
