// fuzz_replay TARGET PATH...: runs one fuzz target over files, without the
// fuzzing engine, so that seed corpora and regression inputs run as ordinary
// tests in every build. Directories are walked recursively; a finding aborts.
#include "fuzz/Targets.h"

#include <boost/filesystem.hpp>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

int main(int argc, char** argv) {
    const fuzz::Target* target = argc < 3 ? nullptr : fuzz::findTarget(argv[1]);
    if (!target) {
        std::fprintf(stderr, "usage: fuzz_replay TARGET PATH... (TARGET: classfile, dump or "
                             "decode)\n");
        return 2;
    }
    fuzz::prepareProcess();
    std::vector<fs::path> files;
    try {
        for (int i = 2; i < argc; ++i) {
            if (fs::is_regular_file(argv[i]))
                files.emplace_back(argv[i]);
            else if (!fs::is_directory(argv[i]))
                throw std::runtime_error(std::string("no such file or directory '") + argv[i] +
                                         "'");
            else
                for (const fs::directory_entry& entry : fs::recursive_directory_iterator(argv[i]))
                    if (fs::is_regular_file(entry.path()))
                        files.push_back(entry.path());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_replay: %s\n", e.what());
        return 1;
    }
    for (const fs::path& path : files) {
        std::ifstream file(path.string(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        // Announced first, so that the input that aborts is the last one named.
        std::fprintf(stderr, "%s\n", path.string().c_str());
        target->run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("fuzz_replay %s: %zu inputs\n", target->name, files.size());
    return 0;
}
