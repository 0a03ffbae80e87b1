// Reading back a finished .xlsx file before it replaces anything: the workbook library writes
// its parts through temporary files without checking those writes, so a full disk can leave a
// worksheet short while the zip archive around it is complete and valid.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tierwise {

// Checks the bytes of a finished workbook: a readable zip directory; every part present, of
// its recorded size and checksum; every XML part ending with the closing tag of its root
// element; and worksheet k ("xl/worksheets/sheet<k>.xml") holding exactly sheetRowBytes[k - 1]
// bytes of rows, the number the rows' temporary file held. Empty when all is well, otherwise
// what is wrong, for a message.
std::string findArchiveDamage(std::string_view archive, std::span<const int64_t> sheetRowBytes);

}  // namespace tierwise
