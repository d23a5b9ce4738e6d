// Class files written by a Java compiler (tests/data/classfiles, sources in
// src/ there); the expected facts are those of the sources.
#include "ReadHelpers.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace classfile;

namespace {

TEST(RealClass, EveryCheckedInClassReadsWhole) {
    const struct {
        const char* name;
        std::streamoff size;
        size_t methods;
    } files[] = {
        {"sample/Kind", 902, 4},          {"sample/Meta", 942, 13},
        {"sample/Range", 312, 2},         {"sample/Shapes$Inner", 522, 2},
        {"sample/Shapes$Nested", 382, 1}, {"sample/Shapes", 2874, 11},
        {"cldc/Counter", 983, 4},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        std::ifstream in(std::string(ZUL_CLASSFILE_DATA_DIR) + "/" + f.name + ".class",
                         std::ios::binary);
        const ClassInfo c(in);
        EXPECT_EQ(in.tellg(), f.size);
        EXPECT_EQ(c.this_class->toString(), f.name);
        EXPECT_EQ(c.methods.size(), f.methods);
    }
}

} // namespace
