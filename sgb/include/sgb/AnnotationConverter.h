#pragma once

#include "classfile/Annotation.h"
#include "classfile/ConstantPool.h"
#include "rulefileinfo/AnnotationImpl.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sgb {

class ExpansionBudget;

/// The type name of the container annotation that carries a rule file's and
/// its methods' rule-language annotations.
extern const char* const kContainerAnnotationType;

/// Reads the rule-language annotations of one class file. Each pool slot used
/// as an element name or annotation type is looked at once; after that the
/// thousands of annotations of a large rule file cost a table lookup per
/// element instead of a text comparison. Likewise each UTF-8 slot is widened
/// once, and the texts that many annotations share are copied from then on.
class AnnotationConverter {
public:
    /// Wide texts made are charged to `budget` when there is one.
    explicit AnnotationConverter(const classfile::ConstantPool& pool,
                                 ExpansionBudget* budget = nullptr);

    /// True when `annotation` is a container annotation (its type name begins
    /// with the 28 characters of kContainerAnnotationType).
    bool isContainer(const classfile::AnnotationInfo& annotation) const;

    /// What a nested annotation's name (see nestedName) makes of the method
    /// that carries it: "_$ATTR" an attribute, "_$RULE" a rule.
    enum class Marker : uint8_t { None, Attribute, Rule };
    Marker markerOf(const classfile::AnnotationInfo& nested) const;

    /// The value of a nested annotation's "name" element (the last one when
    /// it has several) as narrow text, or the empty text when it has none.
    /// The result views the pool's text, or `scratch` when the constant is
    /// not a UTF-8 entry.
    std::string_view nestedName(const classfile::AnnotationInfo& nested,
                                std::string& scratch) const;

    /// Fills `target` (a default-constructed annotation) from one nested
    /// annotation: its name and the arguments described by the parallel
    /// arrays "types", "names", "bvals", "dvals" and "svals". Elements of
    /// other names and constants of unexpected kinds are ignored; arrays
    /// shorter than the argument count leave the defaults (unknown type,
    /// false, 0.0, empty texts).
    void convert(rulefileinfo::AnnotationImpl& target,
                 const classfile::AnnotationInfo& nested) const;

    /// The text of pool slot `slot` (ConstantPool::textView, which throws for
    /// a slot that holds nothing) widened, each call charged to the budget.
    std::wstring wideText(size_t slot) const;

    const classfile::ConstantPool& pool() const { return mPool; }

private:
    /// What a pool slot is to the annotation reader.
    enum class SlotKind : uint8_t {
        Unseen, ///< not looked at yet
        Other,  ///< nothing, or a UTF-8 text of no meaning here
        Name,
        Types,
        Names,
        Bvals,
        Dvals,
        Svals,
        ContainerType,
        AttributeMarker,
        RuleMarker,
        NotText, ///< an entry of another kind than UTF-8
    };
    /// A UTF-8 slot's wide text and what each copy of it is charged.
    struct WideText {
        std::wstring text;
        uint64_t charge;
    };

    SlotKind kindOf(size_t slot) const {
        if (slot >= mKinds.size())
            return SlotKind::Other;
        SlotKind& kind = mKinds[slot];
        if (kind == SlotKind::Unseen)
            kind = classify(slot);
        return kind;
    }
    SlotKind classify(size_t slot) const;
    const classfile::ElementValue* namePair(const classfile::AnnotationInfo& nested) const;
    /// Sets `out` to the wide text of a UTF-8 slot; false for any other slot.
    bool wideUtf8(size_t slot, std::wstring& out) const;
    /// The wide text of whatever constant an element value refers to; empty
    /// when the slot is empty or outside the pool.
    std::wstring constantWide(size_t slot) const;
    void fillArgument(rulefileinfo::AnnotationArgumentImpl& argument, SlotKind element,
                      const classfile::ElementValue& value) const;
    void fillArguments(rulefileinfo::AnnotationImpl& target, SlotKind element,
                       const classfile::ElementValue& array) const;

    const classfile::ConstantPool& mPool;
    ExpansionBudget* mBudget;
    mutable std::vector<SlotKind> mKinds;     ///< one per pool slot
    mutable std::vector<uint32_t> mWideSlots; ///< one per pool slot: 1 + index in mWide, or 0
    mutable std::vector<WideText> mWide;
};

/// Calls `visit` with each nested annotation held in the array that is the
/// value of the container's first element, in order; values of the array that
/// are not annotations are skipped.
template <typename Visit>
void forEachNested(const classfile::AnnotationInfo& container, Visit&& visit) {
    if (container.element_value_pairs.empty())
        return;
    for (const classfile::ElementValue* value : container.element_value_pairs.front()->values)
        if (value->annotation_value)
            visit(*value->annotation_value);
}

/// One-off forms of AnnotationConverter's operations.
bool isContainerAnnotation(const classfile::ConstantPool& pool,
                           const classfile::AnnotationInfo& annotation);
std::string_view nestedAnnotationName(const classfile::ConstantPool& pool,
                                      const classfile::AnnotationInfo& nested,
                                      std::string& scratch);
void convertAnnotation(const classfile::ConstantPool& pool, rulefileinfo::AnnotationImpl& target,
                       const classfile::AnnotationInfo& nested);

} // namespace sgb
