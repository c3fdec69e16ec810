#pragma once

#include <stdexcept>
#include <string>

namespace kovet {

// Root of every exception the storage and document layers raise. Each carries the
// exact message text users and callers see.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A file that cannot be opened, read, created or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

} // namespace kovet
