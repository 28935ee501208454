#pragma once

#include <stdexcept>
#include <string>

namespace dormivo {

// Raised by every store operation that fails; carries the database engine's own message
// so that the places allowed to fail loudly can show it to the user unchanged.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace dormivo
