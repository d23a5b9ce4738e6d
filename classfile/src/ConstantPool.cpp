#include "classfile/ConstantPool.h"
#include "classfile/ByteReader.h"

#include "Limits.h"

#include "util/Log.h"
#include "util/RuntimeErrorST.h"
#include "zul/Status.h"
#include "zulx/StatusException.h"

#include <iostream>
#include <stdexcept>
#include <string>

namespace classfile {

namespace {

std::unique_ptr<ConstantPoolEntry> readEntry(ByteReader& in, unsigned tag) {
    switch (tag) {
    case TAG_UTF8:
        return std::make_unique<CPEUtf8>(in);
    case TAG_UNICODE:
        return std::make_unique<CPEUnicode>(in);
    case TAG_INTEGER:
        return std::make_unique<CPEInteger>(in);
    case TAG_FLOAT:
        return std::make_unique<CPEFloat>(in);
    case TAG_LONG:
        return std::make_unique<CPELong>(in);
    case TAG_DOUBLE:
        return std::make_unique<CPEDouble>(in);
    case TAG_CLASS:
        return std::make_unique<CPEClass>(in);
    case TAG_STRING:
        return std::make_unique<CPEString>(in);
    case TAG_FIELDREF:
        return std::make_unique<CPEFieldRef>(in);
    case TAG_METHODREF:
        return std::make_unique<CPEMethodRef>(in);
    case TAG_INTERFACE_METHODREF:
        return std::make_unique<CPEInterfaceMethodRef>(in);
    case TAG_NAME_AND_TYPE:
        return std::make_unique<CPENameAndType>(in);
    default:
        return nullptr;
    }
}

// Entries follow each other's indices to build their text. The walk of one
// top-level request is counted per thread so that a cycle or a wide fan-out
// of references fails after a bounded number of steps.
struct TextWalk {
    unsigned depth = 0;
    unsigned steps = 0;
};
thread_local TextWalk tWalk;

class TextStep {
public:
    explicit TextStep(size_t index) {
        if (tWalk.depth == 0)
            tWalk.steps = 0;
        if (++tWalk.steps > kMaxTextSteps)
            throw std::runtime_error("Reading SGB failed: text of constant pool slot " +
                                     std::to_string(index) + " needs more than " +
                                     std::to_string(kMaxTextSteps) +
                                     " references (a cycle in the pool?)");
        ++tWalk.depth;
    }
    ~TextStep() { --tWalk.depth; }
    TextStep(const TextStep&) = delete;
    TextStep& operator=(const TextStep&) = delete;
};

} // namespace

ConstantPool::ConstantPool(const ClassInfo* classInfo, ByteReader& in, uint32_t count)
    : owner(classInfo) {
    if (count < 2) {
        entries.resize(count);
        return;
    }
    // The smallest entry (tag and a 2-byte value) takes 3 bytes per slot.
    entries.reserve(in.capacityFor(count, 3) + 1);
    entries.emplace_back();
    uint32_t i = 1;
    while (i < count) {
        // The end of input where a tag is due reads as tag 255, an unknown tag.
        const unsigned tag = in.u1OrEnd();
        std::unique_ptr<ConstantPoolEntry> entry = readEntry(in, tag);
        if (!entry) {
            std::cerr << "Unknown tag @ " << i << ":" << tag << ":" << std::endl;
            throw util::RuntimeErrorST("Unknown tag");
        }
        entry->index = i;
        entry->pool = this;
        entries.push_back(std::move(entry));
        // An 8-byte constant takes two slots; in the last slot its second one
        // lies outside the pool and is not created.
        if (tag == TAG_LONG || tag == TAG_DOUBLE) {
            if (i + 1 < count)
                entries.emplace_back();
            i += 2;
        } else {
            i += 1;
        }
    }
}

ConstantPool::~ConstantPool() = default;

const ConstantPoolEntry& ConstantPool::at(size_t i) const {
    if (i >= entries.size())
        throw std::runtime_error("Reading SGB failed: constant pool index " + std::to_string(i) +
                                 " outside the pool (" + std::to_string(entries.size()) +
                                 " slots)");
    const ConstantPoolEntry* entry = entries[i].get();
    if (entry == nullptr)
        throw std::runtime_error("Reading SGB failed: constant pool slot " + std::to_string(i) +
                                 " is empty");
    return *entry;
}

std::string ConstantPool::text(size_t i) const {
    TextStep step(i);
    return at(i).toString();
}

void ConstantPool::failKind(size_t i, const ConstantPoolEntry& found, PoolTag wanted) const {
    throw std::runtime_error("Reading SGB failed: constant pool slot " + std::to_string(i) +
                             " holds a " + tagName(found.tag) + " entry, not a " + tagName(wanted) +
                             " entry");
}

const char* tagName(unsigned tag) {
    static const char* const names[] = {"(none)",     "Utf8",     "Unicode",   "Integer",
                                        "Float",      "Long",     "Double",    "Class",
                                        "String",     "Fieldref", "Methodref", "InterfaceMethodref",
                                        "NameAndType"};
    return tag < sizeof names / sizeof names[0] ? names[tag] : "unknown";
}

void CPEClass::resolve() const {
    if (name_index < pool->size())
        return;
    util::Log<zul::LOG_ERROR>("SGB file contains illegal name index).") % name_index;
    throw zulx::StatusException(zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX);
}

} // namespace classfile
