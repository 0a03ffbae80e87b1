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
#include <string_view>
#include <vector>

#include "model/model.h"
#include "model/numbers.h"
#include "model/rejection.h"
#include "model/summary.h"
#include "drawing/schedule_drawing.h"
#include "platform/anl_file.h"
#include "platform/calendar.h"
#include "platform/drawing_files.h"
#include "platform/native_file.h"
#include "platform/output_set.h"
#include "platform/xlsx_workbook.h"
#include "reader/anl_reader.h"
#include "report/detailing.h"
#include "report/notes.h"
#include "report/schedule.h"
#include "report/ties.h"
#include "report/workbook.h"
#include "tierwise/version.h"

namespace {

using namespace tierwise;

constexpr int kExitWritten = 0;
constexpr int kExitRejected = 1;
constexpr int kExitUsage = 2;

// What a number of the rules reads in the help: "0.8", "300".
std::string quoted(double value) { return formatDouble(value); }
std::string percentOf(double share) { return formatDouble(share * 100); }

std::string joined(const std::vector<int>& values) {
    std::string text;
    for (const int value : values) text += (text.empty() ? "" : ",") + std::to_string(value);
    return text;
}

// The help's text after the options, its numbers those of the detailing (report/detailing.h).
std::string footer() {
    const std::string allowance = percentOf(static_cast<double>(kAllowanceNum - kAllowanceDen) / kAllowanceDen);
    return R"(Every level is ticked unless --split is given. With --split only the lowest level,
the highest level and the levels listed are ticked; each pair of ticked levels is one storey
range of worksheet 3. Levels are in metres as the level captions show them (3.5, 7.2, -3.5) and
match within )" +
           formatDouble(kLevelTolerance) +
           R"( m. Basement levels are negative: --split=-3.5,0 and --split -3.5,0 both work.
Naming the lowest level alone (--split 0 when it is at 0 m) gives one range over the whole height.

Worksheet 4, "Column schedule", details every column line in every storey range by IS 456:2000:
the section (all the range's columns must share one), the bars (one diameter, a bar in each
corner and as many more on each face as keep the centres within )" +
           quoted(kMaxBarSpacing) + R"( mm and the clear gap at
least a bar diameter and )" +
           quoted(kMinClearGap) + " mm; at least " + percentOf(kMinSteelShare) + " % and at most " +
           percentOf(kMaxSteelShare) + R"( % of the gross area; within
--max-steel whenever some arrangement can be, and then the fewest bars costing at most )" +
           allowance + R"( %
more steel than the least; where none can be, the least steel up to )" +
           percentOf(kMaxSteelShare) + R"( %, flagged "over" --max-steel
in the cell) and the ties (a quarter of the bar and at least )" +
           quoted(kMinTieDiameter) + R"( mm; pitch within the least
lateral dimension, )" +
           std::to_string(kTiePitchBars) + " bar diameters and " + std::to_string(kMaxTiePitch) + " mm, in steps of " +
           std::to_string(kTiePitchStep) + R"( mm). Lines whose ranges read the
same share a mark (C1, C2, ...). Grid lines come from every column position, positions within
)" + std::to_string(kPlanToleranceMm) +
           R"( mm sharing a line; a line carrying at least )" + std::to_string(kNamedLineColumns) +
           R"( columns is lettered A, B, ... (no I
or O) along X and numbered 1, 2, ... along Z, so a reference reads B-3, and a column on no such
line is referred to by its coordinates in metres: (X 3.5)-3.
A column's clear cover is the larger of
its design block's COVER and --cover; a cell takes the largest of its columns. A storey range
without a column of the line reads "no column", one whose columns have no design results says so.
The notes below worksheet 4's table and on the drawing give the grades, the covers and what each
flag means.

Options that break the rules IS 456:2000 sets are refused: --cover below )" +
           quoted(kMinColumnCover) + R"( mm or below the thickest
bar (cl. 26.4.2.1), a bar below )" +
           std::to_string(kMinMainBarDiameter) + R"( mm (cl. 26.5.3.1 d), a tie below )" + quoted(kMinTieDiameter) +
           R"( mm (cl. 26.5.3.2 c).

Every bar is held by a tie's corner or a crosstie (cl. 26.5.3.2 b; where bars stand at most )" +
           quoted(kAlternateBarSpacing) + R"( mm
