#pragma once

#include "zul/Export.h"
#include "zul/RuleFileInfo.h"
#include "zulx/Extension.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Constant entries of a compiled-rule record. The loader fills them; the
// record's destructor frees their payloads according to the tag.
namespace SGB {

class Enum;

class ZUL_CORE_API CPEntry {
public:
    enum Tag : int32_t {
        STRING = 0,       ///< payload: std::shared_ptr<std::wstring>*
        DOUBLE = 1,       ///< payload: double*
        INTEGER = 2,      ///< payload: int32_t*
        METHOD = 3,       ///< payload: zulx::MethodRecord*
        BUILTIN = 4,      ///< payload: int32_t* (built-in id)
        CREATE_SHAPE = 5, ///< payload: null
        ENUM_TYPE = 6,    ///< payload: int32_t* (index into the enum type names)
        ENUM_VALUE = 7,   ///< payload: std::shared_ptr<::SGB::Enum>*
    };
    CPEntry(int32_t entryTag, void* entryPayload) : tag(entryTag), payload(entryPayload) {}
    /// Does not free the payload: the owning record does.
    virtual ~CPEntry();
    int32_t tag;
    void* payload;
};

} // namespace SGB

namespace zulx {

/// A method of a compiled rule file as the rule interpreter runs it.
struct ZUL_CORE_API MethodRecord {
    int32_t index = 0;     ///< constant-pool index of the method reference
    int32_t position = -1; ///< position in the class's method list, -1 without body
    int32_t kind = 0;      ///< 0 defined here, 1 bodiless or unrecognised
    int32_t maxStack = -1;
    int32_t paramCount = 0;
    int32_t localSlots = 0;
    std::vector<int32_t> localTypes;
    std::vector<uint8_t> code;
    uint8_t isPublic = 1;
    std::wstring name;
    std::wstring baseName;
    std::wstring descriptor;
    uint8_t valid = 0;
};

/// Everything the loader writes for one compiled rule file.
struct ZUL_CORE_API RuleData {
    RuleData() = default;
    RuleData(const RuleData&) = delete;
    RuleData& operator=(const RuleData&) = delete;
    ~RuleData();

    void* hostReserved = nullptr; ///< the host's own; the loader never touches it
    std::vector<::SGB::CPEntry*> constants;
    std::vector<int32_t> ownFieldRefs;
    std::vector<std::string> enumTypeNames;
    std::vector<int32_t> handleRefs;
    zul::RuleFileInfo* ruleFileInfo = nullptr; ///< owned
    std::map<std::wstring, int32_t> methodIndex;
    uint32_t compilerVersionMajor = 0;
    uint32_t compilerVersionMinor = 0;
    uint32_t languageVersionMajor = 0;
    uint32_t languageVersionMinor = 0;
    std::vector<std::wstring> errors;
    std::vector<std::wstring> warnings;
};

/// The compiled-rule object that the decoder hands to the host.
class ZUL_CORE_API SGB : public Content {
public:
    /// A new, empty compiled-rule object owned by the caller.
    static SGB* create();
    ~SGB() override;
    zul::ContentType getContentType() const override { return zul::CT_SGB; }

    std::shared_ptr<RuleData> data;

private:
    SGB();
};

} // namespace zulx
