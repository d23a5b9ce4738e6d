#pragma once

#include "zul/Export.h"

#include <cstdint>

namespace zul {

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
