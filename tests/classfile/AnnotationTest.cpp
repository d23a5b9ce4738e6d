// Each element-value tag's payload is read by the attribute dumps, which
// must consume exactly their bytes: AttributeDumpTest.
#include "ReadHelpers.h"

#include "classfile/ByteReader.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace classfile;
using testsupport::AnnotationSpec;
using testsupport::Bytes;
using EV = testsupport::ElementValueSpec;

namespace {

TEST(Annotations, DeepNestingFailsBeyondTheBound) {
    const auto r = cftest::readClass(cftest::minimalWriter());
    const auto read = [&](const AnnotationSpec& spec) {
        Bytes bytes;
        spec.writeTo(bytes);
        std::istringstream in(bytes.str());
        ByteReader reader(in);
        AnnotationInfo annotation(reader, r.cls->pool());
        EXPECT_EQ(annotation.owner, r.cls.get());
    };
    const auto nestedArrays = [](int depth) {
        EV v = EV::constant('I', 1);
        for (int i = 0; i < depth; ++i)
            v = EV::array({v});
        return AnnotationSpec{1, {{1, v}}};
    };
    const auto nestedAnnotations = [](int depth) {
        AnnotationSpec a{1, {}};
        for (int i = 0; i < depth; ++i)
            a = AnnotationSpec{1, {{1, EV::nested(a)}}};
        return a;
    };
    EXPECT_NO_THROW(read(nestedArrays(100)));
    EXPECT_NO_THROW(read(nestedAnnotations(100)));
    for (const AnnotationSpec& deep : {nestedArrays(1000), nestedAnnotations(1000)}) {
        const std::string what = cftest::failureOf<std::runtime_error>([&] { read(deep); }).what;
        EXPECT_NE(what.find("is nested more than 128 levels deep"), std::string::npos) << what;
    }
}

} // namespace
