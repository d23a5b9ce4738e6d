#include "PluginScan.h"

#include <boost/filesystem.hpp>

#include <algorithm>

namespace fs = boost::filesystem;

namespace zultool {

const char* const kBuiltinDecoder = "com.ulno.zul.core.SGBDecoder";

bool isExtensionLibrary(const fs::path& path) {
    boost::system::error_code ec;
    return fs::is_regular_file(path, ec) && path.extension() == ".so";
}

bool findLibraries(const std::string& text, std::vector<fs::path>& out, std::string& problem) {
    const fs::path path(text);
    boost::system::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_not_found || status.type() == fs::status_error) {
        problem = "invalid plugin path '" + text + "'";
        return false;
    }
    if (isExtensionLibrary(path)) {
        out.push_back(path);
        return true;
    }
    if (!fs::is_directory(status))
        return true;
    try {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path))
            if (isExtensionLibrary(entry.path()))
                out.push_back(entry.path());
    } catch (const fs::filesystem_error& e) {
        problem = "cannot walk '" + text + "': " + e.what();
        return false;
    }
    return true;
}

const LogRecord* rejection(const std::vector<LogRecord>& records) {
    static const char* const kPatterns[] = {"failed to load library: ", "NOT loaded due to",
                                            "is not a compatible extension"};
    for (const LogRecord& record : records)
        for (const char* pattern : kPatterns)
            if (record.second.find(pattern) != std::string::npos)
                return &record;
    return nullptr;
}

std::set<std::string> listedIds(const std::vector<LogRecord>& records) {
    // Listing lines are "    <id padded to 45> (<merit>) <description>".
    const auto heading = std::find_if(records.rbegin(), records.rend(), [](const LogRecord& r) {
        return r.second == "Available Extensions:";
    });
    std::set<std::string> ids;
    if (heading == records.rend())
        return ids;
    for (auto it = heading.base(); it != records.end(); ++it) {
        if (it->second.compare(0, 4, "    ") != 0)
            continue;
        const std::string rest = it->second.substr(4);
        const size_t merit = rest.find(" (", std::min<size_t>(rest.size(), 44));
        std::string id = rest.substr(0, merit);
        id.erase(id.find_last_not_of(' ') + 1);
        ids.insert(id);
    }
    return ids;
}

} // namespace zultool
