#pragma once

#include <cstdint>
#include <string>

namespace sgbtest {

/// 64-bit FNV-1a, continued from `hash`: the checksum with which the tests
/// compare the program's tables with the published ones.
inline uint64_t fnv1a(const std::string& text, uint64_t hash = 0xcbf29ce484222325ULL) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

} // namespace sgbtest
