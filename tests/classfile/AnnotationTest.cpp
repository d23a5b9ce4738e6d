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

/// One annotation read from `bytes` with the pool of `w`'s class, and how
/// many bytes it consumed.
struct OneAnnotation {
    std::unique_ptr<ClassInfo> cls;
    std::unique_ptr<AnnotationInfo> annotation;
    uint64_t consumed = 0;
};

OneAnnotation readAnnotation(const ClassWriter& w, const Bytes& bytes) {
    OneAnnotation r;
    r.cls = readClass(w).cls;
    std::istringstream in(bytes.str() + std::string("\x01\x02\x03", 3));
    ByteReader reader(in);
    r.annotation = std::make_unique<AnnotationInfo>(reader, r.cls->pool());
    r.consumed = reader.offset();
    EXPECT_EQ(r.annotation->owner, r.cls.get());
    return r;
}
OneAnnotation readAnnotation(const ClassWriter& w, const AnnotationSpec& spec) {
    Bytes bytes;
    spec.writeTo(bytes);
    return readAnnotation(w, bytes);
}

TEST(Annotations, EveryTagConsumesItsOwnPayload) {
    ClassWriter w = minimalWriter();
    EXPECT_EQ(readAnnotation(w, AnnotationSpec{1, {}}).consumed, 4u);
    const std::pair<EV, uint64_t> cases[] = {
        // The bytes of the pair: name, tag and payload.
        {EV::constant('B', 3), 2 + 1 + 2},
        {EV::constant('C', 3), 2 + 1 + 2},
        {EV::constant('D', 3), 2 + 1 + 2},
        {EV::constant('F', 3), 2 + 1 + 2},
        {EV::constant('I', 3), 2 + 1 + 2},
        {EV::constant('J', 3), 2 + 1 + 2},
        {EV::constant('S', 3), 2 + 1 + 2},
        {EV::constant('Z', 3), 2 + 1 + 2},
        {EV::constant('s', 3), 2 + 1 + 2},
        {EV::enumValue(1, 3), 2 + 1 + 4},
        {EV::classValue(1), 2 + 1 + 2},
        {EV::array({EV::constant('I', 1), EV::constant('I', 3)}), 2 + 1 + 2 + 2 * (1 + 2)},
        {EV::array({}), 2 + 1 + 2},
        {EV::nested(AnnotationSpec{1, {{3, EV::constant('s', 1)}}}), 2 + 1 + 4 + 5},
        {EV::bare('?'), 2 + 1}, // below the range "@" to "s"
        {EV::bare('t'), 2 + 1}, // above it
        {EV::bare('A'), 2 + 1}, // inside, but no tag of the format
        {EV::bare(0), 2 + 1},
        {EV::bare(0xFF), 2 + 1},
    };
    for (const auto& [value, bytes] : cases) {
        SCOPED_TRACE(value.tag);
        const OneAnnotation r = readAnnotation(w, AnnotationSpec{1, {{3, value}}});
        EXPECT_EQ(r.consumed, 4 + bytes);
        ASSERT_EQ(r.annotation->element_value_pairs.size(), 1u);
        const ElementValue& v = *r.annotation->element_value_pairs[0];
        EXPECT_TRUE(v.hasName);
        EXPECT_EQ(v.element_name_index, 3);
        EXPECT_EQ(v.tag, value.tag);
        EXPECT_EQ(v.owner, r.cls.get());
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

TEST(Annotations, UnknownTagLeavesItsWriterBytesToWhatFollows) {
    // The bytes a writer put after an unknown tag are read as the next pair.
    const Bytes bytes = Bytes().u2(1).u2(2).u2(3).u1('x').u2(3).u1('I').u2(1);
    const OneAnnotation r = readAnnotation(minimalWriter(), bytes);
    EXPECT_EQ(r.consumed, bytes.size());
    ASSERT_EQ(r.annotation->element_value_pairs.size(), 2u);
    EXPECT_EQ(r.annotation->element_value_pairs[0]->tag, 'x');
    EXPECT_EQ(r.annotation->element_value_pairs[1]->const_value_index, 1u);
}

} // namespace
