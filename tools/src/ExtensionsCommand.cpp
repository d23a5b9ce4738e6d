// zul extensions: scan plugin paths and list every registered extension.
//
// The manager interface has no operation that lists all factories; the one
// complete list is the "Available Extensions:" listing that addPluginPaths
// writes to the log (id, merit, description). The command captures that
// listing and completes it from the manager: listDecoderIds/listEncoderIds
// tell the kind, and the info records of decoders and encoders give the
// content type and the exact merit. The remaining ids are stream adaptors.
//
// Nor does the interface tell which library registered a factory. Before the
// scan, the command loads each library that the scan will load alone in a
// manager of its own and notes the ids it lists; an id belongs to the last
// library in scan order that registers it, as in the scan itself.
#include "Context.h"
#include "PluginScan.h"

#include "zul/Object.h"
#include "zulx/Extension.h"
#include "zulx/Log.h"
#include "zulx/Utf.h"

#include <nlohmann/json.hpp>

#include <boost/filesystem/path.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <regex>
#include <set>

namespace zultool {
namespace {

struct Listed {
    std::string id;
    std::string kind;
    std::string contentType;
    float merit = 0.0f;
    std::string description;
    std::string name;
    std::string library;
};

/// The listing lines of the last listing: the level-2 records after
/// "Available Extensions:".
std::vector<std::string> listingLines(const std::vector<LogRecord>& records) {
    std::vector<std::string> lines;
    for (const LogRecord& record : records) {
        if (record.first != zul::LOG_INFO)
            continue;
        if (record.second == "Available Extensions:")
            lines.clear();
        else if (record.second.compare(0, 4, "    ") == 0)
            lines.push_back(record.second);
    }
    return lines;
}

/// Reads "    <id padded to 45> (<merit>) <description>". The id is the
/// shortest text that the padding and a merit follow.
bool parseLine(const std::string& line, Listed& out) {
    static const std::regex pattern(R"(^    (.*?) +\(([^() ]+)\) (.*)$)");
    std::smatch match;
    if (!std::regex_match(line, match, pattern))
        return false;
    out.id = match[1];
    out.merit = std::strtof(match[2].str().c_str(), nullptr);
    out.description = match[3];
    return true;
}

template <typename Info>
void completeFrom(const Info* info, const char* kind, Listed& entry) {
    const std::unique_ptr<const Info> owned(info);
    entry.kind = kind;
    entry.contentType = zulx::wideToUtf8(zulx::Extension::toString(owned->getContentType()));
    entry.merit = owned->getMerit();
    entry.name = zulx::wideToUtf8(owned->getName());
}

std::vector<Listed> describe(const zulx::ExtensionManager& manager,
                             const std::vector<LogRecord>& records) {
    std::vector<std::wstring> decoders;
    std::vector<std::wstring> encoders;
    manager.listDecoderIds(decoders);
    manager.listEncoderIds(encoders);
    const std::set<std::wstring> decoderIds(decoders.begin(), decoders.end());
    const std::set<std::wstring> encoderIds(encoders.begin(), encoders.end());

    std::vector<Listed> result;
    for (const std::string& line : listingLines(records)) {
        Listed entry;
        if (!parseLine(line, entry))
            continue;
        const std::wstring id = zulx::utf8ToWide(entry.id);
        if (decoderIds.count(id) != 0) {
            completeFrom(manager.createDecoderInfo(id), "decoder", entry);
        } else if (encoderIds.count(id) != 0) {
            completeFrom(manager.createEncoderInfo(id), "encoder", entry);
        } else {
            // A stream adaptor's content is a byte stream of no particular type.
            entry.kind = "adaptor";
            entry.contentType = zulx::wideToUtf8(zulx::Extension::toString(zul::CT_UNDEFINED));
        }
        result.push_back(entry);
    }
    return result;
}

struct Options {
    std::vector<std::string> plugins;
    bool noDefault = false;
    bool json = false;
    std::string id;
};

/// What the attribution pass learnt: the library of each id, and the
/// loader's record for each library that it refused.
struct Origins {
    std::map<std::string, std::string> libraryOf;
    std::map<std::string, LogRecord> refused;
    bool pathsValid = true;
};

Origins findOrigins(Context& context, const std::vector<std::string>& paths,
                    std::vector<LogRecord>& records) {
    Origins origins;
    origins.libraryOf[kBuiltinDecoder] = context.resolvedLoaderPath();
    std::vector<boost::filesystem::path> libraries;
    for (const std::string& path : paths) {
        std::string problem; // the scan reports it in the loader's words
        origins.pathsValid = findLibraries(path, libraries, problem) && origins.pathsValid;
    }
    const std::wstring builtin = zulx::utf8ToWide(kBuiltinDecoder);
    for (const boost::filesystem::path& library : libraries) {
        records.clear();
        const auto manager = context.createManager();
        manager->loadExtensionLibrary(library);
        if (const LogRecord* refusal = rejection(records)) {
            origins.refused[library.string()] = *refusal;
            continue;
        }
        std::vector<std::wstring> decoders;
        manager->listDecoderIds(decoders);
        const bool ownsBuiltin =
            std::find(decoders.begin(), decoders.end(), builtin) != decoders.end();
        manager->addPluginPaths(nullptr, 0);
        for (const std::string& id : listedIds(records))
            if (id != kBuiltinDecoder || ownsBuiltin)
                origins.libraryOf[id] = library.string();
    }
    return origins;
}

std::string fileName(const std::string& path) {
    return boost::filesystem::path(path).filename().string();
}

void printText(const std::vector<Listed>& extensions) {
    for (const Listed& e : extensions)
        std::printf("%-45s %-8s %-10s %6.1f  %-40s %s\n", e.id.c_str(), e.kind.c_str(),
                    e.contentType.c_str(), static_cast<double>(e.merit),
                    fileName(e.library).c_str(), e.description.c_str());
}

nlohmann::json toJson(const Listed& e) {
    return {{"id", e.id},
            {"kind", e.kind},
            {"contentType", e.contentType},
            {"merit", e.merit},
            {"description", e.description},
            {"name", e.name},
            {"library", e.library}};
}

void printDetails(const Listed& e) {
    std::printf("id:           %s\nkind:         %s\ncontent type: %s\nmerit:        %.1f\n"
                "name:         %s\ndescription:  %s\nlibrary:      %s\n",
                e.id.c_str(), e.kind.c_str(), e.contentType.c_str(), static_cast<double>(e.merit),
                e.name.c_str(), e.description.c_str(), e.library.c_str());
}

int runExtensions(Context& context, const Options& options) {
    // Every record is kept; those at or above --log-level are printed during
    // the scan that a host makes, not during the attribution pass.
    auto records = std::make_shared<std::vector<LogRecord>>();
    auto printing = std::make_shared<bool>(false);
    const int shown = context.logLevel;
    zulx::setLogSink(
        [records, printing, shown](zul::LogLevel level, const std::string& text) {
            if (*printing && level >= shown)
                Context::printRecord(static_cast<int>(level), text);
            records->emplace_back(static_cast<int>(level), text);
        },
        zul::LOG_TRACE);

    std::vector<std::string> paths;
    if (!options.noDefault)
        paths.push_back(context.defaultPluginDir());
    paths.insert(paths.end(), options.plugins.begin(), options.plugins.end());
    const Origins origins = findOrigins(context, paths, *records);

    records->clear();
    *printing = true;
    auto manager = context.createManager(options.plugins, !options.noDefault);
    *printing = false;
    std::vector<Listed> extensions = describe(*manager, *records);
    manager.reset();
    for (Listed& e : extensions) {
        const auto found = origins.libraryOf.find(e.id);
        e.library = found == origins.libraryOf.end() ? "" : found->second;
    }

    int status = origins.pathsValid ? 0 : 1;
    // A library named on the command line that the loader refuses fails the
    // command; its reason is printed unless the log level showed it already.
    for (const std::string& path : options.plugins) {
        const auto refused = origins.refused.find(path);
        if (refused == origins.refused.end())
            continue;
        if (refused->second.first < shown)
            std::cerr << "zul extensions: library '" << path
                      << "' was not accepted: " << refused->second.second << std::endl;
        status = 1;
    }

    if (!options.id.empty()) {
        const auto found = std::find_if(extensions.begin(), extensions.end(),
                                        [&](const Listed& e) { return e.id == options.id; });
        if (found == extensions.end()) {
            std::cerr << "zul extensions: no extension '" << options.id << "'" << std::endl;
            return 1;
        }
        extensions = {*found};
    }
    if (options.json) {
        nlohmann::json list = nlohmann::json::array();
        for (const Listed& e : extensions)
            list.push_back(toJson(e));
        std::cout << (options.id.empty() ? list : list[0]).dump(2) << std::endl;
    } else if (!options.id.empty()) {
        printDetails(extensions[0]);
    } else {
        printText(extensions);
    }
    std::fflush(stdout);
    return status;
}

} // namespace

void addExtensionsCommand(CLI::App& app, Context& context, int& status) {
    auto* cmd = app.add_subcommand("extensions", "Scan plugin paths and list the extensions");
    auto options = std::make_shared<Options>();
    cmd->add_option("--plugins", options->plugins,
                    "A plugin file or directory to scan (repeatable)");
    cmd->add_flag("--no-default-plugins", options->noDefault,
                  "Do not scan the plugin directory installed beside zul");
    cmd->add_flag("--json", options->json, "Print the list (or the one extension) as JSON");
    cmd->add_option("ID", options->id, "Show only this extension, with all its details");
    cmd->callback([&context, &status, options] {
        status = runExtensions(context, *options);
        context.installLogSink();
    });
}

} // namespace zultool
