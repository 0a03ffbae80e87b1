// The model store: every table that the reader, the grid and the report hand to each other.
// One Model per analysis file; the procedures take it by reference.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tierwise {

// One joint of "JOINT COORDINATES": number and coordinates in whole centimetres.
// X and Z are shifted by buildPlanGrid (smallest X becomes 200, smallest Z 300); Y never changes.
struct JointEntry {
    int32_t number = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
};

// One member of "MEMBER INCIDENCES". After reading, a column runs from its lower to its upper joint.
struct MemberEntry {
    int32_t number = 0;
    int32_t start = 0;
    int32_t end = 0;
};

// One column design block, values as printed (mm, mm² and N/mm², no unit conversion), in single
// precision. Kept small: a large file holds hundreds of thousands of blocks.
struct DesignBlock {
    float memberNo = 0;   // after "C O L U M N   N O."
    float length = 0;     // after "LENGTH:" (kept, read by nobody)
    float width = 0;      // after "CROSS SECTION:" (exchanged with depth for BETA 90 members)
    float depth = 0;      // after the first "X" of that line; 0 for a circular section
    float steelArea = 0;  // after "REQD. STEEL AREA   :"; 0 marks a failed column
    float cover = 0;      // after "COVER:" in the section's line: clear cover to the main bars; 0: not printed
    // From the grade line "M25   Fe415 (Main)   Fe415 (Sec.)": fck and fy in N/mm², 0 where not printed.
    int16_t concreteGrade = 0;
    int16_t mainSteelGrade = 0;
    int16_t tieSteelGrade = 0;
    bool circular = false;  // the section was printed as a diameter ("450.0 mm dia."): width is the diameter
};

// The prismatic section given to a member in the echoed input ("1 TO 35 PRIS YD 0.45 ZD 0.3"),
// in mm: yd along the member's local y axis, zd along its local z axis; zd 0 for a round
// section, yd its diameter.
struct MemberSection {
    int32_t member = 0;
    float yd = 0;
    float zd = 0;
};

// A grid point that holds a joint, on one vertical grid line.
struct GridPoint {
    int32_t levelIndex = 0;   // 1 = lowest level
    int32_t joint = 0;        // joint number standing here (never 0 in the table)
    int32_t designBlock = 0;  // designBlocks entry (1-based) of the column ending here from below, 0 = none
    int32_t member = 0;       // the member ending here from the grid point below, designed or not; 0 = none
};

// All grid points of one plan position (xIndex, zIndex) that hold a joint, bottom up.
struct PlanLine {
    int32_t xIndex = 0;  // 1-based position in gridX
    int32_t zIndex = 0;  // 1-based position in gridZ
    std::vector<GridPoint> points;
};

// Two columns reaching one grid point from below: stacks a few millimetres apart in plan share a
// plan position once coordinates are read to the centimetre. `kept` stands on the grid point (the
// one with the larger required area), `other` is left out of the schedule.
struct SharedPosition {
    int32_t xIndex = 0;
    int32_t zIndex = 0;
    int32_t levelIndex = 0;
    int32_t kept = 0;   // member
    int32_t other = 0;  // member
};

// The unit of length of the first UNIT line; coordinates are stored in centimetres either way.
enum class LengthUnit { Metre, Millimetre };

// The model store: the tables read from the analysis file, then the plan grid built on them.
struct Model {
    // Filled by the reader.
    std::string title;  // the job title of the first command, "STAAD SPACE OFFICE BLOCK C": "OFFICE BLOCK C"
    LengthUnit unit = LengthUnit::Metre;
    std::vector<JointEntry> joints;         // file order; jointCount() entries
    std::vector<MemberEntry> members;       // file order
    std::vector<int32_t> rotatedMembers;    // members under "BETA 90 MEMB", ranges expanded, duplicates kept
    std::vector<DesignBlock> designBlocks;  // one entry per column design block, file order
    // The members' prismatic sections from "MEMBER PROPERTY", sorted by member, one entry each (a
    // member given a section twice has the later one).
    std::vector<MemberSection> sectionTab;
    // The block the file ended in ("member incidences", ...): such a file is cut off, and no
    // design results can follow. Empty for a complete file.
    std::string endsInside;
    int64_t endLine = 0;  // the file's last line, where endsInside is set
    // A file whose design results are not followed by the analysis run's end banner was cut off
    // while being written or copied: cutOffLine is its last line, 0 for a complete file (and
    // for one that endsInside describes). cutOffColumn is the member of a last design block that
    // stops before its steel area; that block is not in designBlocks.
    int64_t cutOffLine = 0;
    std::optional<float> cutOffColumn;

    // Filled by buildPlanGrid.
    std::vector<int32_t> gridX;  // distinct X (cm, shifted), ascending
    std::vector<int32_t> gridY;  // distinct Y (cm): the levels, ascending; level index i is gridY[i - 1]
    std::vector<int32_t> gridZ;  // distinct Z (cm, shifted), ascending
    int32_t xShift = 0;
    int32_t zShift = 0;
    // Every plan position that holds a joint, with its grid points bottom up (what jointAt and
    // designBlockAt look up): ordered by xIndex, then zIndex.
    std::vector<PlanLine> planLines;
    // Every column that shares its grid point with the one standing there, plan position by plan
    // position, bottom up.
    std::vector<SharedPosition> sharedPositions;

    [[nodiscard]] int32_t jointCount() const { return static_cast<int32_t>(joints.size()); }
    [[nodiscard]] int32_t memberCount() const { return static_cast<int32_t>(members.size()); }
    [[nodiscard]] int32_t rotatedMemberCount() const { return static_cast<int32_t>(rotatedMembers.size()); }
    [[nodiscard]] int32_t designBlockCount() const { return static_cast<int32_t>(designBlocks.size()); }
    [[nodiscard]] int32_t levelCount() const { return static_cast<int32_t>(gridY.size()); }
};

}  // namespace tierwise
