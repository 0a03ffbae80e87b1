// tierwise-batch: the column schedule of an analysis output file, written as an .xlsx workbook
// without opening the window.
#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "model/model.h"
#include "model/numbers.h"
#include "model/rejection.h"
#include "model/summary.h"
#include "drawing/schedule_drawing.h"
#include "platform/anl_file.h"
#include "platform/calendar.h"
#include "platform/native_file.h"
#include "platform/drawing_files.h"
#include "platform/xlsx_workbook.h"
#include "reader/anl_reader.h"
#include "report/schedule.h"

namespace {

using namespace tierwise;

constexpr int kExitWritten = 0;
constexpr int kExitRejected = 1;
constexpr int kExitUsage = 2;

const char* const kFooter = R"(Every level is ticked unless --split is given. With --split only the lowest level,
the highest level and the levels listed are ticked; each pair of ticked levels is one storey
range of worksheet 3. Levels are in metres as the level captions show them (3.5, 7.2, -3.5) and
match within 0.005 m. Basement levels are negative: --split=-3.5,0 and --split -3.5,0 both work.
Naming the lowest level alone (--split 0 when it is at 0 m) gives one range over the whole height.

Worksheet 4, "Column schedule", details every column line in every storey range by IS 456:2000:
the section (all the range's columns must share one), the bars (one diameter, a bar in each
corner and as many more on each face as keep the centres within 300 mm and the clear gap at
least a bar diameter and 25 mm; at least 0.8 % and at most 6 % of the gross area; within
--max-steel whenever some arrangement can be; the fewest bars costing at most 10 % more steel
than the least) and the ties (a quarter of the bar and at least 6 mm; pitch within the least
lateral dimension, 16 bar diameters and 300 mm, in steps of 25 mm). Lines whose ranges read the
same share a mark (C1, C2, ...); the grid lines are lettered A, B, ... along X and numbered
1, 2, ... along Z, so a line's reference reads B-3.

The workbook is written completely or not at all; a file already at OUT.xlsx is replaced only
once the new workbook is complete, read back and on the disk, and keeps that file's permissions.
When OUT.xlsx is a symbolic link, the file it names is replaced and the link stays. OUT.xlsx
must be a regular file or not exist yet: a folder, a device (/dev/null), a pipe, or the analysis
file itself is refused before anything is written. Writing to standard output ("-o -") is not
supported. An interrupted run (Ctrl-C) leaves nothing behind.

An analysis file whose design results are not followed by the end of the analysis run looks cut
off: its schedule would be incomplete, so it is refused unless --allow-incomplete is given.

Every drawing is written completely or not at all too: --drawing OUT.pdf draws the column
schedule and the column layout plan one sheet a page; OUT.svg and OUT.dxf hold the sheets side by
side (the DXF on layers GRID, OUTLINE, BARS, TIES and TEXT). --drawing may be given more than once.

Exit status:
  0  the workbook was written
  1  the model was refused (the reason is printed) or the workbook could not be written
  2  the command line was wrong (an unknown option, --summary with --output, a --split level the
     model does not have, a detailing option out of its range, or a --drawing name not ending in
     .pdf, .svg or .dxf))";

// A message of the reader that names no file (its fixed texts, which the window shows as they
// are) gets the file's name in front.
std::string naming(const std::string& message, const std::filesystem::path& file) {
    const std::string name = utf8Name(file);
    return message.find(name) == std::string::npos ? name + ": " + message : message;
}

// The output is the model itself, however it is spelled (../dir/m.anl, a link to it).
bool isTheModel(const std::filesystem::path& modelPath, const std::filesystem::path& outPath) {
    std::error_code error;
    return std::filesystem::equivalent(modelPath, outPath, error) && !error;
}

struct UsageError {
    std::string message;
};

// "12,16,20" in whole millimetres.
std::vector<int> parseDiameters(const char* flag, const std::string& text) {
    std::vector<int> diameters;
    for (const std::string& item : splitLevelList(text)) {
        int value = 0;
        const char* const end = item.data() + item.size();
        const auto [stop, error] = std::from_chars(item.data(), end, value);
        if (item.empty() || error != std::errc{} || stop != end) {
            throw UsageError{std::string(flag) + ": \"" + item + "\" is not a diameter in whole millimetres"};
        }
        diameters.push_back(value);
    }
    return diameters;
}

struct DetailFlags {
    std::string cover, bars, ties, maxSteel;  // empty: the default
};

