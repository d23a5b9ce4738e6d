#include "ReadHelpers.h"

#include "classfile/ByteReader.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace classfile;
using cftest::failureOf;
using cftest::minimalWriter;
using cftest::readClass;
using testsupport::AnnotationSpec;
using testsupport::Bytes;
using testsupport::ClassWriter;
using EV = testsupport::ElementValueSpec;

namespace {

/// Reads one annotation from `bytes` with the pool of `w`'s class and
/// reports how many bytes it consumed.
struct OneAnnotation {
    std::unique_ptr<ClassInfo> cls;
    std::unique_ptr<AnnotationInfo> annotation;
    uint64_t consumed = 0;
};

OneAnnotation readAnnotation(const ClassWriter& w, const AnnotationSpec& spec) {
    Bytes bytes;
    spec.writeTo(bytes);
    bytes.raw(std::string("\x01\x02\x03", 3));
    OneAnnotation r;
    r.cls = readClass(w).cls;
    std::istringstream in(bytes.str());
    ByteReader reader(in);
    r.annotation = std::make_unique<AnnotationInfo>(reader, r.cls->pool());
    r.consumed = reader.offset();
    return r;
}

TEST(Annotations, PairlessAnnotationTakesFourBytes) {
    ClassWriter w = minimalWriter();
    const OneAnnotation r = readAnnotation(w, w.annotation("LA;", {}));
    EXPECT_EQ(r.consumed, 4u);
    EXPECT_EQ(r.cls->pool().text(r.annotation->type_index), "LA;");
    EXPECT_EQ(r.annotation->num_element_value_pairs, 0);
    EXPECT_TRUE(r.annotation->element_value_pairs.empty());
    EXPECT_EQ(r.annotation->owner, r.cls.get());
}

TEST(Annotations, EveryTagConsumesItsOwnPayload) {
    ClassWriter w = minimalWriter();
    struct Case {
        const char* name;
        EV value;
        uint64_t bytes; ///< consumed by the pair: name, tag and payload
    };
    const Case cases[] = {
        {"B", EV::constant('B', 3), 2 + 1 + 2},
        {"C", EV::constant('C', 3), 2 + 1 + 2},
        {"D", EV::constant('D', 3), 2 + 1 + 2},
        {"F", EV::constant('F', 3), 2 + 1 + 2},
        {"I", EV::constant('I', 3), 2 + 1 + 2},
        {"J", EV::constant('J', 3), 2 + 1 + 2},
        {"S", EV::constant('S', 3), 2 + 1 + 2},
        {"Z", EV::constant('Z', 3), 2 + 1 + 2},
        {"s", EV::constant('s', 3), 2 + 1 + 2},
        {"e", EV::enumValue(1, 3), 2 + 1 + 4},
        {"c", EV::classValue(1), 2 + 1 + 2},
        {"array of two ints", EV::array({EV::constant('I', 1), EV::constant('I', 3)}),
         2 + 1 + 2 + 2 * (1 + 2)},
        {"empty array", EV::array({}), 2 + 1 + 2},
        {"@", EV::nested(AnnotationSpec{1, {{3, EV::constant('s', 1)}}}), 2 + 1 + 4 + 5},
        {"? below the range", EV::bare('?'), 2 + 1},
        {"t above the range", EV::bare('t'), 2 + 1},
        {"A inside the range", EV::bare('A'), 2 + 1},
        {"byte 0", EV::bare(0), 2 + 1},
        {"byte 0xFF", EV::bare(0xFF), 2 + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnnotationSpec spec{1, {{3, c.value}}};
        const OneAnnotation r = readAnnotation(w, spec);
        EXPECT_EQ(r.consumed, 4 + c.bytes);
        ASSERT_EQ(r.annotation->element_value_pairs.size(), 1u);
        const ElementValue& v = *r.annotation->element_value_pairs[0];
        EXPECT_TRUE(v.hasName);
        EXPECT_EQ(v.element_name_index, 3);
        EXPECT_EQ(v.tag, c.value.tag);
        EXPECT_EQ(v.owner, r.cls.get());
    }
}

TEST(Annotations, ValuesKeepOnlyTheMembersOfTheirTag) {
    ClassWriter w = minimalWriter();
    const AnnotationSpec inner = w.annotation("LIn;", {{"x", EV::constant('I', w.integer(4))}});
    const uint16_t text = w.utf8("text");
    const uint16_t one = w.utf8("ONE");
    const AnnotationSpec spec =
        w.annotation("LOut;", {{"k", EV::constant('s', text)},
                               {"e", EV::enumValue(w.utf8("LE;"), one)},
                               {"c", EV::classValue(w.utf8("Ljava/lang/String;"))},
                               {"a", EV::array({EV::constant('I', 1), EV::constant('I', 3)})},
                               {"n", EV::nested(inner)},
                               {"u", EV::bare('A')}});
    const OneAnnotation r = readAnnotation(w, spec);
    const ConstantPool& p = r.cls->pool();
    const auto& pairs = r.annotation->element_value_pairs;
    ASSERT_EQ(pairs.size(), 6u);
    EXPECT_EQ(r.annotation->num_element_value_pairs, 6);

    EXPECT_EQ(p.text(pairs[0]->element_name_index), "k");
    EXPECT_EQ(p.text(pairs[0]->const_value_index), "text");
    EXPECT_EQ(pairs[0]->type_name_index, 0u);

    EXPECT_EQ(p.text(pairs[1]->type_name_index), "LE;");
    EXPECT_EQ(p.text(pairs[1]->const_name_index), "ONE");
    EXPECT_EQ(pairs[1]->const_value_index, 0u);

    EXPECT_EQ(p.text(pairs[2]->class_info_index), "Ljava/lang/String;");

    const ElementValue& array = *pairs[3];
    EXPECT_EQ(array.num_values, 2);
    ASSERT_EQ(array.values.size(), 2u);
    for (const auto& element : array.values) {
        EXPECT_FALSE(element->hasName);
        EXPECT_EQ(element->element_name_index, 0);
        EXPECT_EQ(element->tag, 'I');
    }
    EXPECT_EQ(array.values[1]->const_value_index, 3u);
    EXPECT_EQ(array.annotation_value, nullptr);

    const ElementValue& nested = *pairs[4];
    ASSERT_NE(nested.annotation_value, nullptr);
    EXPECT_EQ(p.text(nested.annotation_value->type_index), "LIn;");
    ASSERT_EQ(nested.annotation_value->element_value_pairs.size(), 1u);
    EXPECT_EQ(p.text(nested.annotation_value->element_value_pairs[0]->const_value_index), "4");

    const ElementValue& unknown = *pairs[5];
    EXPECT_EQ(unknown.tag, 'A');
    EXPECT_EQ(unknown.const_value_index + unknown.type_name_index + unknown.const_name_index +
                  unknown.class_info_index + unknown.num_values,
              0u);
    EXPECT_TRUE(unknown.values.empty());
    EXPECT_EQ(unknown.annotation_value, nullptr);
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
        const cftest::Failure f = failureOf<std::runtime_error>([&] { readAnnotation(w, deep); });
        ASSERT_TRUE(f.thrown);
        EXPECT_NE(f.what.find("is nested more than 128 levels deep"), std::string::npos) << f.what;
    }
}

TEST(Annotations, AttributesCarryTheirAnnotationsByVisibility) {
    ClassWriter w = minimalWriter();
    const AnnotationSpec a = w.annotation("LA;", {});
    const AnnotationSpec b = w.annotation("LB;", {{"v", EV::constant('I', w.integer(1))}});
    w.addAttribute(w.annotations({a, b}, true));
    w.addAttribute(w.annotations({b}, false));
    w.addMethod(1, "m", "(IJ)V",
                {w.parameterAnnotations({{}, {a}}, true), w.parameterAnnotations({{b, a}}, false)});
    const auto r = readClass(w);
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());
    const ConstantPool& p = r.cls->pool();