apart, alternate bars): the Ties text counts the crossties, "8 dia @ 150 c/c + 2 crossties".
--ductile details the hoops by IS 13920:2016 as well: at each end of every storey's column a
confining zone lo (the larger side, a sixth of the design LENGTH and )" +
           quoted(kMinConfiningLength) + R"( mm) with hoops at a pitch
within a quarter of the least side, )" +
           std::to_string(kZonePitchBars) + " bar diameters and " + quoted(kMaxZonePitch) +
           R"( mm that gives the confining steel Ash
(cl. 7.6.1), at least )" +
           std::to_string(kLeastPracticalPitch) + R"( mm, legs at most )" + quoted(kMaxHoopLegSpacing) +
           R"( mm apart: "10 dia @ 75 c/c for 600 at each end,
@ 150 c/c between, + 2 crossties". The grades come from each design block; where a block prints
none, --concrete and --steel give them, and without those its columns are detailed by IS 456
alone and a warning names them. A least side under )" +
           quoted(kMinDuctileSide) + R"( mm is flagged in the cell.

--drawing OUT.pdf draws the column schedule and the column layout plan one sheet a page; OUT.svg
and OUT.dxf hold the sheets side by side (the DXF on layers GRID, OUTLINE, BARS, TIES and TEXT).
--drawing may be given more than once.

Every file a run writes, the workbook and each drawing, is written completely or not at all, and
all of them together: each goes to a temporary file beside its target, is read back and flushed to
the disk, and only once all are complete do they replace the files already there, which keep
their permissions; when one cannot, the files already replaced are put back. A target that is a
symbolic link is followed: the file it names is replaced, the link stays. Each target must be a
regular file or not exist yet, in a folder that exists: a folder, a device (/dev/null), a pipe,
the analysis file itself, or a file named twice is refused before anything is written. Writing
to standard output ("-o -") is not supported. A run interrupted before the files are replaced
(Ctrl-C, or a TERM, HUP or QUIT signal) leaves every file as it was and nothing behind.

An analysis file whose design results are not followed by the end of the analysis run looks cut
off: its schedule would be incomplete, so it is refused unless --allow-incomplete is given.

Exit status:
  0  the workbook and every drawing were written
  1  the model was refused (the reason is printed) or a file could not be written
  2  the command line was wrong (an unknown option, an option given an empty value, --summary
     with --output or --drawing, a --split level the model does not have, a detailing option
     out of its range, or a --drawing name not ending in .pdf, .svg or .dxf))";
}

// A message of the reader that names no file (its fixed texts, which the window shows as they
// are) gets the file's name in front.
std::string naming(const std::string& message, const std::filesystem::path& file) {
    const std::string name = utf8Name(file);
    return message.find(name) == std::string::npos ? name + ": " + message : message;
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
    std::string cover, bars, ties, maxSteel;  // empty: not given (an empty value is refused)
    std::string concrete, steel;              // "M25", "Fe415"
    bool ductile = false;
};

// A grade as IS 456 writes it: "M25" (prefix "M") or "Fe415" (prefix "Fe"), the prefix optional.
int parseGrade(const char* flag, std::string_view prefix, const std::string& text) {
    std::string_view digits = text;
    if (digits.starts_with(prefix)) digits.remove_prefix(prefix.size());
    int value = 0;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || stop != digits.data() + digits.size() || value <= 0) {
        throw UsageError{std::string(flag) + ": \"" + text + "\" is not a grade such as " + std::string(prefix) +
                         (prefix == "M" ? "25" : "415")};
    }
    return value;
}

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
    options.ductile = flags.ductile;
    if (!flags.concrete.empty()) options.fallbackGrades.fck = parseGrade("--concrete", "M", flags.concrete);
    if (!flags.steel.empty()) options.fallbackGrades.fy = parseGrade("--steel", "Fe", flags.steel);
    if (const std::optional<std::string> problem = optionsProblem(options)) throw UsageError{*problem};
    return options;
}

enum class CutOff { Refuse, Warn };

// The model in `modelPath`, or nothing when it is refused (the reason printed). A file that looks
// cut off is refused or warned about.
std::optional<Model> readModel(const std::filesystem::path& modelPath, CutOff cutOff) {
    Model model;
    try {
        model = readAnlFile(modelPath);
    } catch (const Rejection& e) {
        std::cerr << naming(e.what(), modelPath) << '\n';
        return std::nullopt;
    }
    if (const std::string cutOffText = cutOffMessage(model, utf8Name(modelPath)); !cutOffText.empty()) {
        if (cutOff == CutOff::Refuse) {
            std::cerr << cutOffText << " Give --allow-incomplete to write it all the same.\n";
            return std::nullopt;
        }
        std::cerr << "warning: " << cutOffText << '\n';
    }
    return model;
}

