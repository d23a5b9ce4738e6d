#include "zulx/Utf.h"

#include <cstdint>

namespace zulx {
namespace {

constexpr bool kWide32 = sizeof(wchar_t) == 4;

bool isSurrogate(uint32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendWide(std::wstring& out, uint32_t cp) {
    if (kWide32 || cp < 0x10000) {
        out += static_cast<wchar_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    }
}

} // namespace

std::string wideToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = static_cast<uint32_t>(text[i]);
        if (!kWide32) {
            cp &= 0xFFFF;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                if (i + 1 < n) {
                    const uint32_t lo = static_cast<uint32_t>(text[i + 1]) & 0xFFFF;
                    if (lo >= 0xDC00 && lo <= 0xDFFF) {
                        appendUtf8(out, 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00));
                        ++i;
                    }
                }
                continue; // unpaired high surrogate
            }
            if (cp >= 0xDC00 && cp <= 0xDFFF)
                continue; // unpaired low surrogate
        } else if (isSurrogate(cp) || cp > 0x10FFFF) {
            continue;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::wstring utf8ToWide(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t lead = static_cast<uint8_t>(text[i++]);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            continue;
        }
        size_t extra;
        uint32_t cp;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            continue; // cannot start a sequence
        }
        bool complete = true;
        for (size_t k = 0; k < extra; ++k) {
            if (i >= n) {
                complete = false; // truncated at the end
                break;
            }
            const uint8_t b = static_cast<uint8_t>(text[i++]);
            if ((b & 0xC0) != 0x80) {
                complete = false; // cut short: the offending byte goes with it
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!complete)
            continue;
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || isSurrogate(cp) || cp > 0x10FFFF)
            continue;
        appendWide(out, cp);
    }
    return out;
}

} // namespace zulx
