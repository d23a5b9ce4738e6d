#include "loader/FileNames.h"

namespace loader {

const PlatformFileNames kWindowsFileNames = {{"", L""}, {".dll", L".dll"}, {".exe", L".exe"}};
const PlatformFileNames kLinuxFileNames = {{"lib", L"lib"}, {".so", L".so"}, {"", L""}};
const PlatformFileNames kMacFileNames = {{"lib", L"lib"}, {".dylib", L".dylib"}, {"", L""}};

const PlatformFileNames& hostFileNames() {
#if defined(_WIN32)
    return kWindowsFileNames;
#elif defined(__APPLE__)
    return kMacFileNames;
#else
    return kLinuxFileNames;
#endif
}

} // namespace loader
