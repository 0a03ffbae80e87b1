#include "model/summary.h"

#include <algorithm>
#include <vector>

#include "model/numbers.h"

namespace tierwise {

std::string modelSummary(const Model& model) {
    std::vector<int32_t> levels;
    levels.reserve(model.joints.size());
    for (const JointEntry& joint : model.joints) levels.push_back(joint.y);
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());

    std::string text;
    text += std::string("Unit: ") + (model.unit == LengthUnit::Metre ? "METER" : "MMS") + "\n";
    text += "Joints: " + std::to_string(model.jointCount()) + "\n";
    text += "Members: " + std::to_string(model.memberCount()) + "\n";
    text += "BETA 90 members: " + std::to_string(model.rotatedMemberCount()) + "\n";
    text += "Column design blocks: " + std::to_string(model.designBlockCount()) + "\n";
    text += "Levels (m):";
    for (const int32_t level : levels) text.append(" ").append(formatDouble(level / 100.0));
    text += "\n";
    return text;
}

}  // namespace tierwise
