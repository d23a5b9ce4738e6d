#pragma once

#include <cstdint>

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

} // namespace SGB
