#pragma once

// Decoding helpers for the tests of the rule translation.

#include "sgb/CPEntry.h"
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

/// The method record of constant entry `i`, which must hold one.
inline const zulx::MethodRecord& methodAt(const zulx::RuleData& record, size_t i) {
    return *static_cast<const zulx::MethodRecord*>(record.constants.at(i)->payload);
}

} // namespace sgbtest
