#pragma once

#include "classfile/ClassInfo.h"
#include "testsupport/ClassWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace cftest {

/// A class read from bytes, with how many of them the reader consumed.
struct Read {
    std::unique_ptr<classfile::ClassInfo> cls;
    std::streamoff consumed = 0;
};

inline Read readClass(const std::string& bytes) {
    std::istringstream in(bytes, std::ios::binary);
    Read r;
    r.cls = std::make_unique<classfile::ClassInfo>(in);
    r.consumed = in.tellg();
    return r;
}
inline Read readClass(const testsupport::ClassWriter& w) {
    return readClass(w.str());
}

/// A writer for a class "T" extending "java/lang/Object" and nothing else.
inline testsupport::ClassWriter minimalWriter() {
    testsupport::ClassWriter w;
    w.thisClass = w.classNamed("T");
    w.superClass = w.classNamed("java/lang/Object");
    return w;
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
    CodeClass r{readClass(w).cls, nullptr};
    r.code = r.cls->methods.at(0)->code();
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

/// What a failing call threw ("" when nothing) and wrote to the standard
/// error stream.
struct Failure {
    std::string what;
    std::string stderrText;
};

/// Runs `f`, expecting an exception of type `E`.
template <typename E>
Failure failureOf(const std::function<void()>& f) {
    Failure result;
    testing::internal::CaptureStderr();
    try {
        f();
    } catch (const E& e) {
        result.what = e.what();
    } catch (...) {
        testing::internal::GetCapturedStderr();
        throw;
    }
    result.stderrText = testing::internal::GetCapturedStderr();
    return result;
}

/// Expects `f` to throw an `E` saying `what` after writing `stderrText`.
template <typename E = std::runtime_error>
void expectFailure(const std::function<void()>& f, const std::string& what,
                   const std::string& stderrText = "") {
    const Failure r = failureOf<E>(f);
    EXPECT_EQ(r.what, what);
    EXPECT_EQ(r.stderrText, stderrText);
}

} // namespace cftest
