// Scanning a plugin tree with addPluginPaths, against a bare loop of dlopen,
// dlsym and dlclose over the same files: what the manager adds to the cost
// of the dynamic linker.
#include "loader/ExtensionManagerImpl.h"

#include <benchmark/benchmark.h>
#include <boost/filesystem.hpp>

#include <dlfcn.h>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace {

namespace fs = boost::filesystem;

constexpr int kCopies = 200;
constexpr int kPerDirectory = 20;

/// 200 copies of a test extension library, 20 to a directory, made on first
/// use and removed when the program ends.
class PluginTree {
public:
    static PluginTree& get() {
        static PluginTree tree;
        return tree;
    }
    ~PluginTree() {
        if (mPin)
            dlclose(mPin);
        boost::system::error_code ignored;
        if (!mRoot.empty())
            fs::remove_all(mRoot, ignored);
    }

    const std::string& error() const { return mError; }
    const std::wstring& root() const { return mRootText; }
    const std::vector<std::string>& files() const { return mFiles; }

private:
    PluginTree() {
        const fs::path exe = fs::read_symlink("/proc/self/exe");
        const fs::path original = exe.parent_path() / "../tests/plugins/bench/libzt_bench.so";
        if (!fs::exists(original)) {
            mError = original.string() + " is missing: build the target zt_bench";
            return;
        }
        // Keeps the copies' own dependencies loaded, so that neither side of
        // the comparison pays for loading them again and again.
        mPin = dlopen(original.c_str(), RTLD_NOW | RTLD_LOCAL);
        mRoot = fs::temp_directory_path() / fs::unique_path("zul-bench-%%%%-%%%%");
        for (int i = 0; i < kCopies; ++i) {
            const fs::path dir = mRoot / ("d" + std::to_string(i / kPerDirectory));
            fs::create_directories(dir);
            const fs::path file = dir / ("libcopy" + std::to_string(i) + ".so");
            fs::copy_file(original, file);
            mFiles.push_back(file.string());
        }
        mRootText = mRoot.wstring();
    }

    std::string mError;
    void* mPin = nullptr;
    fs::path mRoot;
    std::wstring mRootText;
    std::vector<std::string> mFiles;
};

double wallMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

/// A manager's whole life over the tree: scan, then teardown, which unloads
/// every library. `callMs`, if given, grows by the addPluginPaths call alone.
void scan(const PluginTree& tree, double* callMs = nullptr) {
    loader::ExtensionManagerImpl manager;
    const wchar_t* paths[] = {tree.root().c_str()};
    const double start = wallMs();
    manager.addPluginPaths(paths, 1);
    if (callMs)
        *callMs += wallMs() - start;
    benchmark::DoNotOptimize(manager.getLibraries().size());
}

void bareLoop(const PluginTree& tree) {
    for (const std::string& file : tree.files()) {
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        benchmark::DoNotOptimize(dlsym(handle, "registerExtensionFactories"));
        dlclose(handle);
    }
}

// The same calls, with every library kept loaded until all are loaded, as
// the manager keeps them.
void bareLoopAllLoaded(const PluginTree& tree) {
    std::vector<void*> handles;
    handles.reserve(tree.files().size());
    for (const std::string& file : tree.files()) {
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        benchmark::DoNotOptimize(dlsym(handle, "registerExtensionFactories"));
        handles.push_back(handle);
    }
    for (void* handle : handles)
        dlclose(handle);
}

/// The tree, or null after marking the benchmark skipped.
const PluginTree* treeOrSkip(benchmark::State& state) {
    const PluginTree& tree = PluginTree::get();
    if (!tree.error().empty()) {
        state.SkipWithError(tree.error().c_str());
        return nullptr;
    }
    return &tree;
}

void BM_AddPluginPaths(benchmark::State& state) {
    const PluginTree* tree = treeOrSkip(state);
    if (!tree)
        return;
    for (auto _ : state)
        scan(*tree);
    state.SetItemsProcessed(state.iterations() * kCopies);
}
BENCHMARK(BM_AddPluginPaths)->Unit(benchmark::kMillisecond);

void BM_BareDlopenLoop(benchmark::State& state) {
    const PluginTree* tree = treeOrSkip(state);
    if (!tree)
        return;
    for (auto _ : state)
        bareLoop(*tree);
    state.SetItemsProcessed(state.iterations() * kCopies);
}
BENCHMARK(BM_BareDlopenLoop)->Unit(benchmark::kMillisecond);

/// CPU time of this thread: on a shared machine, wall time is mostly waiting.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// All three in each iteration, in rotating order, so that the ratios compare
// runs under the same load of a shared machine: the scan, the bare loop that
// unloads each library at once, and the one that keeps them all loaded first.
void BM_ScanOverBareLoop(benchmark::State& state) {
    const PluginTree* tree = treeOrSkip(state);
    if (!tree)
        return;
    double wall[3] = {0, 0, 0};
    double callWall = 0;
    double cpu[3] = {0, 0, 0};
    int first = 0;
    for (auto _ : state) {
        for (int k = 0; k < 3; ++k) {
            const int which = (first + k) % 3;
            const double startWall = wallMs();
            const double startCpu = threadCpuMs();
            if (which == 0)
                scan(*tree, &callWall);
            else if (which == 1)
                bareLoop(*tree);
            else
                bareLoopAllLoaded(*tree);
            cpu[which] += threadCpuMs() - startCpu;
            wall[which] += wallMs() - startWall;
        }
        first = (first + 1) % 3;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["scan_ms"] = wall[0] / n;
    state.counters["call_ms"] = callWall / n;
    state.counters["call_ratio"] = callWall / wall[1];
    state.counters["bare_ms"] = wall[1] / n;
    state.counters["bare_all_ms"] = wall[2] / n;
    state.counters["ratio"] = wall[0] / wall[1];
    state.counters["ratio_all"] = wall[0] / wall[2];
    state.counters["cpu_ratio"] = cpu[0] / cpu[1];
    state.counters["cpu_ratio_all"] = cpu[0] / cpu[2];
}
BENCHMARK(BM_ScanOverBareLoop)->Unit(benchmark::kMillisecond);

} // namespace
