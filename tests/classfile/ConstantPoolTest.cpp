#include "ReadHelpers.h"

#include "classfile/ByteReader.h"
#include "testsupport/LogCapture.h"
#include "util/RuntimeErrorST.h"
#include "zulx/StatusException.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace classfile;
using cftest::failureOf;
using cftest::minimalWriter;
using cftest::readClass;
using cftest::readFailure;
using testsupport::Bytes;
using testsupport::ClassWriter;

namespace {

// A writer without this or super class, so that a test controls every slot.
ClassWriter bareWriter() {
    return ClassWriter();
}

TEST(ConstantPool, CountOneReadsNothingAfterTheCount) {
    ClassWriter w = bareWriter();
    const auto r = readClass(w);
    EXPECT_EQ(r.cls->pool().size(), 1u);
    EXPECT_EQ(r.cls->pool().find(0), nullptr);
    EXPECT_EQ(r.consumed, 10 + 14);
}

TEST(ConstantPool, EightByteConstantsTakeTwoSlots) {
    ClassWriter w = bareWriter();
    EXPECT_EQ(w.longValue(-2), 1);
    EXPECT_EQ(w.utf8("after"), 3);
    ASSERT_EQ(w.poolCount(), 4);
    const auto r = readClass(w);
    const ConstantPool& pool = r.cls->pool();
    ASSERT_EQ(pool.size(), 4u);
    EXPECT_EQ(pool.as<CPELong>(1).value, -2);
    EXPECT_EQ(pool.find(2), nullptr);
    EXPECT_EQ(pool.as<CPEUtf8>(3).value, "after");
    EXPECT_EQ(pool.at(3).index, 3u);
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());
}

TEST(ConstantPool, EightByteConstantInTheLastSlotEndsThePool) {
    ClassWriter w = bareWriter();
    w.utf8("x");
    EXPECT_EQ(w.doubleValue(2.5), 2);
    w.poolCountOverride = 3;
    const auto r = readClass(w);
    ASSERT_EQ(r.cls->pool().size(), 3u);
    EXPECT_EQ(r.cls->pool().as<CPEDouble>(2).value, 2.5);
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());
}

TEST(ConstantPool, EveryTagReadsItsOwnLayout) {
    ClassWriter w = bareWriter();
    const uint16_t utf = w.utf8("name");
    const uint16_t uni = w.unicode(std::string("a\0b", 3));
    const uint16_t in = w.integer(-5);
    const uint16_t fl = w.floating(0.1f);
    const uint16_t lo = w.longValue(std::numeric_limits<int64_t>::min());
    const uint16_t db = w.doubleValue(0.1);
    const uint16_t cl = w.classEntry(utf);
    const uint16_t st = w.stringEntry(utf);
    const uint16_t nat = w.nameAndType("run", "(I)V");
    const uint16_t cls = w.classNamed("a/B");
    const uint16_t fr = w.refEntry(9, cls, nat);
    const uint16_t mr = w.refEntry(10, cls, nat);
    const uint16_t ir = w.refEntry(11, cls, nat);
    const auto r = readClass(w);
    const ConstantPool& p = r.cls->pool();
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());

    struct Expect {
        uint16_t slot;
        PoolTag tag;
        const char* text;
    };
    const Expect expected[] = {
        {utf, TAG_UTF8, "name"},
        {in, TAG_INTEGER, "-5"},
        {fl, TAG_FLOAT, "0.100000001"},
        {lo, TAG_LONG, "-9223372036854775808"},
        {db, TAG_DOUBLE, "0.10000000000000001"},
        {cl, TAG_CLASS, "name"},
        {st, TAG_STRING, "name"},
        {nat, TAG_NAME_AND_TYPE, "run(I)V"},
        {fr, TAG_FIELDREF, "a/B.run(I)V"},
        {mr, TAG_METHODREF, "a/B.run(I)V"},
        {ir, TAG_INTERFACE_METHODREF, "a/B.run(I)V"},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.slot);
        EXPECT_EQ(p.at(e.slot).tag, e.tag);
        EXPECT_EQ(p.at(e.slot).index, e.slot);
        EXPECT_EQ(p.at(e.slot).pool, &p);
        EXPECT_EQ(p.at(e.slot).toString(), e.text);
    }
    EXPECT_EQ(p.as<CPEUnicode>(uni).bytes, (std::vector<uint8_t>{'a', 0, 'b'}));
    EXPECT_EQ(p.at(uni).toString(), std::string("a\0b", 3));
    EXPECT_EQ(p.as<CPEClass>(cl).name_index, utf);
    EXPECT_EQ(p.as<CPEString>(st).string_index, utf);
    EXPECT_EQ(p.as<CPEMethodRef>(mr).class_index, cls);
    EXPECT_EQ(p.as<CPEMethodRef>(mr).name_and_type_index, nat);
    EXPECT_TRUE(p.at(fr).is<CPERef>());
    EXPECT_TRUE(p.at(ir).is<CPERef>());
    EXPECT_FALSE(p.at(nat).is<CPERef>());
}

