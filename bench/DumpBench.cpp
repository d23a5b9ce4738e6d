// zul dump over a corpus of real class files (the ones checked in under
// tests/data, compiled by ecj, each repeated), read from memory in one
// process, against the Java disassembler given the same files in one process.
// Compare the bytes_per_second of the two in one run.
#include "classfile/ClassDump.h"
#include "classfile/ClassInfo.h"

#include <benchmark/benchmark.h>

#include <boost/filesystem.hpp>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = boost::filesystem;

constexpr size_t kCorpusFiles = 2000;

fs::path sourceDir() {
    return fs::path(ZUL_SOURCE_DIR);
}

struct ClassFile {
    std::string path;
    std::string bytes;
};

// The distinct class files, sorted by path so every run uses the same corpus.
std::vector<ClassFile> distinctFiles() {
    std::vector<ClassFile> files;
    for (const char* dir : {"tests/data/dump/classes/dump", "tests/data/classfiles/sample"}) {
        for (const auto& entry : fs::directory_iterator(sourceDir() / dir)) {
            if (entry.path().extension() != ".class")
                continue;
            std::ifstream in(entry.path().string(), std::ios::binary);
            files.push_back({entry.path().string(), std::string(std::istreambuf_iterator<char>(in),
                                                                std::istreambuf_iterator<char>())});
        }
    }
    std::sort(files.begin(), files.end(),
              [](const ClassFile& a, const ClassFile& b) { return a.path < b.path; });
    return files;
}

// kCorpusFiles files, the distinct ones in turn.
const std::vector<const ClassFile*>& corpus() {
    static const std::vector<ClassFile> distinct = distinctFiles();
    static const std::vector<const ClassFile*> files = [] {
        std::vector<const ClassFile*> list;
        for (size_t i = 0; i < kCorpusFiles && !distinct.empty(); ++i)
            list.push_back(&distinct[i % distinct.size()]);
        return list;
    }();
    return files;
}

int64_t corpusBytes() {
    int64_t total = 0;
    for (const ClassFile* f : corpus())
        total += static_cast<int64_t>(f->bytes.size());
    return total;
}

// Collects the dump of one file, as zul dump does before writing it out.
class TextSink : public std::streambuf {
public:
    std::string text;

protected:
    int overflow(int c) override {
        if (c != traits_type::eof())
            text += static_cast<char>(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        text.append(s, static_cast<size_t>(n));
        return n;
    }
};

// Discards the diagnostic lines of the entry-equality stub, as zul dump does.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
};

void dumpCorpus(benchmark::State& state, bool listCode) {
    if (corpus().empty()) {
        state.SkipWithError("no class files found");
        return;
    }
    NullBuffer null;
    std::streambuf* savedErr = std::cerr.rdbuf(&null);
    classfile::DumpOptions options;
    options.listCode = listCode;
    TextSink sink;
    std::ostream out(&sink);
    size_t textBytes = 0;
    for (auto _ : state) {
        textBytes = 0;
        for (const ClassFile* f : corpus()) {
            std::istringstream in(f->bytes, std::ios::binary);
            const classfile::ClassInfo cls(in);
            sink.text.clear();
            classfile::dumpClass(out, cls, options);
            textBytes += sink.text.size();
            benchmark::DoNotOptimize(sink.text.data());
        }
    }
    std::cerr.rdbuf(savedErr);
    state.SetBytesProcessed(state.iterations() * corpusBytes());
    state.counters["files"] = static_cast<double>(corpus().size());
    state.counters["text_bytes"] = static_cast<double>(textBytes);
}

void BM_ZulDump(benchmark::State& state) {
    dumpCorpus(state, true);
}
BENCHMARK(BM_ZulDump)->Unit(benchmark::kMillisecond);

void BM_ZulDumpNoCode(benchmark::State& state) {
    dumpCorpus(state, false);
}
BENCHMARK(BM_ZulDumpNoCode)->Unit(benchmark::kMillisecond);

// Reading alone, for the share of the dump's time that is the reader's.
void BM_ReadOnly(benchmark::State& state) {
    for (auto _ : state) {
        for (const ClassFile* f : corpus()) {
            std::istringstream in(f->bytes, std::ios::binary);
            const classfile::ClassInfo cls(in);
            benchmark::DoNotOptimize(&cls);
        }
    }
    state.SetBytesProcessed(state.iterations() * corpusBytes());
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond);

// The instruction listings alone (listCode, as the Code dump makes them), of
// classes read beforehand; bytes are those of the code listed.
void BM_ListCode(benchmark::State& state) {
    std::vector<std::unique_ptr<classfile::ClassInfo>> classes;
    int64_t codeBytes = 0;
    for (const ClassFile* f : corpus()) {
        std::istringstream in(f->bytes, std::ios::binary);
        classes.push_back(std::make_unique<classfile::ClassInfo>(in));
        for (const auto& method : classes.back()->methods)
            if (const classfile::AttributeCode* code = method->code())
                codeBytes += code->code_length;
    }
    NullBuffer null;
    std::streambuf* savedErr = std::cerr.rdbuf(&null);
    for (auto _ : state)
        for (const auto& cls : classes)
            for (const auto& method : cls->methods)
                if (const classfile::AttributeCode* code = method->code())
                    benchmark::DoNotOptimize(code->listCode(code->code_length));
    std::cerr.rdbuf(savedErr);
    state.SetBytesProcessed(state.iterations() * codeBytes);
}
BENCHMARK(BM_ListCode)->Unit(benchmark::kMillisecond);

// The disassembler in verbose mode with code and private members: one
// process for the whole corpus, its output discarded.
void BM_Javap(benchmark::State& state) {
    if (std::system("javap -version >/dev/null 2>&1") != 0) {
        state.SkipWithError("javap not found");
        return;
    }
    std::string command = "javap -v -c -p";
    for (const ClassFile* f : corpus())
        command += " '" + f->path + "'";
    command += " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("javap failed");
    state.SetBytesProcessed(state.iterations() * corpusBytes());
    state.counters["files"] = static_cast<double>(corpus().size());
}
BENCHMARK(BM_Javap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