DetailOptions detailOptions(const DetailFlags& flags) {
    DetailOptions options;
    if (!flags.cover.empty()) {
        const std::optional<double> cover = parseDecimal(flags.cover);
        if (!cover) throw UsageError{"--cover: \"" + flags.cover + "\" is not a number of millimetres"};
        options.cover = *cover;
    }
    if (!flags.maxSteel.empty()) {
        const std::optional<double> percent = parseDecimal(flags.maxSteel);
        if (!percent) throw UsageError{"--max-steel: \"" + flags.maxSteel + "\" is not a percentage"};
        options.maxSteelPercent = *percent;
    }
    if (!flags.bars.empty()) options.barDiameters = parseDiameters("--bars", flags.bars);
    if (!flags.ties.empty()) options.tieDiameters = parseDiameters("--ties", flags.ties);
    if (const std::optional<std::string> problem = optionsProblem(options)) throw UsageError{*problem};
    return options;
}

int run(const std::filesystem::path& modelPath, const std::filesystem::path& outPath,
        const std::optional<std::vector<std::string>>& split, bool allowIncomplete, const DetailOptions& options,
        const std::vector<std::string>& drawings) {
    if (outPath == "-") {
        std::cerr << "tierwise-batch: the workbook cannot go to standard output; name a file with -o\n";
        return kExitUsage;
    }
    if (isTheModel(modelPath, outPath)) {
        std::cerr << "Cannot write " << utf8Name(outPath) << ": it is the analysis file " << utf8Name(modelPath)
                  << " itself, which the workbook would destroy\n";
        return kExitRejected;
    }
    for (const std::string& drawing : drawings) {
        if (isTheModel(modelPath, pathFromUtf8(drawing))) {
            std::cerr << "Cannot write " << drawing << ": it is the analysis file " << utf8Name(modelPath)
                      << " itself, which the drawing would destroy\n";
            return kExitRejected;
        }
    }
    Model model;
    try {
        model = readAnlFile(modelPath);
    } catch (const Rejection& e) {
        std::cerr << naming(e.what(), modelPath) << '\n';
        return kExitRejected;
    }
    if (const std::string cutOff = cutOffMessage(model, utf8Name(modelPath)); !cutOff.empty()) {
        if (!allowIncomplete) {
            std::cerr << cutOff << " Give --allow-incomplete to write it all the same.\n";
            return kExitRejected;
        }
        std::cerr << "warning: " << cutOff << '\n';
    }

    ColumnLines schedule;
    LevelTicks ticks(static_cast<size_t>(model.levelCount()), true);
    ColumnDetailing detailed;
    try {
        schedule = prepareColumnLines(model);
        if (split) ticks = ticksAtLevels(model, *split);
        detailed = detailColumns(schedule, ticks, options);
    } catch (const Rejection& e) {
        std::cerr << utf8Name(modelPath) << ": " << e.what() << '\n';
        return kExitRejected;
    } catch (const LevelNotFound& e) {
        std::cerr << "tierwise-batch: --split: " << e.what() << '\n';
        return kExitUsage;
    }

    try {
        // The drawing is made before anything is written, so that a model it cannot be drawn
        // from leaves no workbook behind either.
        Drawing drawing;
        if (!drawings.empty()) {
            drawing = scheduleDrawing(detailed, model, schedule.lines,
                                      {utf8Name(modelPath.filename()), today(), options.cover});
        }
        XlsxWorkbook book(outPath);
        writeWorkbook(schedule, ticks, detailed, book);
        book.commit();
        for (const std::string& target : drawings) {
            writeDrawingFile(drawing, pathFromUtf8(target));
            std::cout << "Wrote " << target << '\n';
        }
    } catch (const Rejection& e) {
        std::cerr << e.what() << '\n';
        return kExitRejected;
    }

    if (model.designBlocks.empty()) {
        std::cerr << "warning: " << utf8Name(modelPath)
                  << " holds no column design results headed \"C O L U M N   N O.\"; the schedule has headings"
                     " and storey ranges only\n";
    }
    const size_t lines = schedule.lines.size();
    const int64_t columns = schedule.columnCount();
    std::cout << "Wrote " << utf8Name(outPath) << ": " << model.levelCount() << " levels, " << lines
              << (lines == 1 ? " column line, " : " column lines, ") << columns
              << (columns == 1 ? " column" : " columns") << '\n';
    return kExitWritten;
}