TEST(ConstantPool, UnicodeLengthsBeyondTheInputFail) {
    ClassWriter neg = bareWriter();
    neg.rawEntry(2, Bytes().u4(0xFFFFFFFF));
    const cftest::Failure n = failureOf<std::length_error>([&] { readClass(neg.str()); });
    ASSERT_TRUE(n.thrown);
    EXPECT_EQ(n.what, "constant pool entry of tag 2 at offset 11 has negative length -1");

    ClassWriter huge = bareWriter();
    huge.rawEntry(2, Bytes().u4(0x7FFFFFFF).raw(std::string("abc")));
    EXPECT_EQ(readFailure(huge.str()).what,
              "unexpected end of input at offset 15: 2147483647 more bytes needed, 17 left");
}

TEST(ConstantPool, NumbersFollowTheRoundTripConventions) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        bool asFloat;
        const char* text;
    };
    const Case cases[] = {
        {0.1, true, "0.100000001"},
        {1.5, true, "1.5"},
        {3.4028234663852886e38, true, "3.40282347e+38"},
        {inf, true, "inf"},
        {-inf, true, "-inf"},
        {nan, true, "nan"},
        {-nan, true, "-nan"},
        {0.1, false, "0.10000000000000001"},
        {1e300, false, "1.0000000000000001e+300"},
        {-0.0, false, "-0"},
        {nan, false, "nan"},
        {-nan, false, "-nan"},
        {-inf, false, "-inf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ClassWriter w = bareWriter();
        const uint16_t slot =
            c.asFloat ? w.floating(static_cast<float>(c.value)) : w.doubleValue(c.value);
        const auto r = readClass(w);
        EXPECT_EQ(r.cls->pool().at(slot).toString(), c.text);
    }
}

TEST(ConstantPool, UnknownTagsFailWithTheirSlot) {
    struct Case {
        int tag; ///< -1: the input ends where the tag of slot 5 is due
        const char* stderrText;
    };
    for (const Case c : {Case{13, "Unknown tag @ 5:13:\n"}, Case{0, "Unknown tag @ 5:0:\n"},
                         Case{15, "Unknown tag @ 5:15:\n"}, Case{255, "Unknown tag @ 5:255:\n"},
                         Case{-1, "Unknown tag @ 5:255:\n"}}) {
        ClassWriter w = minimalWriter(); // fills slots 1 to 4
        if (c.tag >= 0)
            w.rawEntry(static_cast<uint8_t>(c.tag), Bytes().u2(1));
        else
            w.poolCountOverride = 6;
        const std::string bytes = w.str().substr(0, c.tag >= 0 ? std::string::npos : w.poolEnd());
        const cftest::Failure f = failureOf<util::RuntimeErrorST>([&] { readClass(bytes); });
        ASSERT_TRUE(f.thrown);
        EXPECT_EQ(f.what, "Unknown tag");
        EXPECT_EQ(f.stderrText, c.stderrText);
    }
}

