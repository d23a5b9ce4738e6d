// The text (toString), tagged dump (print) and operand text (describe) of
// every pool entry.
#include "ReadHelpers.h"

#include <gtest/gtest.h>

#include <iomanip>

using namespace classfile;
using cftest::minimalWriter;
using cftest::printed;
using cftest::readClass;
using testsupport::Bytes;
using testsupport::ClassWriter;

namespace {

TEST(EntryDump, EveryEntryPrintsAndDescribesItself) {
    ClassWriter w = minimalWriter(); // slots 1 to 4: "T", its class, "java/lang/Object", its class
    const uint16_t slots[] = {
        w.utf8("hello"),
        w.unicode("a\"b"),
        w.integer(-5),
        w.floating(0.1f),
        w.longValue(-1234567890123LL),
        w.doubleValue(0.1),
        w.classNamed("a/B$C"),
        w.classNamed("[[Ljava/lang/String;"),
        w.string("some text"),
        w.nameAndType("run", "(I[JLjava/lang/String;)V"),
        w.nameAndType("count", "[[J"),
        w.nameAndType("<init>", "(D)V"),
        w.fieldRef("a/B", "count", "[[J"),
        w.methodRef("a/B$C", "<init>", "(D)V"),
        w.interfaceMethodRef("java/lang/Runnable", "run", "()V"),
    };
    const struct {
        std::string print, describe, text; ///< text: what toString gives
    } expected[] = {
        {"{tag=Utf8; value=\"hello\"}", "", "hello"},
        {"a\"b[Unicode]", "", "a\"b"},
        {"{tag=Integer; value=-5}", "Integer -5", "-5"},
        {"{tag=Float; value=0.1}", "Float 0.1", "0.100000001"},
        {"{tag=Long; value=-1234567890123}", "Long -1234567890123", "-1234567890123"},
        {"{tag=Double; value=0.1}", "Double 0.1", "0.10000000000000001"},
        {"{tag=Class; name_index=13 [a/B$C]}", "Class a.B.C", "a/B$C"},
        {"{tag=Class; name_index=15 [[[Ljava/lang/String;]}", "Class Ljava.lang.String;[][]",
         "[[Ljava/lang/String;"},
        {"{tag=String; string_index=17 [some text]}", "\"some text\"", "some text"},
        {"{tag=NameAndType; name_index=20; descriptor_index=19}",
         "void run(int, [long, java.lang.String)", "run(I[JLjava/lang/String;)V"},
        {"{tag=NameAndType; name_index=23; descriptor_index=22}", "[[long count", "count[[J"},
        {"{tag=NameAndType; name_index=26; descriptor_index=25}", "void Class T(double)",
         "<init>(D)V"},
        {"{tag=Field; classIndex=29; nameAndTypeIndex=24}", "", "a/B.count[[J"},
        {"{tag=Method; classIndex=14; nameAndTypeIndex=27}", "Method void a.B.C(double)",
         "a/B$C.<init>(D)V"},
        {"{tag=InterfaceMethodRef; classIndex=35; nameAndTypeIndex=33}", "",
         "java/lang/Runnable.run()V"},
    };
    const auto cls = readClass(w).cls;
    for (size_t i = 0; i < std::size(slots); ++i) {
        const ConstantPoolEntry& entry = cls->pool().at(slots[i]);
        SCOPED_TRACE(expected[i].print);
        EXPECT_EQ(printed(entry), expected[i].print);
        EXPECT_EQ(entry.describe(), expected[i].describe);
        EXPECT_EQ(entry.toString(), expected[i].text);
        EXPECT_EQ(entry.index, slots[i]);
    }
}

// Numbers in a dump take the stream's formatting and locale; the operand text
// always has the default one.
TEST(EntryDump, NumbersFollowTheStreamFormatting) {
    ClassWriter w = minimalWriter();
    const uint16_t i = w.integer(4095);
    const uint16_t d = w.doubleValue(2.0 / 3.0);
    const auto cls = readClass(w).cls;
    const ConstantPool& pool = cls->pool();
    std::ostringstream hex, three, plus;
    hex << std::hex;
    three.precision(3);
    plus << std::showpos;
    pool.at(i).print(hex);
    pool.at(d).print(three);
    pool.at(i).print(plus);
    EXPECT_EQ(hex.str() + three.str() + plus.str(),
              "{tag=Integer; value=fff}{tag=Double; value=0.667}{tag=Integer; value=+4095}");
    EXPECT_EQ(pool.at(d).describe(), "Double 0.666667");
    // A width pads a leading piece of text, never the number, and is used up.
    std::ostringstream padded;
    padded << std::setw(30);
    pool.at(i).print(padded);
    const size_t text = padded.str().find_first_not_of(' ');
    EXPECT_GT(text, 0u);
    EXPECT_EQ(padded.str().substr(text), "{tag=Integer; value=4095}");
    EXPECT_EQ(padded.width(), 0);
}

TEST(EntryDump, OperandTextsThatCannotBeMadeFail) {
    ClassWriter w = minimalWriter();
    const uint16_t outside = w.rawEntry(8, Bytes().u2(999));
    const uint16_t notNameAndType = w.unicode("u");
    const uint16_t ref = w.refEntry(10, w.classNamed("a/B"), notNameAndType);
    const std::string field = "Reading SGB failed: Unknown field type: ";
    const struct {
        uint16_t slot;
        std::string what, stderrText;
    } cases[] = {
        {w.nameAndType("m", "(IQ)V"), field + "Q)V", "unknown field type:Q\n"},
        {outside, "Reading SGB failed: constant pool index 999 outside the pool (13 slots)", ""},
        {ref,
         "Reading SGB failed: constant pool slot 6 holds a Unicode entry, not a NameAndType entry",
         ""},
    };
    const auto c = readClass(w).cls;
    for (const auto& e : cases)
        cftest::expectFailure([&] { c->pool().at(e.slot).describe(); }, e.what, e.stderrText);
    // Their dumps need no text of other slots: a bad index shows no bracket.
    EXPECT_EQ(printed(c->pool().at(outside)), "{tag=String; string_index=999}");
}

TEST(EntryDump, ClassOperandAsksWhetherItIsAnInterface) {
    // The interface test is a stub that answers false; each comparison with
    // a class entry says so on the standard error stream.
    ClassWriter w = minimalWriter();
    w.interfaces = {w.classNamed("java/lang/Runnable"), w.classNamed("java/io/Serializable")};
    const uint16_t other = w.classNamed("x/Y");
    const auto cls = readClass(w).cls;
    testing::internal::CaptureStderr();
    EXPECT_EQ(cls->pool().at(other).describe(), "Class x.Y");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "operator== not implemented! always return false\n"
              "operator== not implemented! always return false\n");
}

TEST(EntryDump, ADescriptorNamingItselfIsWalkedWithoutRecursion) {
    // this_class names the name-and-type entry itself: its operand text would
    // ask for its own operand text to name the constructor.
    ClassWriter w;
    const uint16_t nat = w.nameAndType("<init>", "()V");
    w.thisClass = nat;
    EXPECT_EQ(readClass(w).cls->pool().at(nat).describe(), "void ()");
}

} // namespace