    const auto* visible = findAttribute<AttributeRuntimeVisibleAnnotations>(r.cls->attributes);
    ASSERT_NE(visible, nullptr);
    EXPECT_EQ(visible->kind, AttributeKind::RuntimeVisibleAnnotations);
    EXPECT_EQ(visible->num_annotations, 2);
    ASSERT_EQ(visible->annotations.size(), 2u);
    EXPECT_EQ(p.text(visible->annotations[1]->type_index), "LB;");
    EXPECT_EQ(visible->attribute_length, 2u + 4 + 4 + 2 + 1 + 2);

    const auto* invisible = findAttribute<AttributeRuntimeInvisibleAnnotations>(r.cls->attributes);
    ASSERT_NE(invisible, nullptr);
    EXPECT_EQ(invisible->annotations.size(), 1u);
    EXPECT_TRUE(invisible->is<AttributeRuntimeAnnotations>());
    EXPECT_FALSE(invisible->is<AttributeRuntimeVisibleAnnotations>());

    const MethodInfo& m = *r.cls->methods[0];
    const auto* params = findAttribute<AttributeRuntimeVisibleParameterAnnotations>(m.attributes);
    ASSERT_NE(params, nullptr);
    EXPECT_EQ(params->num_parameters, 2);
    ASSERT_EQ(params->parameter_annotations.size(), 2u);
    EXPECT_TRUE(params->parameter_annotations[0].empty());
    ASSERT_EQ(params->parameter_annotations[1].size(), 1u);
    EXPECT_EQ(p.text(params->parameter_annotations[1][0]->type_index), "LA;");

