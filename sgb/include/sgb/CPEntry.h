#pragma once

#include "sgb/Enum.h"
#include "zulx/SGB.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace SGB {

/// One typed constant entry of a compiled-rule record: what the rule
/// interpreter meets at a constant-pool index, as a tag and a payload whose
/// type the tag names. The loader creates the entries; the record that holds
/// them frees each payload by its tag and then the entry.
class CPEntry {
public:
    enum Tag : int32_t {
        STRING = 0,       ///< payload: std::shared_ptr<std::wstring>*
        DOUBLE = 1,       ///< payload: double*
        INTEGER = 2,      ///< payload: int32_t*
        METHOD = 3,       ///< payload: zulx::MethodRecord*
        BUILTIN = 4,      ///< payload: int32_t* (built-in id)
        CREATE_SHAPE = 5, ///< payload: null
        ENUM_TYPE = 6,    ///< payload: int32_t* (index into the enum type names)
        ENUM_VALUE = 7,   ///< payload: std::shared_ptr<SGB::Enum>*
    };
    CPEntry(int32_t entryTag, void* entryPayload) : tag(entryTag), payload(entryPayload) {}
    /// Does not free the payload. Defined out of line in the loader, which
    /// thereby carries the class's virtual table: the record deletes entries
    /// through it without linking against the loader.
    virtual ~CPEntry();
    CPEntry(const CPEntry&) = delete;
    CPEntry& operator=(const CPEntry&) = delete;

    int32_t tag;
    void* payload;
};

namespace detail {
// `T`, const when `Void` is.
template <typename Void, typename T>
using Payload = std::conditional_t<std::is_const_v<Void>, const T, T>;
} // namespace detail

/// Calls `visit` with the payload `p` of an entry of tag `tag` as the type the
/// tag names: std::shared_ptr<std::wstring> (STRING), double (DOUBLE), int32_t
/// (INTEGER, BUILTIN, ENUM_TYPE), zulx::MethodRecord (METHOD) or
/// std::shared_ptr<SGB::Enum> (ENUM_VALUE), by reference, const when `p` is.
/// Returns false without calling it when there is nothing to visit
/// (CREATE_SHAPE, an unknown tag or a null payload).
template <typename Void, typename Visit>
bool visitPayload(int32_t tag, Void* p, Visit&& visit) {
    static_assert(std::is_void_v<Void>, "a payload is passed as void*");
    if (p == nullptr)
        return false;
    switch (tag) {
    case CPEntry::STRING:
        visit(*static_cast<detail::Payload<Void, std::shared_ptr<std::wstring>>*>(p));
        return true;
    case CPEntry::DOUBLE:
        visit(*static_cast<detail::Payload<Void, double>*>(p));
        return true;
    case CPEntry::INTEGER:
    case CPEntry::BUILTIN:
    case CPEntry::ENUM_TYPE:
        visit(*static_cast<detail::Payload<Void, int32_t>*>(p));
        return true;
    case CPEntry::METHOD:
        visit(*static_cast<detail::Payload<Void, zulx::MethodRecord>*>(p));
        return true;
    case CPEntry::ENUM_VALUE:
        visit(*static_cast<detail::Payload<Void, std::shared_ptr<Enum>>*>(p));
        return true;
    default:
        return false;
    }
}

/// visitPayload over `entry`'s own tag and payload, read-only.
template <typename Visit>
bool visitPayload(const CPEntry& entry, Visit&& visit) {
    return visitPayload(entry.tag, static_cast<const void*>(entry.payload),
                        std::forward<Visit>(visit));
}

} // namespace SGB
