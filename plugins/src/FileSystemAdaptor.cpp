#include "plugins/FileSystemAdaptor.h"

#include "zulx/URI.h"

#include <boost/filesystem/operations.hpp>

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace plugins {

FileSystemAdaptor::~FileSystemAdaptor() = default;

std::unique_ptr<std::istream>
FileSystemAdaptor::createStream(const std::shared_ptr<zulx::URI>& uri) {
    if (!uri)
        throw std::runtime_error("cannot open a file: no URI given");
    // A URI of another scheme reaches this adaptor when no adaptor accepted
    // it; its whole text may still be the name of a local file.
    const std::string path = uri->isFile() ? uri->path() : uri->str();
    boost::system::error_code ignored;
    // An ifstream opens a directory without complaint and then reads nothing.
    if (boost::filesystem::is_directory(path, ignored))
        throw std::runtime_error("cannot open file '" + path + "': it is a directory");
    errno = 0;
    auto stream = std::make_unique<std::ifstream>(path, std::ios::in | std::ios::binary);
    if (!stream->is_open()) {
        const int error = errno;
        throw std::runtime_error("cannot open file '" + path + "': " +
                                 (error != 0 ? std::generic_category().message(error)
                                             : std::string("it cannot be opened")));
    }
    return stream;
}

} // namespace plugins
