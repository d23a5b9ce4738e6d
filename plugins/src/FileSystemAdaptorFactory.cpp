#include "plugins/FileSystemAdaptor.h"

#include "zulx/URI.h"

namespace plugins {

FileSystemAdaptorFactory::FileSystemAdaptorFactory()
    : zulx::StreamAdaptorFactory(L"com.ulno.zul.adaptors.FileSystemAdaptor", L"File System Adaptor",
                                 L"Opens local files as binary streams") {}

FileSystemAdaptorFactory::~FileSystemAdaptorFactory() = default;

zulx::Extension* FileSystemAdaptorFactory::create() const {
    return new FileSystemAdaptor();
}

bool FileSystemAdaptorFactory::canHandleURI(std::shared_ptr<zulx::URI> uri) const {
    return uri && uri->isFile();
}

} // namespace plugins
