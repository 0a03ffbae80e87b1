// The one error type for a model that Tierwise refuses: a file that is not what it should be,
// a model the schedule cannot be made from, or a workbook that cannot be written.
#pragma once

#include <stdexcept>
#include <string>

namespace tierwise {

class Rejection : public std::runtime_error {
public:
    explicit Rejection(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tierwise
