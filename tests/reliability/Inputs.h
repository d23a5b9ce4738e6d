#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The well-formed inputs that the reliability tests damage, and the memory
// that reading or decoding one input may take.
namespace reliability {

/// A named file's bytes.
struct Input {
    std::string name;
    std::string bytes;
};

/// Every example rule file (*.sgb) and test class file (*.class), sorted by
/// path, read once.
const std::vector<Input>& wellFormedInputs();

/// Runs one fuzz target on `bytes` and fails the test, naming `what`, when
/// the run's peak of live heap bytes exceeds a fixed allowance plus a
/// multiple of the input's size. Returns what the target returns: true when
/// the input was accepted.
bool runWithinBudget(bool (*run)(const uint8_t*, size_t), const std::string& bytes,
                     const std::string& what);

} // namespace reliability
