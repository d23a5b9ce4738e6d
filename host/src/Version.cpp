#include "zul/Version.h"

namespace zul {

const Version& getVersion() {
    static const Version version{API_VERSION_MAJOR, API_VERSION_MINOR, 0, "1.0.0"};
    return version;
}

} // namespace zul
