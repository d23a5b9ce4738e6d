#include "JoinedTextTable.h"
#include "TranslationSteps.h"

#include "sgb/Builtins.h"
#include "sgb/Descriptor.h"
#include "sgb/EntryWriter.h"
#include "sgb/EnumMap.h"

#include "util/Log.h"

#include <algorithm>
#include <deque>
#include <memory>

namespace sgb {

void Diagnostics::methodError(std::wstring message) {
    util::Log<zul::LOG_DEBUG>("%s") % message;
    errors.push_back(std::move(message));
}

namespace {

using classfile::ClassInfo;
using classfile::ConstantPool;
using classfile::MethodInfo;

// Field references whose class index is this literal index name the rule
// file's own class: the compiler always writes that class entry there.
constexpr uint32_t kOwnClassIndex = 2;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string_view afterLastSlash(std::string_view text) {
    const size_t slash = text.rfind('/');
    return slash == std::string_view::npos ? text : text.substr(slash + 1);
}

// The name before the first "$", or nothing when there is no "$".
std::wstring baseName(const std::wstring& name) {
    const size_t dollar = name.find(L'$');
    return dollar == std::wstring::npos ? std::wstring() : name.substr(0, dollar);
}

// Entry `i` of `pool` as a `T`. The reader creates the entry class that the
// tag names, so a matching tag needs no run-time type search; any other slot
// goes to the pool's own check, which throws its error.
template <typename T>
const T& entryAs(const ConstantPool& pool, size_t i) {
    const classfile::ConstantPoolEntry* entry = pool.find(i);
    if (entry && entry->tag == T::TAG)
        return static_cast<const T&>(*entry);
    return pool.as<T>(i);
}

// A referenced member's name and descriptor. They are the pool's own texts,
// or copies kept here when the pool gives them through toString.
class MemberName {
public:
    MemberName(const ConstantPool& pool, const classfile::CPERef& ref) {
        const auto& nameAndType = entryAs<classfile::CPENameAndType>(pool, ref.name_and_type_index);
        name = pool.textView(nameAndType.name_index, mNameCopy);
        descriptor = pool.textView(nameAndType.descriptor_index, mDescriptorCopy);
    }
    MemberName(const MemberName&) = delete;
    MemberName& operator=(const MemberName&) = delete;

    std::string_view name;
    std::string_view descriptor;

private:
    std::string mNameCopy;
    std::string mDescriptorCopy;
};

std::string_view className(const ConstantPool& pool, uint32_t classIndex, std::string& scratch) {
    return pool.textView(entryAs<classfile::CPEClass>(pool, classIndex).name_index, scratch);
}

class ConstantTranslator {
public:
    ConstantTranslator(Translation& translation, zulx::RuleData& record)
        : mT(translation), mClass(translation.cls), mPool(translation.pool), mRecord(record),
          mWriter(record, &translation.budget), mDiagnostics(translation.diagnostics),
          mMethodKeys(translation.cls.methods.size()) {}

    void run() {
        indexMethods();
        findBuiltinsClass();
        mRecord.constants.reserve(mPool.size());
        for (size_t i = 0; i < mPool.size(); ++i)
            if (const classfile::ConstantPoolEntry* entry = mPool.find(i))
                translate(i, *entry);
    }

private:
    void indexMethods() {
        for (size_t position = 0; position < mClass.methods.size(); ++position) {
            const MethodInfo& method = *mClass.methods[position];
            const std::string_view name = lastingText(method.name_index);
            const std::string_view descriptor = lastingText(method.descriptor_index);
            mMethodKeys.insert(name, descriptor, position, false); // a later method wins
        }
    }

    // Slot `i`'s text, viewed where it stays for the whole translation: the
    // pool's own text, or a copy kept here when the pool gives it through
    // toString.
    std::string_view lastingText(size_t i) {
        if (const classfile::CPEUtf8* utf8 = mPool.utf8At(i))
            return utf8->value;
        return mTextCopies.emplace_back(mPool.text(i));
    }

