// The tagged dump (print) and operand text (describe) of every pool entry.
#include "DumpHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace classfile;
using dumptest::classWriter;
using dumptest::num;
using dumptest::printed;
using dumptest::readClass;
using testsupport::Bytes;
using testsupport::ClassWriter;

namespace {

struct EntryCase {
    uint16_t slot;
    std::string print;
    std::string describe;
};

TEST(EntryDump, EveryEntryPrintsAndDescribesItself) {
    ClassWriter w = classWriter();
    const uint16_t self = w.thisClass;
    const uint16_t hello = w.utf8("hello");
    const uint16_t unicode = w.unicode("a\"b");
    const uint16_t negative = w.integer(-5);
    const uint16_t tenth = w.floating(0.1f);
    const uint16_t huge = w.floating(3e38f);
    const uint16_t bigLong = w.longValue(-1234567890123LL);
    const uint16_t tenthD = w.doubleValue(0.1);
    const uint16_t largeD = w.doubleValue(1e300);
    const uint16_t nan = w.doubleValue(std::numeric_limits<double>::quiet_NaN());
    const uint16_t inner = w.classNamed("a/B$C");
    const uint16_t array = w.classNamed("[[Ljava/lang/String;");
    const uint16_t nameless = w.classEntry(0);
    const uint16_t text = w.string("some text");
    const uint16_t method = w.nameAndType("run", "(I[JLjava/lang/String;)V");
    const uint16_t field = w.nameAndType("count", "[[J");
    const uint16_t ctor = w.nameAndType("<init>", "(D)V");
    const uint16_t fieldRef = w.fieldRef("a/B", "count", "[[J");
    const uint16_t methodRef = w.methodRef("java/util/List", "get", "(I)Ljava/lang/Object;");
    const uint16_t ctorRef = w.methodRef("a/B$C", "<init>", "(D)V");
    const uint16_t ifaceRef = w.interfaceMethodRef("java/lang/Runnable", "run", "()V");
    const auto cls = readClass(w.str());
    const ConstantPool& pool = cls->pool();

    const auto refTail = [&](uint16_t slot) {
        const auto& ref = pool.as<CPEMethodRef>(slot);
        return "; classIndex=" + num(ref.class_index) +
               "; nameAndTypeIndex=" + num(ref.name_and_type_index) + "}";
    };
    const auto& fref = pool.as<CPEFieldRef>(fieldRef);
    const auto& iref = pool.as<CPEInterfaceMethodRef>(ifaceRef);
    const auto& mnat = pool.as<CPENameAndType>(method);
    const std::vector<EntryCase> cases = {
        {hello, "{tag=Utf8; value=\"hello\"}", ""},
        {unicode, "a\"b[Unicode]", ""},
        {negative, "{tag=Integer; value=-5}", "Integer -5"},
        {tenth, "{tag=Float; value=0.1}", "Float 0.1"},
        {huge, "{tag=Float; value=3e+38}", "Float 3e+38"},
        {bigLong, "{tag=Long; value=-1234567890123}", "Long -1234567890123"},
        {tenthD, "{tag=Double; value=0.1}", "Double 0.1"},
        {largeD, "{tag=Double; value=1e+300}", "Double 1e+300"},
        {nan, "{tag=Double; value=nan}", "Double nan"},
        {self, "{tag=Class; name_index=" + num(pool.as<CPEClass>(self).name_index) + " [T]}",
         "Class T"},
        {inner, "{tag=Class; name_index=" + num(pool.as<CPEClass>(inner).name_index) + " [a/B$C]}",
         "Class a.B.C"},
        {array,
         "{tag=Class; name_index=" + num(pool.as<CPEClass>(array).name_index) +
             " [[[Ljava/lang/String;]}",
         "Class Ljava.lang.String;[][]"},
        {text,
         "{tag=String; string_index=" + num(pool.as<CPEString>(text).string_index) +
             " [some text]}",
         "\"some text\""},
        {method,
         "{tag=NameAndType; name_index=" + num(mnat.name_index) +
             "; descriptor_index=" + num(mnat.descriptor_index) + "}",
         "void run(int, [long, java.lang.String)"},
        {field, printed(pool.at(field)), "[[long count"},
        {ctor, printed(pool.at(ctor)), "void Class T(double)"},
        {fieldRef,
         "{tag=Field; classIndex=" + num(fref.class_index) +
             "; nameAndTypeIndex=" + num(fref.name_and_type_index) + "}",
         ""},
        {methodRef, "{tag=Method" + refTail(methodRef), "Method java.lang.Object get(int)"},
        {ctorRef, "{tag=Method" + refTail(ctorRef), "Method void a.B.C(double)"},
        {ifaceRef,
         "{tag=InterfaceMethodRef; classIndex=" + num(iref.class_index) +
             "; nameAndTypeIndex=" + num(iref.name_and_type_index) + "}",
         ""},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE("slot " + num(c.slot));
        const ConstantPoolEntry& entry = pool.at(c.slot);
        EXPECT_EQ(printed(entry), c.print);
        EXPECT_EQ(entry.describe(), c.describe);
    }
    // A class entry without a name shows no bracket.
    EXPECT_EQ(printed(pool.at(nameless)), "{tag=Class; name_index=0}");
}

TEST(EntryDump, NumbersFollowTheStreamFormatting) {
    ClassWriter w = classWriter();
    const uint16_t i = w.integer(255);
    const uint16_t d = w.doubleValue(2.0 / 3.0);
    const auto cls = readClass(w.str());
    std::ostringstream out;
    out << std::hex;
    cls->pool().at(i).print(out);
    EXPECT_EQ(out.str(), "{tag=Integer; value=ff}");
    std::ostringstream precise;
    precise.precision(3);
    cls->pool().at(d).print(precise);
    EXPECT_EQ(precise.str(), "{tag=Double; value=0.667}");
    // describe always writes with the default formatting.
    EXPECT_EQ(cls->pool().at(d).describe(), "Double 0.666667");
}

TEST(EntryDump, StringAndClassWithBadIndicesShowNoBracket) {
    ClassWriter w = classWriter();
    const uint16_t outside = w.rawEntry(8, Bytes().u2(999));
    const uint16_t empty = w.rawEntry(8, Bytes().u2(0));
    const auto cls = readClass(w.str());
    EXPECT_EQ(printed(cls->pool().at(outside)), "{tag=String; string_index=999}");
    EXPECT_EQ(printed(cls->pool().at(empty)), "{tag=String; string_index=0}");
    // Its operand text needs the string itself: that fails with the pool's error.
    EXPECT_THROW(cls->pool().at(outside).describe(), std::runtime_error);
}

TEST(EntryDump, ClassOperandAsksWhetherItIsAnInterface) {
    // The interface test is a stub that answers false; each comparison with
    // a class entry says so on the standard error stream.
    ClassWriter w = classWriter();
    w.interfaces = {w.classNamed("java/lang/Runnable"), w.classNamed("java/io/Serializable")};
    const uint16_t other = w.classNamed("x/Y");
    const auto cls = readClass(w.str());
    testing::internal::CaptureStderr();
    const std::string text = cls->pool().at(other).describe();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(text, "Class x.Y");
    EXPECT_EQ(err, "operator== not implemented! always return false\n"
                   "operator== not implemented! always return false\n");
}

TEST(EntryDump, BrokenDescriptorsFailWithTheFieldTypeError) {
    ClassWriter w = classWriter();
    struct Case {
        uint16_t slot;
        const char* what;
    };
    const std::vector<Case> cases = {
        {w.nameAndType("m", "(IQ)V"), "Reading SGB failed: Unknown field type: Q)V"},
        {w.nameAndType("m", "(I"), "Reading SGB failed: Unknown field type: "},
        {w.nameAndType("f", ""), "Reading SGB failed: Unknown field type: "},
        {w.nameAndType("f", "X"), "Reading SGB failed: Unknown field type: X"},
        {w.methodRef("a/B", "m", "()"), "Reading SGB failed: Unknown field type: "},
    };
    const auto cls = readClass(w.str());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::internal::CaptureStderr();
        try {
            cls->pool().at(c.slot).describe();
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), c.what);
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("unknown field type:", 0), 0u);
    }
}

