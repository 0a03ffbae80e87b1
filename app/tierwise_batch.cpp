// tierwise-batch: the column schedule of an analysis output file, written as an .xlsx workbook
// without opening the window.
#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "model/model.h"
#include "model/numbers.h"
#include "model/rejection.h"
#include "model/summary.h"
#include "platform/anl_file.h"
#include "platform/native_file.h"
#include "platform/xlsx_workbook.h"
#include "report/report.h"

namespace {

using namespace tierwise;

constexpr int kExitWritten = 0;
constexpr int kExitRejected = 1;
constexpr int kExitUsage = 2;

// A level named on the command line matches a level of the model within half a centimetre.
constexpr double kLevelTolerance = 0.005;

const char* const kFooter = R"(Every level is ticked unless --split is given. With --split only the lowest level,
the highest level and the levels listed are ticked; each pair of ticked levels is one storey
range of worksheet 3. Levels are in metres as the level captions show them (3.5, 7.2, -3.5) and
match within 0.005 m. Basement levels are negative: --split=-3.5,0 and --split -3.5,0 both work.
Naming the lowest level alone (--split 0 when it is at 0 m) gives one range over the whole height.

The workbook is written completely or not at all; a file already at OUT.xlsx is replaced only
once the new workbook is complete.

Exit status:
  0  the workbook was written
  1  the model was refused (the reason is printed) or the workbook could not be written
  2  the command line was wrong (an unknown option, or a --split level the model does not have))";

std::string levelList(const Model& model) {
    if (model.gridY.empty()) return "none";
    std::string text;
    for (const int32_t level : model.gridY) {
        if (!text.empty()) text += ", ";
        text += formatDouble(level / 100.0);
    }
    return text;
}

std::optional<double> parseMetres(const std::string& text) {
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Level index (1-based) of the level nearest to `metres`, when one lies within the tolerance.
std::optional<int32_t> findLevel(const Model& model, double metres) {
    std::optional<int32_t> best;
    double bestDistance = kLevelTolerance + 1e-9;
    for (size_t i = 0; i < model.gridY.size(); ++i) {
        const double distance = std::abs(model.gridY[i] / 100.0 - metres);
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = static_cast<int32_t>(i + 1);
        }
    }
    return best;
}

// "3.5,7" gives 3.5 and 7; "" gives none.
std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t comma = text.find(',', start);
        const size_t stop = comma == std::string::npos ? text.size() : comma;
        items.push_back(text.substr(start, stop - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return items;
}

struct UsageError {
    std::string message;
};

LevelTicks ticksFor(const Model& model, const std::optional<std::vector<std::string>>& split) {
    const auto levels = static_cast<size_t>(model.levelCount());
    if (!split) return LevelTicks(levels, true);
    LevelTicks ticks(levels, false);
    for (const std::string& item : *split) {
        const std::optional<double> metres = parseMetres(item);
        if (!metres) throw UsageError{"--split: \"" + item + "\" is not a level in metres"};
        const std::optional<int32_t> level = findLevel(model, *metres);
        if (!level) {
            throw UsageError{"--split: the model has no level at " + item + " m; its levels are " + levelList(model) +
                             " (m)"};
        }
        ticks[static_cast<size_t>(*level - 1)] = true;
    }
    return ticks;
}

int run(const std::filesystem::path& modelPath, const std::filesystem::path& outPath,
        const std::optional<std::vector<std::string>>& split) {
    Model model;
    try {
        model = readAnl(modelPath);
    } catch (const Rejection& e) {
        std::cerr << e.what() << '\n';
        return kExitRejected;
    }

    LevelTicks ticks;
    try {
        makeCube(model);
        if (model.levelCount() < 2) checkReportable(model);
        ticks = ticksFor(model, split);
        checkReportable(model, ticks);
    } catch (const Rejection& e) {
        std::cerr << utf8Name(modelPath) << ": " << e.what() << '\n';
        return kExitRejected;
    } catch (const UsageError& e) {
        std::cerr << "tierwise-batch: " << e.message << '\n';
        return kExitUsage;
    }

    std::vector<ColGroup> groups;
    try {
        groups = groupColumns(model);
        XlsxWorkbook book(outPath);
        writeReport(model, ticks, book);
        book.commit();
    } catch (const Rejection& e) {
        std::cerr << e.what() << '\n';
        return kExitRejected;
    }

    if (model.colTab.empty()) {
        std::cerr << "warning: " << utf8Name(modelPath)
                  << " holds no column design results headed \"C O L U M N   N O.\"; the schedule has headings"
                     " and storey ranges only\n";
    }
    int64_t columns = 0;
    for (const ColGroup& group : groups) columns += group.nCols;
    std::cout << "Wrote " << utf8Name(outPath) << ": " << model.levelCount() << " levels, " << groups.size()
              << (groups.size() == 1 ? " column line, " : " column lines, ") << columns
              << (columns == 1 ? " column" : " columns") << '\n';
    return kExitWritten;
}

// What was read from the file, without writing a workbook.
int summarise(const std::filesystem::path& modelPath) {
    try {
        std::cout << modelSummary(readAnl(modelPath));
    } catch (const Rejection& e) {
        std::cerr << e.what() << '\n';
        return kExitRejected;
    }
    return kExitWritten;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Writes the column schedule of an analysis output file (*.ANL) as a three-sheet .xlsx workbook:\n"
                 "one row per column line, blocked by cross-section; worksheet 1 adds the steel percentage\n"
                 "and every column's required steel area, worksheet 2 each area with its member number,\n"
                 "worksheet 3 the largest area in each storey range.",
                 "tierwise-batch"};
    std::string modelPath;
    std::string outPath;
    std::string split;
    app.add_option("MODEL", modelPath, "The analysis output file (*.ANL)")->required();
    CLI::Option* outOption = app.add_option("-o,--output", outPath, "The workbook to write (OUT.xlsx)");
    bool summary = false;
    app.add_flag("--summary", summary,
                 "Print what was read (unit, joints, members, BETA 90 members, column design blocks, levels) "
                 "instead of writing a workbook");
    CLI::Option* splitOption = app.add_option(
        "--split", split, "Levels in metres where storey ranges end, besides the lowest and highest, as 3.5,7");
    app.footer(kFooter);
    // A model named by an absolute path such as /models/office.anl is a file, not an option.
    app.allow_windows_style_options(false);

    const std::vector<std::string> arguments = utf8Arguments(argc, argv);
    std::vector<const char*> args;
    for (const std::string& argument : arguments) args.push_back(argument.c_str());
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kExitWritten : kExitUsage;
    }
    if (summary) return summarise(pathFromUtf8(modelPath));
    if (outOption->count() == 0) {
        std::cerr << "tierwise-batch: --output is required\n" << "Run with --help for more information.\n";
        return kExitUsage;
    }
    return run(pathFromUtf8(modelPath), pathFromUtf8(outPath), splitOption->count() > 0 ? std::optional(splitList(split)) : std::nullopt);
}
