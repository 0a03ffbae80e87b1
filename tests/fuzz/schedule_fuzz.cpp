// Fuzz target: the whole path from file text to workbook cells: readAnl, then the schedule
// pipeline into a workbook in memory, once with every level ticked and
// once with some levels unticked. A rejection is a fine outcome; a crash, a sanitizer report, a
// hang or a blow-up is not; nor is a row written above one already written on its worksheet,
// which the .xlsx file (written row by row) refuses.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/rejection.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"
#include "report/schedule.h"
#include "support/memory_workbook.h"

namespace {

class TopDownWorkbook final : public tierwise::Workbook {
public:
    void setCell(int sheet, int row, int, const tierwise::CellValue&) override {
        if (sheet < 1 || sheet > tierwise::kSheetCount || row < rowInHand_[static_cast<size_t>(sheet)])
            __builtin_trap();
        rowInHand_[static_cast<size_t>(sheet)] = row;
    }

private:
    std::array<int, tierwise::kSheetCount + 1> rowInHand_{};  // by sheet number
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tierwise;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        MemorySource source(text);
        LineSource lines(source, size + 1);
        Model model = readAnl(lines, "fuzz.anl");
        const ColumnLines schedule = prepareColumnLines(model);
        {
            MemoryWorkbook book;
            writeWorkbook(schedule, LevelTicks(static_cast<size_t>(model.levelCount()), true), book);
        }
        // Some levels unticked, chosen by the input, and a tick list shorter than the levels.
        LevelTicks ticks(static_cast<size_t>(model.levelCount()));
        for (size_t i = 0; i < ticks.size(); ++i) ticks[i] = size > 0 && ((data[i % size] >> (i % 8)) & 1) != 0;
        if (!ticks.empty() && size % 3 == 0) ticks.pop_back();
        MemoryWorkbook book;
        writeWorkbook(schedule, ticks, book);
        TopDownWorkbook topDown;
        writeWorkbook(schedule, ticks, topDown);
    } catch (const Rejection&) {
    }
    return 0;
}