TEST(EntryDump, MethodOperandNeedsANameAndTypeEntry) {
    ClassWriter w = classWriter();
    const uint16_t notNameAndType = w.utf8("not a name and type");
    const uint16_t ref = w.refEntry(10, w.classNamed("a/B"), notNameAndType);
    const auto cls = readClass(w.str());
    EXPECT_EQ(printed(cls->pool().at(ref)),
              "{tag=Method; classIndex=" + num(cls->pool().as<CPEMethodRef>(ref).class_index) +
                  "; nameAndTypeIndex=" +
                  num(cls->pool().as<CPEMethodRef>(ref).name_and_type_index) + "}");
    EXPECT_THROW(cls->pool().at(ref).describe(), std::runtime_error);
}

TEST(EntryDump, ConstructorNameOfACurrentClassThatIsNoClassDoesNotRecurse) {
    // this_class names the name-and-type entry itself: its operand text would
    // ask for its own operand text to name the constructor.
    ClassWriter w;
    const uint16_t nat = w.nameAndType("<init>", "()V");
    w.thisClass = nat;
    const auto cls = readClass(w.str());
    EXPECT_EQ(cls->pool().at(nat).describe(), "void ()");
}

TEST(EntryDump, LongDescriptorsAreWalkedInLinearTime) {
    // 65000 parameters: walking the descriptor by copying its rest after each
    // type would copy about two gigabytes.
    ClassWriter w = classWriter();
    const uint16_t nat = w.nameAndType("m", "(" + std::string(65000, 'I') + ")V");
    const auto cls = readClass(w.str());
    const std::string text = cls->pool().at(nat).describe();
    EXPECT_EQ(text.size(), std::string("void m()").size() + 65000 * 3 + 64999 * 2);
    EXPECT_EQ(text.substr(0, 17), "void m(int, int, ");
}

} // namespace
