// Creating extensions: by id, the best decoder for a content type and URI,
// and the stream adaptor for a URI.
#include "loader/ExtensionManagerImpl.h"

#include "util/Log.h"
#include "util/Text.h"
#include "zulx/ExtensionFactory.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <boost/format.hpp>

#include <limits>
#include <stdexcept>

namespace loader {
namespace {

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

} // namespace

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
    float best = kLowestMerit;
    std::wstring bestId;
    for (const auto& entry : factories) {
        const zulx::ExtensionFactory* factory = entry.second;
        if (!factory || factory->getExtensionType() != zulx::Extension::ET_DECODER ||
            factory->getContentType() != contentType || !factory->canHandleURI(uri))
            continue;
        const float merit = factory->getMerit();
        if (merit > best) {
            bestId = factory->getID();
            best = merit;
        }
    }
    if (!bestId.empty())
        return createDecoder(bestId);
    throw std::invalid_argument("could not find a decoder which matches content type '" +
                                util::toNarrowACP(zulx::Extension::toString(contentType)) +
                                "' and can handle the uri '" + uriText(uri) + "'");
}

std::shared_ptr<zulx::StreamAdaptor>
ExtensionManagerImpl::createStreamAdaptor(const std::shared_ptr<zulx::URI>& uri) const {
    float best = kLowestMerit;
    std::wstring bestId;
    const zulx::ExtensionFactory* fallback = nullptr;
    for (const auto& entry : factories) {
        const zulx::ExtensionFactory* factory = entry.second;
        if (!factory || factory->getExtensionType() != zulx::Extension::ET_ADAPTOR)
            continue;
        if (factory->canHandleURI(uri)) {
            const float merit = factory->getMerit();
            if (merit > best) {
                bestId = factory->getID();
                best = merit;
            }
        } else if (factory->getID() == kFallbackAdaptorId) {
            fallback = factory;
        }
    }
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
