#pragma once

#include "zul/ContentType.h"
#include "zul/Export.h"
#include "zul/Object.h"

#include <boost/filesystem/path.hpp>

#include <memory>
#include <string>
#include <vector>

namespace zulx {

class Decoder;
class Encoder;
class ExtensionFactory;
class StreamAdaptor;
class URI;

/// The runtime's registry of extensions, created by the loader's `init`.
/// The host owns it and deletes it through this base. Problems with single
/// extension libraries are logged, never thrown; the lookups throw as noted.
/// Status codes: 17 zul::STATUS_DECODER_NOT_FOUND, 18 zul::STATUS_ENCODER_NOT_FOUND.
class ZUL_CORE_API ExtensionManager {
public:
    /// Unregisters every library, destroys every factory, then unloads the
    /// libraries. Release all extensions you received first.
    virtual ~ExtensionManager();
    /// Takes ownership of `factory`; a factory with the same id is replaced.
    /// Called by extension libraries while they register.
    virtual void addFactory(ExtensionFactory* factory) = 0;
    /// Appends the ids of all encoders (decoders). Does not throw.
    virtual void listEncoderIds(std::vector<std::wstring>& ids) const = 0;
    virtual void listDecoderIds(std::vector<std::wstring>& ids) const = 0;
    /// A new info record owned by the caller. Throws zulx::StatusException
    /// with status 18 (encoder) or 17 (decoder) for an id without such a factory.
    virtual zul::EncoderInfo* createEncoderInfo(const std::wstring& id) const = 0;
    virtual zul::DecoderInfo* createDecoderInfo(const std::wstring& id) const = 0;
    /// Throws zulx::StatusException (status 18) for an unknown id or a failed
    /// creation, std::invalid_argument when the factory rejects the option keys.
    virtual std::shared_ptr<Encoder> createEncoder(const std::wstring& id,
                                                   const zul::AttributeMap* options,
                                                   void* callbacks) const = 0;
    /// Throws zulx::StatusException: status 18 for an unknown id, 17 for an
    /// id of another kind or a failed creation.
    virtual std::shared_ptr<Decoder> createDecoder(const std::wstring& id) const = 0;
    /// The decoder of highest merit for `contentType` that accepts `uri`.
    /// Throws std::invalid_argument when there is none.
    virtual std::shared_ptr<Decoder>
    createMatchingDecoder(zul::ContentType contentType, const std::shared_ptr<URI>& uri) const = 0;
    /// The adaptor of highest merit that accepts `uri`, else the file-system
    /// adaptor. Throws std::invalid_argument when there is neither, and
    /// std::runtime_error when the chosen factory creates nothing.
    virtual std::shared_ptr<StreamAdaptor>
    createStreamAdaptor(const std::shared_ptr<URI>& uri) const = 0;
    /// Registers the built-in decoder, loads the libraries under `paths` and
    /// logs the listing. Missing paths and bad libraries are logged; errors
    /// of the file system while walking (boost::filesystem::filesystem_error)
    /// propagate. A library that crashes while registering ends the process.
    virtual void addPluginPaths(const wchar_t* const* paths, size_t count) = 0;
    /// Loads one library; every failure is logged, none is thrown.
    virtual void loadExtensionLibrary(const boost::filesystem::path& path) = 0;

protected:
    ExtensionManager() = default;
};

/// Signature of the loader's exported entry point `init`.
using LoaderInitFunction = ExtensionManager* (*)(void*);

} // namespace zulx