int run(const std::filesystem::path& modelPath, const std::filesystem::path& outPath,
        const std::optional<std::vector<std::string>>& split, bool allowIncomplete, const DetailOptions& options,
        const std::vector<std::string>& drawings, const TitleFields& fields) {
    if (outPath == "-") {
        std::cerr << "tierwise-batch: the workbook cannot go to standard output; name a file with -o\n";
        return kExitUsage;
    }
    // Every target is checked before the model is read; none is replaced until all are written.
    OutputSet outputs;
    size_t workbookOutput = 0;
    std::vector<size_t> drawingOutputs;
    try {
        outputs.keep(modelPath, "the analysis file " + utf8Name(modelPath));
        workbookOutput = outputs.add(outPath, "workbook");
        for (const std::string& drawing : drawings)
            drawingOutputs.push_back(outputs.add(pathFromUtf8(drawing), "drawing"));
    } catch (const Rejection& e) {
        std::cerr << e.what() << '\n';
        return kExitRejected;
    }
    std::optional<Model> model = readModel(modelPath, allowIncomplete ? CutOff::Warn : CutOff::Refuse);
    if (!model) return kExitRejected;

    ColumnLines schedule;
    LevelTicks ticks(static_cast<size_t>(model->levelCount()), true);
    ColumnDetailing detailed;
    try {
        schedule = prepareColumnLines(*model);
        if (split) ticks = ticksAtLevels(*model, *split);
        detailed = detailColumns(schedule, ticks, options);
    } catch (const Rejection& e) {
        std::cerr << utf8Name(modelPath) << ": " << e.what() << '\n';
        return kExitRejected;
    } catch (const LevelNotFound& e) {
        std::cerr << "tierwise-batch: --split: " << e.what() << '\n';
        return kExitUsage;
    }

    try {
        Drawing drawing;
        if (!drawings.empty()) {
            DrawingInfo info{utf8Name(modelPath.filename()), today(), options.cover};
            info.fields = fields;
            drawing = scheduleDrawing(detailed, *model, schedule.lines, info);
        }
        {
            XlsxWorkbook book(outputs, workbookOutput);
            writeWorkbook(schedule, ticks, detailed, book);
            book.commit();
        }
        for (const size_t output : drawingOutputs) writeDrawingOutput(drawing, outputs, output);
        outputs.commit();
    } catch (const Rejection& e) {
        std::cerr << e.what() << '\n';
        return kExitRejected;
    }

    for (const std::string& drawing : drawings) std::cout << "Wrote " << drawing << '\n';
    for (const std::string& line : leftOutWarnings(*model, leftOutColumns(*model))) {
        std::cerr << "warning: " << utf8Name(modelPath) << ": " << line << '\n';
    }
    if (const std::optional<std::string> ungraded = ungradedWarning(detailed)) {
        std::cerr << "warning: " << utf8Name(modelPath) << ": " << *ungraded << " (--concrete and --steel give them)\n";
    }
    if (model->designBlocks.empty()) {
        std::cerr << "warning: " << utf8Name(modelPath)
                  << " holds no column design results headed \"C O L U M N   N O.\"; the schedule has headings"
                     " and storey ranges only\n";
    }
    const size_t lines = schedule.lines.size();
    const int64_t columns = schedule.columnCount();
    std::cout << "Wrote " << utf8Name(outPath) << ": " << model->levelCount() << " levels, " << lines
              << (lines == 1 ? " column line, " : " column lines, ") << columns
              << (columns == 1 ? " column" : " columns") << '\n';
    return kExitWritten;
}

