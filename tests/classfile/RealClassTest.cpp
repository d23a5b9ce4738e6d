// Class files written by a Java compiler (tests/data/classfiles, sources in
// src/ there); the expected facts are those its disassembler shows.
#include "ReadHelpers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace classfile;

namespace {

std::unique_ptr<ClassInfo> load(const std::string& name, size_t expectedSize) {
    std::ifstream in(std::string(ZUL_CLASSFILE_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    auto cls = std::make_unique<ClassInfo>(in);
    EXPECT_EQ(static_cast<size_t>(in.tellg()), expectedSize) << "whole file read";
    return cls;
}

const MethodInfo& method(const ClassInfo& c, const std::string& name, const std::string& desc) {
    for (const auto& m : c.methods)
        if (c.pool().text(m->name_index) == name && c.pool().text(m->descriptor_index) == desc)
            return *m;
    throw std::runtime_error("no method " + name + desc);
}

struct Local {
    uint16_t start, length, slot;
    const char* name;
    const char* descriptor;
};

void expectLocals(const ClassInfo& c, const AttributeCode& code, const std::vector<Local>& rows) {
    ASSERT_NE(code.localVariableTable, nullptr);
    const auto& table = code.localVariableTable->local_variable_table;
    ASSERT_EQ(table.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(table[i].start_pc, rows[i].start);
        EXPECT_EQ(table[i].length, rows[i].length);
        EXPECT_EQ(table[i].index, rows[i].slot);
        EXPECT_EQ(c.pool().text(table[i].name_index), rows[i].name);
        EXPECT_EQ(c.pool().text(table[i].descriptor_index), rows[i].descriptor);
    }
}

TEST(RealClass, ShapesHeaderAndPool) {
    const auto c = load("sample/Shapes.class", 2874);
    EXPECT_EQ(c->major_version, 50);
    EXPECT_EQ(c->minor_version, 0);
    EXPECT_EQ(c->access_flags, 0x0021u);
    EXPECT_EQ(c->constant_pool_count, 141);
    EXPECT_EQ(c->this_class->toString(), "sample/Shapes");
    EXPECT_EQ(c->super_class->toString(), "java/lang/Object");
    ASSERT_EQ(c->interfaces.size(), 2u);
    EXPECT_EQ(c->interfaces[0]->toString(), "java/lang/Comparable");
    EXPECT_EQ(c->interfaces[1]->toString(), "java/io/Serializable");
    const ConstantPool& p = c->pool();
    EXPECT_EQ(p.text(39), "java/lang/Object.<init>()V");
    EXPECT_EQ(p.text(42), "sample/Shapes.width"
                          "D");
    EXPECT_EQ(p.text(90), "java/lang/Double.compare(DD)I");
    EXPECT_EQ(p.find(13), nullptr); // after the long at 12
    EXPECT_EQ(p.text(29), "shapes");
    EXPECT_EQ(p.text(120), "0.5");
    EXPECT_EQ(p.text(124), "1234567890123");
    ASSERT_EQ(c->attributes.size(), 4u);
    EXPECT_EQ(c->attributes[0]->kind, AttributeKind::SourceFile);
    EXPECT_EQ(c->attributes[1]->kind, AttributeKind::Unknown); // Signature
    EXPECT_EQ(c->attributes[1]->name, "Signature");
    EXPECT_EQ(c->attributes[2]->kind, AttributeKind::RuntimeVisibleAnnotations);
    EXPECT_EQ(c->attributes[3]->kind, AttributeKind::InnerClasses);
}

TEST(RealClass, ShapesFields) {
    const auto c = load("sample/Shapes.class", 2874);
    struct Field {
        const char* name;
        const char* descriptor;
        uint32_t flags;
        const char* constant; ///< null when the field has none
    };
    const Field expected[] = {
        {"serialVersionUID", "J", 0x1a, "1"},
        {"COUNT", "I", 0x19, "42"},
        {"BIG", "J", 0x19, "1099511627776"},
        {"RATIO", "F", 0x19, "0.100000001"},
        {"PI_ISH", "D", 0x19, "3.1415899999999999"},
        {"LABEL", "Ljava/lang/String;", 0x19, "shapes"},
        {"width", "D", 0x02, nullptr},
        {"legacy", "I", 0x04, nullptr},
    };
    ASSERT_EQ(c->fields.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const FieldInfo& f = *c->fields[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(c->pool().text(f.name_index), expected[i].name);
        EXPECT_EQ(c->pool().text(f.descriptor_index), expected[i].descriptor);
        EXPECT_EQ(f.access_flags, expected[i].flags);
        EXPECT_EQ(f.hasConstantValue, expected[i].constant != nullptr);
        if (expected[i].constant) {
            const auto* cv = findAttribute<AttributeConstantValue>(f.attributes);
            ASSERT_NE(cv, nullptr);
            EXPECT_EQ(c->pool().text(cv->constant_value_index), expected[i].constant);
        }
    }
    EXPECT_TRUE(c->fields[7]->isDeprecated);
    EXPECT_EQ(c->fields[7]->attributes.size(), 2u);
}

TEST(RealClass, ShapesMethodsAndCode) {
    const auto c = load("sample/Shapes.class", 2874);
    struct Method {
        const char* name;
        const char* descriptor;
        uint32_t flags;
        int32_t codeLength;
        uint16_t maxStack, maxLocals;
    };
    const Method expected[] = {
        {"<init>", "(D)V", 0x0001, 10, 3, 3},
        {"area", "(D)D", 0x0001, 9, 4, 5},
        {"classify", "(I)I", 0x0001, 39, 1, 2},
        {"sparse", "(I)I", 0x0001, 44, 1, 2},
        {"sum", "([I)I", 0x0009, 24, 3, 3},
        {"safe", "(Ljava/lang/Object;)Ljava/lang/String;", 0x0001, 44, 5, 4},
        {"annotated", "(IILjava/lang/String;)V", 0x0001, 1, 0, 4},
        {"old", "()V", 0x0001, 1, 0, 1},
        {"compareTo", "(Lsample/Shapes;)I", 0x0001, 12, 4, 2},
        {"compareTo", "(Ljava/lang/Object;)I", 0x1041, 9, 2, 2},
        {"access$1", "(Lsample/Shapes;)D", 0x1008, 5, 2, 1},
    };
    ASSERT_EQ(c->methods.size(), 11u);
    for (size_t i = 0; i < 11; ++i) {
        const MethodInfo& m = *c->methods[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(m.index, i);
        EXPECT_EQ(c->pool().text(m.name_index), expected[i].name);
        EXPECT_EQ(c->pool().text(m.descriptor_index), expected[i].descriptor);
        EXPECT_EQ(m.access_flags, expected[i].flags);
        ASSERT_NE(m.code(), nullptr);
        EXPECT_EQ(m.code()->code_length, expected[i].codeLength);
        EXPECT_EQ(m.code()->code.size(), static_cast<size_t>(expected[i].codeLength));
        EXPECT_EQ(m.code()->max_stack, expected[i].maxStack);
        EXPECT_EQ(m.code()->max_locals, expected[i].maxLocals);
        EXPECT_NE(m.code()->lineNumberTable, nullptr);
    }
    // aload_0 invokespecial #39 aload_0 dload_1 putfield #42 return
    EXPECT_EQ(method(*c, "<init>", "(D)V").code()->code,
              (std::vector<uint8_t>{0x2A, 0xB7, 0, 39, 0x2A, 0x27, 0xB5, 0, 42, 0xB1}));
    EXPECT_TRUE(method(*c, "old", "()V").isDeprecated);

    const AttributeCode& area = *method(*c, "area", "(D)D").code();
    expectLocals(
        *c, area,
        {{0, 9, 0, "this", "Lsample/Shapes;"}, {0, 9, 1, "height", "D"}, {7, 2, 3, "a", "D"}});
    EXPECT_EQ(area.lineNumberTable->line_number_table.size(), 2u);
    EXPECT_EQ(area.lineNumberTable->line_number_table[1].line_number, 24);
    EXPECT_EQ(area.lineNumberTable->line_number_table[1].start_pc, 7);

    const AttributeCode& sum = *method(*c, "sum", "([I)I").code();
    expectLocals(*c, sum,
                 {{0, 24, 0, "values", "[I"}, {2, 22, 1, "total", "I"}, {4, 18, 2, "i", "I"}});
    // Major version 50 writes StackMapTable, which is kept as raw bytes.
    const auto* table = sum.attributes.back()->as<AttributeUnknown>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->name, "StackMapTable");
    EXPECT_EQ(sum.stackMap, nullptr);

    const AttributeCode& safe =
        *method(*c, "safe", "(Ljava/lang/Object;)Ljava/lang/String;").code();
    ASSERT_EQ(safe.exception_table.size(), 3u);
    const uint16_t rows[3][4] = {{0, 5, 17, 71}, {0, 5, 31, 0}, {17, 18, 31, 0}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(safe.exception_table[i].start_pc, rows[i][0]);
        EXPECT_EQ(safe.exception_table[i].end_pc, rows[i][1]);
        EXPECT_EQ(safe.exception_table[i].handler_pc, rows[i][2]);
        EXPECT_EQ(safe.exception_table[i].catch_type, rows[i][3]);
    }
    EXPECT_EQ(c->pool().text(71), "java/lang/NullPointerException");
}

TEST(RealClass, ShapesAnnotations) {
    const auto c = load("sample/Shapes.class", 2874);
    const ConstantPool& p = c->pool();
    const auto* rva = findAttribute<AttributeRuntimeVisibleAnnotations>(c->attributes);
    ASSERT_NE(rva, nullptr);
    ASSERT_EQ(rva->annotations.size(), 1u);
    const AnnotationInfo& meta = *rva->annotations[0];
    EXPECT_EQ(p.text(meta.type_index), "Lsample/Meta;");
    struct Pair {
        const char* name;
        char tag;
        const char* value;
    };
    const Pair pairs[] = {
        {"order", 'I', "3"},    {"name", 's', "shapes"}, {"kind", 'e', nullptr},
        {"type", 'c', nullptr}, {"tags", '[', nullptr},  {"range", '@', nullptr},
        {"weight", 'D', "0.5"}, {"flag", 'Z', "1"},      {"big", 'J', "1234567890123"},
        {"letter", 'C', "122"}, {"small", 'B', "7"},     {"mid", 'S', "300"},
        {"ratio", 'F', "1.5"},
    };
    ASSERT_EQ(meta.element_value_pairs.size(), 13u);
    for (size_t i = 0; i < 13; ++i) {
        const ElementValue& v = *meta.element_value_pairs[i];
        SCOPED_TRACE(pairs[i].name);
        EXPECT_EQ(p.text(v.element_name_index), pairs[i].name);
        EXPECT_EQ(v.tag, pairs[i].tag);
        if (pairs[i].value) {
            EXPECT_EQ(p.text(v.const_value_index), pairs[i].value);
        }
    }
    const auto& pair = meta.element_value_pairs;
    EXPECT_EQ(p.text(pair[2]->type_name_index), "Lsample/Kind;");
    EXPECT_EQ(p.text(pair[2]->const_name_index), "FANCY");
    EXPECT_EQ(p.text(pair[3]->class_info_index), "Ljava/lang/String;");
    ASSERT_EQ(pair[4]->values.size(), 2u);
    EXPECT_EQ(p.text(pair[4]->values[0]->const_value_index), "a");
    EXPECT_EQ(p.text(pair[4]->values[1]->const_value_index), "b");
    const AnnotationInfo& range = *pair[5]->annotation_value;
    EXPECT_EQ(p.text(range.type_index), "Lsample/Range;");
    ASSERT_EQ(range.element_value_pairs.size(), 2u);
    EXPECT_EQ(p.text(range.element_value_pairs[1]->element_name_index), "max");
    EXPECT_EQ(p.text(range.element_value_pairs[1]->const_value_index), "5");

    const MethodInfo& annotated = method(*c, "annotated", "(IILjava/lang/String;)V");
    const auto* params =
        findAttribute<AttributeRuntimeVisibleParameterAnnotations>(annotated.attributes);
    ASSERT_NE(params, nullptr);
    ASSERT_EQ(params->parameter_annotations.size(), 3u);
    ASSERT_EQ(params->parameter_annotations[0].size(), 1u);
    EXPECT_TRUE(params->parameter_annotations[1].empty());
    ASSERT_EQ(params->parameter_annotations[2].size(), 1u);
    const AnnotationInfo& third = *params->parameter_annotations[2][0];
    EXPECT_EQ(p.text(third.element_value_pairs[0]->element_name_index), "name");
    EXPECT_EQ(p.text(third.element_value_pairs[0]->const_value_index), "third");

    const auto* inner = findAttribute<AttributeInnerClasses>(c->attributes);
    ASSERT_NE(inner, nullptr);
    ASSERT_EQ(inner->classes.size(), 2u);
    EXPECT_EQ(p.text(inner->classes[0].inner_class_info_index), "sample/Shapes$Inner");
    EXPECT_EQ(inner->classes[0].outer_class_info_index, 1);
    EXPECT_EQ(p.text(inner->classes[0].inner_name_index), "Inner");
    EXPECT_EQ(inner->classes[1].inner_class_access_flags, 0x0008);
}

TEST(RealClass, CldcCounterHasStackMaps) {
    const auto c = load("cldc/Counter.class", 983);
    EXPECT_EQ(c->major_version, 45);
    EXPECT_EQ(c->minor_version, 3);
    ASSERT_EQ(c->methods.size(), 4u);
    using E = StackMapEntry;

    const AttributeCode& step = *method(*c, "step", "(I)I").code();
    EXPECT_EQ(step.code_length, 47);
    expectLocals(
        *c, step,
        {{0, 47, 0, "this", "Lcldc/Counter;"}, {0, 47, 1, "by", "I"}, {2, 40, 2, "i", "I"}});
    ASSERT_NE(step.stackMap, nullptr);
    ASSERT_EQ(step.stackMap->entries.size(), 4u);
    const uint16_t offsets[] = {5, 24, 34, 37};
    for (size_t i = 0; i < 4; ++i) {
        const StackMapEntry& e = step.stackMap->entries[i];
        EXPECT_EQ(e.offset, offsets[i]);
        ASSERT_EQ(e.locals.size(), 3u);
        const auto* self = e.locals[0]->as<E::TyObject>();
        ASSERT_NE(self, nullptr);
        EXPECT_EQ(c->pool().text(self->cpool_index), "cldc/Counter");
        EXPECT_NE(e.locals[1]->as<E::TyInteger>(), nullptr);
        EXPECT_NE(e.locals[2]->as<E::TyInteger>(), nullptr);
        EXPECT_TRUE(e.stack.empty());
    }

    const AttributeCode& remember =
        *method(*c, "remember", "(Ljava/lang/Object;)Ljava/lang/Object;").code();
    ASSERT_NE(remember.stackMap, nullptr);
    ASSERT_EQ(remember.stackMap->entries.size(), 2u);
    EXPECT_EQ(remember.stackMap->entries[1].offset, 16);
    ASSERT_EQ(remember.stackMap->entries[1].stack.size(), 2u);
    EXPECT_EQ(
        c->pool().text(remember.stackMap->entries[1].stack[1]->as<E::TyObject>()->cpool_index),
        "java/lang/Object");

    const AttributeCode& total = *method(*c, "total", "([J)J").code();
    EXPECT_EQ(total.code_length, 24);
    expectLocals(*c, total,
                 {{0, 24, 0, "values", "[J"}, {2, 22, 1, "sum", "J"}, {4, 18, 3, "i", "I"}});
    ASSERT_EQ(total.stackMap->entries.size(), 2u);
    const StackMapEntry& loop = total.stackMap->entries[0];
    EXPECT_EQ(loop.offset, 7);
    ASSERT_EQ(loop.locals.size(), 3u);
    EXPECT_EQ(c->pool().text(loop.locals[0]->as<E::TyObject>()->cpool_index), "[J");
    EXPECT_NE(loop.locals[1]->as<E::TyLong>(), nullptr);
}

TEST(RealClass, EveryCheckedInClassReads) {
    const std::pair<const char*, size_t> files[] = {
        {"sample/Kind.class", 902},          {"sample/Meta.class", 942},
        {"sample/Range.class", 312},         {"sample/Shapes$Inner.class", 522},
        {"sample/Shapes$Nested.class", 382},
    };
    for (const auto& [name, size] : files) {
        SCOPED_TRACE(name);
        const auto c = load(name, size);
        EXPECT_EQ(c->major_version, 50);
        EXPECT_FALSE(c->methods.empty());
    }
}

} // namespace
