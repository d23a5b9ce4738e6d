#include "zul/Version.h"

namespace zul {

const Version& getVersion() {
    static const Version version{1, 0, 0, "1.0.0"};
    return version;
}

} // namespace zul
