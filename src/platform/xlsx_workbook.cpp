#include "platform/xlsx_workbook.h"

#include <xlsxwriter.h>

#include <charconv>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>

#include "model/rejection.h"
#include "platform/native_file.h"

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
        const std::filesystem::path candidate =
            folder / pathFromUtf8("." + utf8Name(target.filename()) + suffix + ".tmp");
        std::error_code status;
        if (createNewFile(candidate, status)) return candidate;
        if (status != std::errc::file_exists) {
            error = status.message();
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
    std::string partsFolder = temporary_.parent_path().empty() ? std::string(".") : utf8Name(temporary_.parent_path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = partsFolder.data();
    // libxlsxwriter takes UTF-8 names, and opens them wide on Windows.
    book_.reset(workbook_new_opt(utf8Name(temporary_).c_str(), &options));
    if (!book_) fail("out of memory");
    for (lxw_worksheet*& sheet : sheets_) {
        sheet = workbook_add_worksheet(book_.get(), nullptr);
        if (sheet == nullptr) fail("cannot add a worksheet");
    }
}

XlsxWorkbook::~XlsxWorkbook() {
    closeRowFiles(false);
    book_.reset();
    if (!committed_) discardTemporary();
}

// In constant-memory mode every worksheet's rows go to a temporary file of its own, which the
// library closes only inside workbook_close and only for a worksheet holding rows; otherwise the
// handle stays open, and on Windows the file stays in the target's folder, until the program ends.
void XlsxWorkbook::closeRowFiles(bool emptyOnly) {
    if (!book_) return;
    for (lxw_worksheet* sheet : sheets_) {
        if (sheet == nullptr || sheet->optimize_tmpfile == nullptr) continue;
        if (emptyOnly && sheet->dim_rowmin != LXW_ROW_MAX) continue;  // workbook_close copies and closes it
        std::fclose(sheet->optimize_tmpfile);
        sheet->optimize_tmpfile = nullptr;
        sheet->file = nullptr;
    }
}

void XlsxWorkbook::fail(const std::string& reason) const {
    throw Rejection("Cannot write " + utf8Name(target_) + ": " + reason);
}

void XlsxWorkbook::setCell(int sheet, int row, int column, const CellValue& value) {
    if (!book_) fail("the workbook is already closed");
    if (sheet < 1 || sheet > kSheetCount) fail("there is no worksheet " + std::to_string(sheet));
    if (row < 1 || column < 1 || row > LXW_ROW_MAX || column > LXW_COL_MAX) {
        fail("row " + std::to_string(row) + ", column " + std::to_string(column) + " lies outside a worksheet");
    }
    lxw_worksheet* const worksheet = sheets_[static_cast<size_t>(sheet - 1)];
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
        result = worksheet_write_number(worksheet, r, c, *whole, nullptr);
    } else if (const auto* number = std::get_if<float>(&value)) {
        result = worksheet_write_number(worksheet, r, c, cellNumber(*number), nullptr);
    } else {
        result = worksheet_write_string(worksheet, r, c, std::get<std::string>(value).c_str(), nullptr);
    }
    if (result != LXW_NO_ERROR) fail(lxw_strerror(result));
}

void XlsxWorkbook::commit() {
    if (!book_) fail("the workbook is already closed");
    closeRowFiles(true);
    // workbook_close frees the workbook whatever it returns.
    const lxw_error result = workbook_close(book_.release());
    std::error_code error;
    if (result == LXW_NO_ERROR) replaceFile(temporary_, target_, error);
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
