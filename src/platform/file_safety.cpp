// The parts of file_safety.h that are the same on every system.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/file_safety.h"
#include "platform/native_file.h"

namespace tierwise {

namespace {

// A file name's limit: NAME_MAX bytes on the common POSIX file systems, 255 UTF-16 units on NTFS
// (where a UTF-8 byte never makes more than one). The temporary name fits it whatever the target's.
constexpr size_t kMaxNameBytes = 255;

}  // namespace

std::filesystem::path createTemporaryBeside(const std::filesystem::path& target, std::string& error) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path folder = target.parent_path();
    // ".<name>.<12 hex digits>.tmp": hidden, and traceable to the workbook it was for.
    constexpr size_t kAddedBytes = 1 + 1 + 12 + 4;
    const std::string stem = utf8Prefix(utf8Name(target.filename()), kMaxNameBytes - kAddedBytes);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%012llx", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
        const std::filesystem::path candidate = folder / pathFromUtf8("." + stem + suffix + ".tmp");
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

std::string writeFailure(int error) {
    switch (error) {
        case ENOSPC:
            return "the disk is full";
#ifdef EDQUOT  // disk quotas: POSIX systems only
        case EDQUOT:
            return "the disk quota is used up";
#endif
        case EFBIG:
            return "the file grew past the largest file this process may write";
        case 0:
            return "a write to the disk failed";
        default:
            return std::strerror(error);
    }
}

bool isOutOfRoom(int error) {
#ifdef EDQUOT
    if (error == EDQUOT) return true;
#endif
    return error == ENOSPC || error == EFBIG;
}

}  // namespace tierwise
