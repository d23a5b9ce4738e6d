#pragma once

#include "zul/Export.h"

#include <cstdint>

namespace zul {

/// The API version that code compiling against these headers is built for.
/// An extension library reports these from getVersionMajor/getVersionMinor.
constexpr uint32_t API_VERSION_MAJOR = 1;
constexpr uint32_t API_VERSION_MINOR = 0;

/// The host's API version. Extension libraries must report the same major and
/// minor version to be accepted.
struct Version {
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    const char* name;
};

ZUL_CORE_API const Version& getVersion();

} // namespace zul