// What was read from the file, and the number of column marks the schedule would have, without
// writing a workbook. A model the schedule refuses still has its summary, and the reason.
int summarise(const std::filesystem::path& modelPath, const std::optional<std::vector<std::string>>& split,
              const DetailOptions& options) {
    Model model;
    try {
        model = readAnlFile(modelPath);
    } catch (const Rejection& e) {
        std::cerr << naming(e.what(), modelPath) << '\n';
        return kExitRejected;
    }
    if (const std::string cutOff = cutOffMessage(model, utf8Name(modelPath)); !cutOff.empty()) {
        std::cerr << "warning: " << cutOff << '\n';
    }
    std::cout << modelSummary(model);
    try {
        const ColumnLines schedule = prepareColumnLines(model);
        const LevelTicks ticks =
            split ? ticksAtLevels(model, *split) : LevelTicks(static_cast<size_t>(model.levelCount()), true);
        std::cout << "Column marks: " << detailColumns(schedule, ticks, options).marks.size() << '\n';
    } catch (const Rejection& e) {
        std::cout << "Column marks: none, the schedule is refused: " << e.what() << '\n';
    } catch (const LevelNotFound& e) {
        std::cerr << "tierwise-batch: --split: " << e.what() << '\n';
        return kExitUsage;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tierwise-batch: the summary could not be written to standard output\n";
        return kExitRejected;
    }
    return kExitWritten;
}

int runCommandLine(int argc, char** argv) {
    CLI::App app{
        "Writes the column schedule of an analysis output file (*.ANL) as a four-sheet .xlsx workbook:\n"
        "one row per column line, blocked by cross-section; worksheet 1 adds the steel percentage\n"
        "and every column's required steel area, worksheet 2 each area with its member number,\n"
        "worksheet 3 the largest area in each storey range; worksheet 4, \"Column schedule\", one row\n"
        "per column mark with its grid references and, per storey range, the size, bars and ties.",
        "tierwise-batch"};
    std::string modelPath;
    std::string outPath;
    std::string split;
    app.add_option("MODEL", modelPath, "The analysis output file (*.ANL)")->required();
    CLI::Option* outOption = app.add_option("-o,--output", outPath, "The workbook to write (OUT.xlsx)");
    bool summary = false;
    app.add_flag("--summary", summary,
                 "Print what was read (unit, joints, members, BETA 90 members, column design blocks, levels) "
                 "and the number of column marks instead of writing a workbook");
    CLI::Option* splitOption = app.add_option(
        "--split", split, "Levels in metres where storey ranges end, besides the lowest and highest, as 3.5,7");
    bool allowIncomplete = false;
    app.add_flag("--allow-incomplete", allowIncomplete,
                 "Write the schedule of an analysis file that looks cut off (a warning names it)");
    DetailFlags flags;
    app.add_option("--cover", flags.cover, "Nominal cover to the longitudinal bars, mm (default 40)");
    app.add_option("--bars", flags.bars, "Bar diameters to choose from, mm (default 12,16,20,25,28,32)");
    app.add_option("--ties", flags.ties, "Tie diameters to choose from, mm (default 8,10,12)");
    app.add_option("--max-steel", flags.maxSteel,
                   "Largest steel share to aim for, per cent of the gross area: above 0.8, at most 6 (default 4)");
    std::vector<std::string> drawings;
    app.add_option("--drawing", drawings,
                   "Also draw the column schedule and the column layout plan into OUT.pdf, OUT.svg or OUT.dxf "
                   "(the format from the extension); may be given more than once")
        ->allow_extra_args(false);
    app.footer(kFooter);
    // A model named by an absolute path such as /models/office.anl is a file, not an option.
    app.allow_windows_style_options(false);

    const std::vector<std::string> arguments = utf8Arguments(argc, argv);
    std::vector<const char*> args;
    args.reserve(arguments.size());
    for (const std::string& argument : arguments) args.push_back(argument.c_str());
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kExitWritten : kExitUsage;
    }
    if (summary && outOption->count() > 0) {
        std::cerr << "tierwise-batch: --summary writes no workbook, so it takes no --output\n"
                  << "Run with --help for more information.\n";
        return kExitUsage;
    }
    DetailOptions options;
    try {
        options = detailOptions(flags);
    } catch (const UsageError& e) {
        std::cerr << "tierwise-batch: " << e.message << '\n';
        return kExitUsage;
    }
    const auto levels = splitOption->count() > 0 ? std::optional(splitLevelList(split)) : std::nullopt;
    if (summary) return summarise(pathFromUtf8(modelPath), levels, options);
    for (const std::string& drawing : drawings) {
        if (!drawingFormatFor(drawing)) {
            std::cerr << "tierwise-batch: --drawing " << drawing << ": the name must end in .pdf, .svg or .dxf\n"
                      << "Run with --help for more information.\n";
            return kExitUsage;
        }
    }
    if (outOption->count() == 0) {
        std::cerr << "tierwise-batch: --output is required\n"
                  << "Run with --help for more information.\n";
        return kExitUsage;
    }
    return run(pathFromUtf8(modelPath), pathFromUtf8(outPath), levels, allowIncomplete, options, drawings);
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever escapes (memory running out on a model too large for the machine) ends the run with
    // a message and the failure status, never with an abort.
    try {
        return runCommandLine(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "tierwise-batch: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "tierwise-batch: an unexpected failure ended the run\n";
    }
    return kExitRejected;
}
