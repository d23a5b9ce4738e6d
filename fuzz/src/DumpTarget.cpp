#include "fuzz/Guard.h"
#include "fuzz/Targets.h"

#include "classfile/ClassDump.h"
#include "classfile/ClassInfo.h"

#include <memory>
#include <sstream>
#include <string>

namespace fuzz {
namespace {

// A dump or text operation throws only the std::runtime_error of a record
// whose text cannot be produced. Each piece runs on its own, so that one that
// throws does not hide the pieces after it.
template <typename Step>
void dumpStep(const char* what, Step&& step) {
    guarded(what, step, true);
}

void dumpAttributes(const classfile::AttributeList& list, std::ostringstream& out) {
    for (const auto& attribute : list) {
        dumpStep("Attribute::print", [&] { attribute->print(out); });
        const auto* code = attribute->as<classfile::AttributeCode>();
        if (!code)
            continue;
        dumpStep("AttributeCode::listCode", [&] { out << code->listCode(code->code_length); });
        // A limit inside the code may end in the middle of an instruction.
        dumpStep("AttributeCode::listCode (limit)",
                 [&] { out << code->listCode(code->code_length / 2 + 1); });
        for (uint32_t slot = 0; slot < 4; ++slot)
            dumpStep("AttributeCode::findLocalVariable",
                     [&] { static_cast<void>(code->findLocalVariable(slot)); });
        dumpAttributes(code->attributes, out);
    }
}

} // namespace

bool runDump(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::unique_ptr<classfile::ClassInfo> cls;
    if (!guarded("read", [&] { cls = std::make_unique<classfile::ClassInfo>(in); }))
        return false;

    for (const bool listCode : {true, false}) {
        std::ostringstream whole;
        const bool dumped = guarded(
            "dumpClass",
            [&] { classfile::dumpClass(whole, *cls, classfile::DumpOptions{listCode}); }, true);
        if (dumped && whole.str().empty())
            finding("dumpClass wrote nothing");
    }
    // Then each record's own text operations.
    std::ostringstream out;
    const classfile::ConstantPool& pool = cls->pool();
    for (size_t i = 0; i < pool.size(); ++i) {
        const classfile::ConstantPoolEntry* entry = pool.find(i);
        if (!entry)
            continue;
        dumpStep("ConstantPoolEntry::print", [&] { entry->print(out); });
        dumpStep("ConstantPoolEntry::describe", [&] { out << entry->describe(); });
        dumpStep("ConstantPoolEntry::toString", [&] { out << entry->toString(); });
        dumpStep("ConstantPool::text", [&] { out << pool.text(i); });
        dumpStep("ClassInfo::isInterfaceOf", [&] { out << cls->isInterfaceOf(entry); });
    }
    dumpAttributes(cls->attributes, out);
    for (const auto& field : cls->fields)
        dumpAttributes(field->attributes, out);
    for (const auto& method : cls->methods)
        dumpAttributes(method->attributes, out);
    return true;
}

} // namespace fuzz
