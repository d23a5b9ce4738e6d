// zul extensions: scan plugin paths and list every registered extension.
//
// The manager interface has no operation that lists all factories; the one
// complete list is the "Available Extensions:" listing that addPluginPaths
// writes to the log (id, merit, description). The command captures that
// listing and completes it from the manager: listDecoderIds/listEncoderIds
// tell the kind, and the info records of decoders and encoders give the
// content type and the exact merit. The remaining ids are stream adaptors.
#include "Context.h"

#include "zul/Object.h"
#include "zulx/Extension.h"
#include "zulx/Log.h"
#include "zulx/Utf.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>
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
};

/// The level-2 records of the last listing: the lines after "Available Extensions:".
std::vector<std::string> listingLines(const std::vector<std::string>& records) {
    const auto heading = std::find(records.rbegin(), records.rend(), "Available Extensions:");
    std::vector<std::string> lines;
    if (heading == records.rend())
        return lines;
    for (auto it = heading.base(); it != records.end(); ++it)
        if (it->compare(0, 4, "    ") == 0)
            lines.push_back(*it);
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
}

std::vector<Listed> describe(const zulx::ExtensionManager& manager,
                             const std::vector<std::string>& records) {
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

void printText(const std::vector<Listed>& extensions) {
    for (const Listed& e : extensions)
        std::printf("%-45s %-8s %-10s %6.1f  %s\n", e.id.c_str(), e.kind.c_str(),
                    e.contentType.c_str(), static_cast<double>(e.merit), e.description.c_str());
}

void printJson(const std::vector<Listed>& extensions) {
    nlohmann::json list = nlohmann::json::array();
    for (const Listed& e : extensions)
        list.push_back({{"id", e.id},
                        {"kind", e.kind},
                        {"contentType", e.contentType},
                        {"merit", e.merit},
                        {"description", e.description}});
    std::cout << list.dump(2) << std::endl;
}

} // namespace

void addExtensionsCommand(CLI::App& app, Context& context, int& status) {
    auto* cmd = app.add_subcommand("extensions", "Scan plugin paths and list the extensions");
    auto plugins = std::make_shared<std::vector<std::string>>();
    auto noDefault = std::make_shared<bool>(false);
    auto json = std::make_shared<bool>(false);
    cmd->add_option("--plugins", *plugins, "A plugin file or directory to scan (repeatable)");
    cmd->add_flag("--no-default-plugins", *noDefault,
                  "Do not scan the plugin directory installed beside zul");
    cmd->add_flag("--json", *json, "Print the list as a JSON array");
    cmd->callback([&context, &status, plugins, noDefault, json] {
        // Records at or above --log-level go to standard error as usual; the
        // listing (level 2) is kept whatever the level.
        auto records = std::make_shared<std::vector<std::string>>();
        const int shown = context.logLevel;
        zulx::setLogSink(
            [records, shown](zul::LogLevel level, const std::string& text) {
                if (level >= shown)
                    std::cerr << '[' << static_cast<int>(level) << "] " << text << '\n';
                if (level == zul::LOG_INFO)
                    records->push_back(text);
            },
            static_cast<zul::LogLevel>(std::min(shown, static_cast<int>(zul::LOG_INFO))));

        auto manager = context.createManager(*plugins, !*noDefault);
        const std::vector<Listed> extensions = describe(*manager, *records);
        if (*json)
            printJson(extensions);
        else
            printText(extensions);
        std::fflush(stdout);
        manager.reset();
        context.installLogSink();
        status = 0;
    });
}

} // namespace zultool
