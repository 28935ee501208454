#pragma once

#include <stdexcept>
#include <string>

namespace dormivo {

// Raised by every store operation that fails; carries the database engine's own message
// (and its result code, 0 when the engine did not give one) so that the places allowed to
// fail loudly can show it to the user unchanged.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}

    int code() const { return code_; }

private:
    int code_;
};

} // namespace dormivo
