#include "zulx/URI.h"
#include "zulx/Utf.h"

#include <cctype>

namespace zulx {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecode(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int hi = hexValue(s[i + 1]);
            const int lo = hexValue(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// A scheme is at least two characters so that "C:/x" style paths stay paths.
size_t schemeLength(const std::string& text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0])))
        return 0;
    size_t i = 1;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) || c == '+' || c == '-' || c == '.')
            ++i;
        else
            break;
    }
    return (i < text.size() && text[i] == ':' && i >= 2) ? i : 0;
}

} // namespace

URI::~URI() = default;

std::shared_ptr<URI> URI::create(const std::wstring& text) {
    return create(wideToUtf8(text));
}

std::shared_ptr<URI> URI::create(const std::string& utf8Text) {
    std::shared_ptr<URI> uri(new URI());
    uri->mText = utf8Text;
    const size_t n = schemeLength(utf8Text);
    if (n == 0) {
        uri->mScheme = "file";
        uri->mPath = utf8Text;
        return uri;
    }
    for (size_t i = 0; i < n; ++i)
        uri->mScheme += static_cast<char>(std::tolower(static_cast<unsigned char>(utf8Text[i])));
    std::string rest = utf8Text.substr(n + 1);
    if (rest.compare(0, 2, "//") == 0) {
        const size_t slash = rest.find('/', 2);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    const size_t query = rest.find_first_of("?#");
    if (query != std::string::npos)
        rest.erase(query);
    uri->mPath = uri->mScheme == "file" ? percentDecode(rest) : rest;
    return uri;
}

} // namespace zulx
