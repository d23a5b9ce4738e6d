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
/// The host owns it and deletes it through this base.
class ZUL_CORE_API ExtensionManager {
public:
    virtual ~ExtensionManager();
    virtual void addFactory(ExtensionFactory* factory) = 0;
    virtual void listEncoderIds(std::vector<std::wstring>& ids) const = 0;
    virtual void listDecoderIds(std::vector<std::wstring>& ids) const = 0;
    virtual zul::EncoderInfo* createEncoderInfo(const std::wstring& id) const = 0;
    virtual zul::DecoderInfo* createDecoderInfo(const std::wstring& id) const = 0;
    virtual std::shared_ptr<Encoder> createEncoder(const std::wstring& id,
                                                   const zul::AttributeMap* options,
                                                   void* callbacks) const = 0;
    virtual std::shared_ptr<Decoder> createDecoder(const std::wstring& id) const = 0;
    virtual std::shared_ptr<Decoder>
    createMatchingDecoder(zul::ContentType contentType, const std::shared_ptr<URI>& uri) const = 0;
    virtual std::shared_ptr<StreamAdaptor>
    createStreamAdaptor(const std::shared_ptr<URI>& uri) const = 0;
    virtual void addPluginPaths(const wchar_t* const* paths, size_t count) = 0;
    virtual void loadExtensionLibrary(const boost::filesystem::path& path) = 0;

protected:
    ExtensionManager() = default;
};

/// Signature of the loader's exported entry point `init`.
using LoaderInitFunction = ExtensionManager* (*)(void*);

} // namespace zulx
