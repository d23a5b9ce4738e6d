#pragma once

#include "ReadHelpers.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace dumptest {

using cftest::minimalWriter;

inline std::unique_ptr<classfile::ClassInfo> readClass(const testsupport::ClassWriter& w) {
    return cftest::readClass(w).cls;
}

/// What `x.print(out)` writes to a fresh stream.
template <typename T>
std::string printed(const T& x) {
    std::ostringstream out;
    x.print(out);
    return out.str();
}

/// A class read from `w` whose one method has the Code attribute `code`.
struct CodeClass {
    std::unique_ptr<classfile::ClassInfo> cls;
    const classfile::AttributeCode* code = nullptr;
};

inline CodeClass withCode(testsupport::ClassWriter& w, const testsupport::AttributeBytes& code) {
    w.addMethod(0x0009, "m", "()V", {code});
    CodeClass r{readClass(w), nullptr};
    r.code = r.cls->methods.at(0)->code();
    if (r.code == nullptr)
        throw std::logic_error("method without Code attribute");
    return r;
}

/// The listing of `bytecode` with the pool and local-variable rows of `w`.
inline std::string listing(testsupport::ClassWriter& w, const std::vector<uint8_t>& bytecode,
                           const std::vector<testsupport::LocalVariableRow>& locals = {}) {
    testsupport::AttributeBytesList nested;
    if (!locals.empty())
        nested.push_back(w.localVariableTable(locals));
    const CodeClass c = withCode(w, w.code(2, 2, bytecode, {}, nested));
    return c.code->listCode(c.code->code_length);
}

template <typename Number>
std::string num(Number n) {
    return std::to_string(n);
}

} // namespace dumptest
