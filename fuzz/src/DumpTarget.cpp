#include "fuzz/Guard.h"
#include "fuzz/Streams.h"
#include "fuzz/Targets.h"

#include "classfile/ClassDump.h"
#include "classfile/ClassInfo.h"

#include <istream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <typeinfo>

namespace fuzz {
namespace {

using classfile::Attribute;
using classfile::AttributeList;

// Runs one dump or text operation. These throw only the std::runtime_error
// of a record whose text cannot be produced; any other exception is a
// finding.
template <typename Step>
void dumpStep(const char* what, Step&& step) {
    try {
        step();
    } catch (const std::runtime_error&) {
    } catch (const std::exception& e) {
        finding(std::string(what) + " threw " + typeid(e).name() + ": " + e.what());
    } catch (...) {
        finding(std::string(what) + " threw an exception not derived from std::exception");
    }
}

// Each piece of the dump runs on its own, so that one that throws (a
// documented failure of a bad index) does not hide the pieces after it.
void dumpAttributes(const AttributeList& list, std::ostringstream& out) {
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

void runDump(const uint8_t* data, size_t size) {
    MemoryBuf buf(data, size);
    std::istream in(&buf);
    std::unique_ptr<classfile::ClassInfo> cls;
    if (!guarded("read", [&] { cls = std::make_unique<classfile::ClassInfo>(in); }))
        return;

    for (const bool listCode : {true, false}) {
        std::ostringstream whole;
        dumpStep("dumpClass",
                 [&] { classfile::dumpClass(whole, *cls, classfile::DumpOptions{listCode}); });
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
}

} // namespace fuzz
