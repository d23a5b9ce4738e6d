#pragma once

#include "classfile/RecordArena.h"

#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace classfile {

class ConstantPool;
struct ReadContext;

/// Which attribute class a record is; one value per known name plus Unknown.
enum class AttributeKind : uint8_t {
    Code,
    ConstantValue,
    Exceptions,
    InnerClasses,
    Synthetic,
    SourceFile,
    LineNumberTable,
    LocalVariableTable,
    Deprecated,
    StackMap,
    RuntimeVisibleAnnotations,
    RuntimeInvisibleAnnotations,
    RuntimeVisibleParameterAnnotations,
    RuntimeInvisibleParameterAnnotations,
    Unknown,
};

/// Base of every attribute of a class, field, method or Code attribute. An
/// attribute lives in its class's arena and goes with it: none is ever
/// deleted on its own, and lists refer to attributes without owning them.
class Attribute {
public:
    /// Writes the attribute's dump.
    virtual void print(std::ostream& out) const = 0;

    /// The attribute as a `T`, or null when it is not one.
    template <typename T>
    const T* as() const {
        // A class with its own kind is told by it, without a run-time type
        // search; the annotation attribute bases need the search.
        if constexpr (hasKind<T>(0))
            return kind == T::KIND ? static_cast<const T*>(this) : nullptr;
        else
            return dynamic_cast<const T*>(this);
    }
    template <typename T>
    bool is() const {
        return as<T>() != nullptr;
    }

    const ConstantPool* pool = nullptr;
    uint32_t name_index = 0;
    /// Position in its attribute list, from 0.
    uint32_t index = 0;
    /// The header's length; fixed at 2 for ConstantValue and SourceFile and at
    /// 0 for Synthetic and Deprecated.
    uint32_t attribute_length = 0;
    /// The name as found in the pool: a view of the pool's own text, or of a
    /// copy in the class's arena when the name slot is not a UTF-8 entry.
    std::string_view name;
    const AttributeKind kind;

protected:
    explicit Attribute(AttributeKind k) : kind(k) {}
    ~Attribute() = default;
    Attribute(const Attribute&) = delete;
    Attribute& operator=(const Attribute&) = delete;

private:
    template <typename T>
    static constexpr auto hasKind(int) -> decltype(T::KIND, bool()) {
        return true;
    }
    template <typename T>
    static constexpr bool hasKind(...) {
        return false;
    }
};

/// A list of attributes; the class's arena holds them.
using AttributeList = RecordList<const Attribute*>;

/// Reads one attribute with the context's pool: header, then the layout its
/// name selects (raw bytes for an unknown name), made in the context's arena.
/// `index` is its position in the list being read; `depth` counts the Code
/// attributes the list is nested in.
const Attribute* readAttribute(ReadContext& context, uint32_t index, unsigned depth = 0);

/// Reads `count` attributes into a list, positions from 0.
AttributeList readAttributes(ReadContext& context, uint32_t count, unsigned depth = 0);

/// The first attribute of `list` that is a `T`, or null.
template <typename T>
const T* findAttribute(const AttributeList& list) {
    for (const Attribute* a : list)
        if (const T* typed = a->as<T>())
            return typed;
    return nullptr;
}

} // namespace classfile
