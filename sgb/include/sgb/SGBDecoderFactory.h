#pragma once

#include "zulx/ExtensionFactory.h"

namespace sgb {

/// Factory of the built-in decoder of compiled rule files (content type 5,
/// id "com.ulno.zul.core.SGBDecoder", file extensions ".sgb" and ".class").
class SGBDecoderFactory : public zulx::DecoderFactory {
public:
    SGBDecoderFactory();
    ~SGBDecoderFactory() override;
    zulx::Extension* create() const override;
    const std::wstring& getID() const override;
    const std::wstring& getName() const override;
    const std::wstring& getDescription() const override;
    zul::ContentType getContentType() const override;

    static const std::wstring& id();
    static const std::wstring& name();
    static const std::wstring& description();
    static const zulx::FileExtensions& fileExtensions();
};

} // namespace sgb
