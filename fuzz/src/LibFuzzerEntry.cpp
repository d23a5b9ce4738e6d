// The libFuzzer entry points of one target; ZUL_FUZZ_RUN names the target's
// run function (set per executable by the build).
#include "fuzz/Targets.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::prepareProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZUL_FUZZ_RUN(data, size);
    return 0;
}
