#pragma once

// The rule files of bench/data, compiled by a Java compiler from the sources
// next to them (see bench/data/README.md), read once into memory.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zulbench {

struct RuleFile {
    std::string name; ///< file name, e.g. "Rules2000.sgb"
    std::string bytes;
};

/// Every .sgb file of bench/data, sorted by name; empty when the directory
/// is missing.
inline const std::vector<RuleFile>& ruleFiles() {
    static const std::vector<RuleFile> files = [] {
        namespace fs = std::filesystem;
        std::vector<RuleFile> out;
        std::error_code ec;
        for (const auto& entry :
             fs::directory_iterator(fs::path(ZUL_SOURCE_DIR) / "bench" / "data", ec)) {
            if (entry.path().extension() != ".sgb")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            out.push_back(
                {entry.path().filename().string(), std::string((std::istreambuf_iterator<char>(in)),
                                                               std::istreambuf_iterator<char>())});
        }
        std::sort(out.begin(), out.end(),
                  [](const RuleFile& a, const RuleFile& b) { return a.name < b.name; });
        return out;
    }();
    return files;
}

} // namespace zulbench
