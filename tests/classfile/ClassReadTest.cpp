#include "ReadHelpers.h"

#include <gtest/gtest.h>

using cftest::expectFailure;
using cftest::minimalWriter;
using cftest::readClass;
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
        {[](ClassWriter& w) { w.magic = 0x1A; },
         "SGB file contains invalid magic word '0x0000001a'", "invalid magic: 0x1a\n"},
        {[](ClassWriter& w) { w.thisClass = 5; },
         "Reading SGB failed (class index 5 not in pool (count 5)).",
         "this_class_index not in pool: 5 >= 5\n"},
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
        expectFailure([&] { readClass(w); }, c.what, c.stderrText);
    }
    // The version is checked before the pool: these eight bytes are all there is.
    expectFailure([] { readClass(std::string("\xCA\xFE\xBA\xBE\x00\x03\x00\x33", 8)); },
                  "SGB file contains bytecode of version 51.3, not supported.",
                  "Unknown version51.3\n");
}

// The dump shows the header and the interfaces; these are the facts it does not.
TEST(ClassHeader, VersionsFlagsAndTheBytesRead) {
    ClassWriter w = minimalWriter();
    w.minorVersion = 65535;
    w.thisClass = w.superClass = 0;
    w.addAttribute(w.synthetic());
    const auto r = readClass(w.str() + "trailing bytes are never read");
    EXPECT_EQ(r.cls->minor_version, 65535);
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());
    EXPECT_TRUE(r.cls->this_class == nullptr && r.cls->super_class == nullptr);
    EXPECT_TRUE(r.cls->isSynthetic && !r.cls->isDeprecated);
}

} // namespace
