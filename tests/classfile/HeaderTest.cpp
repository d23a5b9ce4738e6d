#include "ReadHelpers.h"

#include <gtest/gtest.h>

using cftest::minimalWriter;
using cftest::readClass;
using cftest::readFailure;
using testsupport::ClassWriter;

namespace {

// minimalWriter fills slots 1 to 4: "T", its class, "java/lang/Object", its class.
TEST(ClassHeader, RejectsWhatTheHeaderChecksRefuse) {
    struct Case {
        std::function<void(ClassWriter&)> change;
        const char* what;
        const char* stderrText;
    };
    const Case cases[] = {
        {[](ClassWriter& w) { w.magic = 0xCAFEBABF; },
         "SGB file contains invalid magic word '0xcafebabf'", "invalid magic: 0xcafebabf\n"},
        {[](ClassWriter& w) { w.magic = 0x1A; },
         "SGB file contains invalid magic word '0x0000001a'", "invalid magic: 0x1a\n"},
        {[](ClassWriter& w) { w.majorVersion = 51; },
         "SGB file contains bytecode of version 51.0, not supported.", "Unknown version51.0\n"},
        {[](ClassWriter& w) { w.majorVersion = 52, w.minorVersion = 3; },
         "SGB file contains bytecode of version 52.3, not supported.", "Unknown version52.3\n"},
        {[](ClassWriter& w) { w.thisClass = 5; },
         "Reading SGB failed (class index 5 not in pool (count 5)).",
         "this_class_index not in pool: 5 >= 5\n"},
        {[](ClassWriter& w) { (w = ClassWriter()).poolCountOverride = 0; },
         "Reading SGB failed (class index 0 not in pool (count 0)).",
         "this_class_index not in pool: 0 >= 0\n"},
        {[](ClassWriter& w) { w.superClass = 999; },
         "Reading SGB failed (super class index 999 not in pool (count 5)).", ""},
        {[](ClassWriter& w) {
             w.interfaces = {1, 5};
         },
         "Reading SGB failed (interface index 5 not in pool (count 5)).", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClassWriter w = minimalWriter();
        c.change(w);
        const cftest::Failure f = readFailure(w.str());
        ASSERT_TRUE(f.thrown);
        EXPECT_EQ(f.what, c.what);
        EXPECT_EQ(f.stderrText, c.stderrText);
    }
    // The version is checked before the pool: these eight bytes are all there is.
    EXPECT_EQ(readFailure(std::string("\xCA\xFE\xBA\xBE\x00\x00\x00\x33", 8)).what,
              "SGB file contains bytecode of version 51.0, not supported.");
    EXPECT_EQ(readFailure("").what.rfind("unexpected end of input at offset 0", 0), 0u);
}

TEST(ClassHeader, AcceptsEveryMinorVersionUpToMajor50) {
    for (const auto& [major, minor] : {std::pair<int, int>{50, 65535}, {0, 0}, {45, 3}}) {
        ClassWriter w = minimalWriter();
        w.majorVersion = static_cast<uint16_t>(major);
        w.minorVersion = static_cast<uint16_t>(minor);
        const auto r = readClass(w);
        EXPECT_EQ(r.cls->major_version, major);
        EXPECT_EQ(r.cls->minor_version, minor);
    }
}

TEST(ClassHeader, EmptyClassReadsFourteenBytesAfterThePool) {
    ClassWriter w = minimalWriter();
    w.accessFlags = 0x0411;
    const auto r = readClass(w.str() + "trailing bytes are never read");
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.poolEnd() + 14);
    EXPECT_EQ(r.cls->magic, 0xCAFEBABEu);
    EXPECT_EQ(r.cls->access_flags, 0x0411u);
    EXPECT_EQ(r.cls->constant_pool_count, 5);
    EXPECT_EQ(r.cls->this_class->toString(), "T");
    EXPECT_EQ(r.cls->pool().thisClassIndex, 2);
    EXPECT_EQ(r.cls->super_class->toString(), "java/lang/Object");
    EXPECT_TRUE(r.cls->interfaces.empty() && r.cls->fields.empty() && r.cls->methods.empty());
    EXPECT_FALSE(r.cls->isSynthetic || r.cls->isDeprecated);
}

TEST(ClassHeader, ReferencesFlagsAndOrderOfTheTopLevelLists) {
    ClassWriter w = minimalWriter();
    const uint16_t a = w.classNamed("p/A");
    const uint16_t b = w.classNamed("p/B");
    w.interfaces = {b, a, 0};
    w.thisClass = 4; // the last slot below the count
    w.superClass = 0;
    auto r = readClass(w);
    EXPECT_EQ(r.cls->this_class->toString(), "java/lang/Object");
    EXPECT_EQ(r.cls->super_class, nullptr);
    ASSERT_EQ(r.cls->interfaces.size(), 3u);
    EXPECT_EQ(r.cls->interfaces[0]->toString(), "p/B");
    EXPECT_EQ(r.cls->interfaces[1]->toString(), "p/A");
    EXPECT_EQ(r.cls->interfaces[2], nullptr);

    for (const int flags : {1, 2, 3}) { // bit 0: Synthetic, bit 1: Deprecated
        w = minimalWriter();
        w.thisClass = 0;
        w.addAttribute(w.sourceFile("T.java"));
        if (flags & 1)
            w.addAttribute(w.synthetic());
        if (flags & 2)
            w.addAttribute(w.deprecated());
        r = readClass(w);
        EXPECT_EQ(r.cls->this_class, nullptr);
        EXPECT_EQ(r.cls->pool().thisClassIndex, 0);
        EXPECT_EQ(r.cls->isSynthetic, (flags & 1) != 0);
        EXPECT_EQ(r.cls->isDeprecated, (flags & 2) != 0);
        EXPECT_EQ(r.cls->attributes.size(), flags == 3 ? 3u : 2u);
        EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());
    }
}

} // namespace
