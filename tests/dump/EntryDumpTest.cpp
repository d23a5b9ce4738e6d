// The text (toString), tagged dump (print) and operand text (describe) of
// every pool entry.
#include "DumpHelpers.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <limits>

using namespace classfile;
using dumptest::minimalWriter;
using dumptest::printed;
using dumptest::readClass;
using testsupport::Bytes;
using testsupport::ClassWriter;

namespace {

TEST(EntryDump, EveryEntryPrintsAndDescribesItself) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ClassWriter w = minimalWriter(); // slots 1 to 4: "T", its class, "java/lang/Object", its class
    const uint16_t slots[] = {
        w.utf8("hello"),
        w.unicode("a\"b"),
        w.integer(-5),
        w.floating(0.1f),
        w.longValue(-1234567890123LL),
        w.doubleValue(0.1),
        w.doubleValue(nan),
        2, // the class T
        w.classNamed("a/B$C"),
        w.classNamed("[[Ljava/lang/String;"),
        w.string("some text"),
        w.nameAndType("run", "(I[JLjava/lang/String;)V"),
        w.nameAndType("count", "[[J"),
        w.nameAndType("<init>", "(D)V"),
        w.fieldRef("a/B", "count", "[[J"),
        w.methodRef("a/B$C", "<init>", "(D)V"),
        w.interfaceMethodRef("java/lang/Runnable", "run", "()V"),
        w.floating(inf),
        w.floating(-nan),
        w.doubleValue(-inf),
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
        {"{tag=Double; value=nan}", "Double nan", "nan"},
        {"{tag=Class; name_index=1 [T]}", "Class T", "T"},
        {"{tag=Class; name_index=15 [a/B$C]}", "Class a.B.C", "a/B$C"},
        {"{tag=Class; name_index=17 [[[Ljava/lang/String;]}", "Class Ljava.lang.String;[][]",
         "[[Ljava/lang/String;"},
        {"{tag=String; string_index=19 [some text]}", "\"some text\"", "some text"},
        {"{tag=NameAndType; name_index=22; descriptor_index=21}",
         "void run(int, [long, java.lang.String)", "run(I[JLjava/lang/String;)V"},
        {"{tag=NameAndType; name_index=25; descriptor_index=24}", "[[long count", "count[[J"},
        {"{tag=NameAndType; name_index=28; descriptor_index=27}", "void Class T(double)",
         "<init>(D)V"},
        {"{tag=Field; classIndex=31; nameAndTypeIndex=26}", "", "a/B.count[[J"},
        {"{tag=Method; classIndex=16; nameAndTypeIndex=29}", "Method void a.B.C(double)",
         "a/B$C.<init>(D)V"},
        {"{tag=InterfaceMethodRef; classIndex=37; nameAndTypeIndex=35}", "",
         "java/lang/Runnable.run()V"},
        {"{tag=Float; value=inf}", "Float inf", "inf"},
        {"{tag=Float; value=-nan}", "Float -nan", "-nan"},
        {"{tag=Double; value=-inf}", "Double -inf", "-inf"},
    };
    const uint16_t nameless = w.classEntry(0);
    const auto cls = readClass(w);
    for (size_t i = 0; i < std::size(slots); ++i) {
        const ConstantPoolEntry& entry = cls->pool().at(slots[i]);
        SCOPED_TRACE(expected[i].print);
        EXPECT_EQ(printed(entry), expected[i].print);
        EXPECT_EQ(entry.describe(), expected[i].describe);
        EXPECT_EQ(entry.toString(), expected[i].text);
        EXPECT_EQ(entry.index, slots[i]);
    }
    EXPECT_EQ(printed(cls->pool().at(nameless)), "{tag=Class; name_index=0}");
}

// Groups digits in threes with a comma, as some locales do.
struct Thousands : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

