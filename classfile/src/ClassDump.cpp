#include "classfile/ClassDump.h"
#include "DumpText.h"

#include "classfile/ClassInfo.h"

#include <exception>
#include <ios>
#include <ostream>

namespace classfile {

namespace {

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

// Runs `write`; if the record's text cannot be produced, what was written
// stays and the reason follows it, so one bad record does not end the dump.
template <typename F>
void guarded(std::ostream& out, F&& write) {
    try {
        write();
    } catch (const std::exception& e) {
        out << " <error: " << e.what() << ">";
    } catch (...) {
        out << " <error: unknown exception>";
    }
}

void writeFlags(std::ostream& out, FlagSet set, uint32_t flags) {
    const std::ios::fmtflags saved = out.flags();
    const char fill = out.fill('0');
    out << "access_flags=0x" << std::hex;
    out.width(4);
    out << flags;
    out.flags(saved);
    out.fill(fill);
    for (const AccessFlag& flag : kAccessFlags)
        if (flag.set == set && (flags & flag.bit) != 0)
            out << ' ' << flag.word;
}

void writeSlot(std::ostream& out, const ConstantPool& pool, const char* label, uint32_t index) {
    out << label << "=#" << index;
    writeSlotName(out, pool, index);
}

void writeClassSlot(std::ostream& out, const ConstantPool& pool, const char* label,
                    const ConstantPoolEntry* entry) {
    if (entry == nullptr) {
        out << label << "=none";
        return;
    }
    writeSlot(out, pool, label, entry->index);
}

void writeAttributes(std::ostream& out, const AttributeList& attributes,
                     const DumpOptions& options) {
    for (size_t i = 0; i < attributes.size(); ++i) {
        const Attribute& attribute = *attributes[i];
        out << "  [" << i << "] ";
        guarded(out, [&] {
            if (const auto* code = attribute.as<AttributeCode>())
                printCode(out, *code, options.listCode ? ListingMode::TOLERANT : ListingMode::NONE);
            else
                attribute.print(out);
        });
        out << '\n';
    }
}

void writeMember(std::ostream& out, const char* what, FlagSet set, const MemberInfo& member,
                 const DumpOptions& options) {
    const ConstantPool& pool = member.owner->pool();
    out << what << ' ' << member.index << ": ";
    guarded(out, [&] {
        writeFlags(out, set, member.access_flags);
        writeSlot(out, pool, "; name", member.name_index);
        writeSlot(out, pool, "; descriptor", member.descriptor_index);
    });
    out << '\n';
    writeAttributes(out, member.attributes, options);
}

void writeHeader(std::ostream& out, const ClassInfo& cls) {
    const ConstantPool& pool = cls.pool();
    const std::ios::fmtflags saved = out.flags();
    out << "magic=0x" << std::hex << cls.magic;
    out.flags(saved);
    out << "\nminor_version=" << cls.minor_version << "\nmajor_version=" << cls.major_version
        << '\n';
    writeFlags(out, FlagSet::CLASS, cls.access_flags);
    out << '\n';
    guarded(out, [&] { writeSlot(out, pool, "this_class", pool.thisClassIndex); });
    out << '\n';
    guarded(out, [&] { writeClassSlot(out, pool, "super_class", cls.super_class); });
    out << '\n';
    for (size_t i = 0; i < cls.interfaces.size(); ++i) {
        out << "interface " << i << ": ";
        guarded(out, [&] { writeClassSlot(out, pool, "class", cls.interfaces[i]); });
        out << '\n';
    }
    out << "constant_pool_count=" << cls.constant_pool_count
        << "; interfaces_count=" << cls.interfaces.size() << "; fields_count=" << cls.fields.size()
        << "; methods_count=" << cls.methods.size()
        << "; attributes_count=" << cls.attributes.size() << '\n';
}

} // namespace

void dumpClass(std::ostream& out, const ClassInfo& cls, const DumpOptions& options) {
    writeHeader(out, cls);

    out << "constant pool:\n";
    const ConstantPool& pool = cls.pool();
    for (size_t i = 0; i < pool.size(); ++i) {
        const ConstantPoolEntry* entry = pool.find(i);
        if (entry == nullptr)
            continue;
        out << '#' << i << " = ";
        guarded(out, [&] { entry->print(out); });
        out << '\n';
    }

    for (const auto& field : cls.fields)
        writeMember(out, "field", FlagSet::FIELD, *field, options);
    for (const auto& method : cls.methods)
        writeMember(out, "method", FlagSet::METHOD, *method, options);

    out << "class attributes:\n";
    writeAttributes(out, cls.attributes, options);
}

} // namespace classfile
