// The whole-class dump of zul dump: header, pool, members, class attributes,
// and the error of a record whose text cannot be produced.
#include "ReadHelpers.h"

#include "classfile/ClassDump.h"

#include <gtest/gtest.h>

using namespace classfile;
using cftest::minimalWriter;
using cftest::readClass;
using testsupport::ClassWriter;

namespace {

std::string dumped(const ClassInfo& cls, bool listCode) {
    std::ostringstream out;
    DumpOptions options;
    options.listCode = listCode;
    dumpClass(out, cls, options);
    return out.str();
}

// Every flag word of each set, and every part of the dump.
TEST(ClassDump, HeaderPoolMembersAndAttributes) {
    ClassWriter w = minimalWriter(); // slots 1 to 4: "T", its class, "java/lang/Object", its class
    w.accessFlags = 0x7631;
    w.interfaces = {w.classNamed("p/I"), 0};
    w.addField(0x50DF, "f", "I", {w.constantValue(w.integer(5))});
    const auto lines = w.lineNumberTable({{0, 7}});
    w.addMethod(0x1DFF, "m", "()V", {w.code(1, 2, {0x12, 7, 0x12, 7, 0xB1}, {}, {lines})});
    w.addAttribute(w.sourceFile("T.java"));
    const std::string listing =
        "\n      0 ldc #7 <Integer 5>\n      2 ldc #7 <Integer 5>\n      4 return ";
    const std::string expected =
        "magic=0xcafebabe\nminor_version=0\nmajor_version=50\n"
        "access_flags=0x7631 public final super interface abstract synthetic annotation enum\n"
        "this_class=#2 [T]\nsuper_class=#4 [java/lang/Object]\n"
        "interface 0: class=#6 [p/I]\ninterface 1: class=none\n"
        "constant_pool_count=17; interfaces_count=2; fields_count=1; methods_count=1; "
        "attributes_count=1\nconstant pool:\n"
        "#1 = {tag=Utf8; value=\"T\"}\n#2 = {tag=Class; name_index=1 [T]}\n"
        "#3 = {tag=Utf8; value=\"java/lang/Object\"}\n"
        "#4 = {tag=Class; name_index=3 [java/lang/Object]}\n"
        "#5 = {tag=Utf8; value=\"p/I\"}\n#6 = {tag=Class; name_index=5 [p/I]}\n"
        "#7 = {tag=Integer; value=5}\n#8 = {tag=Utf8; value=\"ConstantValue\"}\n"
        "#9 = {tag=Utf8; value=\"I\"}\n#10 = {tag=Utf8; value=\"f\"}\n"
        "#11 = {tag=Utf8; value=\"LineNumberTable\"}\n#12 = {tag=Utf8; value=\"Code\"}\n"
        "#13 = {tag=Utf8; value=\"()V\"}\n#14 = {tag=Utf8; value=\"m\"}\n"
        "#15 = {tag=Utf8; value=\"T.java\"}\n#16 = {tag=Utf8; value=\"SourceFile\"}\n"
        "field 0: access_flags=0x50df public private protected static final volatile transient "
        "synthetic enum; name=#10 [f]; descriptor=#9 [I]\n"
        "  [0] name=ConstantValue; attribute_length=2, constant_value_index=7 [5]\n"
        "method 0: access_flags=0x1dff public private protected static final synchronized "
        "bridge varargs native abstract strict synthetic; name=#14 [m]; descriptor=#13 [()V]\n"
        "  [0] name=Code; attribute_length=29; max_stack=1; max_locals=2; code_length=5; "
        "exception_table_length=0;\n          exceptions={\n          }\n          code={" +
        listing +
        "\n          }\n          attributes_count=1;\n          attributes={\n"
        "        [0]={name=LineNumberTable; attribute_length=6; line_number_table_length=1;\n"
        "          line_number_table={\n            [0]={start_pc=0; line_number=7}};\n"
        "          }\n        }\n"
        "class attributes:\n"
        "  [0] name=SourceFile; attribute_length=2; source_file_index=15 [T.java]\n";
    const auto cls = readClass(w).cls;
    EXPECT_EQ(dumped(*cls, true), expected);
    std::string brief = expected;
    brief.erase(brief.find(listing), listing.size());
    EXPECT_EQ(dumped(*cls, false), brief);
}

TEST(ClassDump, ABadRecordEndsTheDumpWithItsError) {
    // A constant value naming a method reference whose class slot holds text.
    ClassWriter ref = minimalWriter();
    const uint16_t notAClass = ref.utf8("a/B");
    const uint16_t badRef = ref.refEntry(10, notAClass, ref.nameAndType("run", "()V"));
    ref.addField(0x0008, "f", "I", {ref.constantValue(badRef)});
    // A local variable of an unknown type, named by the listing.
    ClassWriter local = minimalWriter();
    const auto row = local.local(0, 2, "q", "Q", 0);
    local.addMethod(0x0009, "m", "()V",
                    {local.code(1, 1, {0x1A, 0xB1}, {}, {local.localVariableTable({row})})});
    const struct {
        const ClassWriter* writer;
        std::string what, err, tail; ///< tail: how the dump text ends
    } cases[] = {
        {&ref, "Reading SGB error:  pool[5] != CPEClass", "CPERef : pool[5] != CPEClass \n",
         ", constant_value_index=9"},
        {&local, "Reading SGB failed: Unknown field type: Q", "unknown field type:Q\n",
         "code={\n      0 iload_0 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto cls = readClass(*c.writer).cls;
        std::ostringstream out;
        cftest::expectFailure([&] { dumpClass(out, *cls); }, c.what, c.err);
        const std::string text = out.str();
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), c.tail.size())), c.tail);
    }
}

} // namespace