    const auto* hidden = findAttribute<AttributeRuntimeInvisibleParameterAnnotations>(m.attributes);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->kind, AttributeKind::RuntimeInvisibleParameterAnnotations);
    ASSERT_EQ(hidden->parameter_annotations.size(), 1u);
    ASSERT_EQ(hidden->parameter_annotations[0].size(), 2u);
    EXPECT_EQ(p.text(hidden->parameter_annotations[0][0]->type_index), "LB;");
}

TEST(Annotations, UnknownTagLeavesItsWriterBytesToWhatFollows) {
    // The bytes a writer put after an unknown tag are read as the next pair.
    ClassWriter w = minimalWriter();
    Bytes bytes;
    bytes.u2(1).u2(2);         // type, two pairs
    bytes.u2(3).u1('x');       // pair 1: unknown tag, no payload
    bytes.u2(3).u1('I').u2(1); // pair 2 follows at once
    const auto cls = readClass(w).cls;
    std::istringstream in(bytes.str());
    ByteReader reader(in);
    const AnnotationInfo a(reader, cls->pool());
    EXPECT_EQ(reader.offset(), bytes.size());
    ASSERT_EQ(a.element_value_pairs.size(), 2u);
    EXPECT_EQ(a.element_value_pairs[0]->tag, 'x');
    EXPECT_EQ(a.element_value_pairs[1]->tag, 'I');
    EXPECT_EQ(a.element_value_pairs[1]->const_value_index, 1u);
}

// A class keeps its annotations in its arena (and drops them with it); one
// read on its own keeps them on the heap. Both must hold the same tree.
TEST(Annotations, ReadInTheClassArenaOrOnTheHeapTheyDumpAlike) {
    ClassWriter w = minimalWriter();
    const AnnotationSpec inner = w.annotation(
        "LIn;",
        {{"x", EV::constant('I', w.integer(4))},
         {"a", EV::array({EV::constant('s', w.utf8("p")), EV::classValue(w.utf8("LC;"))})}});
    const uint16_t one = w.utf8("ONE");
    const uint16_t enumType = w.utf8("LE;");
    const AnnotationSpec spec = w.annotation(
        "LOut;", {{"n", EV::array({EV::nested(inner), EV::nested(inner), EV::array({})})},
                  {"e", EV::enumValue(enumType, one)},
                  {"d", EV::nested(w.annotation("LEmpty;", {}))}});
    w.addAttribute(w.annotations({spec, spec}));
    w.addMethod(1, "m", "(II)V", {w.parameterAnnotations({{spec}, {inner, spec}}, true)});
    const OneAnnotation heap = readAnnotation(w, spec);
    std::ostringstream expected;
    heap.annotation->print(expected);

    const auto r = readClass(w);
    const auto* visible = findAttribute<AttributeRuntimeVisibleAnnotations>(r.cls->attributes);
    ASSERT_NE(visible, nullptr);
    const auto* params =
        findAttribute<AttributeRuntimeVisibleParameterAnnotations>(r.cls->methods[0]->attributes);
    ASSERT_NE(params, nullptr);
    ASSERT_EQ(params->parameter_annotations.size(), 2u);
    ASSERT_EQ(params->parameter_annotations[1].size(), 2u);
    for (const AnnotationInfo* a :
         {visible->annotations.at(0).get(), visible->annotations.at(1).get(),
          params->parameter_annotations[0].at(0).get(),
          params->parameter_annotations[1][1].get()}) {
        std::ostringstream dump;
        a->print(dump);
        EXPECT_EQ(dump.str(), expected.str());
    }
}

} // namespace