    void findBuiltinsClass() {
        for (size_t i = 0; i < mPool.size(); ++i) {
            const auto* entry = mPool.find(i);
            if (!entry || entry->tag != classfile::TAG_CLASS)
                continue;
            // Prefix and suffix may share the slash: com/ulno/Builtins qualifies.
            std::string scratch;
            const std::string_view name =
                mPool.textView(static_cast<const classfile::CPEClass&>(*entry).name_index, scratch);
            if (startsWith(name, "com/ulno/") && endsWith(name, "/Builtins"))
                mBuiltinsClass = static_cast<int64_t>(i);
        }
    }

    // The reader creates the entry class that the tag names, so the casts
    // below need no run-time check.
    void translate(size_t i, const classfile::ConstantPoolEntry& entry) {
        switch (entry.tag) {
        case classfile::TAG_STRING: {
            std::string scratch;
            const auto& string = static_cast<const classfile::CPEString&>(entry);
            mWriter.putString(i, mT.widen(mPool.textView(string.string_index, scratch)));
            break;
        }
        case classfile::TAG_DOUBLE:
            mWriter.putDouble(i, static_cast<const classfile::CPEDouble&>(entry).value);
            break;
        case classfile::TAG_INTEGER:
            mWriter.putInteger(i, static_cast<const classfile::CPEInteger&>(entry).value);
            break;
        case classfile::TAG_FIELDREF:
            translateFieldRef(i, static_cast<const classfile::CPEFieldRef&>(entry));
            break;
        case classfile::TAG_METHODREF:
            translateMethodRef(i, static_cast<const classfile::CPEMethodRef&>(entry));
            break;
        default:
            break; // texts, classes, names and types, floats, longs: nothing to store
        }
    }

    void translateFieldRef(size_t i, const classfile::CPEFieldRef& ref) {
        std::string scratch;
        const std::string_view cls = className(mPool, ref.class_index, scratch);
        const MemberName field(mPool, ref);
        if (ref.class_index == kOwnClassIndex) {
            mRecord.ownFieldRefs.push_back(static_cast<int32_t>(i));
            return;
        }
        // A field of another class is an enum constant; an unknown class throws.
        const std::string enumClass(afterLastSlash(cls));
        const std::string fieldName(field.name);
        const int32_t value = lookupEnumValue(getEnumMap(), enumClass, fieldName);
        std::wstring name;
        name.reserve(enumClass.size() + 1 + fieldName.size());
        widenAppend(name, enumClass, &mT.budget);
        name += L'.';
        widenAppend(name, fieldName, &mT.budget);
        mWriter.putEnumValue(i, value, std::move(name));
    }

    void translateMethodRef(size_t i, const classfile::CPEMethodRef& ref) {
        const MemberName method(mPool, ref);
        std::string& key = mKey;
        key.assign(method.name).append(method.descriptor);

        if (const size_t* position = mMethodKeys.find(key)) {
            mWriter.putMethod(i, definedMethod(i, *position));
            return;
        }
        if (ref.class_index == kOwnClassIndex) {
            const bool isVoid = returnTypeCode(method.descriptor) == zul::AAT_VOID;
            if (!isVoid)
                mDiagnostics.methodError(L"Illegal method '" + mT.widen(key) +
                                         L"' with undefined body  - not a rule (not void).");
            mWriter.putMethod(i, bodilessMethod(i, method, isVoid));
            return;
        }
        if (static_cast<int64_t>(ref.class_index) == mBuiltinsClass) {
            translateBuiltin(i, method, key);
            return;
        }
        if (method.name == "valueOf") {
            // The enum type is the return type's simple name without its ";".
            std::string type(afterLastSlash(method.descriptor));
            if (!type.empty())
                type.pop_back();
            mRecord.enumTypeNames.push_back(std::move(type));
            mWriter.putEnumType(i, static_cast<int32_t>(mRecord.enumTypeNames.size() - 1));
            return;
        }
        mDiagnostics.methodError(L"Non-recognized method '" + mT.widen(key) + L"' (classIndex " +
                                 std::to_wstring(ref.class_index) + L").");
        mWriter.putMethod(i, bodilessMethod(i, method, false));
    }

