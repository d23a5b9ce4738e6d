#pragma once

#include "classfile/Attribute.h"
#include "classfile/Pooled.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <vector>

namespace classfile {

class ByteReader;
class ClassInfo;
class ConstantPool;
class ElementValue;

/// One annotation: its type and its element-value pairs.
class AnnotationInfo : public Pooled {
public:
    /// `depth` counts the element values this annotation is nested in; reading
    /// fails beyond a fixed bound so hostile nesting cannot exhaust the stack.
    AnnotationInfo(ByteReader& in, const ConstantPool& pool, unsigned depth = 0);
    virtual ~AnnotationInfo();
    AnnotationInfo(const AnnotationInfo&) = delete;
    AnnotationInfo& operator=(const AnnotationInfo&) = delete;

    /// Writes the annotation's dump.
    void print(std::ostream& out) const;

    const ClassInfo* owner = nullptr;
    uint32_t type_index = 0;
    uint16_t num_element_value_pairs = 0;
    /// The pairs, each an ElementValue carrying its element name.
    RecordVector<std::unique_ptr<ElementValue>> element_value_pairs;
};

/// One element value, named when it is the value of a pair. Only the members
/// its tag uses are set; the others stay 0, empty or null.
class ElementValue : public Pooled {
public:
    /// Reads the name index first when `withName`; see AnnotationInfo for `depth`.
    ElementValue(const ConstantPool& pool, ByteReader& in, bool withName, unsigned depth = 0);
    virtual ~ElementValue();
    ElementValue(const ElementValue&) = delete;
    ElementValue& operator=(const ElementValue&) = delete;

    /// Writes the element value's dump.
    void print(std::ostream& out) const;

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
    uint16_t num_values = 0;                            ///< tag [
    uint32_t const_value_index = 0;                     ///< tags B C D F I J S Z s
    uint32_t type_name_index = 0;                       ///< tag e
    uint32_t const_name_index = 0;                      ///< tag e
    uint32_t class_info_index = 0;                      ///< tag c
    std::unique_ptr<AnnotationInfo> annotation_value;   ///< tag @
    RecordVector<std::unique_ptr<ElementValue>> values; ///< tag [, without names
};

using AnnotationList = RecordVector<std::unique_ptr<AnnotationInfo>>;

/// Base of the two annotation attributes of a class, field or method.
class AttributeRuntimeAnnotations : public Attribute {
public:
    ~AttributeRuntimeAnnotations() override;
    void print(std::ostream& out) const override;
    uint16_t num_annotations = 0;
    AnnotationList annotations;

protected:
    AttributeRuntimeAnnotations(AttributeKind k, ByteReader& in, const ConstantPool& pool);
};

/// "RuntimeVisibleAnnotations".
class AttributeRuntimeVisibleAnnotations : public AttributeRuntimeAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeVisibleAnnotations;
    AttributeRuntimeVisibleAnnotations(ByteReader& in, const ConstantPool& constantPool)
        : AttributeRuntimeAnnotations(KIND, in, constantPool) {}
};

/// "RuntimeInvisibleAnnotations".
class AttributeRuntimeInvisibleAnnotations : public AttributeRuntimeAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeInvisibleAnnotations;
    AttributeRuntimeInvisibleAnnotations(ByteReader& in, const ConstantPool& constantPool)
        : AttributeRuntimeAnnotations(KIND, in, constantPool) {}
};

/// Base of the two parameter-annotation attributes of a method: one list of
/// annotations per parameter.
class AttributeRuntimeParameterAnnotations : public Attribute {
public:
    ~AttributeRuntimeParameterAnnotations() override;
    void print(std::ostream& out) const override;
    uint8_t num_parameters = 0;
    RecordVector<AnnotationList> parameter_annotations;

protected:
    AttributeRuntimeParameterAnnotations(AttributeKind k, ByteReader& in, const ConstantPool& pool);
};

/// "RuntimeVisibleParameterAnnotations".
class AttributeRuntimeVisibleParameterAnnotations : public AttributeRuntimeParameterAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeVisibleParameterAnnotations;
    AttributeRuntimeVisibleParameterAnnotations(ByteReader& in, const ConstantPool& constantPool)
        : AttributeRuntimeParameterAnnotations(KIND, in, constantPool) {}
};

/// "RuntimeInvisibleParameterAnnotations".
class AttributeRuntimeInvisibleParameterAnnotations : public AttributeRuntimeParameterAnnotations {
public:
    static constexpr AttributeKind KIND = AttributeKind::RuntimeInvisibleParameterAnnotations;
    AttributeRuntimeInvisibleParameterAnnotations(ByteReader& in, const ConstantPool& constantPool)
        : AttributeRuntimeParameterAnnotations(KIND, in, constantPool) {}
};

} // namespace classfile
