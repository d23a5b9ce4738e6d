#include "ReadHelpers.h"

#include "classfile/ByteReader.h"
#include "classfile/Names.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace classfile;
using cftest::failureOf;
using cftest::minimalWriter;
using cftest::readClass;
using testsupport::AttributeBytes;
using testsupport::Bytes;
using testsupport::ClassWriter;
using testsupport::VerificationType;

namespace {

/// One attribute read on its own with the pool of `w`'s class, followed by
/// bytes it must not touch.
struct OneAttribute {
    std::unique_ptr<ClassInfo> cls;
    std::unique_ptr<Attribute> attr;
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
    r.attr = readAttribute(reader, 7, r.cls->pool());
    r.consumed = reader.offset();
    EXPECT_EQ(r.attr->index, 7u);
    EXPECT_EQ(r.attr->pool, &r.cls->pool());
    EXPECT_EQ(r.attr->name_index, a.nameIndex);
    return r;
}

template <typename T>
const T& as(const OneAttribute& r) {
    const T* typed = r.attr->as<T>();
    EXPECT_NE(typed, nullptr) << r.attr->name;
    EXPECT_EQ(r.attr->kind, T::KIND);
    return *typed;
}

TEST(Attributes, FixedLayoutsRecordTheirOwnLength) {
    // The header length is neither checked nor used: each layout reads its
    // own bytes, and these four record a length of their kind.
    ClassWriter w = minimalWriter();
    const uint16_t value = w.integer(9);
    struct Case {
        AttributeBytes attr;
        AttributeKind kind;
        uint32_t recorded;
        size_t bodyRead;
    };
    std::vector<Case> cases = {
        {w.constantValue(value), AttributeKind::ConstantValue, 2, 2},
        {w.sourceFile("T.java"), AttributeKind::SourceFile, 2, 2},
        {w.synthetic(), AttributeKind::Synthetic, 0, 0},
        {w.deprecated(), AttributeKind::Deprecated, 0, 0},
    };
    for (Case& c : cases) {
        c.attr.length = 77;
        const OneAttribute r = readOne(w, c.attr);
        EXPECT_EQ(r.attr->kind, c.kind);
        EXPECT_EQ(r.attr->attribute_length, c.recorded);
        EXPECT_EQ(r.consumed, 6 + c.bodyRead);
    }
    EXPECT_EQ(as<AttributeConstantValue>(readOne(w, w.constantValue(value))).constant_value_index,
              value);
    const OneAttribute src = readOne(w, w.sourceFile("T.java"));
    EXPECT_EQ(src.cls->pool().text(as<AttributeSourceFile>(src).source_file_index), "T.java");
    EXPECT_EQ(src.attr->name, "SourceFile");
}

TEST(Attributes, TableLayoutsReadEveryRow) {
    ClassWriter w = minimalWriter();
    const OneAttribute ex = readOne(w, w.exceptions({4, 2}));
    EXPECT_EQ(ex.consumed, ex.size);
    EXPECT_EQ(ex.attr->attribute_length, 6u);
    EXPECT_EQ(as<AttributeExceptions>(ex).number_of_exceptions, 2);
    EXPECT_EQ(as<AttributeExceptions>(ex).exception_index_table, (std::vector<uint32_t>{4, 2}));

    const OneAttribute ic = readOne(w, w.innerClasses({{2, 4, 1, 0x0009}, {4, 0, 0, 0x0410}}));
    EXPECT_EQ(ic.consumed, ic.size);
    const auto& inner = as<AttributeInnerClasses>(ic);
    ASSERT_EQ(inner.number_of_classes, 2);
    ASSERT_EQ(inner.classes.size(), 2u);
    EXPECT_EQ(inner.classes[1].position, 1u);
    EXPECT_EQ(inner.classes[0].inner_class_info_index, 2);
    EXPECT_EQ(inner.classes[0].outer_class_info_index, 4);
    EXPECT_EQ(inner.classes[0].inner_name_index, 1);
    EXPECT_EQ(inner.classes[0].inner_class_access_flags, 0x0009);
    EXPECT_EQ(inner.classes[1].inner_class_access_flags, 0x0410);
    EXPECT_EQ(inner.classes[1].pool, &ic.cls->pool());

    const OneAttribute ln = readOne(w, w.lineNumberTable({{0, 10}, {4, 11}, {9, 65535}}));
    EXPECT_EQ(ln.consumed, ln.size);
    const auto& lines = as<AttributeLineNumberTable>(ln);
    ASSERT_EQ(lines.line_number_table_length, 3);
    ASSERT_EQ(lines.line_number_table.size(), 3u);
    EXPECT_EQ(lines.line_number_table[2].position, 2u);
    EXPECT_EQ(lines.line_number_table[2].start_pc, 9);
    EXPECT_EQ(lines.line_number_table[2].line_number, 65535);

    const OneAttribute lv =
        readOne(w, w.localVariableTable({w.local(0, 5, "this", "LT;", 0), {2, 3, 1, 3, 1}}));
    EXPECT_EQ(lv.consumed, lv.size);
    const auto& locals = as<AttributeLocalVariableTable>(lv);
    ASSERT_EQ(locals.local_variable_table.size(), 2u);
    const LocalVariableInfo& row = locals.local_variable_table[1];
    EXPECT_EQ(row.position, 1u);
    EXPECT_EQ(row.start_pc, 2);
    EXPECT_EQ(row.length, 3);
    EXPECT_EQ(row.name_index, 1);
    EXPECT_EQ(row.descriptor_index, 3);
    EXPECT_EQ(row.index, 1);
    EXPECT_EQ(row.pool, &lv.cls->pool());
    EXPECT_EQ(lv.cls->pool().text(locals.local_variable_table[0].name_index), "this");
}

TEST(Attributes, StackMapReadsEveryVerificationType) {
    ClassWriter w = minimalWriter();
    std::vector<VerificationType> all;
    for (uint8_t tag = 0; tag <= 8; ++tag)
        all.push_back({tag, static_cast<uint16_t>(tag == 7 ? 2 : 300)});
    const OneAttribute r = readOne(w, w.stackMap({{5, all, {{1, 0}}}, {9, {}, {}}}));
    EXPECT_EQ(r.consumed, r.size);
    const auto& map = as<AttributeStackMap>(r);
    ASSERT_EQ(map.numberOfEntries, 2);
    ASSERT_EQ(map.entries.size(), 2u);
    const StackMapEntry& first = map.entries[0];
    EXPECT_EQ(first.offset, 5);
    ASSERT_EQ(first.locals.size(), 9u);
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(first.locals[i]->tag, static_cast<int8_t>(i));
    using E = StackMapEntry;
    EXPECT_NE(first.locals[0]->as<E::TyBogus>(), nullptr);
    EXPECT_NE(first.locals[1]->as<E::TyInteger>(), nullptr);
    EXPECT_NE(first.locals[2]->as<E::TyFloat>(), nullptr);
    EXPECT_NE(first.locals[3]->as<E::TyDouble>(), nullptr);
    EXPECT_NE(first.locals[4]->as<E::TyLong>(), nullptr);
    EXPECT_NE(first.locals[5]->as<E::TyNull>(), nullptr);
    EXPECT_NE(first.locals[6]->as<E::TyInitObject>(), nullptr);
    const auto* object = first.locals[7]->as<E::TyObject>();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->cpool_index, 2);
    EXPECT_EQ(object->pool, &r.cls->pool());
    const auto* fresh = first.locals[8]->as<E::TyNewObject>();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->offset, 300);
    ASSERT_EQ(first.stack.size(), 1u);
    EXPECT_NE(first.stack[0]->as<E::TyInteger>(), nullptr);
    EXPECT_EQ(map.entries[1].offset, 9);
    EXPECT_TRUE(map.entries[1].locals.empty());
}

