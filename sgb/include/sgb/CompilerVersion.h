#pragma once

#include <string>
#include <vector>

namespace sgb {

/// A rule compiler or rule language version: major and minor number.
struct CompilerVersion {
    int major = 0;
    int minor = 0;
};

/// The compiler version this decoder is written for, and the oldest one it
/// recommends.
constexpr CompilerVersion kCurrentCompilerVersion{1, 10};
constexpr CompilerVersion kRecommendedCompilerVersion{1, 10};

/// Reads "major.minor" from the start of `text` the way the "%d.%d." scanf
/// format does: leading blanks and a sign are allowed, numbers that do not
/// fit an int are clamped, and what cannot be read stays 0 (an empty text
/// gives 0.0).
CompilerVersion parseVersion(const std::wstring& text);

/// "major.minor" in decimal, for example "1.10".
std::wstring toString(const CompilerVersion& version);

/// Compares a file's compiler version with the current one and appends the
/// resulting messages: an error for a newer major number, warnings for an
/// older major or a newer minor number and for anything below the
/// recommended version.
void checkCompilerVersion(const CompilerVersion& file, std::vector<std::wstring>& errors,
                          std::vector<std::wstring>& warnings);

} // namespace sgb
