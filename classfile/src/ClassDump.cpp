#include "classfile/ClassDump.h"
#include "DumpText.h"

#include "classfile/ClassInfo.h"

#include <ostream>

namespace classfile {

namespace {

constexpr size_t kInitialText = 64 * 1024;

enum class FlagSet { CLASS, FIELD, METHOD };

struct AccessFlag {
    FlagSet set;
    uint16_t bit;
    const char* word;
};

constexpr AccessFlag kAccessFlags[] = {
#define ZUL_ACCESS_FLAG(set, bit, word) {FlagSet::set, bit, word},
#include "AccessFlags.def"
};

void writeHex(TextWriter& out, uint32_t value, int digits) {
    static const char kDigits[] = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out << kDigits[(value >> shift) & 15];
}

void writeFlags(TextWriter& out, FlagSet set, uint32_t flags) {
    out << "access_flags=0x";
    writeHex(out, flags, 4);
    for (const AccessFlag& flag : kAccessFlags)
        if (flag.set == set && (flags & flag.bit) != 0)
            out << ' ' << flag.word;
}

void writeSlot(TextWriter& out, const ConstantPool& pool, const char* label, uint32_t index) {
    out << label << "=#" << index;
    writeSlotName(out, pool, index);
}

void writeClassSlot(TextWriter& out, const ConstantPool& pool, const char* label,
                    const ConstantPoolEntry* entry) {
    if (entry == nullptr)
        out << label << "=none";
    else
        writeSlot(out, pool, label, entry->index);
}

void writeAttributes(TextWriter& out, const AttributeList& attributes, ListingMode mode,
                     PoolTextCache& cache) {
    for (size_t i = 0; i < attributes.size(); ++i) {
        out << "  [" << i << "] ";
        writeAttribute(out, *attributes[i], mode, &cache);
        out << '\n';
        out.flushIfLarge();
    }
}

void writeMember(TextWriter& out, const char* what, FlagSet set, const MemberInfo& member,
                 ListingMode mode, PoolTextCache& cache) {
    const ConstantPool& pool = member.owner->pool();
    out << what << ' ' << member.index << ": ";
    writeFlags(out, set, member.access_flags);
    writeSlot(out, pool, "; name", member.name_index);
    writeSlot(out, pool, "; descriptor", member.descriptor_index);
    out << '\n';
    writeAttributes(out, member.attributes, mode, cache);
}

void writeHeader(TextWriter& out, const ClassInfo& cls) {
    const ConstantPool& pool = cls.pool();
    out << "magic=0x";
    writeHex(out, cls.magic, 8);
    out << "\nminor_version=" << cls.minor_version << "\nmajor_version=" << cls.major_version
        << '\n';
    writeFlags(out, FlagSet::CLASS, cls.access_flags);
    out << '\n';
    writeSlot(out, pool, "this_class", static_cast<uint32_t>(pool.thisClassIndex));
    out << '\n';
    writeClassSlot(out, pool, "super_class", cls.super_class);
    out << '\n';
    for (size_t i = 0; i < cls.interfaces.size(); ++i) {
        out << "interface " << i << ": ";
        writeClassSlot(out, pool, "class", cls.interfaces[i]);
        out << '\n';
    }
    out << "constant_pool_count=" << cls.constant_pool_count
        << "; interfaces_count=" << cls.interfaces.size() << "; fields_count=" << cls.fields.size()
        << "; methods_count=" << cls.methods.size()
        << "; attributes_count=" << cls.attributes.size() << '\n';
}

} // namespace

void dumpClass(std::ostream& stream, const ClassInfo& cls, const DumpOptions& options) {
    TextWriter out(stream);
    // A class's dump is some tens of kilobytes; room for it up front saves
    // copying it while it grows.
    if (TextBuffer* buffer = out.buffer())
        buffer->reserve(kInitialText);
    writeHeader(out, cls);

    out << "constant pool:\n";
    const ConstantPool& pool = cls.pool();
    for (size_t i = 0; i < pool.size(); ++i) {
        const ConstantPoolEntry* entry = pool.find(i);
        if (entry == nullptr)
            continue;
        out << '#' << i << " = ";
        writeEntry(out, *entry);
        out << '\n';
    }

    const ListingMode mode = options.listCode ? ListingMode::LIST : ListingMode::NONE;
    PoolTextCache cache;
    for (const auto& field : cls.fields)
        writeMember(out, "field", FlagSet::FIELD, *field, mode, cache);
    for (const auto& method : cls.methods)
        writeMember(out, "method", FlagSet::METHOD, *method, mode, cache);

    out << "class attributes:\n";
    writeAttributes(out, cls.attributes, mode, cache);
}

} // namespace classfile