TEST(Attributes, UnknownVerificationTypesFail) {
    ClassWriter w = minimalWriter();
    for (const auto& [tag, what] :
         {std::pair<uint8_t, const char*>{9, "Reading SGB failed: readTy() : Unknown type: 9"},
          {0xFF, "Reading SGB failed: readTy() : Unknown type: -1"},
          {0x80, "Reading SGB failed: readTy() : Unknown type: -128"}}) {
        const AttributeBytes a = w.stackMap({{0, {{1, 0}, {tag, 0}}, {}}});
        const cftest::Failure f = failureOf<std::runtime_error>([&] { readOne(w, a); });
        ASSERT_TRUE(f.thrown);
        EXPECT_EQ(f.what, what);
        EXPECT_EQ(f.stderrText, "");
    }
}

TEST(Attributes, UnknownNamesKeepTheirBytes) {
    ClassWriter w = minimalWriter();
    const Bytes body = Bytes{1, 2, 3, 0xFF, 0};
    for (const char* name : {"StackMapTable", "Signature", "code", "Code ", ""}) {
        SCOPED_TRACE(name);
        const OneAttribute r = readOne(w, w.attribute(name, body));
        EXPECT_EQ(r.consumed, r.size);
        EXPECT_EQ(as<AttributeUnknown>(r).info, body.data);
        EXPECT_EQ(r.attr->attribute_length, 5u);
        EXPECT_EQ(r.attr->name, name);
    }
    const OneAttribute empty = readOne(w, w.attribute("Empty", Bytes()));
    EXPECT_EQ(empty.consumed, 6u);
    EXPECT_TRUE(as<AttributeUnknown>(empty).info.empty());
}

