#include "ReadHelpers.h"

#include "classfile/ByteReader.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace classfile;
using cftest::minimalWriter;
using cftest::readClass;
using testsupport::AnnotationSpec;
using testsupport::Bytes;
using testsupport::ClassWriter;
using EV = testsupport::ElementValueSpec;

namespace {

/// One annotation written from `spec` and read with the pool of `w`'s class,
/// and how many bytes it consumed.
struct OneAnnotation {
    std::unique_ptr<ClassInfo> cls;
    std::unique_ptr<AnnotationInfo> annotation;
    uint64_t consumed = 0;
};

OneAnnotation readAnnotation(const ClassWriter& w, const AnnotationSpec& spec) {
    Bytes bytes;
    spec.writeTo(bytes);
    OneAnnotation r;
    r.cls = readClass(w).cls;
    std::istringstream in(bytes.str() + std::string("\x01\x02\x03", 3));
    ByteReader reader(in);
    r.annotation = std::make_unique<AnnotationInfo>(reader, r.cls->pool());
    r.consumed = reader.offset();
    EXPECT_EQ(r.annotation->owner, r.cls.get());
    return r;
}

// One pair per tag: the bytes read add up only if each tag reads its own payload.
TEST(Annotations, EveryTagConsumesItsOwnPayload) {
    ClassWriter w = minimalWriter();
    AnnotationSpec spec{1, {}};
    uint64_t bytes = 4; // type and pair count; each pair adds its name, tag and payload
    for (const char tag : std::string("BCDFIJSZs")) {
        spec.pairs.push_back({3, EV::constant(tag, 3)});
        bytes += 5;
    }
    const std::pair<EV, uint64_t> others[] = {
        {EV::enumValue(1, 3), 7},
        {EV::classValue(1), 5},
        {EV::array({EV::constant('I', 1), EV::constant('I', 3)}), 11},
        {EV::nested(AnnotationSpec{1, {{3, EV::constant('s', 1)}}}), 12},
        {EV::bare('?'), 3}, // below the range "@" to "s"
        {EV::bare('t'), 3}, // above it
        {EV::bare('A'), 3}, // inside, but no tag of the format
    };
    for (const auto& [value, size] : others) {
        spec.pairs.push_back({3, value});
        bytes += size;
    }
    const OneAnnotation r = readAnnotation(w, spec);
    EXPECT_EQ(r.consumed, bytes);
    ASSERT_EQ(r.annotation->element_value_pairs.size(), spec.pairs.size());
    for (size_t i = 0; i < spec.pairs.size(); ++i) {
        const ElementValue& v = *r.annotation->element_value_pairs[i];
        EXPECT_TRUE(v.hasName && v.element_name_index == 3 && v.owner == r.cls.get()) << i;
        EXPECT_EQ(v.tag, spec.pairs[i].value.tag);
    }
}

TEST(Annotations, DeepNestingFailsBeyondTheBound) {
    ClassWriter w = minimalWriter();
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
    EXPECT_NO_THROW(readAnnotation(w, nestedArrays(100)));
    EXPECT_NO_THROW(readAnnotation(w, nestedAnnotations(100)));
    for (const AnnotationSpec& deep : {nestedArrays(1000), nestedAnnotations(1000)}) {
        const std::string what =
            cftest::failureOf<std::runtime_error>([&] { readAnnotation(w, deep); }).what;
        EXPECT_NE(what.find("is nested more than 128 levels deep"), std::string::npos) << what;
    }
}

} // namespace
