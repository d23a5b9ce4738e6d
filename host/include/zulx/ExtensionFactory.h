#pragma once

#include "zul/ContentType.h"
#include "zul/Export.h"
#include "zul/Object.h"
#include "zulx/Extension.h"

#include <memory>
#include <string>
#include <vector>

namespace zulx {

class URI;

/// The file-name extensions (leading dot included) that a factory handles.
class ZUL_CORE_API FileExtensions {
public:
    FileExtensions() = default;
    explicit FileExtensions(std::vector<std::wstring> extensions);
    const std::vector<std::wstring>& getExtensions() const { return mExtensions; }
    /// True when `path` ends in one of the extensions, ASCII case-insensitive.
    bool matches(const std::string& utf8Path) const;

private:
    std::vector<std::wstring> mExtensions;
};

/// Creates extensions of one kind. Registered with the extension manager,
/// which owns it from then on.
class ZUL_CORE_API ExtensionFactory {
public:
    virtual ~ExtensionFactory();
    /// A new extension owned by the caller.
    virtual Extension* create() const = 0;
    virtual const std::wstring& getID() const = 0;
    virtual const std::wstring& getName() const = 0;
    virtual const std::wstring& getDescription() const = 0;
    virtual zul::ContentType getContentType() const = 0;
    virtual Extension::ExtensionType getExtensionType() const = 0;
    virtual float getMerit() const { return 0.0f; }
    virtual bool canHandleURI(std::shared_ptr<URI> uri) const = 0;
};

/// Common base of factories that are described by constructor arguments.
class ZUL_CORE_API DescribedFactory : public ExtensionFactory {
public:
    DescribedFactory(zul::ContentType type, std::wstring id, std::wstring name,
                     std::wstring description, FileExtensions extensions);
    ~DescribedFactory() override;
    const std::wstring& getID() const override { return mID; }
    const std::wstring& getName() const override { return mName; }
    const std::wstring& getDescription() const override { return mDescription; }
    zul::ContentType getContentType() const override { return mContentType; }
    /// Accepts a URI whose path ends in one of the file extensions.
    bool canHandleURI(std::shared_ptr<URI> uri) const override;
    const FileExtensions& getFileExtensions() const { return mExtensions; }

private:
    zul::ContentType mContentType;
    std::wstring mID;
    std::wstring mName;
    std::wstring mDescription;
    FileExtensions mExtensions;
};

class ZUL_CORE_API DecoderFactory : public DescribedFactory {
public:
    DecoderFactory(zul::ContentType type, const std::wstring& id, const std::wstring& name,
                   const std::wstring& description, const FileExtensions& extensions,
                   const char* unused = nullptr);
    ~DecoderFactory() override;
    Extension::ExtensionType getExtensionType() const override { return Extension::ET_DECODER; }
    /// A new info record owned by the caller.
    virtual zul::DecoderInfo* createDecoderInfo() const;
};

class ZUL_CORE_API EncoderFactory : public DescribedFactory {
public:
    EncoderFactory(zul::ContentType type, const std::wstring& id, const std::wstring& name,
                   const std::wstring& description, const FileExtensions& extensions,
                   const char* unused = nullptr);
    ~EncoderFactory() override;
    Extension::ExtensionType getExtensionType() const override { return Extension::ET_ENCODER; }
    /// Creates an encoder with options; `callbacks` is passed through untouched.
    virtual Extension* create(const zul::AttributeMap* options, void* callbacks) const = 0;
    using DescribedFactory::create;
    /// True when every key of `options` is one this encoder supports.
    virtual bool checkOptionKeys(const zul::AttributeMap* options) const = 0;
    virtual zul::EncoderInfo* createEncoderInfo() const;
};

class ZUL_CORE_API StreamAdaptorFactory : public DescribedFactory {
public:
    StreamAdaptorFactory(const std::wstring& id, const std::wstring& name,
                         const std::wstring& description);
    ~StreamAdaptorFactory() override;
    Extension::ExtensionType getExtensionType() const override { return Extension::ET_ADAPTOR; }
};

} // namespace zulx
