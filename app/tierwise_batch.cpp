// tierwise-batch: the column schedule of an analysis output file, written as an .xlsx workbook
// without opening the window.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "model/model.h"
#include "model/rejection.h"
#include "model/summary.h"
#include "platform/anl_file.h"
#include "platform/native_file.h"
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

The workbook is written completely or not at all; a file already at OUT.xlsx is replaced only
once the new workbook is complete, read back and on the disk, and keeps that file's permissions.
When OUT.xlsx is a symbolic link, the file it names is replaced and the link stays. OUT.xlsx
must be a regular file or not exist yet: a folder, a device (/dev/null), a pipe, or the analysis
file itself is refused before anything is written. Writing to standard output ("-o -") is not
supported. An interrupted run (Ctrl-C) leaves nothing behind.

An analysis file whose design results are not followed by the end of the analysis run looks cut
off: its schedule would be incomplete, so it is refused unless --allow-incomplete is given.

Exit status:
  0  the workbook was written
  1  the model was refused (the reason is printed) or the workbook could not be written
  2  the command line was wrong (an unknown option, --summary with --output or --split, or a
     --split level the model does not have))";

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

int run(const std::filesystem::path& modelPath, const std::filesystem::path& outPath,
        const std::optional<std::vector<std::string>>& split, bool allowIncomplete) {
    if (outPath == "-") {
        std::cerr << "tierwise-batch: the workbook cannot go to standard output; name a file with -o\n";
        return kExitUsage;
    }
    if (isTheModel(modelPath, outPath)) {
        std::cerr << "Cannot write " << utf8Name(outPath) << ": it is the analysis file " << utf8Name(modelPath)
                  << " itself, which the workbook would destroy\n";
        return kExitRejected;
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

    Schedule schedule;
    LevelTicks ticks(static_cast<size_t>(model.levelCount()), true);
    try {
        schedule = prepareSchedule(model);
        if (split) ticks = ticksAtLevels(model, *split);
        checkTicks(schedule, ticks);
    } catch (const Rejection& e) {
        std::cerr << utf8Name(modelPath) << ": " << e.what() << '\n';
        return kExitRejected;
    } catch (const LevelNotFound& e) {
        std::cerr << "tierwise-batch: --split: " << e.what() << '\n';
        return kExitUsage;
    }

    try {
        XlsxWorkbook book(outPath);
        writeSchedule(schedule, ticks, book);
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
    const size_t lines = schedule.lines.size();
    const int64_t columns = schedule.columnCount();
    std::cout << "Wrote " << utf8Name(outPath) << ": " << model.levelCount() << " levels, " << lines
              << (lines == 1 ? " column line, " : " column lines, ") << columns
              << (columns == 1 ? " column" : " columns") << '\n';
    return kExitWritten;
}

// What was read from the file, without writing a workbook.
int summarise(const std::filesystem::path& modelPath) {
    try {
        const Model model = readAnlFile(modelPath);
        if (const std::string cutOff = cutOffMessage(model, utf8Name(modelPath)); !cutOff.empty()) {
            std::cerr << "warning: " << cutOff << '\n';
        }
        std::cout << modelSummary(model) << std::flush;
    } catch (const Rejection& e) {
        std::cerr << naming(e.what(), modelPath) << '\n';
        return kExitRejected;
    }
    if (!std::cout) {
        std::cerr << "tierwise-batch: the summary could not be written to standard output\n";
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
    bool allowIncomplete = false;
    app.add_flag("--allow-incomplete", allowIncomplete,
                 "Write the schedule of an analysis file that looks cut off (a warning names it)");
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
    if (summary && (outOption->count() > 0 || splitOption->count() > 0)) {
        std::cerr << "tierwise-batch: --summary writes no workbook, so it takes neither --output nor --split\n"
                  << "Run with --help for more information.\n";
        return kExitUsage;
    }
    if (summary) return summarise(pathFromUtf8(modelPath));
    if (outOption->count() == 0) {
        std::cerr << "tierwise-batch: --output is required\n" << "Run with --help for more information.\n";
        return kExitUsage;
    }
    return run(pathFromUtf8(modelPath), pathFromUtf8(outPath), splitOption->count() > 0 ? std::optional(splitLevelList(split)) : std::nullopt,
               allowIncomplete);
}
