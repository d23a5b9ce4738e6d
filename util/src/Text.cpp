#include "util/Text.h"
#include "zulx/Utf.h"

#include <cstring>

namespace util {

std::string toNarrowACP(const std::wstring& text) {
    return zulx::wideToUtf8(std::wstring(text.c_str()));
}

std::wstring toWideACP(const std::string& text) {
    return zulx::utf8ToWide(std::string(text.c_str()));
}

std::string toUTF8(const std::wstring& text) {
    return zulx::wideToUtf8(text);
}

std::wstring fromUTF8(const std::string& text) {
    return zulx::utf8ToWide(text);
}

std::string toHexByte(uint8_t byte) {
    static const std::string digits = "0123456789ABCDEF";
    std::string out(2, '0');
    out[0] = digits[(byte >> 4) & 15];
    out[1] = digits[byte & 15];
    return out;
}

void copyToBuffer(const std::string& text, char* buffer, size_t* size) {
    if (*size != 0) {
        // strncpy semantics: copy what fits, zero-fill the rest, and always
        // terminate at the last byte.
        const size_t n = text.size() < *size ? text.size() : *size;
        std::memcpy(buffer, text.data(), n);
        if (n < *size)
            std::memset(buffer + n, 0, *size - n);
        buffer[*size - 1] = 0;
    }
    *size = text.size() + 1;
}

void copyToBuffer(const std::string& text, char* buffer, size_t* size, zul::Status* status) {
    const size_t capacity = *size;
    copyToBuffer(text, buffer, size);
    if (status)
        *status = capacity < *size ? zul::STATUS_BUFFER_TO_SMALL : zul::STATUS_OK;
}

} // namespace util
