#include "zul/Version.h"

namespace zul {

const Version& getVersion() {
    static const Version version{API_VERSION_MAJOR, API_VERSION_MINOR, ZUL_VERSION_PATCH,
                                 ZUL_VERSION_STRING};
    return version;
}

} // namespace zul
