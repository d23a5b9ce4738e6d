#pragma once

#include "zulx/Extension.h"
#include "zulx/ExtensionFactory.h"

#include <istream>
#include <memory>

namespace plugins {

/// Opens a local file, named by a plain path or a file: URI, as a binary
/// input stream.
class FileSystemAdaptor : public zulx::StreamAdaptor {
public:
    ~FileSystemAdaptor() override;
    /// Throws std::runtime_error naming the file when it cannot be opened.
    std::unique_ptr<std::istream> createStream(const std::shared_ptr<zulx::URI>& uri) override;
};

/// Factory of the file-system adaptor ("com.ulno.zul.adaptors.FileSystemAdaptor").
/// It accepts file URIs; the extension manager also falls back on it for URIs
/// that no adaptor accepts.
class FileSystemAdaptorFactory : public zulx::StreamAdaptorFactory {
public:
    FileSystemAdaptorFactory();
    ~FileSystemAdaptorFactory() override;
    zulx::Extension* create() const override;
    bool canHandleURI(std::shared_ptr<zulx::URI> uri) const override;
};

} // namespace plugins
