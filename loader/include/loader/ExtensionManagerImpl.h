#pragma once

#include "loader/FactoryMap.h"
#include "loader/RegistrationBook.h"

#include "zulx/ExtensionManager.h"

#include <boost/filesystem/path.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace loader {

class ExtensionLibrary;

/// The runtime's extension manager: owns the loaded extension libraries and
/// the registered factories, scans plugin paths and creates extensions.
class ExtensionManagerImpl : public zulx::ExtensionManager {
public:
    ExtensionManagerImpl();
    /// Unregisters every library, destroys every factory, then unloads the
    /// libraries, so no factory outlives its code.
    ~ExtensionManagerImpl() override;
    ExtensionManagerImpl(const ExtensionManagerImpl&) = delete;
    ExtensionManagerImpl& operator=(const ExtensionManagerImpl&) = delete;

    void addFactory(zulx::ExtensionFactory* factory) override;
    void listEncoderIds(std::vector<std::wstring>& ids) const override;
    void listDecoderIds(std::vector<std::wstring>& ids) const override;
    zul::EncoderInfo* createEncoderInfo(const std::wstring& id) const override;
    zul::DecoderInfo* createDecoderInfo(const std::wstring& id) const override;
    std::shared_ptr<zulx::Encoder> createEncoder(const std::wstring& id,
                                                 const zul::AttributeMap* options,
                                                 void* callbacks) const override;
    std::shared_ptr<zulx::Decoder> createDecoder(const std::wstring& id) const override;
    std::shared_ptr<zulx::Decoder>
    createMatchingDecoder(zul::ContentType contentType,
                          const std::shared_ptr<zulx::URI>& uri) const override;
    std::shared_ptr<zulx::StreamAdaptor>
    createStreamAdaptor(const std::shared_ptr<zulx::URI>& uri) const override;
    void addPluginPaths(const wchar_t* const* paths, size_t count) override;
    void loadExtensionLibrary(const boost::filesystem::path& path) override;

    using LibraryMap = std::map<boost::filesystem::path, std::shared_ptr<ExtensionLibrary>>;

    // Read access for tests and diagnostics.
    const LibraryMap& getLibraries() const { return libraries; }
    const FactoryMap& getFactories() const { return factories; }
    const std::string& getCurrentLibraryName() const { return currentLibraryName; }

private:
    friend struct ExtensionManagerImplPeer; // tests only

    void writeListing() const;

    LibraryMap libraries;
    FactoryMap factories;
    std::string currentLibraryName;
    /// Owns the factories in `factories` and those displaced from it.
    RegistrationBook book;
};

} // namespace loader
