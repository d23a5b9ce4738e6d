#include "zulx/SGB.h"

// The entries' layout and tags; their virtual table lies in the loader.
#include "sgb/CPEntry.h"

// The entries' type information lies in the loader, which the host does not
// link against; the sanitizer's check of an object's dynamic type would need
// it, so the two functions that touch entries go without that check.
#define ZUL_ENTRY_ACCESS __attribute__((no_sanitize("vptr")))

namespace zulx {
namespace {

ZUL_ENTRY_ACCESS void freePayload(const ::SGB::CPEntry& entry) {
    ::SGB::visitPayload(entry.tag, entry.payload, [](auto& payload) { delete &payload; });
}

} // namespace

ZUL_ENTRY_ACCESS RuleData::~RuleData() {
    for (::SGB::CPEntry* entry : constants) {
        if (!entry)
            continue;
        freePayload(*entry);
        delete entry;
    }
    delete ruleFileInfo;
}

SGB::SGB() : data(std::make_shared<RuleData>()) {}
SGB::~SGB() = default;

SGB* SGB::create() {
    return new SGB();
}

} // namespace zulx
