#pragma once

#include "classfile/Attribute.h"
#include "classfile/RecordArena.h"

#include <cstdint>
#include <iosfwd>

namespace classfile {

class ClassInfo;
class ConstantPool;
class ElementValue;
struct ReadContext;

/// One annotation: its type and its element-value pairs. Annotations and
/// element values live in their class's arena (or the arena of the context
/// that read them) and go with it.
class AnnotationInfo {
public:
    /// Reads one annotation with the context's pool, its element values made
    /// in the context's arena. `depth` counts the element values this
    /// annotation is nested in; reading fails beyond a fixed bound so hostile
    /// nesting cannot exhaust the stack.
    explicit AnnotationInfo(ReadContext& context, unsigned depth = 0);
    AnnotationInfo(const AnnotationInfo&) = delete;
    AnnotationInfo& operator=(const AnnotationInfo&) = delete;

    /// Writes the annotation's dump.
    void print(std::ostream& out) const;

    const ClassInfo* owner = nullptr;
    uint32_t type_index = 0;
    uint16_t num_element_value_pairs = 0;
    /// The pairs, each an ElementValue carrying its element name.
    InPlaceList<ElementValue> element_value_pairs;
};

/// One element value, named when it is the value of a pair. Only the members
/// its tag uses are set; the others stay 0, empty or null.
class ElementValue {
public:
    /// Reads the name index first when `withName`; see AnnotationInfo for `depth`.
    ElementValue(ReadContext& context, bool withName, unsigned depth = 0);
    ElementValue(const ElementValue&) = delete;
    ElementValue& operator=(const ElementValue&) = delete;

    /// Writes the element value's dump.
    void print(std::ostream& out) const;

    /// Reads an element value into `at`, as the constructor does.
    static void readInto(void* at, ReadContext& context, bool withName, unsigned depth);

    /// True for the tags whose payload is const_value_index: B C D F I J S Z s.
    static bool isConstantTag(uint8_t tag) {
        switch (tag) {
        case 'B':
        case 'C':
        case 'D':
        case 'F':
        case 'I':
        case 'J':
        case 'S':
        case 'Z':
        case 's':
            return true;
        default:
            return false;
        }
    }

    // The small members come first so that they share one word.
    const ClassInfo* owner = nullptr;
    bool hasName = false;
    uint8_t tag = 0;
    uint16_t element_name_index = 0;
    uint16_t num_values = 0;                          ///< tag [
    uint32_t const_value_index = 0;                   ///< tags B C D F I J S Z s
    uint32_t type_name_index = 0;                     ///< tag e
    uint32_t const_name_index = 0;                    ///< tag e
    uint32_t class_info_index = 0;                    ///< tag c
    const AnnotationInfo* annotation_value = nullptr; ///< tag @
    InPlaceList<ElementValue> values;                 ///< tag [, without names

private:
    // An annotation takes its constant pairs from the buffer itself.
    friend class AnnotationInfo;

    // The `count` values of an array at `depth`, without names.
    static InPlaceList<ElementValue> readValues(ReadContext& context, uint16_t count,
                                                unsigned depth);
    // A value whose bytes up to its payload the caller took from the buffer.
    ElementValue(const ClassInfo* classInfo, bool withName, uint16_t nameIndex, uint8_t valueTag,
                 uint16_t constIndex)
        : owner(classInfo), hasName(withName), tag(valueTag), element_name_index(nameIndex),
          const_value_index(constIndex) {}
};

/// A list of annotations; the class's arena holds them.
using AnnotationList = InPlaceList<AnnotationInfo>;

/// Base of the two annotation attributes of a class, field or method.
class AttributeRuntimeAnnotations : public Attribute {
public:
    void print(std::ostream& out) const override;
    uint16_t num_annotations = 0;
    AnnotationList annotations;

protected:
    AttributeRuntimeAnnotations(AttributeKind k, ReadContext& context);
    ~AttributeRuntimeAnnotations() = default;
};

/// "RuntimeVisibleAnnotations".
class AttributeRuntimeVisibleAnnotations final : public AttributeRuntimeAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeVisibleAnnotations;
    explicit AttributeRuntimeVisibleAnnotations(ReadContext& context)
        : AttributeRuntimeAnnotations(KIND, context) {}
};

/// "RuntimeInvisibleAnnotations".
class AttributeRuntimeInvisibleAnnotations final : public AttributeRuntimeAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeInvisibleAnnotations;
    explicit AttributeRuntimeInvisibleAnnotations(ReadContext& context)
        : AttributeRuntimeAnnotations(KIND, context) {}
};

/// Base of the two parameter-annotation attributes of a method: one list of
/// annotations per parameter.
class AttributeRuntimeParameterAnnotations : public Attribute {
public:
    void print(std::ostream& out) const override;
    uint8_t num_parameters = 0;
    RecordList<AnnotationList> parameter_annotations;

protected:
    AttributeRuntimeParameterAnnotations(AttributeKind k, ReadContext& context);
    ~AttributeRuntimeParameterAnnotations() = default;
};

/// "RuntimeVisibleParameterAnnotations".
class AttributeRuntimeVisibleParameterAnnotations final
    : public AttributeRuntimeParameterAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeVisibleParameterAnnotations;
    explicit AttributeRuntimeVisibleParameterAnnotations(ReadContext& context)
        : AttributeRuntimeParameterAnnotations(KIND, context) {}
};

/// "RuntimeInvisibleParameterAnnotations".
class AttributeRuntimeInvisibleParameterAnnotations final
    : public AttributeRuntimeParameterAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeInvisibleParameterAnnotations;
    explicit AttributeRuntimeInvisibleParameterAnnotations(ReadContext& context)
        : AttributeRuntimeParameterAnnotations(KIND, context) {}
};

} // namespace classfile