// What was read from the file, and the number of column marks the schedule would have, without
// writing a workbook. A model the schedule refuses still has its summary, and the reason.
int summarise(const std::filesystem::path& modelPath, const std::optional<std::vector<std::string>>& split,
              const DetailOptions& options) {
    std::optional<Model> model = readModel(modelPath, CutOff::Warn);
    if (!model) return kExitRejected;
    std::cout << modelSummary(*model);
    try {
        const ColumnLines schedule = prepareColumnLines(*model);
        const LevelTicks ticks =
            split ? ticksAtLevels(*model, *split) : LevelTicks(static_cast<size_t>(model->levelCount()), true);
        if (!model->designBlocks.empty()) std::cout << "Grades: " << modelGradesText(*model) << '\n';
        std::cout << "Column marks: " << detailColumns(schedule, ticks, options).marks.size() << '\n';
        const std::vector<LeftOutColumn> leftOut = leftOutColumns(*model);
        if (!leftOut.empty()) {
            std::cout << "Columns left out: " << leftOut.size() << '\n';
            for (const std::string& line : leftOutWarnings(*model, leftOut)) std::cout << "  " << line << '\n';
        }
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

// The first option given an empty value ("--cover ''", as an unset variable in a script gives),
// which would otherwise mean its default without a word.
std::optional<std::string> optionWithEmptyValue(const CLI::App& app) {
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& value : option->results()) {
            if (value.empty()) return option->get_name();
        }
    }
    return std::nullopt;
}

int runCommandLine(int argc, char** argv) {
    CLI::App app{"Writes the column schedule of an analysis output file (*.ANL) as an .xlsx workbook of " +
                     std::to_string(kSheetCount) +
                     " worksheets:\n"
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
    const DetailOptions defaults;
    app.add_option("--cover", flags.cover,
                   "Clear cover to the longitudinal bars, mm, at least " + quoted(kMinColumnCover) + " (default " +
                       quoted(defaults.cover) + "); a design block's larger COVER wins");
    app.add_option("--bars", flags.bars,
                   "Bar diameters to choose from, mm (default " + joined(defaults.barDiameters) + ")");
    app.add_option("--ties", flags.ties,
                   "Tie diameters to choose from, mm (default " + joined(defaults.tieDiameters) + ")");
    app.add_option("--max-steel", flags.maxSteel,
                   "Largest steel share to aim for, per cent of the gross area: above " + quoted(kMinMaxSteelPercent) +
                       ", at most " + quoted(kMaxMaxSteelPercent) + " (default " + quoted(defaults.maxSteelPercent) +
                       ")");
    app.add_flag("--ductile", flags.ductile,
                 "Detail by IS 13920:2016 too: confining zones with close hoops at both ends of every storey's "
                 "column (off by default: the seismic zone is the engineer's to know)");
    app.add_option("--concrete", flags.concrete,
                   "Concrete grade for --ductile where a design block prints none, as M25");
    app.add_option("--steel", flags.steel, "Hoop steel grade for --ductile where a design block prints none, as Fe415");
    std::vector<std::string> drawings;
    app.add_option("--drawing", drawings,
                   "Also draw the column schedule and the column layout plan into OUT.pdf, OUT.svg or OUT.dxf "
                   "(the format from the extension); may be given more than once")
        ->allow_extra_args(false);
    TitleFields fields;
    const std::vector<std::pair<std::string*, const char*>> titleOptions{
        {&fields.project, "--project"},      {&fields.drawingNumber, "--drawing-number"},
        {&fields.revision, "--revision"},    {&fields.drawnBy, "--drawn-by"},
        {&fields.checkedBy, "--checked-by"}, {&fields.approvedBy, "--approved-by"}};
    for (const auto& [field, flag] : titleOptions) {
        app.add_option(flag, *field,
                       field == &fields.project
                           ? "For the drawing's title blocks (without it, the analysis file's job title)"
                           : "For the drawing's title blocks (left blank, to be written by hand, without it)");
    }
    app.set_version_flag("--version", std::string("tierwise-batch ") + kVersion, "Print the version and exit");
    app.footer(footer());
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
    const auto usage = [](const std::string& message) {
        std::cerr << "tierwise-batch: " << message << "\nRun with --help for more information.\n";
        return kExitUsage;
    };
    if (const std::optional<std::string> option = optionWithEmptyValue(app)) {
        return usage(*option + ": the value is empty; give one or leave the option out");
    }
    if (summary && outOption->count() > 0) return usage("--summary writes no workbook, so it takes no --output");
    if (summary && !drawings.empty()) return usage("--summary draws nothing, so it takes no --drawing");
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
        if (!drawingFormatFor(drawing))
            return usage("--drawing " + drawing + ": the name must end in .pdf, .svg or .dxf");
    }
    if (outOption->count() == 0) return usage("--output is required");
    return run(pathFromUtf8(modelPath), pathFromUtf8(outPath), levels, allowIncomplete, options, drawings, fields);
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
