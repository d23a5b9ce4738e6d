// zul decode and zul check: decode compiled rule files the way a host does,
// through the loader's manager, a stream adaptor and the matching decoder.
#include "Context.h"

#include "sgb/CPEntry.h"
#include "sgb/Enum.h"
#include "zul/ContentType.h"
#include "zul/Object.h"
#include "zulx/Extension.h"
#include "zulx/SGB.h"
#include "zulx/URI.h"
#include "zulx/Utf.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zultool {
namespace {

using Json = nlohmann::ordered_json;

struct DecodeOptions {
    std::string format = "xml";
    std::vector<std::string> plugins;
    bool noDefaultPlugins = false;
    std::vector<std::string> files;
};

void addCommonOptions(CLI::App& cmd, DecodeOptions& options) {
    cmd.add_option("--plugins", options.plugins, "A plugin file or directory to scan (repeatable)");
    cmd.add_flag("--no-default-plugins", options.noDefaultPlugins,
                 "Do not scan the plugin directory installed beside zul");
    cmd.add_option("FILE", options.files, "Compiled rule files to decode")->required();
}

// Everything that comes from an extension is released before the manager,
// which unloads the extensions' code.
std::shared_ptr<zulx::SGB> decodeFile(const zulx::ExtensionManager& manager,
                                      const std::string& file) {
    const std::shared_ptr<zulx::URI> uri = zulx::URI::create(file);
    const std::shared_ptr<zulx::StreamAdaptor> adaptor = manager.createStreamAdaptor(uri);
    if (!adaptor)
        throw std::runtime_error("no stream adaptor can open this file");
    const std::unique_ptr<std::istream> stream = adaptor->createStream(uri);
    const std::shared_ptr<zulx::Decoder> decoder = manager.createMatchingDecoder(zul::CT_SGB, uri);
    if (!decoder)
        throw std::runtime_error("no decoder for compiled rule files can handle this file");
    zulx::ContentPtrVector results;
    decoder->decode(results, *stream, nullptr, L"");
    auto sgb = results.empty() ? nullptr : std::dynamic_pointer_cast<zulx::SGB>(results.back());
    if (!sgb || !sgb->data)
        throw std::runtime_error("the decoder returned no compiled-rule object");
    return sgb;
}

std::string toXML(const zul::Object& object) {
    size_t size = 0;
    object.toXML(nullptr, &size);
    std::vector<char> buffer(size, '\0');
    zul::Status status = zul::STATUS_OK;
    object.toXML(buffer.data(), &size, &status);
    if (status != zul::STATUS_OK)
        throw std::runtime_error("toXML failed with status " + std::to_string(status));
    return buffer.data();
}

Json number(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    return value;
}

std::string hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

Json methodJson(const zulx::MethodRecord& m) {
    return Json{{"index", m.index},
                {"position", m.position},
                {"kind", m.kind},
                {"maxStack", m.maxStack},
                {"paramCount", m.paramCount},
                {"localSlots", m.localSlots},
                {"localTypes", m.localTypes},
                {"code", hex(m.code)},
                {"public", m.isPublic ? 1 : 0},
                {"name", zulx::wideToUtf8(m.name)},
                {"baseName", zulx::wideToUtf8(m.baseName)},
                {"descriptor", zulx::wideToUtf8(m.descriptor)},
                {"valid", m.valid ? 1 : 0}};
}

Json entryJson(const ::SGB::CPEntry& entry) {
    Json json{{"tag", entry.tag}};
    const void* p = entry.payload;
    switch (entry.tag) {
    case ::SGB::CPEntry::STRING:
        json["value"] = zulx::wideToUtf8(**static_cast<const std::shared_ptr<std::wstring>*>(p));
        break;
    case ::SGB::CPEntry::DOUBLE:
        json["value"] = number(*static_cast<const double*>(p));
        break;
    case ::SGB::CPEntry::INTEGER:
    case ::SGB::CPEntry::BUILTIN:
    case ::SGB::CPEntry::ENUM_TYPE:
        json["value"] = *static_cast<const int32_t*>(p);
        break;
    case ::SGB::CPEntry::METHOD:
        json["method"] = methodJson(*static_cast<const zulx::MethodRecord*>(p));
        break;
    case ::SGB::CPEntry::ENUM_VALUE: {
        const ::SGB::Enum& value = **static_cast<const std::shared_ptr<::SGB::Enum>*>(p);
        json["value"] = value.value;
        json["name"] = zulx::wideToUtf8(value.name);
        break;
    }
    default:
        break; // CREATE_SHAPE and unknown tags carry nothing
    }
    return json;
}

Json texts(const std::vector<std::wstring>& list) {
    Json json = Json::array();
    for (const std::wstring& text : list)
        json.push_back(zulx::wideToUtf8(text));
    return json;
}

Json recordJson(const std::string& file, const zulx::RuleData& record) {
    Json constants = Json::array();
    for (const ::SGB::CPEntry* entry : record.constants)
        constants.push_back(entry ? entryJson(*entry) : Json(nullptr));
    Json methodIndex = Json::object();
    for (const auto& m : record.methodIndex)
        methodIndex[zulx::wideToUtf8(m.first)] = m.second;
    return Json{{"file", file},
                {"constants", std::move(constants)},
                {"ownFieldRefs", record.ownFieldRefs},
                {"enumTypeNames", record.enumTypeNames},
                {"handleRefs", record.handleRefs},
                {"methodIndex", std::move(methodIndex)},
                {"compilerVersion", {record.compilerVersionMajor, record.compilerVersionMinor}},
                {"languageVersion", {record.languageVersionMajor, record.languageVersionMinor}},
                {"errors", texts(record.errors)},
                {"warnings", texts(record.warnings)}};
}

void print(const DecodeOptions& options, const std::string& file, const zulx::SGB& sgb) {
    if (options.format == "xml") {
        if (!sgb.data->ruleFileInfo)
            throw std::runtime_error("the compiled-rule object has no rule file information");
        std::cout << toXML(*sgb.data->ruleFileInfo) << '\n';
    } else if (options.format == "json") {
        // Enum type names come from the file as bytes: replace what is not UTF-8.
        std::cout << recordJson(file, *sgb.data)
                         .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                  << '\n';
    }
}

// Decodes every file in turn and hands each object to `use`, which returns
// false for a file that should make the command fail. A file that cannot be
// decoded is reported and the command goes on with the next one. Returns the
// exit status: 1 when any file failed, else 0.
template <typename Use>
int forEachDecoded(Context& context, const DecodeOptions& options, Use&& use) {
    context.installLogSink();
    const auto manager = context.createManager(options.plugins, !options.noDefaultPlugins);
    int status = 0;
    for (const std::string& file : options.files) {
        try {
            if (!use(file, *decodeFile(*manager, file)))
                status = 1;
        } catch (const std::exception& e) {
            std::cout.flush();
            std::cerr << "zul: " << oneLine(file) << ": " << oneLine(e.what()) << std::endl;
            status = 1;
        }
    }
    std::cout.flush();
    return status;
}

int runDecode(Context& context, const DecodeOptions& options) {
    return forEachDecoded(context, options, [&](const std::string& file, const zulx::SGB& sgb) {
        print(options, file, sgb);
        return true;
    });
}

int runCheck(Context& context, const DecodeOptions& options) {
    return forEachDecoded(context, options, [](const std::string& file, const zulx::SGB& sgb) {
        for (const std::wstring& error : sgb.data->errors)
            std::cout << file << ": error: " << zulx::wideToUtf8(error) << '\n';
        for (const std::wstring& warning : sgb.data->warnings)
            std::cout << file << ": warning: " << zulx::wideToUtf8(warning) << '\n';
        return sgb.data->errors.empty();
    });
}

} // namespace

void addDecodeCommands(CLI::App& app, Context& context, int& status) {
    auto decode = std::make_shared<DecodeOptions>();
    auto* decodeCmd =
        app.add_subcommand("decode", "Decode compiled rule files and print what they declare");
    decodeCmd
        ->add_option("--format", decode->format,
                     "xml: the rule file information; json: the whole compiled record; none")
        ->check(CLI::IsMember({"xml", "json", "none"}));
    addCommonOptions(*decodeCmd, *decode);
    decodeCmd->callback([&context, &status, decode] { status = runDecode(context, *decode); });

    auto check = std::make_shared<DecodeOptions>();
    auto* checkCmd = app.add_subcommand(
        "check", "Decode compiled rule files and report their errors and warnings");
    addCommonOptions(*checkCmd, *check);
    checkCmd->callback([&context, &status, check] { status = runCheck(context, *check); });
}

} // namespace zultool
