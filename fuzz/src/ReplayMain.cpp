// fuzz_replay TARGET PATH...: runs one fuzz target over files, without the
// fuzzing engine, so that seed corpora and regression inputs run as ordinary
// tests in every build. Directories are walked recursively; a finding aborts.
#include "fuzz/Targets.h"

#include <boost/filesystem.hpp>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace {

bool runFile(const fuzz::Target& target, const fs::path& path) {
    std::ifstream file(path.string(), std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "fuzz_replay: cannot read '%s'\n", path.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    // Announced first, so that the input that aborts is the last one named.
    std::fprintf(stderr, "%s\n", path.string().c_str());
    target.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_replay TARGET PATH...\n");
        return 2;
    }
    const fuzz::Target* target = fuzz::findTarget(argv[1]);
    if (!target) {
        std::fprintf(stderr, "fuzz_replay: unknown target '%s'\n", argv[1]);
        return 2;
    }
    fuzz::prepareProcess();

    size_t count = 0;
    bool ok = true;
    try {
        for (int i = 2; i < argc; ++i) {
            const fs::path root(argv[i]);
            if (fs::is_regular_file(root)) {
                ok = runFile(*target, root) && ok;
                ++count;
                continue;
            }
            if (!fs::is_directory(root)) {
                std::fprintf(stderr, "fuzz_replay: no such file or directory '%s'\n", argv[i]);
                ok = false;
                continue;
            }
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
                if (fs::is_regular_file(entry.path())) {
                    ok = runFile(*target, entry.path()) && ok;
                    ++count;
                }
        }
    } catch (const fs::filesystem_error& e) {
        std::fprintf(stderr, "fuzz_replay: %s\n", e.what());
        return 1;
    }
    std::printf("fuzz_replay %s: %zu inputs\n", target->name, count);
    return ok ? 0 : 1;
}
