#include "platform/xlsx_workbook.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "model/rejection.h"
#include "platform/archive_check.h"
#include "platform/native_file.h"

namespace tierwise {

namespace {

// Cells between two looks for a held interrupt: often enough to stop within milliseconds,
// rarely enough that asking costs nothing measurable.
constexpr int64_t kCellsPerInterruptCheck = 4096;

// Printing: the paper code of A4, and the width a page holds at full size in pixels of 1/96 inch
// (297 mm less the library's default margins of 0.7 inch either side).
constexpr uint8_t kPaperA4 = 9;
constexpr double kPrintedWidth = (297 / 25.4 - 2 * 0.7) * 96;

// A column's width on screen and paper, in pixels of 1/96 inch, as the spreadsheet programs
// size a width in characters of the default font: 7 pixels a character and 5 of padding.
double columnPixels(double characters) {
    constexpr double kDigit = 7;
    constexpr double kPadding = 5;
    if (characters <= 0) characters = LXW_DEF_COL_WIDTH;
    return std::floor(characters < 1 ? characters * (kDigit + kPadding) + 0.5 : characters * kDigit + 0.5 + kPadding);
}

// The finished temporary workbook, read back a piece at a time.
class FileBytes final : public ArchiveBytes {
public:
    explicit FileBytes(const std::filesystem::path& path) : in_(path, std::ios::binary) {
        if (in_.seekg(0, std::ios::end)) size_ = static_cast<uint64_t>(std::streamoff(in_.tellg()));
    }
    [[nodiscard]] uint64_t size() const override { return size_; }
    std::string_view read(uint64_t offset, size_t length) override {
        buffer_.resize(length);
        in_.clear();
        if (!in_.seekg(static_cast<std::streamoff>(offset))) return {};
        in_.read(buffer_.data(), static_cast<std::streamsize>(length));
        return {buffer_.data(), static_cast<size_t>(in_.gcount())};
    }

private:
    std::ifstream in_;
    uint64_t size_ = 0;
    std::string buffer_;
};

}  // namespace

PrintPages printPages(std::span<const double> widths, const PrintSetup& setup) {
    const auto pixels = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t c = from; c < std::min(to, widths.size()); ++c) sum += columnPixels(widths[c]);
        return sum;
    };
    const double room = kPrintedWidth * 100 / kLegiblePrintScale;
    PrintPages pages;
    if (pixels(0, widths.size()) <= room) return pages;
    pages.scale = kLegiblePrintScale;
    const auto titles = static_cast<size_t>(std::max(0, setup.titleColumns));
    const double roomLeft = room - pixels(0, titles);
    double used = 0;
    bool empty = true;  // a block wider than a page still has one to itself
    for (size_t first = titles, block = 1; first < widths.size(); first += block) {
        // first is 0-based, firstBlockColumn 1-based
        block = first + 1 >= static_cast<size_t>(std::max(1, setup.firstBlockColumn))
                    ? static_cast<size_t>(std::max(1, setup.blockColumns))
                    : 1;
        const double width = pixels(first, first + block);
        if (!empty && used + width > roomLeft) {
            if (pages.pageStarts.size() == LXW_BREAKS_MAX) break;
            pages.pageStarts.push_back(static_cast<int>(first + 1));
            used = 0;
        }
        used += width;
        empty = false;
    }
    return pages;
}

void XlsxWorkbook::BookDeleter::operator()(lxw_workbook* book) const { lxw_workbook_free(book); }

double cellNumber(float value) {
    char text[32];
    const auto printed = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
    double number = value;
    std::from_chars(text, printed.ptr, number);
    return number;
}

XlsxWorkbook::XlsxWorkbook(const std::filesystem::path& target)
    : own_(std::make_unique<OutputSet>()), outputs_(*own_), output_(own_->add(target, "workbook")) {
    open();
}

XlsxWorkbook::XlsxWorkbook(OutputSet& outputs, size_t output) : outputs_(outputs), output_(output) { open(); }

