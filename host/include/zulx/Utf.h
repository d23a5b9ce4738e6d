#pragma once

#include "zul/Export.h"

#include <string>

namespace zulx {

/// UTF-8 <-> wide text, code point by code point. Invalid input is dropped,
/// never reported: bytes that cannot start a sequence, sequences cut short
/// (together with the byte that cut them), truncated tails, overlong forms,
/// surrogates and values above 0x10FFFF. Wide text is UTF-32 where wchar_t is
/// 32 bits and UTF-16 where it is 16 bits (unpaired surrogates are dropped).
ZUL_CORE_API std::string wideToUtf8(const std::wstring& text);
ZUL_CORE_API std::wstring utf8ToWide(const std::string& text);

} // namespace zulx
