// Decoding compiled rule files: from the byte stream to the finished
// compiled-rule record and rule file information, and the class-file reading
// alone that every decode starts with. Inputs: the rule files of bench/data,
// compiled by a Java compiler, and a synthetic file of about 2,000 rules
// written by the test-side rule file writer. Per input, reports bytes/s and
// the CPU time per decode, and the peak heap in use during one decode on top
// of what was in use before it, also as a multiple of the file size.
#include "MemoryBuf.h"
#include "RuleFiles.h"

#include "classfile/ClassInfo.h"
#include "sgb/SGBDecoder.h"
#include "sgbtest/RuleFileWriter.h"

#include "zulx/SGB.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <istream>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// Heap accounting through the global allocation functions of this program,
// switched on only while memory is measured: asking malloc for each block's
// size costs time that the throughput figures should not include.
std::atomic<bool> gTracking{false};
std::atomic<int64_t> gInUse{0};
std::atomic<int64_t> gPeak{0};

void* allocate(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    if (gTracking.load(std::memory_order_relaxed)) {
        const auto bytes = static_cast<int64_t>(malloc_usable_size(p));
        const int64_t now = gInUse.fetch_add(bytes) + bytes;
        int64_t peak = gPeak.load();
        while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
        }
    }
    return p;
}

void release(void* p) {
    if (!p)
        return;
    // Blocks allocated before tracking began may be freed during it: the
    // count then drops below the baseline, which only makes the peak exact
    // relative to that baseline.
    if (gTracking.load(std::memory_order_relaxed))
        gInUse.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)));
    std::free(p);
}

} // namespace

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, size_t) noexcept {
    release(p);
}
void operator delete[](void* p, size_t) noexcept {
    release(p);
}

