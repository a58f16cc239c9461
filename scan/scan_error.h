#pragma once

#include <stdexcept>
#include <string>

namespace tavrix {

// A failure that ends the scan: a connection, query or property read that failed, or a value
// the scan cannot use. The message says what failed and where.
class ScanError : public std::runtime_error {
public:
    explicit ScanError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tavrix
