#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Inputs of the malformed-input suite and the one way the suite decodes.
namespace reliability {

/// A named file's bytes.
struct Input {
    std::string name;
    std::string bytes;
};

/// Every example rule file (*.sgb) and test class file (*.class), sorted by
/// path, read once.
const std::vector<Input>& wellFormedInputs();

/// How one decode ended.
struct Decoded {
    bool ok = false;
    std::string error;    ///< what() of the std::exception when not ok
    size_t peakBytes = 0; ///< the decode's peak of live heap bytes
};

/// A promise of the decoder broken (not a std::exception, so that no
/// handler for rejected input takes it).
struct BrokenPromise {
    std::string what;
};

/// Decodes `bytes` through the SGB decoder, as the host does, into a fresh
/// compiled-rule object and renders its rule file information as XML. The
/// exceptions documented for bad input are a rejection; any other exception,
/// and BrokenPromise, escapes to the caller. With
/// `seekable` false the stream cannot tell its size, like a pipe.
Decoded decode(const std::string& bytes, bool seekable = true);

/// The memory one decode of `size` input bytes may hold at its peak: a fixed
/// allowance plus a multiple of the input.
size_t memoryBudget(size_t size);

/// One random damage of `bytes`: a byte replaced, a 2- or 4-byte field set to
/// an extreme value, bytes inserted, removed or repeated. Deterministic for a
/// given generator state.
std::string mutate(const std::string& bytes, std::mt19937& random);

} // namespace reliability