namespace {

using sgbtest::Arg;
using sgbtest::RuleFileWriter;
using zulbench::MemoryBuf;

// A rule file shaped like compiled city rules: each rule has parameters, a
// local-variable table, annotations and a body that calls built-ins, other
// rules and enum constants.
std::string syntheticRuleFile(int rules) {
    RuleFileWriter f("rules/Synthetic");
    f.fileAnnotations({RuleFileWriter::version("1.10", "1.4"),
                       {"@Description", {Arg::text("", "synthetic benchmark rules")}}});
    const uint16_t extrude = f.builtinCall("extrude", "(D)V");
    const uint16_t rand = f.builtinCall("rand", "(DD)D");
    const uint16_t insert = f.builtinCall("i", "(Ljava/lang/String;)V");
    const uint16_t handle = f.builtinCall("_$getHandle", "(DD)D");
    const uint16_t front = f.enumConstant("Comp", "front");
    for (int a = 0; a < rules / 10; ++a) {
        const std::string name = "attr" + std::to_string(a);
        f.ownField(name);
        f.addAttr(name, "()D", {{"@Range", {Arg::number("min", 0), Arg::number("max", a)}}});
    }
    for (int r = 0; r < rules; ++r) {
        const std::string name = "Rule" + std::to_string(r) + "$part";
        const uint16_t self = f.ownCall(name, "(DLjava/lang/String;)V");
        const uint16_t next =
            f.ownCall("Rule" + std::to_string(r + 1) + "$part", "(DLjava/lang/String;)V");
        const uint16_t value = f.w.doubleValue(r * 0.5);
        const uint16_t asset = f.w.string("assets/part" + std::to_string(r % 50) + ".obj");
        sgbtest::MethodSpec m;
        m.name = name;
        m.descriptor = "(DLjava/lang/String;)V";
        m.locals = {{"height", "D"}, {"style", "Ljava/lang/String;"}, {"i", "I"}};
        auto u2 = [](uint16_t v) {
            return std::vector<uint8_t>{static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
        };
        std::vector<uint8_t> code;
        auto emit = [&](uint8_t op, uint16_t index) {
            code.push_back(op);
            const auto b = u2(index);
            code.insert(code.end(), b.begin(), b.end());
        };
        emit(0x14, value);
        emit(0x14, value);
        emit(0xB8, rand);
        emit(0xB8, extrude);
        emit(0x13, asset);
        emit(0xB8, insert);
        emit(0xB2, front);
        code.push_back(0x57);
        emit(0x14, value);
        emit(0x14, value);
        emit(0xB8, handle);
        code.push_back(0x58);
        emit(0x14, value);
        emit(0x13, asset);
        emit(0xB8, next);
        code.push_back(0xB1);
        m.code = code;
        m.containers = {{{"_$RULE", {}},
                         {"$Order", {Arg::number("", r % 7)}},
                         {"@Description", {Arg::text("", "part " + std::to_string(r))}}}};
        f.addMethod(m);
        (void)self;
    }
    return f.str();
}

struct Input {
    std::string name;
    std::string bytes;
};

// The synthetic file first, then bench/data in name order.
const std::vector<Input>& inputs() {
    static const std::vector<Input> all = [] {
        std::vector<Input> out{{"synthetic2000", syntheticRuleFile(2000)}};
        for (const zulbench::RuleFile& f : zulbench::ruleFiles())
            out.push_back({f.name, f.bytes});
        return out;
    }();
    return all;
}

// Work is timed in batches of about this many input bytes, with the results
// released untimed between batches (releasing them is the host's business,
// not part of decoding); batching keeps the cost of pausing the clock small
// next to the timed work for the small files.
constexpr size_t kBatchBytes = 256 * 1024;

size_t batchSize(const std::string& file) {
    return std::max<size_t>(1, kBatchBytes / std::max<size_t>(1, file.size()));
}

// `make` turns one stream into what it keeps (a decode's results, a class).
template <typename Result, typename Make>
void timeBatches(benchmark::State& state, const std::string& file, Make&& make) {
    const size_t batch = batchSize(file);
    std::vector<Result> results(batch);
    for (auto _ : state) {
        for (Result& result : results) {
            MemoryBuf buffer(file);
            std::istream in(&buffer);
            result = make(in);
        }
        benchmark::DoNotOptimize(results.data());
        state.PauseTiming();
        for (Result& result : results)
            result = Result();
        state.ResumeTiming();
    }
    const auto done = state.iterations() * static_cast<int64_t>(batch);
    state.SetBytesProcessed(done * static_cast<int64_t>(file.size()));
    state.counters["file_bytes"] = static_cast<double>(file.size());
    state.counters["time_per_file"] = benchmark::Counter(
        static_cast<double>(done), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Throughput of the whole decode: stream to finished record and information.
void BM_DecodeRuleFile(benchmark::State& state, const std::string* file) {
    sgb::SGBDecoder decoder;
    timeBatches<zulx::ContentPtrVector>(state, *file, [&](std::istream& in) {
        zulx::ContentPtrVector results;
        decoder.decode(results, in, nullptr, L"");
        return results;
    });
}

// The class-file reading alone, which every decode starts with.
void BM_ReadClassFileOnly(benchmark::State& state, const std::string* file) {
    timeBatches<std::unique_ptr<classfile::ClassInfo>>(
        state, *file, [](std::istream& in) { return std::make_unique<classfile::ClassInfo>(in); });
}

// Peak heap during one decode, above what was in use before it, in bytes and
// per byte of the file; the same for reading the class file alone.
// `work` returns what it keeps alive (the decoded record, say), so that the
// heap still in use when it returns shows how much of the peak is result.
template <typename Work>
void measurePeak(benchmark::State& state, const std::string& file, Work&& work) {
    int64_t worst = 0;
    int64_t kept = 0;
    for (auto _ : state) {
        gTracking = true;
        const int64_t baseline = gInUse.load();
        gPeak.store(baseline);
        {
            auto result = work(file);
            kept = gInUse.load() - baseline;
            benchmark::DoNotOptimize(result);
        }
        worst = std::max(worst, gPeak.load() - baseline);
        gTracking = false;
    }
    const auto perFileByte = [&](int64_t bytes) {
        return static_cast<double>(bytes) / static_cast<double>(file.size());
    };
    state.counters["peak_heap_bytes"] = static_cast<double>(worst);
    state.counters["peak_per_file_byte"] = perFileByte(worst);
    state.counters["result_per_file_byte"] = perFileByte(kept);
}

void BM_DecodePeakMemory(benchmark::State& state, const std::string* file) {
    sgb::SGBDecoder decoder;
    measurePeak(state, *file, [&](const std::string& bytes) {
        zulx::ContentPtrVector results;
        MemoryBuf buffer(bytes);
        std::istream in(&buffer);
        decoder.decode(results, in, nullptr, L"");
        return results;
    });
}

void BM_ReadClassFilePeakMemory(benchmark::State& state, const std::string* file) {
    measurePeak(state, *file, [](const std::string& bytes) {
        MemoryBuf buffer(bytes);
        std::istream in(&buffer);
        return std::make_unique<classfile::ClassInfo>(in);
    });
}

// One benchmark of each kind per input, named after it
// ("BM_DecodeRuleFile/Rules2000.sgb").
const bool gRegistered = [] {
    for (const Input& input : inputs()) {
        const auto add = [&](const char* kind, void (*fn)(benchmark::State&, const std::string*)) {
            return benchmark::RegisterBenchmark((std::string(kind) + "/" + input.name).c_str(), fn,
                                                &input.bytes);
        };
        add("BM_DecodeRuleFile", BM_DecodeRuleFile)->Unit(benchmark::kMillisecond);
        add("BM_ReadClassFileOnly", BM_ReadClassFileOnly)->Unit(benchmark::kMillisecond);
        add("BM_DecodePeakMemory", BM_DecodePeakMemory)
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
        add("BM_ReadClassFilePeakMemory", BM_ReadClassFilePeakMemory)
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
