#include "ReadHelpers.h"

#include "testsupport/LogCapture.h"
#include "util/RuntimeErrorST.h"
#include "zulx/StatusException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace classfile;
using cftest::expectFailure;
using cftest::failureOf;
using cftest::readClass;
using testsupport::Bytes;
using testsupport::ClassWriter;

namespace {

// The text and dump of every kind of entry: EntryDumpTest.
TEST(ConstantPool, EightByteConstantsTakeTwoSlots) {
    const auto empty = readClass(ClassWriter()); // count 1: nothing after the count
    EXPECT_EQ(empty.cls->pool().size(), 1u);
    EXPECT_EQ(empty.cls->pool().find(0), nullptr);
    EXPECT_EQ(empty.consumed, 10 + 14);

    ClassWriter w;
    w.longValue(-2);                          // slots 1, 2
    const uint16_t after = w.utf8("after");   // 3
    const uint16_t last = w.doubleValue(2.5); // in the last slot: the pool ends with it
    w.poolCountOverride = static_cast<uint16_t>(last + 1);
    const auto r = readClass(w);
    const ConstantPool& p = r.cls->pool();
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p.text(1) + p.text(after) + p.text(last), "-2after2.5");
    EXPECT_EQ(p.find(2), nullptr);
}

TEST(ConstantPool, ReadingFailsOnUnknownTagsAndImpossibleLengths) {
    for (const uint8_t tag : {uint8_t{13}, uint8_t{0}}) {
        ClassWriter w = cftest::minimalWriter(); // fills slots 1 to 4
        w.rawEntry(tag, Bytes().u2(1));
        expectFailure<util::RuntimeErrorST>([&] { readClass(w); }, "Unknown tag",
                                            "Unknown tag @ 5:" + std::to_string(tag) + ":\n");
    }
    ClassWriter negative;
    negative.rawEntry(2, Bytes().u4(0xFFFFFFFF));
    expectFailure<std::length_error>([&] { readClass(negative); },
                                     "constant pool entry of tag 2 at offset 11 has negative "
                                     "length -1");
}

// Reading succeeds; asking for the text fails, each time it is asked.
TEST(ConstantPool, TextOfABadEntryFailsNamingTheSlot) {
    ClassWriter w;
    const uint16_t nat = w.nameAndType("run", "(I)V"); // slots 1 to 3
    const uint16_t cls = w.classNamed("a/B");          // slots 4, 5
    w.utf8("text");                                    // slot 6
    w.longValue(1);                                    // slots 7, 8
    const auto ref = [&](uint16_t c, uint16_t n) { return w.refEntry(10, c, n); };
    const struct {
        uint16_t slot;
        std::string what, stderrText;
    } cases[] = {
        {ref(6, nat), "Reading SGB error:  pool[6] != CPEClass", "CPERef : pool[6] != CPEClass \n"},
        {ref(cls, cls), "Reading SGB error:  pool[5] !=  CPENameAndType",
         "CPERef : pool[5] != CPENameAndType \n"},
        {w.rawEntry(8, Bytes().u2(100)),
         "Reading SGB failed: constant pool index 100 outside the pool (14 slots)", ""},
        {w.rawEntry(8, Bytes().u2(8)), "Reading SGB failed: constant pool slot 8 is empty", ""},
        {w.rawEntry(7, Bytes().u2(13)), // a class naming itself
         "Reading SGB failed: text of constant pool slot 13 follows a cycle of references", ""},
    };
    const auto r = readClass(w);
    const ConstantPool& p = r.cls->pool();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        for (int call = 0; call < 2; ++call)
            expectFailure([&] { (void)p.text(c.slot); }, c.what, c.stderrText);
    }
    EXPECT_EQ(p.find(100), nullptr);
    EXPECT_FALSE(p.contains(14));
}

TEST(ConstantPool, DoublingTextsFail) {
    ClassWriter w;
    // No cycle, but each level names the one below twice: 2^40 bytes of text.
    uint16_t doubling = w.utf8("x");
    for (int i = 0; i < 40; ++i)
        doubling = w.nameAndTypeEntry(doubling, doubling);
    const auto r = readClass(w);
    EXPECT_THAT(failureOf<std::runtime_error>([&] { (void)r.cls->pool().text(doubling); }).what,
                testing::StartsWith("Reading SGB failed: text of constant pool slot " +
                                    std::to_string(doubling) + " grows beyond "));
}

TEST(ConstantPool, ClassNameIndexOutsideThePoolFailsWithStatus31) {
    ClassWriter w;
    w.classEntry(1); // slot 1 names itself: reading does not follow names
    EXPECT_NO_THROW(readClass(w));
    w.classEntry(3); // slot 2, in a pool of count 3
    testsupport::LogCapture log;
    try {
        readClass(w);
        ADD_FAILURE() << "expected a status exception";
    } catch (const zulx::StatusException& e) {
        EXPECT_EQ(e.getStatus(), 31);
    }
    EXPECT_TRUE(log.contains(4, "SGB file contains illegal name index)."));
}

} // namespace
