#pragma once

#include "zul/ContentType.h"
#include "zul/Export.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace zul {
class Cache;
}

namespace zulx {

class URI;

/// Something a decoder produces; the compiled-rule object is one.
class ZUL_CORE_API Content {
public:
    virtual ~Content();
    virtual zul::ContentType getContentType() const = 0;
};

using ContentPtr = std::shared_ptr<Content>;
using ContentPtrVector = std::vector<ContentPtr>;

/// Base of everything an extension factory creates.
class ZUL_CORE_API Extension {
public:
    enum ExtensionType { ET_UNDEFINED = 0, ET_ADAPTOR = 1, ET_ENCODER = 2, ET_DECODER = 3 };

    virtual ~Extension();
    virtual ExtensionType getExtensionType() const = 0;
    virtual zul::ContentType getContentType() const = 0;

    /// Display name of a content type.
    static const std::wstring& toString(zul::ContentType type);
};

/// Reads content of one type from a byte stream.
class ZUL_CORE_API Decoder : public Extension {
public:
    ~Decoder() override;
    ExtensionType getExtensionType() const override { return ET_DECODER; }
    /// Appends what it decodes from `stream` to `results`. `cache` and `key`
    /// belong to the host's caching and may be ignored.
    virtual void decode(ContentPtrVector& results, std::istream& stream, zul::Cache* cache,
                        const std::wstring& key) = 0;
};

/// Writes content; the stand-in host only needs the type.
class ZUL_CORE_API Encoder : public Extension {
public:
    ~Encoder() override;
    ExtensionType getExtensionType() const override { return ET_ENCODER; }
};

/// Opens the resource that a URI names as a binary input stream.
class ZUL_CORE_API StreamAdaptor : public Extension {
public:
    ~StreamAdaptor() override;
    ExtensionType getExtensionType() const override { return ET_ADAPTOR; }
    zul::ContentType getContentType() const override { return zul::CT_UNDEFINED; }
    /// Never returns null; throws std::runtime_error naming the resource when
    /// it cannot be opened.
    virtual std::unique_ptr<std::istream> createStream(const std::shared_ptr<URI>& uri) = 0;
};

/// The decoder of compiled rule files (content type CT_SGB).
class ZUL_CORE_API SGBDecoder : public Decoder {
public:
    ~SGBDecoder() override;
    zul::ContentType getContentType() const override { return zul::CT_SGB; }
};

} // namespace zulx
