#pragma once

#include "zul/Export.h"

#include <memory>
#include <string>

namespace zulx {

/// A resource location. Plain file-system paths are taken as "file" URIs.
class ZUL_CORE_API URI {
public:
    static std::shared_ptr<URI> create(const std::wstring& text);
    static std::shared_ptr<URI> create(const std::string& utf8Text);
    virtual ~URI();

    /// The text as given, UTF-8 encoded.
    const std::string& str() const { return mText; }
    /// Lower-case scheme ("file" for plain paths).
    const std::string& scheme() const { return mScheme; }
    /// The path part (percent-decoded for file URIs), UTF-8 encoded.
    const std::string& path() const { return mPath; }
    bool isFile() const { return mScheme == "file"; }

private:
    URI() = default;
    std::string mText;
    std::string mScheme;
    std::string mPath;
};

} // namespace zulx
