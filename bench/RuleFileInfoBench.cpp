// The host may ask a large rule file for its XML; this measures how fast the
// whole record is rendered and handed over through the buffer protocol.
#include "rulefileinfo/RuleFileInfoImpl.h"
#include "rulefileinfo/XmlString.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace rulefileinfo;

template <typename T>
void allocate(size_t& count, std::unique_ptr<T[]>& array, size_t n) {
    count = n;
    array = std::make_unique<T[]>(n);
}

// Three arguments of the three value types, keyed, with names of typical length.
void fillAnnotation(AnnotationImpl& a, size_t i) {
    a.name = L"@Annotation" + std::to_wstring(i % 7);
    allocate(a.numArguments, a.arguments, 3);
    a.arguments[0].type = zul::AAT_STR;
    a.arguments[0].key = L"description";
    a.arguments[0].strValue = L"Width of the <lot> & its \"setback\" " + std::to_wstring(i);
    a.arguments[1].type = zul::AAT_FLOAT;
    a.arguments[1].key = L"min";
    a.arguments[1].floatValue = 0.25 * static_cast<double>(i);
    a.arguments[2].type = zul::AAT_BOOL;
    a.arguments[2].key = L"visible";
    a.arguments[2].boolValue = (i & 1) != 0;
}

void fillEntry(EntryImpl& e, size_t i) {
    e.returnType = (i & 1) ? zul::AAT_FLOAT : zul::AAT_VOID;
    e.name = L"Building$Facade_" + std::to_wstring(i);
    allocate(e.numParameters, e.parameters, 3);
    for (size_t p = 0; p < 3; ++p) {
        e.parameters[p].type = zul::AAT_FLOAT;
        e.parameters[p].name = L"param" + std::to_wstring(p);
    }
    allocate(e.numAnnotations, e.annotations, 3);
    for (size_t a = 0; a < 3; ++a)
        fillAnnotation(e.annotations[a], i + a);
}

std::unique_ptr<RuleFileInfoImpl> largeRecord(size_t entries) {
    auto info = std::make_unique<RuleFileInfoImpl>();
    allocate(info->numAttributes, info->attributes, entries / 2);
    for (size_t i = 0; i < info->numAttributes; ++i)
        fillEntry(info->attributes[i], i);
    allocate(info->numRules, info->rules, entries - entries / 2);
    for (size_t i = 0; i < info->numRules; ++i)
        fillEntry(info->rules[i], i);
    return info;
}

// One toXML call into a buffer that is already large enough.
void BM_RenderToBuffer(benchmark::State& state) {
    const auto info = largeRecord(static_cast<size_t>(state.range(0)));
    const std::string xml = toXMLString(*info);
    std::string buffer(xml.size() + 1, '\0');
    for (auto _ : state) {
        size_t size = buffer.size();
        zul::Status status;
        benchmark::DoNotOptimize(info->toXML(&buffer[0], &size, &status));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(xml.size()));
    state.counters["xml_bytes"] = static_cast<double>(xml.size());
}
BENCHMARK(BM_RenderToBuffer)->Arg(10000)->Unit(benchmark::kMillisecond);

// Baseline for the figures above on a shared machine: allocating and filling
// a string of the same size, which any rendering must at least do once.
void BM_CopyOfSameSize(benchmark::State& state) {
    const std::string xml = toXMLString(*largeRecord(static_cast<size_t>(state.range(0))));
    for (auto _ : state) {
        std::string copy(xml);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(xml.size()));
}
BENCHMARK(BM_CopyOfSameSize)->Arg(10000)->Unit(benchmark::kMillisecond);

// The whole two-call protocol as a caller sees it: size query, then copy.
void BM_ToXMLString(benchmark::State& state) {
    const auto info = largeRecord(static_cast<size_t>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string xml = toXMLString(*info);
        bytes = xml.size();
        benchmark::DoNotOptimize(xml.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ToXMLString)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Clone(benchmark::State& state) {
    const auto info = largeRecord(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
        std::unique_ptr<RuleFileInfoImpl>(info->clone());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Clone)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
