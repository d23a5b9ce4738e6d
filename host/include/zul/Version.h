#pragma once

#include "zul/Export.h"
#include "zul/ProjectVersion.h"

#include <cstdint>

namespace zul {

/// The API version that code compiling against these headers is built for.
/// An extension library reports these from getVersionMajor/getVersionMinor.
constexpr uint32_t API_VERSION_MAJOR = ZUL_VERSION_MAJOR;
constexpr uint32_t API_VERSION_MINOR = ZUL_VERSION_MINOR;

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
