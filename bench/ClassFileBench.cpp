// Reading a class file is the first step of every decode: ClassInfo from an
// in-memory stream over real compiled classes, reported in MB/s.
#include "MemoryBuf.h"

#include "classfile/ClassInfo.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using zulbench::MemoryBuf;

bool readableVersion(const std::string& bytes) {
    if (bytes.size() < 8 || bytes.compare(0, 4, "\xCA\xFE\xBA\xBE") != 0)
        return false;
    const int major =
        static_cast<unsigned char>(bytes[6]) << 8 | static_cast<unsigned char>(bytes[7]);
    return major <= 50;
}

void addClassFiles(const fs::path& dir, std::vector<std::string>& out) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return;
    for (const auto& entry : fs::recursive_directory_iterator(dir, ec)) {
        if (entry.path().extension() != ".class")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (readableVersion(bytes))
            out.push_back(std::move(bytes));
    }
}

// The class files checked in as test data, plus those of the directory
// named by ZUL_BENCH_CLASSES, if set.
const std::vector<std::string>& corpus() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> out;
        addClassFiles(fs::path(ZUL_SOURCE_DIR) / "tests" / "data", out);
        if (const char* extra = std::getenv("ZUL_BENCH_CLASSES"))
            addClassFiles(extra, out);
        return out;
    }();
    return files;
}

int64_t corpusBytes() {
    int64_t total = 0;
    for (const std::string& f : corpus())
        total += static_cast<int64_t>(f.size());
    return total;
}

void BM_ReadClassMemoryStream(benchmark::State& state) {
    const auto& files = corpus();
    for (auto _ : state) {
        for (const std::string& bytes : files) {
            MemoryBuf buf(bytes);
            std::istream in(&buf);
            classfile::ClassInfo cls(in);
            benchmark::DoNotOptimize(cls.methods.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * corpusBytes());
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_ReadClassMemoryStream);

void BM_ReadClassStringStream(benchmark::State& state) {
    const auto& files = corpus();
    for (auto _ : state) {
        for (const std::string& bytes : files) {
            std::istringstream in(bytes);
            classfile::ClassInfo cls(in);
            benchmark::DoNotOptimize(cls.methods.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * corpusBytes());
}
BENCHMARK(BM_ReadClassStringStream);

// The stream alone, one get() per byte: the floor a byte-wise reader has.
void BM_StreamGetPerByte(benchmark::State& state) {
    const auto& files = corpus();
    for (auto _ : state) {
        for (const std::string& bytes : files) {
            MemoryBuf buf(bytes);
            std::istream in(&buf);
            int sum = 0;
            for (size_t i = 0; i < bytes.size(); ++i)
                sum += in.get();
            benchmark::DoNotOptimize(sum);
        }
    }
    state.SetBytesProcessed(state.iterations() * corpusBytes());
}
BENCHMARK(BM_StreamGetPerByte);

} // namespace
