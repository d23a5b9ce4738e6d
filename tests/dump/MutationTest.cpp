// Real class files with single bytes changed: whatever the reader accepts,
// every dump runs to its end or stops with the std::runtime_error of a text
// operation, under the sanitizers.
#include "DumpHelpers.h"

#include "classfile/ClassDump.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <fstream>
#include <iterator>

using namespace classfile;

namespace {

std::vector<std::string> realFiles() {
    std::vector<std::string> files;
    const boost::filesystem::path dir = std::string(ZUL_DUMP_DATA_DIR) + "/classes/dump";
    for (const auto& entry : boost::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".class")
            continue;
        std::ifstream in(entry.path().string(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

// Every record's own dump and every listing; failures of text operations
// are counted, any other exception fails the test.
size_t dumpEveryRecord(const ClassInfo& cls) {
    size_t failures = 0;
    const auto attempt = [&](const auto& write) {
        std::ostringstream out;
        try {
            write(out);
        } catch (const std::runtime_error&) {
            ++failures;
        }
    };
    const ConstantPool& pool = cls.pool();
    for (size_t i = 0; i < pool.size(); ++i)
        if (const ConstantPoolEntry* e = pool.find(i)) {
            attempt([e](std::ostream& out) { e->print(out); });
            attempt([e](std::ostream& out) { out << e->describe(); });
        }
    std::vector<const AttributeList*> lists = {&cls.attributes};
    for (const auto& f : cls.fields)
        lists.push_back(&f->attributes);
    for (const auto& m : cls.methods)
        lists.push_back(&m->attributes);
    for (const AttributeList* list : lists)
        for (const auto& a : *list) {
            attempt([&a](std::ostream& out) { a->print(out); });
            if (const auto* code = a->as<AttributeCode>())
                attempt([code](std::ostream& out) { out << code->listCode(code->code_length); });
        }
    return failures;
}

TEST(Mutation, DumpsOfAcceptedFilesRunToTheirEnd) {
    const std::vector<std::string> files = realFiles();
    ASSERT_FALSE(files.empty());
    size_t accepted = 0;
    size_t failures = 0;
    testing::internal::CaptureStderr();
    for (const std::string& original : files) {
        // About 60 positions per file, three values at each.
        const size_t stride = original.size() / 60 + 1;
        for (size_t pos = 8; pos < original.size(); pos += stride) {
            for (const uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(pos * 37)}) {
                std::string bytes = original;
                bytes[pos] = static_cast<char>(value);
                std::unique_ptr<ClassInfo> cls;
                try {
                    cls = dumptest::readClass(bytes);
                } catch (const std::exception&) {
                    continue;
                }
                ++accepted;
                std::ostringstream out;
                try {
                    dumpClass(out, *cls);
                } catch (const std::runtime_error&) {
                    ++failures;
                }
                EXPECT_FALSE(out.str().empty()) << "byte " << pos << " = " << int(value);
                failures += dumpEveryRecord(*cls);
            }
        }
    }
    testing::internal::GetCapturedStderr();
    EXPECT_GT(accepted, 500u);
    // Some changes break name chains, and those dumps report it.
    EXPECT_GT(failures, 0u);
}

} // namespace
