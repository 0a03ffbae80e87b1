#include "platform/archive_check.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace tierwise {

namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xffff;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;

uint32_t read16(std::string_view bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}
uint32_t read32(std::string_view bytes, size_t at) { return read16(bytes, at) | read16(bytes, at + 2) << 16; }

struct Entry {
    std::string name;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint64_t packedSize = 0;
    uint64_t size = 0;
    uint64_t localHeader = 0;
};

// What the XML check needs of a part, gathered as it is inflated: its first and last bytes.
// The root element opens at the start and closes at the end; a worksheet's rows follow the
// short heading that opens <sheetData> and are followed by the short closing part.
class PartWatcher {
public:
    void take(const char* data, size_t size) {
        const std::string_view chunk(data, size);
        // The heading before the rows holds a worksheet's column widths and frozen rows, which
        // for a wide worksheet runs well past a few kilobytes: the head is kept until the rows
        // open (or a worksheet could not hold more columns).
        if (!headComplete_) {
            const size_t searchFrom = head_.size() < kOpen.size() ? 0 : head_.size() - kOpen.size();
            head_.append(chunk.substr(0, kMaxHeadBytes - head_.size()));
            headComplete_ = head_.size() >= kMaxHeadBytes ||
                            (head_.size() >= kEdgeBytes && (head_.find(kOpen, searchFrom) != std::string::npos ||
                                                            head_.find(kEmpty, searchFrom) != std::string::npos));
        }
        if (chunk.size() >= kEdgeBytes) {
            tail_.assign(chunk.substr(chunk.size() - kEdgeBytes));
        } else {
            tail_.append(chunk);
            if (tail_.size() > kEdgeBytes) tail_.erase(0, tail_.size() - kEdgeBytes);
        }
        size_ += size;
    }

    // Empty when the part ends with its root's closing tag (and, for a worksheet, holds
    // `rowBytes` bytes of rows), else what is wrong.
    [[nodiscard]] std::string problem(std::optional<int64_t> rowBytes) const {
        const std::string root = rootName();
        if (root.empty()) return "it does not start with an XML element";
        std::string_view tail = tail_;
        while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' '))
            tail.remove_suffix(1);
        if (!tail.ends_with("</" + root + ">") && !(size_ <= kEdgeBytes && tail.ends_with("/>"))) {
            return "it stops before its closing </" + root + ">";
        }
        if (!rowBytes) return {};
        int64_t held = 0;
        const size_t open = head_.find(kOpen);
        const size_t close = tail_.rfind(kClose);
        if (open != std::string::npos && close != std::string::npos) {
            held = static_cast<int64_t>(size_ - tail_.size() + close) - static_cast<int64_t>(open + kOpen.size());
        } else if (head_.find(kEmpty) == std::string::npos) {
            return "its rows are not where a worksheet has them";
        }
        if (held != *rowBytes) {
            return "it holds " + std::to_string(held) + " bytes of rows where " + std::to_string(*rowBytes) +
                   " were written";
        }
        return {};
    }

private:
    static constexpr size_t kEdgeBytes = 4096;
    // 16,384 column widths of about 60 bytes each, and room for the rest of the heading.
    static constexpr size_t kMaxHeadBytes = size_t{2} << 20;
    bool headComplete_ = false;
    static constexpr std::string_view kOpen = "<sheetData>";
    static constexpr std::string_view kClose = "</sheetData>";
    static constexpr std::string_view kEmpty = "<sheetData/>";

    [[nodiscard]] std::string rootName() const {
        size_t at = 0;
        for (;;) {
            at = head_.find('<', at);
            if (at == std::string::npos || at + 1 >= head_.size()) return {};
            if (head_[at + 1] != '?' && head_[at + 1] != '!') break;
            ++at;
        }
        const size_t end = head_.find_first_of(" \t\r\n/>", at + 1);
        if (end == std::string::npos) return {};
        return head_.substr(at + 1, end - at - 1);
    }

    std::string head_;
    std::string tail_;
    uint64_t size_ = 0;
};