// A name slot that is not a UTF-8 entry names the attribute by its text; the
// attribute keeps that text, which the pool does not hold.
TEST(Attributes, NameIsAnyEntrysText) {
    ClassWriter w = minimalWriter();
    const uint16_t source = w.utf8("T.java");
    AttributeBytes code = w.code(1, 2, {0xB1});
    code.nameIndex = w.string("Code");
    const OneAttribute c = readOne(w, code);
    EXPECT_EQ(as<AttributeCode>(c).code, (std::vector<uint8_t>{0xB1}));
    EXPECT_EQ(c.attr->name, "Code");
    EXPECT_EQ(c.consumed, c.size);
    const OneAttribute s =
        readOne(w, AttributeBytes{w.string("SourceFile"), Bytes().u2(source), std::nullopt});
    EXPECT_EQ(s.attr->name, "SourceFile");
    EXPECT_EQ(as<AttributeSourceFile>(s).source_file_index, source);
}

TEST(Attributes, NameIndexMustNameAFilledSlot) {
    ClassWriter w = minimalWriter();
    w.longValue(5); // slots 5 and 6
    struct Case {
        uint16_t nameIndex;
        const char* what;
    };
    for (const Case c :
         {Case{0, "Reading SGB failed: attribute at offset 0: name index 0 names an empty "
                  "constant pool slot"},
          Case{6, "Reading SGB failed: attribute at offset 0: name index 6 names an empty "
                  "constant pool slot"},
          Case{7, "Reading SGB failed: attribute at offset 0: name index 7 lies outside the "
                  "constant pool (7 slots)"}}) {
        const AttributeBytes a{c.nameIndex, Bytes(), std::nullopt};
        EXPECT_EQ(failureOf<std::runtime_error>([&] { readOne(w, a); }).what, c.what);
    }
}

