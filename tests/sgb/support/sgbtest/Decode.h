#pragma once

// Decoding helpers for the tests of the rule translation.

#include "sgb/SGBDecoder.h"

#include "zulx/SGB.h"

#include <memory>
#include <sstream>
#include <string>

namespace sgbtest {

/// Decodes `bytes` through the decoder extension and returns the one object
/// it appends.
inline std::shared_ptr<zulx::SGB> decode(const std::string& bytes) {
    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results;
    std::istringstream in(bytes);
    decoder.decode(results, in, nullptr, L"");
    return std::dynamic_pointer_cast<zulx::SGB>(results.at(0));
}

} // namespace sgbtest
