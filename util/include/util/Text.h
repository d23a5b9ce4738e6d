#pragma once

#include "zul/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace util {

/// Wide text to the system's narrow encoding and back. On Linux the narrow
/// encoding is UTF-8 whatever the locale: the conversion drops what it cannot
/// convert and stops at the first zero character, so it never fails here.
std::string toNarrowACP(const std::wstring& text);
std::wstring toWideACP(const std::string& text);

/// Wide text to UTF-8 and back; invalid input is dropped, never reported.
std::string toUTF8(const std::wstring& text);
std::wstring fromUTF8(const std::string& text);

/// Two upper-case hexadecimal digits.
std::string toHexByte(uint8_t byte);

/// Copies `text` into a caller's buffer of *size bytes (cut and always
/// terminated when it does not fit; untouched when *size is 0) and sets *size
/// to the size the whole text needs, terminator included.
void copyToBuffer(const std::string& text, char* buffer, size_t* size);

/// copyToBuffer that also reports STATUS_BUFFER_TO_SMALL (24) when the buffer
/// was smaller than needed and STATUS_OK otherwise, if `status` is not null.
void copyToBuffer(const std::string& text, char* buffer, size_t* size, zul::Status* status);

} // namespace util