// Inflates (or copies) a part's bytes into `watcher`; empty on success.
std::string unpack(std::string_view packed, const Entry& entry, PartWatcher& watcher) {
    std::array<char, size_t{64} * 1024> buffer;
    uint64_t produced = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    auto take = [&](const char* data, size_t size) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size));
        produced += size;
        watcher.take(data, size);
    };
    if (entry.method == kStored) {
        for (size_t at = 0; at < packed.size(); at += buffer.size()) {
            const std::string_view piece = packed.substr(at, buffer.size());
            take(piece.data(), piece.size());
        }
    } else if (entry.method == kDeflated) {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return "it cannot be unpacked (no memory)";
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
        stream.avail_in = static_cast<uInt>(packed.size());
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = static_cast<uInt>(buffer.size());
            status = inflate(&stream, Z_NO_FLUSH);
            take(buffer.data(), buffer.size() - stream.avail_out);
            if (status == Z_BUF_ERROR && stream.avail_in == 0) break;
        }
        inflateEnd(&stream);
        if (status != Z_STREAM_END) return "its compressed data is damaged";
    } else {
        return "it is packed in a way the workbook library never uses";
    }
    if (produced != entry.size || crc != entry.crc) return "its size or checksum does not match the directory";
    return {};
}

std::optional<std::vector<Entry>> readDirectory(std::string_view archive) {
    if (archive.size() < kEndOfDirectorySize) return std::nullopt;
    const size_t lowest = archive.size() > kEndOfDirectorySize + kMaxCommentSize
                              ? archive.size() - kEndOfDirectorySize - kMaxCommentSize
                              : 0;
    size_t end = archive.size() - kEndOfDirectorySize;
    while (read32(archive, end) != kEndOfDirectory) {
        if (end == lowest) return std::nullopt;
        --end;
    }
    const uint32_t count = read16(archive, end + 10);
    const uint64_t directorySize = read32(archive, end + 12);
    const uint64_t directoryStart = read32(archive, end + 16);
    if (directoryStart + directorySize > end) return std::nullopt;
    std::vector<Entry> entries;
    size_t at = directoryStart;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + kDirectoryEntrySize > end || read32(archive, at) != kDirectoryEntry) return std::nullopt;
        Entry entry;
        entry.method = static_cast<uint16_t>(read16(archive, at + 10));
        entry.crc = read32(archive, at + 16);
        entry.packedSize = read32(archive, at + 20);
        entry.size = read32(archive, at + 24);
        const uint32_t nameSize = read16(archive, at + 28);
        const uint32_t extraSize = read16(archive, at + 30);
        const uint32_t commentSize = read16(archive, at + 32);
        entry.localHeader = read32(archive, at + 42);
        if (at + kDirectoryEntrySize + nameSize > end) return std::nullopt;
        entry.name = archive.substr(at + kDirectoryEntrySize, nameSize);
        entries.push_back(std::move(entry));
        at += kDirectoryEntrySize + nameSize + extraSize + commentSize;
    }
    return entries;
}

// The 1-based worksheet number of a part name "xl/worksheets/sheet<k>.xml", 0 for other parts.
size_t sheetNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "xl/worksheets/sheet";
    constexpr std::string_view kSuffix = ".xml";
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return 0;
    const std::string_view digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    size_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<size_t>(c - '0');
    }
    return number;
}

}  // namespace

std::string findArchiveDamage(std::string_view archive, std::span<const int64_t> sheetRowBytes) {
    const std::optional<std::vector<Entry>> entries = readDirectory(archive);
    if (!entries) return "its zip directory is missing or damaged";
    std::vector<bool> sheetSeen(sheetRowBytes.size(), false);
    for (const Entry& entry : *entries) {
        const size_t at = entry.localHeader;
        if (at + kLocalHeaderSize > archive.size() || read32(archive, at) != kLocalHeader) {
            return "part " + entry.name + " is not where its directory says";
        }
        const size_t dataStart = at + kLocalHeaderSize + read16(archive, at + 26) + read16(archive, at + 28);
        if (dataStart + entry.packedSize > archive.size())
            return "part " + entry.name + " runs past the end of the file";
        const size_t sheet = sheetNumber(entry.name);
        const bool isXml = entry.name.ends_with(".xml") || entry.name.ends_with(".rels");
        PartWatcher watcher;
        std::string problem = unpack(archive.substr(dataStart, entry.packedSize), entry, watcher);
        std::optional<int64_t> rowBytes;
        if (sheet > 0 && sheet <= sheetRowBytes.size()) {
            rowBytes = sheetRowBytes[sheet - 1];
            sheetSeen[sheet - 1] = true;
        }
        if (problem.empty() && isXml) problem = watcher.problem(rowBytes);
        if (!problem.empty()) return "part " + entry.name + " is damaged: " + problem;
    }
    for (size_t k = 0; k < sheetSeen.size(); ++k) {
        if (!sheetSeen[k]) return "worksheet " + std::to_string(k + 1) + " is missing";
    }
    return {};
}

}  // namespace tierwise
