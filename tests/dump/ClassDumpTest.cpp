// The whole-class dump of zul dump: header, pool, members, class attributes,
// and the error of a record whose text cannot be produced.
#include "DumpHelpers.h"

#include "classfile/ClassDump.h"
#include "testsupport/Command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

using namespace classfile;
using dumptest::classWriter;
using dumptest::num;
using dumptest::printed;
using dumptest::readClass;
using testsupport::ClassWriter;
using testsupport::lines;

namespace {

std::string dumped(const ClassInfo& cls, bool listCode = true) {
    std::ostringstream out;
    DumpOptions options;
    options.listCode = listCode;
    testing::internal::CaptureStderr(); // the interface-test stub writes there
    dumpClass(out, cls, options);
    testing::internal::GetCapturedStderr();
    return out.str();
}

std::unique_ptr<ClassInfo> realClass(const std::string& name) {
    std::ifstream in(std::string(ZUL_DUMP_DATA_DIR) + "/classes/dump/" + name, std::ios::binary);
    return std::make_unique<ClassInfo>(in);
}

TEST(ClassDump, HeaderPoolAndMembersOfARealClass) {
    const auto cls = realClass("Interfaces.class");
    const std::string text = dumped(*cls);
    const ConstantPool& pool = cls->pool();
    const std::string expectedHead =
        "magic=0xcafebabe\nminor_version=0\nmajor_version=50\n"
        "access_flags=0x0021 public super\n"
        "this_class=#" +
        std::to_string(pool.thisClassIndex) +
        " [dump/Interfaces]\n"
        "super_class=#" +
        num(cls->super_class->index) +
        " [java/lang/Object]\n"
        "interface 0: class=#" +
        num(cls->interfaces[0]->index) +
        " [java/lang/Runnable]\n"
        "interface 1: class=#" +
        num(cls->interfaces[1]->index) +
        " [java/lang/Comparable]\n"
        "constant_pool_count=" +
        num(cls->constant_pool_count) +
        "; interfaces_count=2; fields_count=2; methods_count=" + num(cls->methods.size()) +
        "; attributes_count=" + num(cls->attributes.size()) + "\nconstant pool:\n";
    ASSERT_EQ(text.substr(0, expectedHead.size()), expectedHead);

    // One line per non-empty slot, in slot order.
    std::vector<std::string> poolLines;
    for (const std::string& line : lines(text))
        if (!line.empty() && line[0] == '#')
            poolLines.push_back(line);
    std::vector<std::string> expectedPool;
    for (size_t i = 1; i < pool.size(); ++i)
        if (const ConstantPoolEntry* e = pool.find(i))
            expectedPool.push_back("#" + num(i) + " = " + printed(*e));
    EXPECT_EQ(poolLines, expectedPool);

    // Each member's heading, then each attribute's dump.
    EXPECT_NE(text.find("\nfield 0: access_flags=0x0012 private final; name=#"), std::string::npos);
    EXPECT_NE(text.find(" [items]; descriptor=#"), std::string::npos);
    EXPECT_NE(text.find("\nmethod 5: access_flags=0x0001 public; name=#"), std::string::npos);
    EXPECT_NE(text.find("\nmethod 6: access_flags=0x1041 public bridge synthetic; name=#"),
              std::string::npos);
    testing::internal::CaptureStderr();
    for (const auto& method : cls->methods)
        for (size_t i = 0; i < method->attributes.size(); ++i)
            EXPECT_NE(text.find("  [" + num(i) + "] " + printed(*method->attributes[i]) + "\n"),
                      std::string::npos);
    testing::internal::GetCapturedStderr();
    const size_t classAttributes = text.find("\nclass attributes:\n");
    ASSERT_NE(classAttributes, std::string::npos);
    EXPECT_EQ(text.substr(classAttributes + 19, 6 + printed(*cls->attributes[0]).size()),
              "  [0] " + printed(*cls->attributes[0]));
    EXPECT_EQ(text.back(), '\n');
}

TEST(ClassDump, WithoutCodeTheListingsAreLeftOut) {
    const auto cls = realClass("Switches.class");
    const std::string full = dumped(*cls, true);
    const std::string brief = dumped(*cls, false);
    EXPECT_NE(full.find("\n      0 iload_0  <Local int n>"), std::string::npos);
    EXPECT_NE(brief.find("code={\n          }\n          attributes_count="), std::string::npos);
    for (const std::string& line : lines(brief))
        EXPECT_FALSE(line.size() > 8 && line[7] == ' ' &&
                     std::isdigit(static_cast<unsigned char>(line[6])))
            << line;
    // Everything else is the same.
    size_t listed = 0;
    for (const auto& method : cls->methods)
        if (const AttributeCode* code = method->code())
            listed += code->listCode(code->code_length).size();
    EXPECT_EQ(full.size(), brief.size() + listed);
}

// What an operation threw as std::runtime_error and wrote to standard error.
struct Failure {
    std::string what;
    std::string err;
};
template <typename F>
Failure failureOf(F&& f) {
    Failure r;
    testing::internal::CaptureStderr();
    try {
        f();
    } catch (const std::runtime_error& e) {
        r.what = e.what();
    }
    r.err = testing::internal::GetCapturedStderr();
    return r;
}

TEST(ClassDump, ABadRecordEndsTheDumpWithItsError) {
    struct Case {
        const ClassWriter* writer;
        std::string what, err, tail;               ///< tail: how the dump text ends
        std::function<void(const ClassInfo&)> own; ///< the record's own dump
    };
    // A constant value naming a method reference whose class slot holds text.
    ClassWriter ref = classWriter();
    const uint16_t notAClass = ref.utf8("a/B");
    const uint16_t badRef = ref.refEntry(10, notAClass, ref.nameAndType("run", "()V"));
    ref.addField(0x0008, "f", "I", {ref.constantValue(badRef)});
    // A local variable of an unknown type, named by the listing.
    ClassWriter local = classWriter();
    local.addMethod(0x0009, "m", "()V",
                    {local.code(1, 1, {0x1A, 0xB1}, {},
                                {local.localVariableTable({local.local(0, 2, "q", "Q", 0)})})});
    const std::vector<Case> cases = {
        {&ref, "Reading SGB error:  pool[" + num(notAClass) + "] != CPEClass",
         "CPERef : pool[" + num(notAClass) + "] != CPEClass \n",
         ", constant_value_index=" + num(badRef),
         [](const ClassInfo& c) { printed(*c.fields[0]->attributes[0]); }},
        {&local, "Reading SGB failed: Unknown field type: Q", "unknown field type:Q\n",
         "code={\n      0 iload_0 ", [](const ClassInfo& c) { c.methods[0]->code()->listCode(2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto cls = readClass(c.writer->str());
        std::ostringstream out;
        const Failure whole = failureOf([&] { dumpClass(out, *cls); });
        EXPECT_EQ(whole.what, c.what);
        EXPECT_EQ(whole.err, c.err);
        const std::string text = out.str();
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), c.tail.size())), c.tail);
        const Failure own = failureOf([&] { c.own(*cls); });
        EXPECT_EQ(own.what, c.what);
        EXPECT_EQ(own.err, c.err);
    }
}

TEST(ClassDump, BranchTargetsOutsideTheCodeAreShownAsNumbers) {
    ClassWriter w = classWriter();
    w.addMethod(0x0009, "m", "()V",
                {w.code(1, 0, std::vector<uint8_t>{0xA7, 0x7F, 0xFF, 0xC8, 0x80, 0, 0, 0, 0xAA})});
    const auto cls = readClass(w.str());
    const std::string text = dumped(*cls);
    EXPECT_NE(text.find("\n      0 goto 32767\n      3 goto_w -2147483645\n      8 tableswitch "
                        "<missing operand>\n          }"),
              std::string::npos)
        << text;
}

} // namespace
