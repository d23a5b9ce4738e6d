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

#include <algorithm>
#include <cmath>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace zultool {
namespace {

using Json = nlohmann::ordered_json;

struct DecodeOptions {
    std::string format;
    bool xmlPerFile = false;
    std::string contentType;
    std::vector<std::string> plugins;
    bool noDefaultPlugins = false;
    std::vector<std::string> files;
};

void addCommonOptions(CLI::App& cmd, DecodeOptions& options) {
    cmd.add_option("--plugins", options.plugins, "A plugin file or directory to scan (repeatable)");
    cmd.add_flag("--no-default-plugins", options.noDefaultPlugins,
                 "Do not scan the plugin directory installed beside zul");
    cmd.add_option("--content-type", options.contentType,
                   "Choose the decoder by content type alone, not by the file's name")
        ->check(CLI::IsMember({"sgb"}, CLI::ignore_case));
    cmd.add_option("FILE", options.files, "Compiled rule files to decode (- reads standard input)")
        ->required();
}

/// The decoder of the highest merit among those for `type`, whatever the
/// files they claim by name; null when there is none.
std::shared_ptr<zulx::Decoder> decoderFor(const zulx::ExtensionManager& manager,
                                          zul::ContentType type) {
    std::vector<std::wstring> ids;
    manager.listDecoderIds(ids);
    const std::wstring* best = nullptr;
    float bestMerit = 0.0f;
    for (const std::wstring& id : ids) {
        const std::unique_ptr<zul::DecoderInfo> info(manager.createDecoderInfo(id));
        if (info && info->getContentType() == type && (!best || info->getMerit() > bestMerit)) {
            best = &id;
            bestMerit = info->getMerit();
        }
    }
    return best ? manager.createDecoder(*best) : nullptr;
}

bool hasClassFileMagic(const std::string& bytes) {
    return bytes.compare(0, 4, "\xCA\xFE\xBA\xBE") == 0;
}

// Everything that comes from an extension is released before the manager,
// which unloads the extensions' code.
std::shared_ptr<zulx::SGB> decodeFile(const zulx::ExtensionManager& manager,
                                      const DecodeOptions& options, const std::string& file) {
    std::unique_ptr<std::istream> stream;
    std::shared_ptr<zulx::Decoder> decoder;
    if (isStdin(file)) {
        // Standard input has no name to choose a decoder by: the content
        // type is given or read from the magic number of compiled rule files.
        auto bytes = std::make_unique<std::istringstream>(
            std::string(std::istreambuf_iterator<char>(std::cin), {}));
        if (options.contentType.empty() && !hasClassFileMagic(bytes->str()))
            throw std::runtime_error(
                "not a compiled rule file (name the content type with --content-type)");
        stream = std::move(bytes);
        decoder = decoderFor(manager, zul::CT_SGB);
    } else {
        const std::shared_ptr<zulx::URI> uri = zulx::URI::create(file);
        const std::shared_ptr<zulx::StreamAdaptor> adaptor = manager.createStreamAdaptor(uri);
        if (!adaptor)
            throw std::runtime_error("no stream adaptor can open this file");
        stream = adaptor->createStream(uri);
        decoder = options.contentType.empty() ? manager.createMatchingDecoder(zul::CT_SGB, uri)
                                              : decoderFor(manager, zul::CT_SGB);
    }
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
    // CREATE_SHAPE and unknown tags carry nothing.
    ::SGB::visitPayload(entry, [&json](const auto& payload) {
        using T = std::decay_t<decltype(payload)>;
        if constexpr (std::is_same_v<T, std::shared_ptr<std::wstring>>) {
            json["value"] = zulx::wideToUtf8(*payload);
        } else if constexpr (std::is_same_v<T, double>) {
            json["value"] = number(payload);
        } else if constexpr (std::is_same_v<T, zulx::MethodRecord>) {
            json["method"] = methodJson(payload);
        } else if constexpr (std::is_same_v<T, std::shared_ptr<::SGB::Enum>>) {
            json["value"] = payload->value;
            json["name"] = zulx::wideToUtf8(payload->name);
        } else {
            json["value"] = payload;
        }
    });
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

std::string jsonLine(const Json& record) {
    // Enum type names come from the file as bytes: replace what is not UTF-8.
    return record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

/// `text` as an XML attribute value: markup characters as references, and
/// control characters, which XML 1.0 cannot carry at all, as U+FFFD.
std::string xmlAttribute(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
    return out;
}

enum class Output { Xml, XmlPerFile, JsonLines, None, CheckText, CheckJson };

Output decodeOutput(const DecodeOptions& options) {
    if (options.format == "json")
        return Output::JsonLines;
    if (options.format == "none")
        return Output::None;
    return options.xmlPerFile ? Output::XmlPerFile : Output::Xml;
}

/// Outputs that print the rule file's errors and warnings themselves.
bool showsDiagnostics(Output output) {
    return output == Output::JsonLines || output == Output::CheckText ||
           output == Output::CheckJson;
}

/// Prints what one file holds; false when the file has errors and the output
/// is a check.
bool printDecoded(Output output, const std::string& file, const zulx::SGB& sgb) {
    const zulx::RuleData& data = *sgb.data;
    switch (output) {
    case Output::Xml:
    case Output::XmlPerFile: {
        if (!data.ruleFileInfo)
            throw std::runtime_error("the compiled-rule object has no rule file information");
        const std::string xml = toXML(*data.ruleFileInfo);
        if (output == Output::Xml)
            std::cout << "<rulefile file=\"" << xmlAttribute(file) << "\">" << xml
                      << "</rulefile>\n";
        else
            std::cout << xml << '\n';
        return true;
    }
    case Output::JsonLines:
        std::cout << jsonLine(recordJson(file, data));
        return true;
    case Output::None:
        return true;
    case Output::CheckText:
        for (const std::wstring& error : data.errors)
            std::cout << file << ": error: " << zulx::wideToUtf8(error) << '\n';
        for (const std::wstring& warning : data.warnings)
            std::cout << file << ": warning: " << zulx::wideToUtf8(warning) << '\n';
        return data.errors.empty();
    case Output::CheckJson:
        std::cout << jsonLine(Json{
            {"file", file}, {"errors", texts(data.errors)}, {"warnings", texts(data.warnings)}});
        return data.errors.empty();
    }
    return true;
}

/// A file that cannot be decoded goes to standard error; structured outputs
/// also carry it as a record, so that a pipeline sees every input.
void printFailure(Output output, const std::string& file, const std::string& message) {
    if (output == Output::Xml)
        std::cout << "<rulefile file=\"" << xmlAttribute(file) << "\" error=\""
                  << xmlAttribute(message) << "\"/>\n";
    else if (output == Output::JsonLines || output == Output::CheckJson)
        std::cout << jsonLine(Json{{"file", file}, {"error", message}});
    std::cout.flush();
    std::cerr << "zul: " << oneLine(file) << ": " << oneLine(message) << std::endl;
}

/// Prints the log records held during one decode, except those that repeat
/// a diagnostic which the output already shows.
void printHeldRecords(const std::vector<std::pair<int, std::string>>& records,
                      const zulx::SGB* sgb) {
    std::vector<std::string> shown;
    if (sgb)
        for (const auto* list : {&sgb->data->errors, &sgb->data->warnings})
            for (const std::wstring& text : *list)
                shown.push_back(zulx::wideToUtf8(text));
    for (const auto& record : records) {
        const bool repeats = std::any_of(shown.begin(), shown.end(), [&](const std::string& t) {
            return record.second.find(t) != std::string::npos;
        });
        if (!repeats)
            Context::printRecord(record.first, record.second);
    }
}

// Decodes every file in turn and prints it. A file that cannot be decoded is
// reported and the command goes on with the next one. Returns the exit
// status: 1 when any file failed (or, for a check, has errors), else 0.
int run(Context& context, const DecodeOptions& options, Output output) {
    context.installLogSink();
    const auto manager = context.createManager(options.plugins, !options.noDefaultPlugins);
    const bool hold = showsDiagnostics(output);
    int status = 0;
    if (output == Output::Xml)
        std::cout << "<rulefiles>\n";
    for (const std::string& file : options.files) {
        const std::string name = isStdin(file) ? "<stdin>" : file;
        if (hold)
            context.holdLog();
        std::shared_ptr<zulx::SGB> sgb;
        try {
            sgb = decodeFile(*manager, options, file);
            if (hold)
                printHeldRecords(context.releaseLog(), sgb.get());
            if (!printDecoded(output, name, *sgb))
                status = 1;
        } catch (const std::exception& e) {
            if (hold)
                printHeldRecords(context.releaseLog(), nullptr);
            printFailure(output, name, e.what());
            status = 1;
        }
    }
    if (output == Output::Xml)
        std::cout << "</rulefiles>\n";
    std::cout.flush();
    return status;
}

} // namespace

void addDecodeCommands(CLI::App& app, Context& context, int& status) {
    auto decode = std::make_shared<DecodeOptions>();
    decode->format = "xml";
    auto* decodeCmd =
        app.add_subcommand("decode", "Decode compiled rule files and print what they declare");
    decodeCmd
        ->add_option("--format", decode->format,
                     "xml: the rule file information of all files as one document; json: the "
                     "whole compiled record, one line per file; none")
        ->check(CLI::IsMember({"xml", "json", "none"}));
    decodeCmd->add_flag("--xml-per-file", decode->xmlPerFile,
                        "With --format xml: one document per file, one after another");
    addCommonOptions(*decodeCmd, *decode);
    decodeCmd->callback(
        [&context, &status, decode] { status = run(context, *decode, decodeOutput(*decode)); });

    auto check = std::make_shared<DecodeOptions>();
    check->format = "text";
    auto* checkCmd = app.add_subcommand(
        "check", "Decode compiled rule files and report their errors and warnings");
    checkCmd
        ->add_option("--format", check->format,
                     "text: one line per diagnostic; json: one record per file")
        ->check(CLI::IsMember({"text", "json"}));
    addCommonOptions(*checkCmd, *check);
    checkCmd->callback([&context, &status, check] {
        status =
            run(context, *check, check->format == "json" ? Output::CheckJson : Output::CheckText);
    });
}

} // namespace zultool
