// Registering factories, listing them and creating their info records.
#include "loader/ExtensionManagerImpl.h"

#include "util/Log.h"
#include "zulx/ExtensionFactory.h"
#include "zulx/StatusException.h"

namespace loader {
namespace {

void listIds(const FactoryMap& factories, zulx::Extension::ExtensionType type,
             std::vector<std::wstring>& ids) {
    for (const auto& entry : factories)
        if (entry.second && entry.second->getExtensionType() == type)
            ids.push_back(entry.second->getID());
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

} // namespace loader
