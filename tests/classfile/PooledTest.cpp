#include "ReadHelpers.h"

#include "classfile/Pooled.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

template <size_t N>
struct Record : classfile::Pooled {
    char bytes[N];
};

TEST(Pooled, BlocksAreReusedWithoutMixingSizes) {
    // Fill records of several sizes, free them, allocate again: every new
    // record must be writable over its whole size without touching another.
    std::vector<std::unique_ptr<Record<24>>> small;
    std::vector<std::unique_ptr<Record<200>>> large;
    std::vector<std::unique_ptr<Record<1000>>> huge; // above the cached sizes
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 500; ++i) {
            small.push_back(std::make_unique<Record<24>>());
            std::memset(small.back()->bytes, 's', sizeof small.back()->bytes);
            large.push_back(std::make_unique<Record<200>>());
            std::memset(large.back()->bytes, 'l', sizeof large.back()->bytes);
        }
        huge.push_back(std::make_unique<Record<1000>>());
        std::memset(huge.back()->bytes, 'h', sizeof huge.back()->bytes);
        for (const auto& r : small)
            EXPECT_EQ(r->bytes[23], 's');
        for (const auto& r : large)
            EXPECT_EQ(r->bytes[199], 'l');
        small.clear();
        large.clear();
        huge.clear();
    }
}

TEST(Pooled, ClassesMayBeFreedOnAnotherThread) {
    const std::string bytes = [] {
        testsupport::ClassWriter w = cftest::minimalWriter();
        w.addMethod(1, "run", "()V", {w.code(1, 1, {0xB1}, {}, {w.lineNumberTable({{0, 1}})})});
        return w.str();
    }();
    std::vector<std::unique_ptr<classfile::ClassInfo>> made;
    std::thread maker([&] {
        for (int i = 0; i < 200; ++i)
            made.push_back(cftest::readClass(bytes).cls);
    });
    maker.join(); // the maker's cache is gone; its records are still alive
    std::thread user([&] {
        made.clear();
        for (int i = 0; i < 200; ++i)
            EXPECT_EQ(cftest::readClass(bytes).cls->methods.size(), 1u);
    });
    user.join();
}

} // namespace