TEST(ConstantPool, MemberReferenceChecksItsSlotsOnEveryText) {
    ClassWriter w = bareWriter();
    const uint16_t nat = w.nameAndType("run", "(I)V"); // slots 1..3
    const uint16_t cls = w.classNamed("a/B");          // slots 4, 5
    const uint16_t utf7 = w.utf8("not a class");       // slot 6
    const uint16_t seven = w.utf8("seven");            // slot 7
    ASSERT_EQ(utf7, 6);
    ASSERT_EQ(seven, 7);
    struct Case {
        uint16_t classIndex, natIndex;
        const char* what;
        const char* stderrText;
    };
    const Case cases[] = {
        {7, nat, "Reading SGB error:  pool[7] != CPEClass", "CPERef : pool[7] != CPEClass \n"},
        {0, nat, "Reading SGB error:  pool[0] != CPEClass", "CPERef : pool[0] != CPEClass \n"},
        {999, nat, "Reading SGB error:  pool[999] != CPEClass",
         "CPERef : pool[999] != CPEClass \n"},
        {cls, cls, "Reading SGB error:  pool[5] !=  CPENameAndType",
         "CPERef : pool[5] != CPENameAndType \n"},
        {cls, 0, "Reading SGB error:  pool[0] !=  CPENameAndType",
         "CPERef : pool[0] != CPENameAndType \n"},
        {7, 0, "Reading SGB error:  pool[7] != CPEClass", "CPERef : pool[7] != CPEClass \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClassWriter wc = w;
        const uint16_t ref = wc.refEntry(10, c.classIndex, c.natIndex);
        const auto r = readClass(wc); // reading itself succeeds
        const ConstantPoolEntry& entry = r.cls->pool().at(ref);
        for (int call = 0; call < 2; ++call) {
            const cftest::Failure f =
                failureOf<std::runtime_error>([&] { (void)entry.toString(); });
            ASSERT_TRUE(f.thrown);
            EXPECT_EQ(f.what, c.what);
            EXPECT_EQ(f.stderrText, c.stderrText);
        }
    }
}

TEST(ConstantPool, ClassNameIndexOutsideThePoolFailsWithStatus31) {
    ClassWriter w = bareWriter();
    w.utf8("x");
    w.classEntry(3); // the count will be 3
    testsupport::LogCapture log;
    try {
        readClass(w);
        FAIL() << "expected a status exception";
    } catch (const zulx::StatusException& e) {
        EXPECT_EQ(e.getStatus(), 31);
    }
    EXPECT_TRUE(log.contains(4, "SGB file contains illegal name index)."));

    ClassWriter ok = bareWriter();
    ok.utf8("x");
    ok.classEntry(0);
    ok.classEntry(2);
    EXPECT_NO_THROW(readClass(ok));
}

TEST(ConstantPool, IndicesAreFollowedOnlyIntoFilledSlotsOfThePool) {
    ClassWriter w = bareWriter();
    w.longValue(1); // slots 1, 2
    const uint16_t far = w.stringEntry(100);
    const uint16_t hole = w.stringEntry(2);
    const uint16_t zero = w.nameAndTypeEntry(0, 1);
    const auto r = readClass(w);
    const ConstantPool& p = r.cls->pool();
    struct Case {
        uint16_t slot;
        const char* what;
    };
    for (const Case c :
         {Case{far, "Reading SGB failed: constant pool index 100 outside the pool (6 slots)"},
          Case{hole, "Reading SGB failed: constant pool slot 2 is empty"},
          Case{zero, "Reading SGB failed: constant pool slot 0 is empty"}}) {
        const cftest::Failure f =
            failureOf<std::runtime_error>([&] { (void)p.at(c.slot).toString(); });
        EXPECT_EQ(f.what, c.what);
    }
    EXPECT_EQ(failureOf<std::runtime_error>([&] { (void)p.as<CPEClass>(1); }).what,
              "Reading SGB failed: constant pool slot 1 holds a Long entry, not a Class entry");
    EXPECT_EQ(p.find(100), nullptr);
    EXPECT_FALSE(p.contains(6));
}

TEST(ConstantPool, ChainsOfAnyLengthResolveAndOnlyCyclesAndDoublingTextsFail) {
    ClassWriter w = bareWriter();
    const uint16_t self = w.rawEntry(7, Bytes().u2(1)); // a class naming itself
    const uint16_t a = w.rawEntry(8, Bytes().u2(3));    // two strings naming each other
    const uint16_t b = w.rawEntry(8, Bytes().u2(2));
    const uint16_t fan = w.rawEntry(12, Bytes().u2(4).u2(4)); // both halves itself
    // No cycle, but each level names the one below twice: 2^40 bytes of text.
    uint16_t doubling = w.utf8("x");
    for (int i = 0; i < 40; ++i)
        doubling = w.nameAndTypeEntry(doubling, doubling);
    uint16_t chain = w.utf8("end");
    for (int i = 0; i < 1000; ++i)
        chain = w.classEntry(chain);
    const auto r = readClass(w); // resolve accepts a class naming a slot of the pool
    const ConstantPool& p = r.cls->pool();
    EXPECT_EQ(p.at(chain).toString(), "end");
    for (uint16_t slot : {self, a, b, fan})
        EXPECT_EQ(failureOf<std::runtime_error>([&] { (void)p.at(slot).toString(); }).what,
                  "Reading SGB failed: text of constant pool slot " + std::to_string(slot) +
                      " follows a cycle of references");
    const std::string grows = failureOf<std::runtime_error>([&] { (void)p.text(doubling); }).what;
    EXPECT_EQ(grows.rfind("Reading SGB failed: text of constant pool slot " +
                              std::to_string(doubling) + " grows beyond ",
                          0),
              0u)
        << grows;
}

TEST(ConstantPool, EqualityIsAStubThatOnlyComplainsAboutClasses) {
    ClassWriter w = minimalWriter();
    const auto r = readClass(w);
    const ConstantPoolEntry& cls = r.cls->pool().at(2);
    const ConstantPoolEntry& utf = r.cls->pool().at(1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(utf == cls);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "operator== not implemented! always return false\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(cls == utf);
    EXPECT_FALSE(utf == utf);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(cls == cls);
    EXPECT_TRUE(cls != cls);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "operator== not implemented! always return false\n"
              "operator== not implemented! always return false\n");
}

TEST(ConstantPool, IsInterfaceOfAlwaysAnswersFalse) {
    ClassWriter w = minimalWriter();
    const uint16_t i1 = w.classNamed("p/I");
    w.interfaces = {i1, 0}; // an empty slot is compared too
    const auto r = readClass(w);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(r.cls->isInterfaceOf(&r.cls->pool().at(i1)));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "operator== not implemented! always return false\n"
              "operator== not implemented! always return false\n");

    const auto plain = readClass(minimalWriter());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(plain.cls->isInterfaceOf(plain.cls->this_class));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
