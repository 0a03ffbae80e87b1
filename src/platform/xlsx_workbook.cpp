#include "platform/xlsx_workbook.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "model/rejection.h"

namespace tierwise {

namespace {

// Creates an empty file of a fresh name beside `target`, with the permissions a new file gets.
std::filesystem::path createTemporaryBeside(const std::filesystem::path& target, std::string& error) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%012llx", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
        const std::filesystem::path candidate = folder / ("." + target.filename().string() + suffix + ".tmp");
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return {};
        }
    }
    error = "no free name for a temporary file in its folder";
    return {};
}

}  // namespace

void XlsxWorkbook::BookDeleter::operator()(lxw_workbook* book) const { lxw_workbook_free(book); }

double cellNumber(float value) {
    char text[32];
    const auto printed = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
    double number = value;
    std::from_chars(text, printed.ptr, number);
    return number;
}

XlsxWorkbook::XlsxWorkbook(std::filesystem::path target) : target_(std::move(target)) {
    if (target_.filename().empty()) fail("the name is not a file name");
    std::string error;
    temporary_ = createTemporaryBeside(target_, error);
    if (temporary_.empty()) fail(error);
    // Rows go straight to the worksheets' part files as they are finished, so memory does not
    // grow with the schedule; the part files live beside the target, not in a small /tmp.
    std::string partsFolder = temporary_.parent_path().empty() ? std::string(".") : temporary_.parent_path().string();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = partsFolder.data();
    book_.reset(workbook_new_opt(temporary_.c_str(), &options));
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

XlsxWorkbook::~XlsxWorkbook() {
    book_.reset();
    if (!committed_) discardTemporary();
}

void XlsxWorkbook::fail(const std::string& reason) const {
    throw Rejection("Cannot write " + target_.string() + ": " + reason);
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
}

void XlsxWorkbook::setCell(int sheet, int row, int column, const CellValue& value) {
    checkSheet(sheet);
    if (row < 1 || column < 1 || row > LXW_ROW_MAX || column > LXW_COL_MAX) {
        fail("row " + std::to_string(row) + ", column " + std::to_string(column) + " lies outside a worksheet");
    }
    lxw_worksheet* const worksheet = this->worksheet(sheet);
    const bool heading = row <= headingRows_[static_cast<size_t>(sheet - 1)];
    const bool whole = std::holds_alternative<int32_t>(value);
    lxw_format* const format = whole ? (heading ? boldCentred_ : centred_) : (heading ? bold_ : nullptr);
    int& rowInHand = rowInHand_[static_cast<size_t>(sheet - 1)];
    if (row < rowInHand) {
        fail("row " + std::to_string(row) + " of worksheet " + std::to_string(sheet) + " comes after row " +
             std::to_string(rowInHand) + "; rows are written top down");
    }
    rowInHand = row;
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
}

void XlsxWorkbook::commit() {
    worksheet(kSheetCount);  // every worksheet, written or not
    // workbook_close frees the workbook whatever it returns.
    const lxw_error result = workbook_close(book_.release());
    std::error_code error;
    if (result == LXW_NO_ERROR) std::filesystem::rename(temporary_, target_, error);
    if (result != LXW_NO_ERROR || error) {
        discardTemporary();
        fail(result != LXW_NO_ERROR ? std::string(lxw_strerror(result)) : error.message());
    }
    committed_ = true;
}

void XlsxWorkbook::discardTemporary() {
    if (temporary_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
}

}  // namespace tierwise
