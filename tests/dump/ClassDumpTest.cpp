// The whole-class dump of zul dump: header, pool, members, class attributes,
// and how far it gets through records whose text cannot be produced.
#include "DumpHelpers.h"

#include "classfile/ClassDump.h"
#include "testsupport/Command.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace classfile;
using dumptest::classWriter;
using dumptest::num;
using dumptest::printed;
using dumptest::readClass;
using testsupport::Bytes;
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

TEST(ClassDump, BadRecordsAreShownAsFarAsTheyGo) {
    ClassWriter w = classWriter();
    const uint16_t badString = w.rawEntry(8, Bytes().u2(9999));
    const uint16_t badRef = w.refEntry(10, w.classNamed("a/B"), w.utf8("x"));
    const uint16_t unnamed = w.classEntry(0);
    w.addField(0x0008, "f", "Ljava/lang/String;", {w.constantValue(badString)});
    w.addField(0x0008, 7000, 7001, {});
    // ldc_w of a string whose text is outside the pool, then more code.
    w.addMethod(0x0009, "a", "()V",
                {w.code(1, 0, {0x13, 0, static_cast<uint8_t>(badString), 0x57, 0xB1})});
    w.addMethod(0x0009, "b", "()V", {w.code(1, 0, {0xB8, 0, static_cast<uint8_t>(badRef), 0xB1})});
    w.addMethod(0x0009, "c", "()V",
                {w.code(1, 0, {0xBB, 0, static_cast<uint8_t>(unnamed), 0xA7, 0x7F, 0x00, 0x12})});
    w.addAttribute(w.sourceFile("T.java"));
    const auto cls = readClass(w.str());
    std::string text;
    ASSERT_NO_THROW(text = dumped(*cls));

    EXPECT_NE(text.find("\n#" + num(badString) + " = {tag=String; string_index=9999}\n"),
              std::string::npos);
    EXPECT_NE(text.find(", constant_value_index=" + num(badString) +
                        " <error: Reading SGB failed: constant pool index 9999 outside the pool "
                        "(21 slots)>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nfield 1: access_flags=0x0008 static; name=#7000; descriptor=#7001\n"),
              std::string::npos);
    // A listing shows the failure in place of the operand text and goes on.
    EXPECT_NE(text.find("\n      0 ldc_w #" + num(badString) +
                        " <error: Reading SGB failed: constant pool index 9999 outside the pool "
                        "(21 slots)>\n      3 pop \n      4 return \n"),
              std::string::npos);
    EXPECT_NE(text.find("\n      0 invokestatic #" + num(badRef) +
                        " <error: Reading SGB failed: constant pool slot 6 holds a Utf8 entry, "
                        "not a NameAndType entry>\n      3 return \n"),
              std::string::npos);
    EXPECT_NE(text.find("\n      0 new #" + num(unnamed) +
                        " <error: Reading SGB failed: constant pool slot 0 is empty>"
                        "\n      3 goto 32515\n"),
              std::string::npos);
    // The record operations themselves throw what the text operations throw.
    EXPECT_THROW(cls->methods[0]->code()->listCode(5), std::runtime_error);
    EXPECT_THROW(printed(*cls->methods[1]->code()), std::runtime_error);
    // The dump goes on after each failure.
    EXPECT_NE(text.find("\nmethod 2: access_flags=0x0009 public static; name=#"),
              std::string::npos);
    EXPECT_NE(text.find("\nclass attributes:\n  [0] name=SourceFile; attribute_length=2; "
                        "source_file_index="),
              std::string::npos);
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