TEST(Attributes, CodeReadsItsPartsAndKeepsTheLastTableOfEachKind) {
    ClassWriter w = minimalWriter();
    const AttributeBytes firstLines = w.lineNumberTable({{0, 1}});
    const AttributeBytes lastLines = w.lineNumberTable({{0, 2}, {1, 3}});
    const AttributeBytes locals = w.localVariableTable(
        {w.local(0, 3, "this", "LT;", 0), w.local(1, 2, "n", "I", 1), w.local(2, 1, "m", "J", 1)});
    const AttributeBytes map = w.stackMap({{1, {}, {}}});
    const AttributeBytes code = w.code(3, 4, {0x2A, 0x1B, 0xAC}, {{0, 2, 2, 4}, {1, 3, 2, 0}},
                                       {firstLines, locals, map, lastLines, w.attribute("X", {9})});
    const OneAttribute r = readOne(w, code);
    EXPECT_EQ(r.consumed, r.size);
    EXPECT_EQ(r.attr->attribute_length, r.size - 6);
    const auto& c = as<AttributeCode>(r);
    EXPECT_EQ(c.max_stack, 3);
    EXPECT_EQ(c.max_locals, 4);
    EXPECT_EQ(c.code_length, 3);
    EXPECT_EQ(c.code, (std::vector<uint8_t>{0x2A, 0x1B, 0xAC}));
    ASSERT_EQ(c.exception_table_length, 2);
    ASSERT_EQ(c.exception_table.size(), 2u);
    EXPECT_EQ(c.exception_table[0].catch_type, 4);
    EXPECT_EQ(c.exception_table[1].start_pc, 1);
    EXPECT_EQ(c.exception_table[1].end_pc, 3);
    EXPECT_EQ(c.exception_table[1].handler_pc, 2);
    EXPECT_EQ(c.exception_table[1].pool, &r.cls->pool());
    ASSERT_EQ(c.attributes_count, 5);
    ASSERT_EQ(c.attributes.size(), 5u);
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(c.attributes[i]->index, i);
    EXPECT_EQ(c.lineNumberTable, c.attributes[3].get());
    EXPECT_EQ(c.localVariableTable, c.attributes[1].get());
    EXPECT_EQ(c.stackMap, c.attributes[2].get());
    EXPECT_EQ(c.attributes[4]->kind, AttributeKind::Unknown);

    // The first row for a slot wins; a slot without a row has none.
    ASSERT_NE(c.findLocalVariable(1), nullptr);
    EXPECT_EQ(r.cls->pool().text(c.findLocalVariable(1)->name_index), "n");
    EXPECT_EQ(c.findLocalVariable(2), nullptr);
}

TEST(Attributes, CodeWithoutLocalVariableTableFindsNoLocal) {
    ClassWriter w = minimalWriter();
    const OneAttribute r = readOne(w, w.code(0, 0, {}, {}, {w.lineNumberTable({})}));
    const auto& c = as<AttributeCode>(r);
    EXPECT_EQ(c.localVariableTable, nullptr);
    EXPECT_EQ(c.stackMap, nullptr);
    EXPECT_NE(c.lineNumberTable, nullptr);
    for (uint32_t slot : {0u, 1u, 255u, 65535u})
        EXPECT_EQ(c.findLocalVariable(slot), nullptr);
}

TEST(Attributes, CodeLengthsThatCannotBeReadFailBeforeAllocating) {
    ClassWriter w = minimalWriter();
    const uint16_t name = w.utf8("Code");
    // max_stack, max_locals, code_length and a few bytes: far less than claimed.
    const auto withLength = [&](uint32_t length) {
        return AttributeBytes{name, Bytes().u2(1).u2(1).u4(length).raw(std::string("abc")),
                              std::nullopt};
    };
    const cftest::Failure huge =
        failureOf<std::runtime_error>([&] { readOne(w, withLength(0x7FFFFFFF)); });
    ASSERT_TRUE(huge.thrown);
    EXPECT_EQ(huge.what, "unexpected end of input at offset 14: 2147483647 more bytes needed, "
                         "7 left");
    const cftest::Failure negative =
        failureOf<std::length_error>([&] { readOne(w, withLength(0x80000000)); });
    ASSERT_TRUE(negative.thrown);
    EXPECT_EQ(negative.what, "Reading SGB failed: Code attribute at offset 10 has a negative "
                             "code_length (-2147483648)");
}

TEST(Attributes, CodeNestedInCodeIsBounded) {
    ClassWriter w = minimalWriter();
    AttributeBytes nested = w.code(0, 0, {0xB1});
    for (int level = 0; level < 3; ++level)
        nested = w.code(0, 0, {}, {}, {nested});
    const OneAttribute r = readOne(w, nested);
    EXPECT_EQ(r.consumed, r.size);

    for (int level = 0; level < 8; ++level)
        nested = w.code(0, 0, {}, {}, {nested});
    const cftest::Failure f = failureOf<std::runtime_error>([&] { readOne(w, nested); });
    ASSERT_TRUE(f.thrown);
    EXPECT_NE(f.what.find("is nested in 8 other Code attributes"), std::string::npos) << f.what;
}

