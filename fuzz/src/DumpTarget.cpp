#include "fuzz/Guard.h"
#include "fuzz/Streams.h"
#include "fuzz/Targets.h"

#include "classfile/ClassDump.h"
#include "classfile/ClassInfo.h"

#include <istream>
#include <memory>
#include <sstream>
#include <string>

namespace fuzz {
namespace {

using classfile::Attribute;
using classfile::AttributeList;

// Each piece of the dump runs on its own, so that one that throws (a
// documented failure of a bad index) does not hide the pieces after it.
void dumpAttributes(const AttributeList& list, std::ostringstream& out) {
    for (const auto& attribute : list) {
        guarded("Attribute::print", [&] { attribute->print(out); });
        const auto* code = attribute->as<classfile::AttributeCode>();
        if (!code)
            continue;
        guarded("AttributeCode::listCode", [&] { out << code->listCode(code->code_length); });
        // A limit inside the code may end in the middle of an instruction.
        guarded("AttributeCode::listCode (limit)",
                [&] { out << code->listCode(code->code_length / 2 + 1); });
        for (uint32_t slot = 0; slot < 4; ++slot)
            guarded("AttributeCode::findLocalVariable",
                    [&] { static_cast<void>(code->findLocalVariable(slot)); });
        dumpAttributes(code->attributes, out);
    }
}

} // namespace

void runDump(const uint8_t* data, size_t size) {
    MemoryBuf buf(data, size);
    std::istream in(&buf);
    std::unique_ptr<classfile::ClassInfo> cls;
    if (!guarded("read", [&] { cls = std::make_unique<classfile::ClassInfo>(in); }))
        return;

    // The whole-class dump promises to throw nothing: a record whose text
    // fails is marked in the text and the dump goes on.
    for (const bool listCode : {true, false}) {
        std::ostringstream whole;
        try {
            classfile::dumpClass(whole, *cls, classfile::DumpOptions{listCode});
        } catch (const std::exception& e) {
            finding(std::string("dumpClass threw: ") + e.what());
        } catch (...) {
            finding("dumpClass threw an exception not derived from std::exception");
        }
    }

    // Then each record's own text operations, which may throw.
    std::ostringstream out;
    const classfile::ConstantPool& pool = cls->pool();
    for (size_t i = 0; i < pool.size(); ++i) {
        const classfile::ConstantPoolEntry* entry = pool.find(i);
        if (!entry)
            continue;
        guarded("ConstantPoolEntry::print", [&] { entry->print(out); });
        guarded("ConstantPoolEntry::describe", [&] { out << entry->describe(); });
        guarded("ConstantPoolEntry::toString", [&] { out << entry->toString(); });
        guarded("ConstantPool::text", [&] { out << pool.text(i); });
        guarded("ClassInfo::isInterfaceOf", [&] { out << cls->isInterfaceOf(entry); });
    }
    dumpAttributes(cls->attributes, out);
    for (const auto& field : cls->fields)
        dumpAttributes(field->attributes, out);
    for (const auto& method : cls->methods)
        dumpAttributes(method->attributes, out);
}

} // namespace fuzz
