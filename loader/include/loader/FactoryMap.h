#pragma once

#include "zulx/ExtensionFactory.h"

#include <map>
#include <string>

namespace loader {

/// Ids in registry order: lexicographic by UTF-16 code units, so that the
/// order is the same where wchar_t holds UTF-32.
struct IdLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

/// The registry: every registered factory under its id, in id order.
using FactoryMap = std::map<std::wstring, zulx::ExtensionFactory*, IdLess>;

} // namespace loader
