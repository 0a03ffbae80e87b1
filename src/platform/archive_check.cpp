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

constexpr size_t kBlock = size_t{64} * 1024;

// Inflates (or copies) a part's `entry.packedSize` bytes from `dataStart` into `watcher`;
// empty on success.
std::string unpack(ArchiveBytes& archive, uint64_t dataStart, const Entry& entry, PartWatcher& watcher) {
    std::array<char, kBlock> buffer;
    uint64_t produced = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    auto take = [&](const char* data, size_t size) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size));
        produced += size;
        watcher.take(data, size);
    };
    // The packed bytes a block at a time; empty when they are all passed or cannot be read.
    uint64_t passed = 0;
    bool unreadable = false;
    auto nextPiece = [&]() -> std::string_view {
        if (passed >= entry.packedSize) return {};
        const auto want = static_cast<size_t>(std::min<uint64_t>(kBlock, entry.packedSize - passed));
        const std::string_view piece = archive.read(dataStart + passed, want);
        if (piece.size() != want) {
            unreadable = true;
            return {};
        }
        passed += want;
        return piece;
    };
    bool streamEnded = true;  // a deflated part's data reached the end of its stream
    if (entry.method == kStored) {
        for (std::string_view piece = nextPiece(); !piece.empty(); piece = nextPiece())
            take(piece.data(), piece.size());
    } else if (entry.method == kDeflated) {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return "it cannot be unpacked (no memory)";
        int status = Z_OK;
        // Ends at the stream's end, or with Z_BUF_ERROR when the packed bytes end before it.
        while (status == Z_OK) {
            if (stream.avail_in == 0) {
                const std::string_view piece = nextPiece();
                if (unreadable) break;
                stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
                stream.avail_in = static_cast<uInt>(piece.size());
            }
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = static_cast<uInt>(buffer.size());
            status = inflate(&stream, Z_NO_FLUSH);
            take(buffer.data(), buffer.size() - stream.avail_out);
        }
        inflateEnd(&stream);
        streamEnded = status == Z_STREAM_END;
    } else {
        return "it is packed in a way the workbook library never uses";
    }
    if (unreadable) return "its bytes cannot be read";
    if (!streamEnded) return "its compressed data is damaged";
    if (produced != entry.size || crc != entry.crc) return "its size or checksum does not match the directory";
    return {};
}

std::optional<std::vector<Entry>> readDirectory(ArchiveBytes& archive) {
    const uint64_t fileSize = archive.size();
    if (fileSize < kEndOfDirectorySize) return std::nullopt;
    // The end record is within the last 22 bytes and the longest comment.
    const uint64_t tailStart =
        fileSize > kEndOfDirectorySize + kMaxCommentSize ? fileSize - kEndOfDirectorySize - kMaxCommentSize : 0;
    const std::string tail(archive.read(tailStart, static_cast<size_t>(fileSize - tailStart)));
    if (tail.size() != fileSize - tailStart) return std::nullopt;
    size_t end = tail.size() - kEndOfDirectorySize;
    while (read32(tail, end) != kEndOfDirectory) {
        if (end == 0) return std::nullopt;
        --end;
    }
    const uint32_t count = read16(tail, end + 10);
    const uint64_t directorySize = read32(tail, end + 12);
    const uint64_t directoryStart = read32(tail, end + 16);
    if (directoryStart + directorySize > tailStart + end) return std::nullopt;
    const std::string directory(archive.read(directoryStart, static_cast<size_t>(directorySize)));
    if (directory.size() != directorySize) return std::nullopt;
    std::vector<Entry> entries;
    size_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + kDirectoryEntrySize > directory.size() || read32(directory, at) != kDirectoryEntry)
            return std::nullopt;
        Entry entry;
        entry.method = static_cast<uint16_t>(read16(directory, at + 10));
        entry.crc = read32(directory, at + 16);
        entry.packedSize = read32(directory, at + 20);
        entry.size = read32(directory, at + 24);
        const uint32_t nameSize = read16(directory, at + 28);
        const uint32_t extraSize = read16(directory, at + 30);
        const uint32_t commentSize = read16(directory, at + 32);
        entry.localHeader = read32(directory, at + 42);
        if (at + kDirectoryEntrySize + nameSize > directory.size()) return std::nullopt;
        entry.name = directory.substr(at + kDirectoryEntrySize, nameSize);
        entries.push_back(std::move(entry));
        at += kDirectoryEntrySize + nameSize + extraSize + commentSize;
    }
    return entries;
}

// A workbook held in memory.
class MemoryBytes final : public ArchiveBytes {
public:
    explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}
    [[nodiscard]] uint64_t size() const override { return bytes_.size(); }
    std::string_view read(uint64_t offset, size_t length) override {
        if (offset >= bytes_.size()) return {};
        return bytes_.substr(static_cast<size_t>(offset), length);
    }

private:
    std::string_view bytes_;
};

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

std::string findArchiveDamage(ArchiveBytes& archive, std::span<const int64_t> sheetRowBytes) {
    const std::optional<std::vector<Entry>> entries = readDirectory(archive);
    if (!entries) return "its zip directory is missing or damaged";
    std::vector<bool> sheetSeen(sheetRowBytes.size(), false);
    for (const Entry& entry : *entries) {
        const std::string header(archive.read(entry.localHeader, kLocalHeaderSize));
        if (header.size() != kLocalHeaderSize || read32(header, 0) != kLocalHeader) {
            return "part " + entry.name + " is not where its directory says";
        }
        const uint64_t dataStart = entry.localHeader + kLocalHeaderSize + read16(header, 26) + read16(header, 28);
        if (dataStart + entry.packedSize > archive.size())
            return "part " + entry.name + " runs past the end of the file";
        const size_t sheet = sheetNumber(entry.name);
        const bool isXml = entry.name.ends_with(".xml") || entry.name.ends_with(".rels");
        PartWatcher watcher;
        std::string problem = unpack(archive, dataStart, entry, watcher);
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

std::string findArchiveDamage(std::string_view archive, std::span<const int64_t> sheetRowBytes) {
    MemoryBytes bytes(archive);
    return findArchiveDamage(bytes, sheetRowBytes);
}

}  // namespace tierwise