// Numbers in a dump take the stream's formatting and locale; the operand text
// always has the default one.
TEST(EntryDump, NumbersFollowTheStreamFormatting) {
    ClassWriter w = minimalWriter();
    const uint16_t i = w.integer(4095);
    const uint16_t d = w.doubleValue(2.0 / 3.0);
    const auto cls = readClass(w);
    const ConstantPool& pool = cls->pool();
    const struct {
        uint16_t slot;
        std::function<void(std::ostream&)> format;
        const char* text;
    } cases[] = {
        {i, [](std::ostream& out) { out << std::hex; }, "{tag=Integer; value=fff}"},
        {i, [](std::ostream& out) { out << std::showpos; }, "{tag=Integer; value=+4095}"},
        {i, [](std::ostream& out) { out.imbue(std::locale(out.getloc(), new Thousands)); },
         "{tag=Integer; value=4,095}"},
        {d, [](std::ostream& out) { out.precision(3); }, "{tag=Double; value=0.667}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::ostringstream out;
        c.format(out);
        pool.at(c.slot).print(out);
        EXPECT_EQ(out.str(), c.text);
    }
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
    const uint16_t empty = w.rawEntry(8, Bytes().u2(0));
    const uint16_t notNameAndType = w.unicode("u");
    const uint16_t cls = w.classNamed("a/B");
    const uint16_t ref = w.refEntry(10, cls, notNameAndType);
    const std::string field = "Reading SGB failed: Unknown field type: ";
    const struct {
        uint16_t slot;
        std::string what, stderrText;
    } cases[] = {
        {w.nameAndType("m", "(IQ)V"), field + "Q)V", "unknown field type:Q\n"},
        {w.nameAndType("m", "(I"), field, "unknown field type:\n"},
        {outside, "Reading SGB failed: constant pool index 999 outside the pool (16 slots)", ""},
        {ref,
         "Reading SGB failed: constant pool slot 7 holds a Unicode entry, not a NameAndType entry",
         ""},
    };
    const auto c = readClass(w);
    for (const auto& e : cases)
        cftest::expectFailure([&] { c->pool().at(e.slot).describe(); }, e.what, e.stderrText);
    // Their dumps need no text of other slots: a bad index shows no bracket.
    EXPECT_EQ(printed(c->pool().at(outside)), "{tag=String; string_index=999}");
    EXPECT_EQ(printed(c->pool().at(empty)), "{tag=String; string_index=0}");
    EXPECT_EQ(printed(c->pool().at(ref)),
              "{tag=Method; classIndex=" + std::to_string(cls) +
                  "; nameAndTypeIndex=" + std::to_string(notNameAndType) + "}");
}

TEST(EntryDump, ClassOperandAsksWhetherItIsAnInterface) {
    // The interface test is a stub that answers false; each comparison with
    // a class entry says so on the standard error stream.
    ClassWriter w = minimalWriter();
    w.interfaces = {w.classNamed("java/lang/Runnable"), w.classNamed("java/io/Serializable")};
    const uint16_t other = w.classNamed("x/Y");
    const auto cls = readClass(w);
    testing::internal::CaptureStderr();
    EXPECT_EQ(cls->pool().at(other).describe(), "Class x.Y");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "operator== not implemented! always return false\n"
              "operator== not implemented! always return false\n");
}

TEST(EntryDump, DescriptorsAreWalkedWithoutRecursionOrQuadraticCopies) {
    // this_class names the name-and-type entry itself: its operand text would
    // ask for its own operand text to name the constructor.
    ClassWriter w;
    const uint16_t nat = w.nameAndType("<init>", "()V");
    w.thisClass = nat;
    EXPECT_EQ(readClass(w)->pool().at(nat).describe(), "void ()");
    // 65000 parameters: copying the rest after each type would copy gigabytes.
    ClassWriter many = minimalWriter();
    const uint16_t m = many.nameAndType("m", "(" + std::string(65000, 'I') + ")V");
    const std::string text = readClass(many)->pool().at(m).describe();
    EXPECT_EQ(text.size(), std::string("void m()").size() + 65000 * 3 + 64999 * 2);
    EXPECT_EQ(text.substr(0, 17), "void m(int, int, ");
}

} // namespace
