#include "ReadHelpers.h"

#include <gtest/gtest.h>

using cftest::minimalWriter;
using cftest::readClass;
using cftest::readFailure;
using testsupport::ClassWriter;

namespace {

struct HeaderCase {
    const char* name;
    std::function<void(ClassWriter&)> change;
    const char* what;
    const char* stderrText;
};

TEST(ClassHeader, RejectsWhatTheHeaderChecksRefuse) {
    const HeaderCase cases[] = {
        {"magic off by one", [](ClassWriter& w) { w.magic = 0xCAFEBABF; },
         "SGB file contains invalid magic word '0xcafebabf'", "invalid magic: 0xcafebabf\n"},
        {"small magic is zero-padded in the message only", [](ClassWriter& w) { w.magic = 0x1A; },
         "SGB file contains invalid magic word '0x0000001a'", "invalid magic: 0x1a\n"},
        {"major version 51", [](ClassWriter& w) { w.majorVersion = 51; },
         "SGB file contains bytecode of version 51.0, not supported.", "Unknown version51.0\n"},
        {"major version 52 minor 3",
         [](ClassWriter& w) {
             w.majorVersion = 52;
             w.minorVersion = 3;
         },
         "SGB file contains bytecode of version 52.3, not supported.", "Unknown version52.3\n"},
        {"this_class equal to the count", [](ClassWriter& w) { w.thisClass = w.poolCount(); },
         nullptr, nullptr},
        {"super class outside the pool", [](ClassWriter& w) { w.superClass = 999; },
         "Reading SGB failed (super class index 999 not in pool (count 5)).", ""},
        {"interface outside the pool",
         [](ClassWriter& w) {
             w.interfaces = {1, 5};
         },
         "Reading SGB failed (interface index 5 not in pool (count 5)).", ""},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClassWriter w = minimalWriter();
        ASSERT_EQ(w.poolCount(), 5);
        c.change(w);
        const cftest::Failure f = readFailure(w.str());
        ASSERT_TRUE(f.thrown);
        if (c.what == nullptr) {
            EXPECT_EQ(f.what, "Reading SGB failed (class index 5 not in pool (count 5)).");
            EXPECT_EQ(f.stderrText, "this_class_index not in pool: 5 >= 5\n");
            continue;
        }
        EXPECT_EQ(f.what, c.what);
        EXPECT_EQ(f.stderrText, c.stderrText);
    }
}

TEST(ClassHeader, VersionIsCheckedBeforeThePoolIsRead) {
    // Only the first eight bytes: a reader that went on would hit the end.
    const std::string header("\xCA\xFE\xBA\xBE\x00\x00\x00\x33", 8);
    EXPECT_EQ(readFailure(header).what,
              "SGB file contains bytecode of version 51.0, not supported.");
}

TEST(ClassHeader, AcceptsEveryMinorVersionUpToMajor50) {
    for (const auto& [major, minor] : {std::pair<int, int>{50, 0}, {50, 65535}, {0, 0}, {45, 3}}) {
        ClassWriter w = minimalWriter();
        w.majorVersion = static_cast<uint16_t>(major);
        w.minorVersion = static_cast<uint16_t>(minor);
        const auto r = readClass(w);
        EXPECT_EQ(r.cls->major_version, major);
        EXPECT_EQ(r.cls->minor_version, minor);
        EXPECT_EQ(r.cls->magic, 0xCAFEBABEu);
    }
}

TEST(ClassHeader, ThisClassBelowTheCountIsAcceptedAndZeroLeavesItEmpty) {
    ClassWriter w = minimalWriter(); // slots 1..4: "T", Class, "java/lang/Object", Class
    w.thisClass = 4;
    auto r = readClass(w);
    ASSERT_NE(r.cls->this_class, nullptr);
    EXPECT_EQ(r.cls->this_class->toString(), "java/lang/Object");
    EXPECT_EQ(r.cls->pool().thisClassIndex, 4);

    w.thisClass = 0;
    r = readClass(w);
    EXPECT_EQ(r.cls->this_class, nullptr);
    EXPECT_EQ(r.cls->pool().thisClassIndex, 0);
}

TEST(ClassHeader, EmptyClassReadsFourteenBytesAfterThePool) {
    ClassWriter w = minimalWriter();
    w.accessFlags = 0x0411;
    const auto r = readClass(w);
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.poolEnd() + 14);
    EXPECT_EQ(r.cls->access_flags, 0x0411u);
    EXPECT_EQ(r.cls->constant_pool_count, 5);
    EXPECT_EQ(r.cls->this_class->toString(), "T");
    EXPECT_EQ(r.cls->super_class->toString(), "java/lang/Object");
    EXPECT_TRUE(r.cls->interfaces.empty());
    EXPECT_TRUE(r.cls->fields.empty());
    EXPECT_TRUE(r.cls->methods.empty());
    EXPECT_TRUE(r.cls->attributes.empty());
    EXPECT_FALSE(r.cls->isSynthetic);
    EXPECT_FALSE(r.cls->isDeprecated);
}

TEST(ClassHeader, InterfacesKeepFileOrderAndIndexZeroIsEmpty) {
    ClassWriter w = minimalWriter();
    const uint16_t a = w.classNamed("p/A");
    const uint16_t b = w.classNamed("p/B");
    w.interfaces = {b, a, 0};
    const auto r = readClass(w);
    ASSERT_EQ(r.cls->interfaces.size(), 3u);
    EXPECT_EQ(r.cls->interfaces[0]->toString(), "p/B");
    EXPECT_EQ(r.cls->interfaces[1]->toString(), "p/A");
    EXPECT_EQ(r.cls->interfaces[2], nullptr);
}

TEST(ClassHeader, ClassAttributesSetTheFlags) {
    struct Case {
        bool synthetic, deprecated;
    };
    for (const Case c : {Case{true, false}, Case{false, true}, Case{true, true}}) {
        ClassWriter w = minimalWriter();
        w.addAttribute(w.sourceFile("T.java"));
        if (c.synthetic)
            w.addAttribute(w.synthetic());
        if (c.deprecated)
            w.addAttribute(w.deprecated());
        const auto r = readClass(w);
        EXPECT_EQ(r.cls->isSynthetic, c.synthetic);
        EXPECT_EQ(r.cls->isDeprecated, c.deprecated);
        EXPECT_EQ(r.cls->attributes.size(), 1u + c.synthetic + c.deprecated);
    }
}

TEST(ClassHeader, BytesAfterTheLastAttributeAreNeverRead) {
    ClassWriter w = minimalWriter();
    w.addAttribute(w.sourceFile("T.java"));
    const std::string bytes = w.str();
    const auto r = readClass(bytes + "trailing garbage");
    EXPECT_EQ(static_cast<size_t>(r.consumed), bytes.size());
}

TEST(ClassHeader, PoolCountZeroFailsAtTheClassIndex) {
    ClassWriter w;
    w.poolCountOverride = 0;
    const cftest::Failure f = readFailure(w.str());
    EXPECT_EQ(f.what, "Reading SGB failed (class index 0 not in pool (count 0)).");
}

TEST(ClassHeader, EmptyInputFailsAtOffsetZero) {
    const cftest::Failure f = readFailure("");
    ASSERT_TRUE(f.thrown);
    EXPECT_EQ(f.what.rfind("unexpected end of input at offset 0", 0), 0u) << f.what;
}

} // namespace
