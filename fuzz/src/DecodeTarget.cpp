#include "XmlProtocol.h"

#include "fuzz/Guard.h"
#include "fuzz/Targets.h"

#include "sgb/CPEntry.h"
#include "sgb/SGBDecoder.h"
#include "zul/RuleFileInfo.h"
#include "zulx/SGB.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>

namespace fuzz {
namespace {

/// The tag of constant `i`, or -1 when there is none.
int32_t tagAt(const zulx::RuleData& record, int32_t i) {
    const auto& constants = record.constants;
    return i >= 0 && static_cast<size_t>(i) < constants.size() && constants[static_cast<size_t>(i)]
               ? constants[static_cast<size_t>(i)]->tag
               : -1;
}

// Promises of the compiled-rule record that the host's interpreter relies on
// when it follows indices from one list into another.
void checkRecord(const zulx::RuleData& record) {
    const auto& constants = record.constants;
    for (size_t i = 0; i < constants.size(); ++i) {
        const SGB::CPEntry* entry = constants[i];
        if (!entry)
            continue;
        const std::string which = "constant " + std::to_string(i);
        if (entry->tag < SGB::CPEntry::STRING || entry->tag > SGB::CPEntry::ENUM_VALUE)
            finding(which + " has tag " + std::to_string(entry->tag));
        if (entry->tag != SGB::CPEntry::CREATE_SHAPE && entry->payload == nullptr)
            finding(which + " has no payload");
        SGB::visitPayload(*entry, [&](const auto& payload) {
            using T = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<T, zulx::MethodRecord>) {
                if (payload.index != static_cast<int32_t>(i))
                    finding("the method record of " + which + " names another index");
            } else if constexpr (std::is_same_v<T, int32_t>) {
                if (entry->tag == SGB::CPEntry::ENUM_TYPE &&
                    static_cast<size_t>(payload) >= record.enumTypeNames.size())
                    finding("enum type " + which + " names no enum type");
            }
        });
    }
    for (const auto& method : record.methodIndex)
        if (tagAt(record, method.second) != SGB::CPEntry::METHOD)
            finding("the method index points at a constant without a method record");
    if (!std::is_sorted(record.handleRefs.begin(), record.handleRefs.end()))
        finding("the handle reference list is not sorted");
    for (const int32_t i : record.handleRefs)
        if (tagAt(record, i) != SGB::CPEntry::BUILTIN)
            finding("a handle reference points at a constant that is no built-in");
}

// The XML through the buffer protocol, and that of a clone.
void checkInfo(const zul::RuleFileInfo& info) {
    const std::string xml = renderXml(info, "RuleFileInfoImpl");
    checkXmlCapacity(info, xml, xml.size(), "RuleFileInfoImpl");
    const std::unique_ptr<zul::RuleFileInfo> copy(info.clone());
    if (!copy || renderXml(*copy, "RuleFileInfoImpl (clone)") != xml)
        finding("the clone of the rule file information renders other XML");
}

} // namespace

bool runDecode(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results;
    if (!guarded("SGBDecoder::decode", [&] { decoder.decode(results, in, nullptr, L""); })) {
        if (!results.empty())
            finding("decode failed but appended a result");
        return false;
    }
    if (results.size() != 1)
        finding("decode appended " + std::to_string(results.size()) + " results");
    const auto* object = dynamic_cast<const zulx::SGB*>(results.front().get());
    if (!object || !object->data)
        finding("decode appended something that is no compiled-rule object with a record");
    checkRecord(*object->data);
    if (!object->data->ruleFileInfo)
        finding("the record has no rule file information");
    checkInfo(*object->data->ruleFileInfo);
    return true;
}

} // namespace fuzz
