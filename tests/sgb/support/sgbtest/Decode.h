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

/// The payload of constant entry `i`, which must exist.
template <typename T>
const T& payload(const zulx::RuleData& record, size_t i) {
    return *static_cast<const T*>(record.constants.at(i)->payload);
}

/// The tag of constant entry `i`, or -1 when nothing is stored there.
inline int32_t tagAt(const zulx::RuleData& record, size_t i) {
    const auto* entry = i < record.constants.size() ? record.constants[i] : nullptr;
    return entry ? entry->tag : -1;
}

inline const zulx::MethodRecord& methodAt(const zulx::RuleData& record, size_t i) {
    return payload<zulx::MethodRecord>(record, i);
}

} // namespace sgbtest
