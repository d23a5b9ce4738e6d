#include "zulx/ExtensionFactory.h"
#include "zulx/URI.h"
#include "zulx/Utf.h"

#include <sstream>

namespace zulx {
namespace {

bool endsWithIgnoringAsciiCase(const std::string& text, const std::string& suffix) {
    if (suffix.size() > text.size())
        return false;
    const size_t offset = text.size() - suffix.size();
    for (size_t i = 0; i < suffix.size(); ++i) {
        char a = text[offset + i];
        char b = suffix[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

/// Info record of a registered extension: id, name and description.
template <typename Base>
class InfoImpl : public Base {
public:
    explicit InfoImpl(const ExtensionFactory& factory)
        : mID(factory.getID()), mName(factory.getName()), mDescription(factory.getDescription()),
          mContentType(factory.getContentType()), mMerit(factory.getMerit()) {}
    const wchar_t* getID() const override { return mID.c_str(); }
    const wchar_t* getName() const override { return mName.c_str(); }
    const wchar_t* getDescription() const override { return mDescription.c_str(); }
    zul::ContentType getContentType() const override { return mContentType; }
    float getMerit() const override { return mMerit; }
    const char* toXML(char* buffer, size_t* size, zul::Status* stat) const override {
        std::ostringstream out;
        out << "<extension id=\"" << wideToUtf8(mID) << "\" name=\"" << wideToUtf8(mName) << "\"/>";
        const std::string text = out.str();
        const size_t capacity = *size;
        if (capacity != 0 && buffer) {
            const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
            text.copy(buffer, n);
            buffer[n] = 0;
        }
        *size = text.size() + 1;
        if (stat)
            *stat = capacity < *size ? zul::STATUS_BUFFER_TO_SMALL : zul::STATUS_OK;
        return buffer;
    }

private:
    std::wstring mID, mName, mDescription;
    zul::ContentType mContentType;
    float mMerit;
};

} // namespace

FileExtensions::FileExtensions(std::vector<std::wstring> extensions)
    : mExtensions(std::move(extensions)) {}

bool FileExtensions::matches(const std::string& utf8Path) const {
    for (const std::wstring& ext : mExtensions)
        if (!ext.empty() && endsWithIgnoringAsciiCase(utf8Path, wideToUtf8(ext)))
            return true;
    return false;
}

ExtensionFactory::~ExtensionFactory() = default;

DescribedFactory::DescribedFactory(zul::ContentType type, std::wstring id, std::wstring name,
                                   std::wstring description, FileExtensions extensions)
    : mContentType(type), mID(std::move(id)), mName(std::move(name)),
      mDescription(std::move(description)), mExtensions(std::move(extensions)) {}

DescribedFactory::~DescribedFactory() = default;

bool DescribedFactory::canHandleURI(std::shared_ptr<URI> uri) const {
    return uri && mExtensions.matches(uri->path());
}

DecoderFactory::DecoderFactory(zul::ContentType type, const std::wstring& id,
                               const std::wstring& name, const std::wstring& description,
                               const FileExtensions& extensions, const char*)
    : DescribedFactory(type, id, name, description, extensions) {}

DecoderFactory::~DecoderFactory() = default;

zul::DecoderInfo* DecoderFactory::createDecoderInfo() const {
    return new InfoImpl<zul::DecoderInfo>(*this);
}

EncoderFactory::EncoderFactory(zul::ContentType type, const std::wstring& id,
                               const std::wstring& name, const std::wstring& description,
                               const FileExtensions& extensions, const char*)
    : DescribedFactory(type, id, name, description, extensions) {}

EncoderFactory::~EncoderFactory() = default;

zul::EncoderInfo* EncoderFactory::createEncoderInfo() const {
    return new InfoImpl<zul::EncoderInfo>(*this);
}

StreamAdaptorFactory::StreamAdaptorFactory(const std::wstring& id, const std::wstring& name,
                                           const std::wstring& description)
    : DescribedFactory(zul::CT_UNDEFINED, id, name, description, FileExtensions()) {}

StreamAdaptorFactory::~StreamAdaptorFactory() = default;

} // namespace zulx
