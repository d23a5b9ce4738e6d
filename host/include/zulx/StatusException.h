#pragma once

#include "zul/Export.h"
#include "zul/Status.h"

#include <exception>

namespace zulx {

/// An exception that carries a host status code; what() is the status text.
class ZUL_CORE_API StatusException : public std::exception {
public:
    explicit StatusException(zul::Status status) noexcept : mStatus(status) {}
    ~StatusException() override;
    zul::Status getStatus() const noexcept { return mStatus; }
    const char* what() const noexcept override;

private:
    zul::Status mStatus;
};

} // namespace zulx
