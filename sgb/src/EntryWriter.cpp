#include "sgb/EntryWriter.h"

#include "ExpansionBudget.h"

#include "sgb/CPEntry.h"
#include "sgb/Enum.h"

#include <stdexcept>
#include <utility>

namespace sgb {

template <typename T>
void EntryWriter::put(size_t index, int32_t tag, std::unique_ptr<T> payload) {
    std::vector<::SGB::CPEntry*>& constants = mRecord.constants;
    if (index < constants.size() && constants[index])
        throw std::logic_error("constant entry " + std::to_string(index) + " stored twice");
    if (constants.size() < index + 1)
        constants.resize(index + 1);
    // The record frees the payload by tag once the entry is in place.
    constants[index] = new ::SGB::CPEntry(tag, payload.get());
    payload.release();
}

void EntryWriter::putString(size_t index, std::wstring text) {
    put(index, ::SGB::CPEntry::STRING,
        std::make_unique<std::shared_ptr<std::wstring>>(
            std::make_shared<std::wstring>(std::move(text))));
}

void EntryWriter::putDouble(size_t index, double value) {
    put(index, ::SGB::CPEntry::DOUBLE, std::make_unique<double>(value));
}

void EntryWriter::putInteger(size_t index, int32_t value) {
    put(index, ::SGB::CPEntry::INTEGER, std::make_unique<int32_t>(value));
}

void EntryWriter::putBuiltin(size_t index, int32_t id) {
    put(index, ::SGB::CPEntry::BUILTIN, std::make_unique<int32_t>(id));
}

void EntryWriter::putCreateShape(size_t index) {
    put(index, ::SGB::CPEntry::CREATE_SHAPE, std::unique_ptr<int32_t>());
}

void EntryWriter::putEnumType(size_t index, int32_t position) {
    put(index, ::SGB::CPEntry::ENUM_TYPE, std::make_unique<int32_t>(position));
}

void EntryWriter::putEnumValue(size_t index, int32_t value, std::wstring name) {
    put(index, ::SGB::CPEntry::ENUM_VALUE,
        std::make_unique<std::shared_ptr<::SGB::Enum>>(
            std::make_shared<::SGB::Enum>(value, std::move(name))));
}

void EntryWriter::putMethod(size_t index, std::unique_ptr<zulx::MethodRecord> method) {
    // The index key copies the name and descriptor once more.
    if (mBudget)
        mBudget->charge((method->name.size() + method->descriptor.size()) * sizeof(wchar_t));
    std::wstring key;
    key.reserve(method->name.size() + method->descriptor.size());
    key.append(method->name).append(method->descriptor);
    put(index, ::SGB::CPEntry::METHOD, std::move(method));
    mRecord.methodIndex.insert_or_assign(std::move(key), static_cast<int32_t>(index));
}

} // namespace sgb