void XlsxWorkbook::open() {
    temporary_ = outputs_.start(output_);
    // Rows go straight to the worksheets' part files as they are finished, so memory does not
    // grow with the schedule; the part files live beside the target, not in a small /tmp.
    std::string partsFolder = temporary_.parent_path().empty() ? std::string(".") : utf8Name(temporary_.parent_path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = partsFolder.data();
    // libxlsxwriter takes UTF-8 names, and opens them wide on Windows.
    book_.reset(workbook_new_opt(utf8Name(temporary_).c_str(), &options));
    if (!book_) fail("out of memory");
    bold_ = workbook_add_format(book_.get());
    centred_ = workbook_add_format(book_.get());
    boldCentred_ = workbook_add_format(book_.get());
    if (bold_ == nullptr || centred_ == nullptr || boldCentred_ == nullptr) fail("out of memory");
    format_set_bold(bold_);
    format_set_align(centred_, LXW_ALIGN_CENTER);
    format_set_bold(boldCentred_);
    format_set_align(boldCentred_, LXW_ALIGN_CENTER);
}

// The set removes the temporary file unless it has been put in place.
XlsxWorkbook::~XlsxWorkbook() {
    closeRowFiles(false);
    book_.reset();
}

// In constant-memory mode every worksheet's rows go to a temporary file of its own, which the
// library closes only inside workbook_close and only for a worksheet holding rows; otherwise the
// handle stays open, and on Windows the file stays in the target's folder, until the program ends.
void XlsxWorkbook::closeRowFiles(bool emptyOnly) {
    if (!book_) return;
    for (lxw_worksheet* sheet : sheets_) {
        if (sheet == nullptr || sheet->optimize_tmpfile == nullptr) continue;
        if (emptyOnly && sheet->dim_rowmin != LXW_ROW_MAX) continue;  // workbook_close copies and closes it
        if (sheet->file == sheet->optimize_tmpfile) sheet->file = nullptr;
        std::fclose(sheet->optimize_tmpfile);
        sheet->optimize_tmpfile = nullptr;
    }
}

void XlsxWorkbook::fail(const std::string& reason) const { outputs_.fail(output_, reason); }

// The library writes each finished row to the worksheet's temporary file and never asks whether
// the write went through; the stream remembers a failure, so it is asked here.
void XlsxWorkbook::checkRowsWritten(int sheet) {
    FILE* const rows = sheets_[static_cast<size_t>(sheet - 1)]->optimize_tmpfile;
    if (rows != nullptr && std::ferror(rows)) fail(writeFailure(errno));
}

void XlsxWorkbook::checkInterrupt() {
    if (outputs_.interrupted()) fail("interrupted");
}

void XlsxWorkbook::checkSheet(int sheet) const {
    if (!book_) fail("the workbook is already closed");
    if (sheet < 1 || sheet > kSheetCount) fail("there is no worksheet " + std::to_string(sheet));
}

lxw_worksheet* XlsxWorkbook::worksheet(int sheet) {
    checkSheet(sheet);
    for (size_t i = 0; i < static_cast<size_t>(sheet); ++i) {
        if (sheets_[i] != nullptr) continue;
        sheets_[i] = workbook_add_worksheet(book_.get(), names_[i].empty() ? nullptr : names_[i].c_str());
        if (sheets_[i] == nullptr) fail("cannot add worksheet " + std::to_string(i + 1));
    }
    return sheets_[static_cast<size_t>(sheet - 1)];
}

void XlsxWorkbook::nameSheet(int sheet, const std::string& name) {
    checkSheet(sheet);
    if (sheets_[static_cast<size_t>(sheet - 1)] != nullptr) {
        fail("worksheet " + std::to_string(sheet) + " is named after it was started");
    }
    names_[static_cast<size_t>(sheet - 1)] = name;
}

void XlsxWorkbook::setHeadingRows(int sheet, int rows) {
    checkSheet(sheet);
    if (rows < 0 || rows > LXW_ROW_MAX) fail(std::to_string(rows) + " heading rows do not fit a worksheet");
    if (rowInHand_[static_cast<size_t>(sheet - 1)] != 0) {
        fail("the heading rows of worksheet " + std::to_string(sheet) + " are set after its first row");
    }
    headingRows_[static_cast<size_t>(sheet - 1)] = rows;
    worksheet_freeze_panes(worksheet(sheet), static_cast<lxw_row_t>(rows), 0);
}

void XlsxWorkbook::setColumnWidth(int sheet, int column, double width) {
    checkSheet(sheet);
    if (column < 1 || column > LXW_COL_MAX) fail("there is no column " + std::to_string(column));
    const auto c = static_cast<lxw_col_t>(column - 1);
    const lxw_error result = worksheet_set_column(worksheet(sheet), c, c, width, nullptr);
    if (result != LXW_NO_ERROR) fail(lxw_strerror(result));
    std::vector<double>& widths = widths_[static_cast<size_t>(sheet - 1)];
    if (widths.size() < static_cast<size_t>(column)) widths.resize(static_cast<size_t>(column), 0);
    widths[c] = width;
}

void XlsxWorkbook::setPrintSetup(int sheet, const PrintSetup& setup) {
    checkSheet(sheet);
    if (setup.titleColumns < 0 || setup.titleColumns > LXW_COL_MAX || setup.firstBlockColumn < 1 ||
        setup.blockColumns < 1) {
        fail("worksheet " + std::to_string(sheet) + " cannot print " + std::to_string(setup.titleColumns) +
             " title columns and blocks of " + std::to_string(setup.blockColumns) + " from column " +
             std::to_string(setup.firstBlockColumn));
    }
    printSetups_[static_cast<size_t>(sheet - 1)] = setup;
}

// Print setups are applied when the column widths are known: they decide where pages start.
void XlsxWorkbook::applyPrintSetups() {
    for (size_t i = 0; i < printSetups_.size(); ++i) {
        if (!printSetups_[i]) continue;
        lxw_worksheet* const sheet = sheets_[i];
        worksheet_set_landscape(sheet);
        worksheet_set_paper(sheet, kPaperA4);
        lxw_error result = LXW_NO_ERROR;
        if (headingRows_[i] > 0) result = worksheet_repeat_rows(sheet, 0, static_cast<lxw_row_t>(headingRows_[i] - 1));
        if (result == LXW_NO_ERROR && printSetups_[i]->titleColumns > 0) {
            result = worksheet_repeat_columns(sheet, 0, static_cast<lxw_col_t>(printSetups_[i]->titleColumns - 1));
        }
        if (result != LXW_NO_ERROR) fail(lxw_strerror(result));
        std::vector<double> widths = widths_[i];
        widths.resize(static_cast<size_t>(lastColumn_[i]), 0);
        const PrintPages pages = printPages(widths, *printSetups_[i]);
        if (pages.scale == 0) {
            worksheet_fit_to_pages(sheet, 1, 0);
            continue;
        }
        worksheet_set_print_scale(sheet, static_cast<uint16_t>(pages.scale));
        if (pages.pageStarts.empty()) continue;
        // Column n (1-based) starts a page: the break lies after column n - 1, 0-based n - 1.
        std::vector<lxw_col_t> breaks(pages.pageStarts.begin(), pages.pageStarts.end());
        for (lxw_col_t& column : breaks) --column;
        breaks.push_back(0);  // the end of the list
        result = worksheet_set_v_pagebreaks(sheet, breaks.data());
        if (result != LXW_NO_ERROR) fail(lxw_strerror(result));
    }
}

void XlsxWorkbook::describe(const std::string& title, const std::string& comments) {
    // The library copies the texts; its fields are not const.
    std::string titleText = title;
    std::string commentText = comments;
    lxw_doc_properties properties{};
    properties.title = titleText.data();
    if (!commentText.empty()) properties.comments = commentText.data();
    const lxw_error result = workbook_set_properties(book_.get(), &properties);
    if (result != LXW_NO_ERROR) fail(lxw_strerror(result));
}

void XlsxWorkbook::setCell(int sheet, int row, int column, const CellValue& value) {
    checkSheet(sheet);
    if (row < 1 || column < 1 || row > LXW_ROW_MAX || column > LXW_COL_MAX) {
        fail("row " + std::to_string(row) + ", column " + std::to_string(column) + " lies outside a worksheet");
    }
    lxw_worksheet* const worksheet = this->worksheet(sheet);
    const bool heading = row <= headingRows_[static_cast<size_t>(sheet - 1)];
    const bool wholeNumber = std::holds_alternative<int32_t>(value);
    lxw_format* const format = wholeNumber ? (heading ? boldCentred_ : centred_) : (heading ? bold_ : nullptr);
    int& rowInHand = rowInHand_[static_cast<size_t>(sheet - 1)];
    if (row < rowInHand) {
        fail("row " + std::to_string(row) + " of worksheet " + std::to_string(sheet) + " comes after row " +
             std::to_string(rowInHand) + "; rows are written top down");
    }
    rowInHand = row;
    int& lastColumn = lastColumn_[static_cast<size_t>(sheet - 1)];
    lastColumn = std::max(lastColumn, column);
    const auto r = static_cast<lxw_row_t>(row - 1);
    const auto c = static_cast<lxw_col_t>(column - 1);
    lxw_error result = LXW_NO_ERROR;
    if (const auto* whole = std::get_if<int32_t>(&value)) {
        result = worksheet_write_number(worksheet, r, c, *whole, format);
    } else if (const auto* number = std::get_if<float>(&value)) {
        result = worksheet_write_number(worksheet, r, c, cellNumber(*number), format);
    } else {
        result = worksheet_write_string(worksheet, r, c, std::get<std::string>(value).c_str(), format);
    }
    if (result != LXW_NO_ERROR) fail(lxw_strerror(result));
    checkRowsWritten(sheet);
    if (++cellsSinceInterruptCheck_ == kCellsPerInterruptCheck) {
        cellsSinceInterruptCheck_ = 0;
        checkInterrupt();
    }
}

// Writes each worksheet's last row and flushes the rows to the disk, where a failure can still
// be seen, and notes how many bytes of rows each worksheet holds for the read-back.
void XlsxWorkbook::finishRows() {
    for (int sheet = 1; sheet <= kSheetCount; ++sheet) {
        lxw_worksheet* const worksheet = sheets_[static_cast<size_t>(sheet - 1)];
        if (worksheet->optimize_row != nullptr) lxw_worksheet_write_single_row(worksheet);
        FILE* const rows = worksheet->optimize_tmpfile;
        if (rows == nullptr) continue;
        errno = 0;
        if (std::fflush(rows) != 0 || std::ferror(rows)) fail(writeFailure(errno));
        const int64_t size = streamPosition(rows);
        if (size < 0) fail(writeFailure(errno));
        rowBytes_[static_cast<size_t>(sheet - 1)] = size;
    }
}

void XlsxWorkbook::commit() {
    if (!book_) fail("the workbook is already closed");
    worksheet(kSheetCount);  // every worksheet, written or not
    applyPrintSetups();
    checkInterrupt();
    finishRows();
    closeRowFiles(true);
    lxw_error result = LXW_NO_ERROR;
    int closeErrno = 0;
    {
        // The library reports a failed close in lines of its own; the message here says it once.
        const QuietStandardError quiet;
        errno = 0;
        // workbook_close frees the workbook whatever it returns.
        result = workbook_close(book_.release());
        closeErrno = errno;
    }
    if (result != LXW_NO_ERROR) {
        fail(isOutOfRoom(closeErrno) ? writeFailure(closeErrno) : lxw_strerror(result));
    }
    // The parts were assembled in more temporary files whose writes nobody checked; what reached
    // the disk is read back before it replaces anything.
    std::string damage;
    {
        FileBytes finished(temporary_);  // closed again before the rename (Windows renames no open file)
        damage = findArchiveDamage(finished, rowBytes_);
    }
    if (!damage.empty())
        fail("data was lost on its way to the disk, most likely because the disk is full (" + damage + ")");

    outputs_.finish(output_);
    if (own_) own_->commit();
}

}  // namespace tierwise
