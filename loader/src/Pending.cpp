// Temporary: the operations below arrive with extension management.
#include "loader/ExtensionLibrary.h"
#include "loader/ExtensionManagerImpl.h"

#include <stdexcept>

namespace loader {

namespace {
[[noreturn]] void pending() {
    throw std::logic_error("not implemented yet");
}
} // namespace

ExtensionLibrary::ExtensionLibrary(const boost::filesystem::path& path)
    : name(path.filename().string()) {}
ExtensionLibrary::~ExtensionLibrary() = default;
void ExtensionLibrary::unregisterFactoriesNoThrow(zulx::ExtensionManager*) noexcept {}

void ExtensionManagerImpl::addFactory(zulx::ExtensionFactory*) {
    pending();
}
void ExtensionManagerImpl::listEncoderIds(std::vector<std::wstring>&) const {
    pending();
}
void ExtensionManagerImpl::listDecoderIds(std::vector<std::wstring>&) const {
    pending();
}
zul::EncoderInfo* ExtensionManagerImpl::createEncoderInfo(const std::wstring&) const {
    pending();
}
zul::DecoderInfo* ExtensionManagerImpl::createDecoderInfo(const std::wstring&) const {
    pending();
}
std::shared_ptr<zulx::Encoder>
ExtensionManagerImpl::createEncoder(const std::wstring&, const zul::AttributeMap*, void*) const {
    pending();
}
std::shared_ptr<zulx::Decoder> ExtensionManagerImpl::createDecoder(const std::wstring&) const {
    pending();
}
std::shared_ptr<zulx::Decoder>
ExtensionManagerImpl::createMatchingDecoder(zul::ContentType,
                                            const std::shared_ptr<zulx::URI>&) const {
    pending();
}
std::shared_ptr<zulx::StreamAdaptor>
ExtensionManagerImpl::createStreamAdaptor(const std::shared_ptr<zulx::URI>&) const {
    pending();
}
void ExtensionManagerImpl::addPluginPaths(const wchar_t* const*, size_t) {
    pending();
}
void ExtensionManagerImpl::loadExtensionLibrary(const boost::filesystem::path&) {
    pending();
}

} // namespace loader
