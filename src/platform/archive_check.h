// Reading back a finished .xlsx file before it replaces anything: the workbook library writes
// its parts through temporary files without checking those writes, so a full disk can leave a
// worksheet short while the zip archive around it is complete and valid.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tierwise {

// A finished workbook's bytes, read a piece at a time: the check holds its zip directory and a
// block or two, however large the workbook.
class ArchiveBytes {
public:
    virtual ~ArchiveBytes() = default;
    [[nodiscard]] virtual uint64_t size() const = 0;
    // The `length` bytes at `offset`, valid until the next read; fewer when the bytes end or
    // cannot be read.
    virtual std::string_view read(uint64_t offset, size_t length) = 0;
};

// Checks the bytes of a finished workbook: a readable zip directory; every part present, of
// its recorded size and checksum; every XML part ending with the closing tag of its root
// element; and worksheet k ("xl/worksheets/sheet<k>.xml") holding exactly sheetRowBytes[k - 1]
// bytes of rows, the number the rows' temporary file held. Empty when all is well, otherwise
// what is wrong, for a message.
std::string findArchiveDamage(ArchiveBytes& archive, std::span<const int64_t> sheetRowBytes);
// The same for a workbook held in memory.
std::string findArchiveDamage(std::string_view archive, std::span<const int64_t> sheetRowBytes);

}  // namespace tierwise
