// The registry's operations: registering factories, listing them, creating
// their info records, and creating extensions by id, the best decoder for a
// content type and URI, and the stream adaptor for a URI.
#include "loader/ExtensionManagerImpl.h"

#include "util/Log.h"
#include "util/Text.h"
#include "zulx/ExtensionFactory.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <boost/format.hpp>

#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>

namespace loader {
namespace {

void listIds(const FactoryMap& factories, zulx::Extension::ExtensionType type,
             std::vector<std::wstring>& ids) {
    for (const auto& entry : factories)
        if (entry.second && entry.second->getExtensionType() == type)
            ids.push_back(entry.second->getID());
}

// Selection starts below every finite merit and takes only strict
// improvements: NaN, -infinity and the lowest float are never chosen, and of
// equal merits the smallest id wins.
constexpr float kLowestMerit = std::numeric_limits<float>::lowest();

// The adaptor that opens local files; the last resort for a URI that no
// adaptor accepts.
const std::wstring kFallbackAdaptorId = L"com.ulno.zul.adaptors.FileSystemAdaptor";

std::string uriText(const std::shared_ptr<zulx::URI>& uri) {
    return uri ? uri->str() : std::string();
}

/// The created `extension` as a `Kind`, in an owning pointer; null when it is
/// none. Then `reportFailure` runs first, while the extension still exists,
/// and the extension is destroyed after it.
template <typename Kind, typename Report>
std::shared_ptr<Kind> takeAs(zulx::Extension* extension, Report reportFailure) {
    std::unique_ptr<zulx::Extension> owned(extension);
    Kind* kind = dynamic_cast<Kind*>(extension);
    if (!kind) {
        reportFailure();
        owned.reset();
        return nullptr;
    }
    owned.release();
    return std::shared_ptr<Kind>(kind);
}

template <typename Kind>
std::shared_ptr<Kind> takeAs(zulx::Extension* extension) {
    return takeAs<Kind>(extension, [] {});
}

std::shared_ptr<zulx::StreamAdaptor> createAdaptor(const zulx::ExtensionFactory& factory,
                                                   const std::shared_ptr<zulx::URI>& uri) {
    auto adaptor = takeAs<zulx::StreamAdaptor>(factory.create());
    if (!adaptor)
        throw std::runtime_error(
            (boost::format("Resolving URI '%s': could not create adaptor '%s'") % uriText(uri) %
             util::toNarrowACP(factory.getID()))
                .str());
    return adaptor;
}

/// The id of the factory of `type` (and of `contentType`, when one is
/// given) that accepts `uri` with the highest merit, or empty. `declined`, if
/// set, sees each factory of that type and content type that declines `uri`.
std::wstring selectBest(const FactoryMap& factories, zulx::Extension::ExtensionType type,
                        std::optional<zul::ContentType> contentType,
                        const std::shared_ptr<zulx::URI>& uri,
                        const std::function<void(const zulx::ExtensionFactory&)>& declined = {}) {
    float best = kLowestMerit;
    std::wstring bestId;
    for (const auto& entry : factories) {
        const zulx::ExtensionFactory* factory = entry.second;
        if (!factory || factory->getExtensionType() != type ||
            (contentType && factory->getContentType() != *contentType))
            continue;
        if (!factory->canHandleURI(uri)) {
            if (declined)
                declined(*factory);
            continue;
        }
        const float merit = factory->getMerit();
        if (merit > best) {
            bestId = factory->getID();
            best = merit;
        }
    }
    return bestId;
}

} // namespace

void ExtensionManagerImpl::addFactory(zulx::ExtensionFactory* factory) {
    if (!factory) {
        util::Log<zul::LOG_ERROR>("addFactory: no factory given, nothing registered");
        return;
    }
    book.enter(factory);
}

void ExtensionManagerImpl::listEncoderIds(std::vector<std::wstring>& ids) const {
    listIds(factories, zulx::Extension::ET_ENCODER, ids);
}

void ExtensionManagerImpl::listDecoderIds(std::vector<std::wstring>& ids) const {
    listIds(factories, zulx::Extension::ET_DECODER, ids);
}

zul::EncoderInfo* ExtensionManagerImpl::createEncoderInfo(const std::wstring& id) const {
    const auto it = factories.find(id);
    if (it == factories.end() || !it->second ||
        it->second->getExtensionType() != zulx::Extension::ET_ENCODER)
        throw zulx::StatusException(zul::STATUS_ENCODER_NOT_FOUND);
    const auto* encoderFactory = dynamic_cast<const zulx::EncoderFactory*>(it->second);
    if (!encoderFactory)
        throw zulx::StatusException(zul::STATUS_ENCODER_NOT_FOUND);
    return encoderFactory->createEncoderInfo();
}

zul::DecoderInfo* ExtensionManagerImpl::createDecoderInfo(const std::wstring& id) const {
    const auto it = factories.find(id);
    if (it == factories.end() || !it->second)
        throw zulx::StatusException(zul::STATUS_DECODER_NOT_FOUND);
    // Only a decoder factory has decoder info; any other kind is not a decoder id.
    const auto* decoderFactory = dynamic_cast<const zulx::DecoderFactory*>(it->second);
    if (!decoderFactory)
        throw zulx::StatusException(zul::STATUS_DECODER_NOT_FOUND);
    return decoderFactory->createDecoderInfo();
}

std::shared_ptr<zulx::Encoder> ExtensionManagerImpl::createEncoder(const std::wstring& id,
                                                                   const zul::AttributeMap* options,
                                                                   void* callbacks) const {
    const auto it = factories.find(id);
    if (it == factories.end()) {
        util::Log<zul::LOG_ERROR>("Unknown encoder id '%ls'.") % id;
        throw zulx::StatusException(zul::STATUS_ENCODER_NOT_FOUND);
    }
    if (!it->second)
        throw zulx::StatusException(zul::STATUS_ENCODER_NOT_FOUND);
    // Options can only be checked by an encoder factory; any other kind is not an encoder id.
    const auto* factory = dynamic_cast<const zulx::EncoderFactory*>(it->second);
    if (!factory) {
        util::Log<zul::LOG_ERROR>("Unknown encoder id '%ls'.") % id;
        throw zulx::StatusException(zul::STATUS_ENCODER_NOT_FOUND);
    }
    if (!factory->checkOptionKeys(options))
        throw std::invalid_argument("The specified default options for '" + util::toNarrowACP(id) +
                                    "' do not match the supported option key set.");
    auto encoder = takeAs<zulx::Encoder>(factory->create(options, callbacks), [&id] {
        util::Log<zul::LOG_ERROR>("Creating encoder '%s' failed!") % id;
    });
    if (!encoder)
        throw zulx::StatusException(zul::STATUS_ENCODER_NOT_FOUND);
    return encoder;
}

std::shared_ptr<zulx::Decoder> ExtensionManagerImpl::createDecoder(const std::wstring& id) const {
    const auto it = factories.find(id);
    if (it == factories.end()) {
        util::Log<zul::LOG_ERROR>("Unknown decoder id '%ls'.") % id;
        throw zulx::StatusException(zul::STATUS_ENCODER_NOT_FOUND);
    }
    if (!it->second || it->second->getExtensionType() != zulx::Extension::ET_DECODER) {
        util::Log<zul::LOG_ERROR>("Unknown decoder id '%ls'.") % id;
        throw zulx::StatusException(zul::STATUS_DECODER_NOT_FOUND);
    }
    auto decoder = takeAs<zulx::Decoder>(it->second->create(), [&id] {
        util::Log<zul::LOG_ERROR>("Creating decoder '%ls' failed!") % id;
    });
    if (!decoder)
        throw zulx::StatusException(zul::STATUS_DECODER_NOT_FOUND);
    return decoder;
}

std::shared_ptr<zulx::Decoder>
ExtensionManagerImpl::createMatchingDecoder(zul::ContentType contentType,
                                            const std::shared_ptr<zulx::URI>& uri) const {
    const std::wstring bestId =
        selectBest(factories, zulx::Extension::ET_DECODER, contentType, uri);
    if (!bestId.empty())
        return createDecoder(bestId);
    throw std::invalid_argument("could not find a decoder which matches content type '" +
                                util::toNarrowACP(zulx::Extension::toString(contentType)) +
                                "' and can handle the uri '" + uriText(uri) + "'");
}

std::shared_ptr<zulx::StreamAdaptor>
ExtensionManagerImpl::createStreamAdaptor(const std::shared_ptr<zulx::URI>& uri) const {
    const zulx::ExtensionFactory* fallback = nullptr;
    const std::wstring bestId =
        selectBest(factories, zulx::Extension::ET_ADAPTOR, std::nullopt, uri,
                   [&fallback](const zulx::ExtensionFactory& declining) {
                       if (declining.getID() == kFallbackAdaptorId)
                           fallback = &declining;
                   });
    if (!bestId.empty()) {
        const auto it = factories.find(bestId);
        if (it != factories.end() && it->second)
            return createAdaptor(*it->second, uri);
    }
    if (fallback) {
        auto adaptor = takeAs<zulx::StreamAdaptor>(fallback->create());
        if (!adaptor)
            throw std::runtime_error((boost::format("Resolving URI '%s': could not create fallback "
                                                    "'com.ulno.zul.adaptors.FileSystemAdaptor'") %
                                      uriText(uri))
                                         .str());
        return adaptor;
    }
    throw std::invalid_argument("could not find an adaptor which can handle the scheme or uri: '" +
                                uriText(uri) + "'");
}

} // namespace loader
