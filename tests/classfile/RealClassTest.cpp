// Class files written by a Java compiler (tests/data/classfiles, sources in
// src/ there); the expected facts are those of the sources.
#include "ReadHelpers.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace classfile;

namespace {

std::unique_ptr<ClassInfo> load(const std::string& name, size_t expectedSize) {
    std::ifstream in(std::string(ZUL_CLASSFILE_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    auto cls = std::make_unique<ClassInfo>(in);
    EXPECT_EQ(static_cast<size_t>(in.tellg()), expectedSize) << name << " read whole";
    return cls;
}

TEST(RealClass, EveryCheckedInClassReadsWhole) {
    const struct {
        const char* name;
        size_t size;
        const char* thisClass;
        size_t methods;
    } files[] = {
        {"sample/Kind.class", 902, "sample/Kind", 4},
        {"sample/Meta.class", 942, "sample/Meta", 13},
        {"sample/Range.class", 312, "sample/Range", 2},
        {"sample/Shapes$Inner.class", 522, "sample/Shapes$Inner", 2},
        {"sample/Shapes$Nested.class", 382, "sample/Shapes$Nested", 1},
        {"sample/Shapes.class", 2874, "sample/Shapes", 11},
        {"cldc/Counter.class", 983, "cldc/Counter", 4},
    };
    for (const auto& f : files) {
        const auto c = load(f.name, f.size);
        EXPECT_EQ(c->major_version, f.size == 983 ? 45 : 50) << f.name;
        EXPECT_EQ(c->this_class->toString(), f.thisClass);
        EXPECT_EQ(c->methods.size(), f.methods) << f.name;
    }
}

// The CLDC compiler writes StackMap attributes: the frames of step(int).
TEST(RealClass, CldcCounterHasStackMaps) {
    const auto c = load("cldc/Counter.class", 983);
    const AttributeCode* step = nullptr;
    for (const auto& m : c->methods)
        if (c->pool().text(m->name_index) == "step")
            step = m->code();
    ASSERT_NE(step, nullptr);
    ASSERT_NE(step->stackMap, nullptr);
    ASSERT_EQ(step->stackMap->entries.size(), 4u);
    const uint16_t offsets[] = {5, 24, 34, 37};
    for (size_t i = 0; i < 4; ++i) {
        const StackMapEntry& e = step->stackMap->entries[i];
        EXPECT_EQ(e.offset, offsets[i]);
        ASSERT_EQ(e.locals.size(), 3u);
        const auto* self = e.locals[0]->as<StackMapEntry::TyObject>();
        ASSERT_NE(self, nullptr);
        EXPECT_EQ(c->pool().text(self->cpool_index), "cldc/Counter");
        EXPECT_EQ(e.locals[1]->tag + e.locals[2]->tag, 2); // two ints
        EXPECT_TRUE(e.stack.empty());
    }
}

} // namespace
