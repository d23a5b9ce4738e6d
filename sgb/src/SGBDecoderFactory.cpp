#include "sgb/SGBDecoderFactory.h"
#include "sgb/SGBDecoder.h"

namespace sgb {
namespace {

// Created when the library is loaded; the getters hand out references to them.
const std::wstring kId = L"com.ulno.zul.core.SGBDecoder";
const std::wstring kName = L"SGB Decoder";
const std::wstring kDescription = L"SGB Byte Stream Reader";
const zulx::FileExtensions kExtensions(std::vector<std::wstring>{L".sgb", L".class"});

} // namespace

SGBDecoderFactory::SGBDecoderFactory()
    : zulx::DecoderFactory(zul::CT_SGB, kId, kName, kDescription, kExtensions, nullptr) {}

SGBDecoderFactory::~SGBDecoderFactory() = default;

zulx::Extension* SGBDecoderFactory::create() const {
    return new SGBDecoder();
}
const std::wstring& SGBDecoderFactory::getID() const {
    return kId;
}
const std::wstring& SGBDecoderFactory::getName() const {
    return kName;
}
const std::wstring& SGBDecoderFactory::getDescription() const {
    return kDescription;
}
zul::ContentType SGBDecoderFactory::getContentType() const {
    return zul::CT_SGB;
}

const std::wstring& SGBDecoderFactory::id() {
    return kId;
}
const std::wstring& SGBDecoderFactory::name() {
    return kName;
}
const std::wstring& SGBDecoderFactory::description() {
    return kDescription;
}
const zulx::FileExtensions& SGBDecoderFactory::fileExtensions() {
    return kExtensions;
}

} // namespace sgb
