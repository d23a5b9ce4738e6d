// Registering factories, listing them and creating their info records.
#include "loader/ExtensionManagerImpl.h"

#include "util/Log.h"
#include "zulx/ExtensionFactory.h"
#include "zulx/StatusException.h"

#include <algorithm>

namespace loader {
namespace {

void listIds(const ExtensionManagerImpl::FactoryMap& factories, zulx::Extension::ExtensionType type,
             std::vector<std::wstring>& ids) {
    for (const auto& entry : factories)
        if (entry.second && entry.second->getExtensionType() == type)
            ids.push_back(entry.second->getID());
}

bool removeLast(std::vector<zulx::ExtensionFactory*>& list, zulx::ExtensionFactory* factory) {
    const auto it = std::find(list.rbegin(), list.rend(), factory);
    if (it == list.rend())
        return false;
    list.erase(std::next(it).base());
    return true;
}

} // namespace

void ExtensionManagerImpl::addFactory(zulx::ExtensionFactory* factory) {
    if (!factory) {
        util::Log<zul::LOG_ERROR>("addFactory: no factory given, nothing registered");
        return;
    }
    enterFactory(factory);
}

zulx::ExtensionFactory* ExtensionManagerImpl::enterFactory(zulx::ExtensionFactory* factory) {
    const std::wstring& id = factory->getID();
    auto it = factories.find(id);
    zulx::ExtensionFactory* previous = nullptr;
    if (it == factories.end()) {
        it = factories.emplace(id, factory).first;
    } else {
        previous = it->second;
        if (previous == factory)
            return nullptr;
        it->second = factory;
    }
    // Every factory the manager owns sits in exactly one place, so that
    // teardown destroys each one once: a factory that takes an id back
    // leaves the displaced list.
    removeLast(displacedFactories, factory);
    if (previous)
        displacedFactories.push_back(previous);
    if (registration)
        registration->changes.push_back(Change{it->first, factory, previous});
    return previous;
}

void ExtensionManagerImpl::undoRegistration(const Registration& undone) {
    for (auto change = undone.changes.rbegin(); change != undone.changes.rend(); ++change) {
        const auto it = factories.find(change->id);
        if (it == factories.end() || it->second != change->added)
            continue; // taken over since, by a library that stays
        if (change->previous) {
            it->second = change->previous;
            removeLast(displacedFactories, change->previous);
        } else {
            factories.erase(it);
        }
    }
    // Destroy what the failed registration added and nobody else holds,
    // while the library that implements it is still loaded.
    std::vector<zulx::ExtensionFactory*> added;
    for (const Change& change : undone.changes)
        added.push_back(change.added);
    std::sort(added.begin(), added.end());
    added.erase(std::unique(added.begin(), added.end()), added.end());
    for (zulx::ExtensionFactory* factory : added) {
        const bool registered =
            std::any_of(factories.begin(), factories.end(),
                        [factory](const FactoryMap::value_type& e) { return e.second == factory; });
        const bool displaced = std::find(displacedFactories.begin(), displacedFactories.end(),
                                         factory) != displacedFactories.end();
        if (!registered && !displaced)
            delete factory;
    }
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
