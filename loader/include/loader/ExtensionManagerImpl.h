#pragma once

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

    /// Ids in registry order: lexicographic by UTF-16 code units, so that the
    /// order is the same where wchar_t holds UTF-32.
    struct IdLess {
        bool operator()(const std::wstring& a, const std::wstring& b) const;
    };
    using LibraryMap = std::map<boost::filesystem::path, std::shared_ptr<ExtensionLibrary>>;
    using FactoryMap = std::map<std::wstring, zulx::ExtensionFactory*, IdLess>;

    // Read access for tests and diagnostics.
    const LibraryMap& getLibraries() const { return libraries; }
    const FactoryMap& getFactories() const { return factories; }
    const std::string& getCurrentLibraryName() const { return currentLibraryName; }

private:
    friend struct ExtensionManagerImplPeer; // tests only

    /// One registry change made while a library registers its factories.
    struct Change {
        std::wstring id;
        zulx::ExtensionFactory* added;
        zulx::ExtensionFactory* previous; ///< null when the id was new
    };
    /// What a library's registration changed, so that a failed registration
    /// can be taken back while the library's code is still loaded.
    struct Registration {
        std::vector<Change> changes;
        size_t displacedBefore = 0;
    };

    /// Enters `factory` under its id; returns the factory that held the id
    /// before, which is now the last element of displacedFactories, or null.
    zulx::ExtensionFactory* enterFactory(zulx::ExtensionFactory* factory);
    /// Restores the registry as it was before `registration` began and
    /// destroys the factories it added.
    void undoRegistration(const Registration& registration);
    void writeListing() const;

    LibraryMap libraries;
    FactoryMap factories;
    std::string currentLibraryName;
    /// Factories that lost their id to a later registration. They belong to
    /// the manager all the same and are destroyed with the registered ones.
    std::vector<zulx::ExtensionFactory*> displacedFactories;
    /// The registration in progress, if any (a library may load another one
    /// from its registration code).
    Registration* registration = nullptr;
    int loadDepth = 0;
};

} // namespace loader
