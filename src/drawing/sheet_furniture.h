// What every sheet of the schedule drawing has in common: the measures of its lettering and
// furniture, the papers, the frame and the title block. Sheets are laid out from the top left, y
// downwards, and turned y up (flipSheet) once finished.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/drawing.h"
#include "drawing/schedule_drawing.h"
#include "report/detailing.h"

namespace tierwise::furniture {

// Sheet furniture, mm on paper. The frame stands 10 mm inside the paper's edge and everything
// drawn keeps another 5 mm clear of it.
inline constexpr double kFrame = 10;
inline constexpr double kInset = 15;
inline constexpr double kText = 2.5;     // cell texts, refs, marks
inline constexpr double kMinText = 1.8;  // the least a cell text shrinks to: the smallest lettering of drawings
inline constexpr double kHeading = 3.5;  // marks in the table heading, grid labels, sheet titles
inline constexpr double kPitch = 4.25;   // line pitch of 2.5 mm text
inline constexpr double kPad = 3;        // inside a table cell
inline constexpr double kGap = 8;        // between the drawing and the title block
inline constexpr double kBubble = 8;
inline constexpr double kSquare = 3;

struct Paper {
    const char* name;
    double width;  // landscape
    double height;
};
inline constexpr std::array<Paper, 4> kPapers{
    {{"A3", 420, 297}, {"A2", 594, 420}, {"A1", 841, 594}, {"A0", 1189, 841}}};
inline constexpr const Paper& kLargestPaper = kPapers.back();

struct TitleBlock {
    std::string heading;
    std::vector<std::string> rows;
    [[nodiscard]] double width() const {
        double widest = textWidth(heading, kHeading);
        for (const std::string& row : rows) widest = std::max(widest, textWidth(row, kText));
        return std::max(110.0, widest + 2 * kPad);
    }
    [[nodiscard]] double height() const { return kHeading + 2 * kPad + static_cast<double>(rows.size()) * 6.0 + kPad; }
    [[nodiscard]] Point size() const { return {width(), height()}; }
};

// A small ruled table on the NOTES layer (the lap lengths, the legend of marks): rows of cells, the
// first row the headings, a cell one or more lines of text.
using TableCell = std::vector<std::string>;
using TableRow = std::vector<TableCell>;
// A row's height: its tallest cell's lines.
double tableRowHeight(const TableRow& row);
double tableHeight(const std::vector<TableRow>& rows);
// Each column's width, its widest line and the padding.
std::vector<double> tableWidths(const std::vector<TableRow>& rows);
// Draws `rows` with its top left corner at (left, top), each column `widths` wide.
void drawTable(Sheet& sheet, const std::vector<TableRow>& rows, const std::vector<double>& widths, double left,
               double top);

// Turns a sheet laid out y downwards into the model's y-up coordinates.
void flipSheet(Sheet& sheet);
void addText(Sheet& sheet, double x, double y, std::string text, double height, HAlign h, VAlign v, bool bold = false);
void addRectangle(Sheet& sheet, double left, double top, double width, double height, Layer layer);
// Whether `paper` holds the drawing (top left) and the title block (bottom right) inside its
// frame without the two meeting: the title block below the drawing or beside it.
bool holds(const Paper& paper, Point drawing, Point title);
// The smallest ISO A sheet that holds the drawing and its title block; A0 when none does (the
// callers split what A0 cannot hold before they ask).
const Paper& paperFor(Point drawing, Point title);
void setPaper(Sheet& sheet, const Paper& paper);
// The title block's row saying the paper and the scale the DXF plots at (its model space is drawn
// at the layout plan's scale), the same words on every sheet: "Paper A1; plot the DXF at 1:100".
std::string plotRow(std::string_view paper, int cadScale);
// The frame and the title block in the frame's lower right corner.
void drawFrameAndTitle(Sheet& sheet, const TitleBlock& title);
// The section a cell shows: the range's own, or the lowest of several.
std::optional<Section> shownSection(const RangeDetail& detail);
// The rows every title block starts with: the project, the drawing's number and revision, who drew,
// checked and approved it (blank where not given), the model; and for a drawing made from a
// cut-off analysis file that mark after the model's name.
std::vector<std::string> headRows(const DrawingInfo& info);
// A title block: the head rows, then `rows`.
TitleBlock titleBlock(std::string heading, const DrawingInfo& info, std::vector<std::string> rows);

}  // namespace tierwise::furniture
