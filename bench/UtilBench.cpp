// Text conversions sit on the path of every name the decoder hands to the host.
#include "util/Text.h"

#include <benchmark/benchmark.h>

static void BM_FromUTF8(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "rule$name\xC3\xA9\xE2\x82\xAC";
    for (auto _ : state)
        benchmark::DoNotOptimize(util::fromUTF8(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FromUTF8);

static void BM_ToUTF8(benchmark::State& state) {
    std::wstring text;
    for (int i = 0; i < 1000; ++i)
        text += L"rule$name\u00E9\u20AC";
    for (auto _ : state)
        benchmark::DoNotOptimize(util::toUTF8(text));
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(text.size() * sizeof(wchar_t)));
}
BENCHMARK(BM_ToUTF8);
