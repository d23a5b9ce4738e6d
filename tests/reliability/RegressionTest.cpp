// Inputs with which fuzzing found faults, each kept here with its bytes
// inline and named after what went wrong. The files under regressions/ are
// the same inputs for the fuzz targets' replay tests.
#include "classfile/ClassDump.h"
#include "classfile/ClassInfo.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace reliability {
namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string out;
    for (const int b : list)
        out += static_cast<char>(b);
    return out;
}

// fuzz_dump: the dump of an empty tag-2 entry appended zero bytes from a
// null pointer to an empty text buffer (memcpy with a null argument).
TEST(FuzzRegressionTest, DumpOfAnEmptyTag2Entry) {
    std::istringstream in(bytes({
        0xCA, 0xFE, 0xBA, 0xBE, 0x00, 0x00,
        0x00, 0x32,                         // magic, version 50.0
        0x00, 0x03,                         // constant_pool_count
        0x01, 0x00, 0x01, 'T',              // 1: Utf8 "T"
        0x02, 0x00, 0x00, 0x00, 0x00,       // 2: tag 2, length 0
        0x00, 0x21, 0x00, 0x00, 0x00, 0x00, // flags, this_class, super_class
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, // no interfaces, fields, methods, attributes
    }));
    const classfile::ClassInfo cls(in);
    std::ostringstream entry;
    cls.pool().at(2).print(entry);
    EXPECT_EQ(entry.str(), "[Unicode]");
    std::ostringstream whole;
    classfile::dumpClass(whole, cls);
    EXPECT_NE(whole.str().find("[Unicode]"), std::string::npos) << whole.str();
}

} // namespace
} // namespace reliability