    void translateBuiltin(size_t i, const MemberName& method, const std::string& key) {
        const int32_t id = lookupBuiltin(key);
        if (id >= 0) {
            mWriter.putBuiltin(i, id);
            if (method.name == "_$getHandle" && method.descriptor != "(Ljava/lang/String;)D") {
                auto& handles = mRecord.handleRefs;
                const auto index = static_cast<int32_t>(i);
                handles.insert(std::upper_bound(handles.begin(), handles.end(), index), index);
            }
        } else if (method.name == "_$createShape") {
            mWriter.putCreateShape(i);
        } else {
            mDiagnostics.methodError(L"Non-recognized builtin method '" + mT.widen(key) + L"'.");
            mWriter.putMethod(i, bodilessMethod(i, method, false));
        }
    }

    std::unique_ptr<zulx::MethodRecord> bodilessMethod(size_t i, const MemberName& method,
                                                       bool valid) {
        auto record = std::make_unique<zulx::MethodRecord>();
        record->index = static_cast<int32_t>(i);
        record->position = -1;
        record->kind = 1;
        record->maxStack = -1;
        record->isPublic = 1;
        record->name = mT.widen(method.name);
        record->baseName = baseName(record->name);
        record->descriptor = mT.widen(method.descriptor);
        record->valid = valid ? 1 : 0;
        return record;
    }

    std::unique_ptr<zulx::MethodRecord> definedMethod(size_t i, size_t position) {
        const MethodInfo& method = *mClass.methods[position];
        std::string nameCopy, descriptorCopy;
        const std::string_view descriptor = mPool.textView(method.descriptor_index, descriptorCopy);
        auto record = std::make_unique<zulx::MethodRecord>();
        record->index = static_cast<int32_t>(i);
        record->position = static_cast<int32_t>(position);
        record->kind = 0;
        record->isPublic = (method.access_flags & 1) ? 1 : 0;
        record->name = mT.widen(mPool.textView(method.name_index, nameCopy));
        record->baseName = baseName(record->name);
        record->descriptor = mT.widen(descriptor);
        record->valid = 1;

        const classfile::AttributeCode* code = method.code();
        if (!code) {
            // Nothing runnable: keep the record so the reference resolves,
            // but mark it unusable. The file is not at fault for it (an
            // abstract or native method has no code), so no error is added.
            record->maxStack = -1;
            record->valid = 0;
            return record;
        }
        record->maxStack = code->max_stack;
        mT.budget.charge(code->code.size());
        record->code.assign(code->code.begin(), code->code.end());
        const auto* locals =
            classfile::findAttribute<classfile::AttributeLocalVariableTable>(code->attributes);
        if (!locals)
            return record;
        record->paramCount = static_cast<int32_t>(parameterTypeCodes(descriptor).size());
        mT.budget.charge(locals->local_variable_table.size() * sizeof(int32_t));
        record->localTypes.resize(locals->local_variable_table.size());
        std::string scratch;
        for (size_t v = 0; v < locals->local_variable_table.size(); ++v) {
            const std::string_view type =
                mPool.textView(locals->local_variable_table[v].descriptor_index, scratch);
            const int32_t local = localTypeCode(type);
            if (local < 0) {
                mDiagnostics.methodError(L"Datatype '" + mT.widen(type) + L"' not supported.");
                record->valid = 0;
                continue;
            }
            record->localTypes[v] = local;
            record->localSlots += localSlotWidth(local);
        }
        return record;
    }

    Translation& mT;
    const ClassInfo& mClass;
    const ConstantPool& mPool;
    zulx::RuleData& mRecord;
    EntryWriter mWriter;
    Diagnostics& mDiagnostics;
    std::deque<std::string> mTextCopies; ///< texts the method keys view, where the pool has none
    JoinedTextTable mMethodKeys;         ///< the class's methods by name and descriptor
    std::string mKey;                    ///< the key being looked up, kept to reuse its storage
    int64_t mBuiltinsClass = -1;
};

} // namespace

void translateConstants(Translation& translation, zulx::RuleData& record) {
    ConstantTranslator(translation, record).run();
}

} // namespace sgb
