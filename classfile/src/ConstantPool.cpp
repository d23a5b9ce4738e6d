#include "classfile/ConstantPool.h"
#include "classfile/ByteReader.h"
#include "classfile/ReadContext.h"

#include "util/Log.h"
#include "util/RuntimeErrorST.h"
#include "zul/Status.h"
#include "zulx/StatusException.h"

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace classfile {

namespace {

ConstantPoolEntry* readEntry(ReadContext& context, unsigned tag) {
    RecordArena& arena = context.arena;
    switch (tag) {
    case TAG_UTF8:
        return arena.make<CPEUtf8>(context);
    case TAG_UNICODE:
        return arena.make<CPEUnicode>(context);
    case TAG_INTEGER:
        return arena.make<CPEInteger>(context);
    case TAG_FLOAT:
        return arena.make<CPEFloat>(context);
    case TAG_LONG:
        return arena.make<CPELong>(context);
    case TAG_DOUBLE:
        return arena.make<CPEDouble>(context);
    case TAG_CLASS:
        return arena.make<CPEClass>(context);
    case TAG_STRING:
        return arena.make<CPEString>(context);
    case TAG_FIELDREF:
        return arena.make<CPEFieldRef>(context);
    case TAG_METHODREF:
        return arena.make<CPEMethodRef>(context);
    case TAG_INTERFACE_METHODREF:
        return arena.make<CPEInterfaceMethodRef>(context);
    case TAG_NAME_AND_TYPE:
        return arena.make<CPENameAndType>(context);
    default:
        return nullptr;
    }
}

// The slots whose texts, in order, make up the text of an entry that refers
// to others; a member reference puts a "." between its two.
struct TextParts {
    uint32_t slots[2];
    unsigned count = 0;
    bool dotted = false;
};

bool partsOf(const ConstantPoolEntry& entry, TextParts& parts) {
    switch (entry.tag) {
    case TAG_CLASS:
        parts = {{static_cast<const CPEClass&>(entry).name_index, 0}, 1, false};
        return true;
    case TAG_STRING:
        parts = {{static_cast<const CPEString&>(entry).string_index, 0}, 1, false};
        return true;
    case TAG_NAME_AND_TYPE: {
        const auto& nat = static_cast<const CPENameAndType&>(entry);
        parts = {{nat.name_index, nat.descriptor_index}, 2, false};
        return true;
    }
    case TAG_FIELDREF:
    case TAG_METHODREF:
    case TAG_INTERFACE_METHODREF: {
        const auto& ref = static_cast<const CPERef&>(entry);
        ref.checkSlots();
        parts = {{ref.class_index, ref.name_and_type_index}, 2, true};
        return true;
    }
    default:
        return false;
    }
}

// Text bytes that any entry other than a text contributes at most: a number
// ("%.17g" of a double with sign and exponent, the longest, takes 24), or
// the "." of a member reference.
constexpr size_t kNumberTextBytes = 24;

} // namespace

ConstantPool::ConstantPool(ReadContext& context, uint32_t count) : owner(context.owner) {
    // Every slot is there from the start, empty until its entry is read. The
    // smallest entry (tag and a 2-byte value) takes 3 bytes: a count the
    // remaining input cannot hold fails at the end of input, before the
    // slots of a count read off a short file are all made.
    const size_t slots = count < 2 ? count : context.in.capacityFor(count - 1, 3) + 1;
    RecordListBuilder<const ConstantPoolEntry*> list(context.arena, slots);
    if (count >= 1)
        list.push_back(nullptr);
    uint32_t i = 1;
    while (i < count) {
        // The end of input where a tag is due reads as tag 255, an unknown tag.
        const unsigned tag = context.in.u1OrEnd();
        ConstantPoolEntry* entry = readEntry(context, tag);
        if (!entry) {
            std::cerr << "Unknown tag @ " << i << ":" << tag << ":" << std::endl;
            throw util::RuntimeErrorST("Unknown tag");
        }
        entry->index = i;
        entry->pool = this;
        if (tag == TAG_UTF8)
            mTextBytes += static_cast<const CPEUtf8*>(entry)->value.size();
        else if (tag == TAG_UNICODE)
            mTextBytes += static_cast<const CPEUnicode*>(entry)->value.size();
        else
            mTextBytes += kNumberTextBytes;
        list.push_back(entry);
        // An 8-byte constant takes two slots; in the last slot its second one
        // lies outside the pool and is not created.
        if (tag == TAG_LONG || tag == TAG_DOUBLE) {
            if (i + 1 < count)
                list.push_back(nullptr);
            i += 2;
        } else {
            i += 1;
        }
    }
    entries = list.list();
}

const ConstantPoolEntry& ConstantPool::at(size_t i) const {
    if (i >= entries.size())
        throw std::runtime_error("Reading SGB failed: constant pool index " + std::to_string(i) +
                                 " outside the pool (" + std::to_string(entries.size()) +
                                 " slots)");
    const ConstantPoolEntry* entry = entries[i];
    if (entry == nullptr)
        throw std::runtime_error("Reading SGB failed: constant pool slot " + std::to_string(i) +
                                 " is empty");
    return *entry;
}

std::string ConstantPool::text(size_t asked) const {
    const ConstantPoolEntry& first = at(asked);
    struct Frame {
        TextParts parts;
        unsigned next;
    };
    Frame frame{{}, 0};
    if (!partsOf(first, frame.parts))
        return first.toString();

    // Depth first over the referring entries on an explicit stack, so that
    // long chains cannot exhaust the thread's stack. Without a cycle a chain
    // visits each slot at most once, so a chain longer than the pool has one.
    // A member reference repeats at most its class name as its member name or
    // descriptor, so no text of a well-formed pool reaches three times the
    // pool's texts together; entries that share referring entries many times
    // over would make a text that doubles with each level.
    std::vector<Frame> chain{frame};
    std::string out;
    while (!chain.empty()) {
        Frame& top = chain.back();
        if (top.next == top.parts.count) {
            chain.pop_back();
            continue;
        }
        if (top.next == 1 && top.parts.dotted)
            out += '.';
        const uint32_t slot = top.parts.slots[top.next++];
        const ConstantPoolEntry& entry = at(slot);
        if (partsOf(entry, frame.parts)) {
            if (chain.size() >= entries.size())
                throw std::runtime_error("Reading SGB failed: text of constant pool slot " +
                                         std::to_string(asked) + " follows a cycle of references");
            frame.next = 0;
            chain.push_back(frame);
            continue;
        }
        out += entry.toString();
        if (out.size() > 3 * mTextBytes)
            throw std::runtime_error("Reading SGB failed: text of constant pool slot " +
                                     std::to_string(asked) + " grows beyond " +
                                     std::to_string(3 * mTextBytes) +
                                     " bytes, three times the pool's texts together");
    }
    return out;
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
