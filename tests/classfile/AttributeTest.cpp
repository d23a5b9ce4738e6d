#include "ReadHelpers.h"

#include "classfile/ByteReader.h"
#include "classfile/ReadContext.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

using namespace classfile;
using cftest::minimalWriter;
using cftest::readClass;
using testsupport::AttributeBytes;
using testsupport::Bytes;
using testsupport::ClassWriter;

namespace {

/// One attribute read on its own with the pool of `w`'s class, followed by
/// bytes it must not touch.
struct OneAttribute {
    std::unique_ptr<ClassInfo> cls;
    std::unique_ptr<RecordArena> arena = std::make_unique<RecordArena>();
    const Attribute* attr = nullptr;
    uint64_t consumed = 0;
    size_t size = 0; ///< header and body as written
};

OneAttribute readOne(const ClassWriter& w, const AttributeBytes& a) {
    Bytes bytes;
    a.writeTo(bytes);
    OneAttribute r;
    r.size = bytes.size();
    bytes.raw(std::string("\xEE\xEE\xEE\xEE", 4));
    r.cls = readClass(w).cls;
    std::istringstream in(bytes.str());
    ByteReader reader(in);
    ReadContext context(reader, *r.arena, &r.cls->pool(), r.cls.get());
    r.attr = readAttribute(context, 7);
    r.consumed = reader.offset();
    EXPECT_EQ(r.attr->index, 7u);
    EXPECT_EQ(r.attr->pool, &r.cls->pool());
    EXPECT_EQ(r.attr->name_index, a.nameIndex);
    return r;
}

template <typename T>
const T& as(const OneAttribute& r) {
    EXPECT_EQ(r.attr->kind, T::KIND) << r.attr->name;
    return *r.attr->as<T>();
}

TEST(Attributes, BadAttributesFailWithTheirOwnMessage) {
    ClassWriter w = minimalWriter();
    w.longValue(5); // slots 5 and 6
    const uint16_t codeName = w.utf8("Code");
    const auto nestedCode = [&](int levels) {
        AttributeBytes nested = w.code(0, 0, {0xB1});
        for (int level = 0; level < levels; ++level)
            nested = w.code(0, 0, {}, {}, {nested});
        return nested;
    };
    const std::string name = "Reading SGB failed: attribute at offset 0: name index ";
    const std::pair<AttributeBytes, std::string> cases[] = {
        {w.stackMap({{0, {{1, 0}, {9, 0}}, {}}}), "Reading SGB failed: readTy() : Unknown type: 9"},
        {AttributeBytes{0, {}, {}}, name + "0 names an empty constant pool slot"},
        {AttributeBytes{9, {}, {}}, name + "9 lies outside the constant pool (9 slots)"},
        // max_stack, max_locals, code_length and a few bytes.
        {AttributeBytes{codeName, Bytes().u2(1).u2(1).u4(0x80000000).raw(std::string("abc")), {}},
         "Reading SGB failed: Code attribute at offset 10 has a negative "
         "code_length (-2147483648)"},
        {nestedCode(11), "Reading SGB failed: Code attribute at offset 150 is nested in 8 other "
                         "Code attributes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        cftest::expectFailure<std::exception>([&] { readOne(w, c.first); }, c.second);
    }
    const OneAttribute deep = readOne(w, nestedCode(3));
    EXPECT_EQ(deep.consumed, deep.size);
}

// A name slot that is not a UTF-8 entry names the attribute by its text.
TEST(Attributes, CodeKeepsTheLastTableOfEachKind) {
    ClassWriter w = minimalWriter();
    const AttributeBytes firstLines = w.lineNumberTable({{0, 1}});
    const AttributeBytes locals = w.localVariableTable({});
    AttributeBytes code = w.code(3, 4, {0x2A, 0x1B, 0xAC}, {{0, 2, 2, 4}},
                                 {firstLines, locals, w.stackMap({{1, {}, {}}}),
                                  w.lineNumberTable({}), w.attribute("X", {9})});
    code.nameIndex = w.string("Code");
    const OneAttribute r = readOne(w, code);
    EXPECT_EQ(r.consumed, r.size);
    const auto& c = as<AttributeCode>(r);
    EXPECT_EQ(c.name, "Code");
    EXPECT_EQ(c.code, (std::vector<uint8_t>{0x2A, 0x1B, 0xAC}));
    ASSERT_EQ(c.attributes.size(), 5u);
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(c.attributes[i]->index, i);
    EXPECT_EQ(c.lineNumberTable, c.attributes[3]);
    EXPECT_EQ(c.localVariableTable, c.attributes[1]);
    EXPECT_EQ(c.stackMap, c.attributes[2]);

    const OneAttribute noTables = readOne(w, w.code(0, 0, {}, {}, {firstLines}));
    const auto& bare = as<AttributeCode>(noTables);
    EXPECT_TRUE(bare.localVariableTable == nullptr && bare.stackMap == nullptr);
}

// What the dumps do not show: the class and member flags, the kinds of the invisible
// annotation attributes and the exception indices.
TEST(Members, FlagsKindsAndExceptionIndices) {
    ClassWriter w = minimalWriter();
    const testsupport::AnnotationSpec note = w.annotation("LA;", {});
    w.addAttribute(w.exceptions({4, 2}));
    w.addAttribute(w.annotations({note}, false));
    w.addAttribute(w.parameterAnnotations({{note}}, false));
    w.addAttribute(w.deprecated());
    w.addField(0x0019, "A", "I", {w.constantValue(w.integer(5))});
    w.addField(0x0002, "b", "J", {w.synthetic(), w.deprecated()});
    w.addMethod(0x0001, "run", "()V", {w.code(0, 1, {0xB1}), w.deprecated(), w.synthetic()});
    const auto r = readClass(w);
    const ClassInfo& c = *r.cls;
    ASSERT_EQ(c.fields.size() + c.methods.size(), 3u);
    const FieldInfo& a = *c.fields[0];
    const FieldInfo& b = *c.fields[1];
    EXPECT_TRUE(a.hasConstantValue && !a.isSynthetic && !a.isDeprecated);
    EXPECT_TRUE(!b.hasConstantValue && b.isSynthetic && b.isDeprecated);
    const MethodInfo& run = *c.methods[0];
    EXPECT_TRUE(run.isDeprecated && run.isSynthetic && run.code() != nullptr);
    ASSERT_EQ(c.attributes.size(), 4u);
    EXPECT_TRUE(c.isDeprecated && !c.isSynthetic);
    EXPECT_EQ(c.attributes[0]->as<AttributeExceptions>()->exception_index_table,
              (std::vector<uint32_t>{4, 2}));
    EXPECT_EQ(c.attributes[1]->kind, AttributeKind::RuntimeInvisibleAnnotations);
    EXPECT_EQ(c.attributes[2]->kind, AttributeKind::RuntimeInvisibleParameterAnnotations);
}

// Each element-value tag's payload is read by the attribute dump, which must
// consume exactly its bytes; what it cannot show is the bound on nesting.
TEST(Annotations, DeepNestingFailsBeyondTheBound) {
    using EV = testsupport::ElementValueSpec;
    ClassWriter w = minimalWriter();
    const auto nestedArrays = [&](int depth) {
        EV v = EV::constant('I', 1);
        for (int i = 0; i < depth; ++i)
            v = EV::array({v});
        return w.annotations({testsupport::AnnotationSpec{1, {{1, v}}}});
    };
    EXPECT_NO_THROW(readOne(w, nestedArrays(100)));
    EXPECT_THAT(cftest::failureOf<std::runtime_error>([&] { readOne(w, nestedArrays(1000)); }).what,
                testing::HasSubstr("is nested more than 128 levels deep"));
}

} // namespace
