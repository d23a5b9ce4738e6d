// A complete extension library: a stream adaptor for URIs of the scheme
// "echo" (the stream holds the URI's path, "echo:hello" reads "hello") and a
// decoder of compiled rules for the same URIs, which makes a compiled-rule
// object that carries the text it read as its one warning.
#include "zulx/Extension.h"
#include "zulx/ExtensionFactory.h"
#include "zulx/ExtensionLibraryAPI.h"
#include "zulx/ExtensionManager.h"
#include "zulx/SGB.h"
#include "zulx/URI.h"
#include "zulx/Utf.h"

#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace {

bool isEcho(const std::shared_ptr<zulx::URI>& uri) {
    return uri && uri->scheme() == "echo";
}

class EchoAdaptor : public zulx::StreamAdaptor {
public:
    std::unique_ptr<std::istream> createStream(const std::shared_ptr<zulx::URI>& uri) override {
        return std::make_unique<std::istringstream>(uri->path());
    }
};

class EchoAdaptorFactory : public zulx::StreamAdaptorFactory {
public:
    EchoAdaptorFactory()
        : zulx::StreamAdaptorFactory(L"example.echo.adaptor", L"Echo Adaptor",
                                     L"Reads the text of echo: URIs") {}
    zulx::Extension* create() const override { return new EchoAdaptor(); }
    bool canHandleURI(std::shared_ptr<zulx::URI> uri) const override { return isEcho(uri); }
};

class EchoDecoder : public zulx::Decoder {
public:
    zul::ContentType getContentType() const override { return zul::CT_SGB; }
    void decode(zulx::ContentPtrVector& results, std::istream& stream, zul::Cache*,
                const std::wstring&) override {
        const std::string text(std::istreambuf_iterator<char>(stream), {});
        std::shared_ptr<zulx::SGB> sgb(zulx::SGB::create());
        sgb->data->warnings.push_back(L"echo: " + zulx::utf8ToWide(text));
        results.push_back(sgb);
    }
};

class EchoDecoderFactory : public zulx::DecoderFactory {
public:
    EchoDecoderFactory()
        : zulx::DecoderFactory(zul::CT_SGB, L"example.echo.decoder", L"Echo Decoder",
                               L"Decodes echo: URIs", zulx::FileExtensions()) {}
    zulx::Extension* create() const override { return new EchoDecoder(); }
    bool canHandleURI(std::shared_ptr<zulx::URI> uri) const override { return isEcho(uri); }
    float getMerit() const override { return 1.0f; }
};

} // namespace

ZUL_EXTENSION_VERSION_ENTRY_POINTS()

extern "C" {

ZUL_EXTENSION_EXPORT void registerExtensionFactories(zulx::ExtensionManager* manager) {
    // The manager owns the factories from here on.
    manager->addFactory(new EchoAdaptorFactory());
    manager->addFactory(new EchoDecoderFactory());
}

ZUL_EXTENSION_EXPORT void unregisterExtensionFactories(zulx::ExtensionManager*) {}

} // extern "C"
