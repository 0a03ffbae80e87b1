// Why a write failed, as a user reads it: the same words on every system.
#include <cerrno>
#include <cstring>

#include "platform/file_safety.h"

namespace tierwise {

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
