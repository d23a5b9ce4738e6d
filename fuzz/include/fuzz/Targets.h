#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

/// One fuzz target: a name (also the suffix of its libFuzzer executable,
/// fuzz_<name>) and the function that runs one input. A target returns for
/// every input, true when the input was accepted; a fault aborts through
/// fuzz::finding or a sanitizer report.
struct Target {
    const char* name;
    bool (*run)(const uint8_t* data, size_t size);
};

/// Class-file reading, from a seekable stream and from a pipe, which must agree.
bool runClassFile(const uint8_t* data, size_t size);
/// Class-file reading plus the whole-class dump and the text of every pool
/// entry, attribute and code listing.
bool runDump(const uint8_t* data, size_t size);
/// Full decoding into a fresh compiled-rule object, then the XML and a clone
/// of its rule file information.
bool runDecode(const uint8_t* data, size_t size);

/// Every target, in a fixed order.
const std::vector<Target>& allTargets();
/// The target of that name, or null.
const Target* findTarget(const std::string& name);

/// Once per process before the first input: silences the reader's
/// diagnostic lines on std::cerr and installs a log sink that formats every
/// record (so that message formatting is exercised) and discards it.
void prepareProcess();

} // namespace fuzz
