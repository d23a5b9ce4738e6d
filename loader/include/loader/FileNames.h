#pragma once

namespace loader {

/// A file-name part in the narrow and the wide form.
struct FileNamePart {
    const char* narrow;
    const wchar_t* wide;
};

/// File-name parts of shared libraries and executables on the platforms the
/// runtime is built for. Plugin discovery uses only the shared-library
/// suffix of the platform it runs on.
struct PlatformFileNames {
    FileNamePart libraryPrefix;
    FileNamePart sharedLibrarySuffix;
    FileNamePart executableSuffix;
};

extern const PlatformFileNames kWindowsFileNames;
extern const PlatformFileNames kLinuxFileNames;
extern const PlatformFileNames kMacFileNames;

/// The file names of the platform this build runs on.
const PlatformFileNames& hostFileNames();

} // namespace loader