TEST(Members, FieldsAndMethodsReadTheirRecordsAndFlags) {
    ClassWriter w = minimalWriter();
    const uint16_t five = w.integer(5);
    w.addField(0x0019, "A", "I", {w.constantValue(five)});
    w.addField(0x0002, "b", "J", {w.synthetic(), w.deprecated(), w.attribute("Signature", {0, 1})});
    w.addField(0x0000, "c", "D");
    w.addMethod(0x0001, "run", "()V", {w.code(0, 1, {0xB1}), w.deprecated(), w.synthetic()});
    w.addMethod(0x0401, "abs", "()I");
    const auto r = readClass(w);
    EXPECT_EQ(static_cast<size_t>(r.consumed), w.str().size());
    const ClassInfo& c = *r.cls;
    ASSERT_EQ(c.fields.size(), 3u);
    ASSERT_EQ(c.methods.size(), 2u);

    const FieldInfo& a = *c.fields[0];
    EXPECT_EQ(a.index, 0u);
    EXPECT_EQ(a.owner, &c);
    EXPECT_EQ(a.access_flags, 0x0019u);
    EXPECT_EQ(c.pool().text(a.name_index), "A");
    EXPECT_EQ(c.pool().text(a.descriptor_index), "I");
    EXPECT_EQ(a.attributes_count, 1u);
    EXPECT_TRUE(a.hasConstantValue);
    EXPECT_FALSE(a.isSynthetic);
    EXPECT_FALSE(a.isDeprecated);
    EXPECT_EQ(a.attributes[0]->attribute_length, 2u);

    const FieldInfo& b = *c.fields[1];
    EXPECT_EQ(b.index, 1u);
    EXPECT_FALSE(b.hasConstantValue);
    EXPECT_TRUE(b.isSynthetic);
    EXPECT_TRUE(b.isDeprecated);
    ASSERT_EQ(b.attributes.size(), 3u);
    EXPECT_EQ(b.attributes[2]->index, 2u);
    EXPECT_FALSE(c.fields[2]->hasConstantValue || c.fields[2]->isSynthetic);

    const MethodInfo& run = *c.methods[0];
    EXPECT_EQ(run.index, 0u);
    EXPECT_TRUE(run.isDeprecated);
    EXPECT_TRUE(run.isSynthetic);
    ASSERT_NE(run.code(), nullptr);
    EXPECT_EQ(run.code(), findAttribute<AttributeCode>(run.attributes));
    EXPECT_EQ(run.code()->code_length, 1);
    const MethodInfo& abs = *c.methods[1];
    EXPECT_EQ(abs.index, 1u);
    EXPECT_EQ(abs.access_flags, 0x0401u);
    EXPECT_EQ(abs.code(), nullptr);
    EXPECT_FALSE(abs.isDeprecated || abs.isSynthetic);
}

TEST(Names, KnownAttributeNamesAreTheFourteenOfTheFormat) {
    const std::string_view known[] = {names::Code,
                                      names::ConstantValue,
                                      names::Exceptions,
                                      names::InnerClasses,
                                      names::Synthetic,
                                      names::SourceFile,
                                      names::LineNumberTable,
                                      names::LocalVariableTable,
                                      names::Deprecated,
                                      names::StackMap,
                                      names::RuntimeVisibleAnnotations,
                                      names::RuntimeInvisibleAnnotations,
                                      names::RuntimeVisibleParameterAnnotations,
                                      names::RuntimeInvisibleParameterAnnotations};
    // Every known name selects a reader other than the unknown one.
    ClassWriter w = minimalWriter();
    for (const std::string_view name : known) {
        SCOPED_TRACE(std::string(name));
        // A body that each layout can read: zero counts and zero indices.
        const OneAttribute r =
            readOne(w, w.attribute(std::string(name), Bytes().u4(0).u4(0).u4(0)));
        EXPECT_NE(r.attr->kind, AttributeKind::Unknown);
        EXPECT_EQ(r.attr->name, name);
    }
}

} // namespace
