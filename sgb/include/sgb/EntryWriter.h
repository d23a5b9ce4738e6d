#pragma once

#include "zulx/SGB.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sgb {

class ExpansionBudget;

/// Stores typed constant entries into a rule data record, one per constant-
/// pool index. Each call takes over its payload; nothing leaks when a call
/// throws. The vector grows to end at the index stored last, leaving null
/// slots for indexes that need no entry. Indexes must increase from call to
/// call, and an index is stored at most once.
class EntryWriter {
public:
    /// The method index keys are charged to `budget` when there is one.
    explicit EntryWriter(zulx::RuleData& record, ExpansionBudget* budget = nullptr)
        : mRecord(record), mBudget(budget) {}

    void putString(size_t index, std::wstring text);
    void putDouble(size_t index, double value);
    void putInteger(size_t index, int32_t value);
    void putBuiltin(size_t index, int32_t id);
    void putCreateShape(size_t index);
    void putEnumType(size_t index, int32_t position);
    void putEnumValue(size_t index, int32_t value, std::wstring name);

    /// Stores a tag-3 entry and enters the method's name followed by its
    /// descriptor into the record's method index (overwriting an older one).
    void putMethod(size_t index, std::unique_ptr<zulx::MethodRecord> method);

private:
    template <typename T>
    void put(size_t index, int32_t tag, std::unique_ptr<T> payload);

    zulx::RuleData& mRecord;
    ExpansionBudget* mBudget;
};

} // namespace sgb
