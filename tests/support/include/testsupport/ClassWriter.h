#pragma once

// A small writer of class files, for tests and for tools that generate rule
// files: a constant pool with entries of every tag, fields, methods, class
// attributes, every attribute layout the reader knows, and annotations with
// every element-value tag. Header-only and free of dependencies beyond the
// standard library.

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

/// A growing big-endian byte buffer.
class Bytes {
public:
    Bytes() = default;
    Bytes(std::initializer_list<uint8_t> bytes) : data(bytes) {}

    Bytes& u1(uint32_t v) {
        data.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& u2(uint32_t v) { return u1(v >> 8).u1(v); }
    Bytes& u4(uint32_t v) { return u2(v >> 16).u2(v); }
    Bytes& u8(uint64_t v) {
        return u4(static_cast<uint32_t>(v >> 32)).u4(static_cast<uint32_t>(v));
    }
    Bytes& raw(const std::vector<uint8_t>& bytes) {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes& raw(const std::string& bytes) {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes& raw(const Bytes& bytes) { return raw(bytes.data); }

    size_t size() const { return data.size(); }
    std::string str() const { return std::string(data.begin(), data.end()); }

    std::vector<uint8_t> data;
};

/// One attribute as written: pool index of its name and its body. The header
/// length is the body's size unless `length` overrides it.
struct AttributeBytes {
    uint16_t nameIndex = 0;
    Bytes body;
    std::optional<uint32_t> length;

    void writeTo(Bytes& out) const {
        out.u2(nameIndex).u4(length ? *length : static_cast<uint32_t>(body.size())).raw(body);
    }
};
using AttributeBytesList = std::vector<AttributeBytes>;

struct ExceptionRow {
    uint16_t startPc, endPc, handlerPc, catchType;
};
struct InnerClassRow {
    uint16_t innerClassInfo, outerClassInfo, innerName, accessFlags;
};
struct LineNumberRow {
    uint16_t startPc, lineNumber;
};
struct LocalVariableRow {
    uint16_t startPc, length, nameIndex, descriptorIndex, index;
};

/// A verification type of a StackMap frame: tags 0 to 8, with an operand for
/// 7 (class index) and 8 (offset); any other tag is written as given.
struct VerificationType {
    uint8_t tag = 0;
    uint16_t operand = 0;
    void writeTo(Bytes& out) const {
        out.u1(tag);
        if (tag == 7 || tag == 8)
            out.u2(operand);
    }
};
struct StackMapFrame {
    uint16_t offset = 0;
    std::vector<VerificationType> locals;
    std::vector<VerificationType> stack;
};

struct AnnotationSpec;

/// An element value: its tag and the payload its tag implies. `bare` values
/// write only their tag (the reader's rule for unknown tags).
struct ElementValueSpec {
    uint8_t tag = 's';
    std::vector<uint16_t> indices;              ///< the u2 payload (1 or 2 values)
    std::vector<ElementValueSpec> values;       ///< tag '['
    std::shared_ptr<AnnotationSpec> annotation; ///< tag '@'
    bool bareTag = false;

    /// Tags B C D F I J S Z s with a pool index.
    static ElementValueSpec constant(char tag, uint16_t constIndex) {
        return {static_cast<uint8_t>(tag), {constIndex}, {}, nullptr, false};
    }
    static ElementValueSpec enumValue(uint16_t typeNameIndex, uint16_t constNameIndex) {
        return {'e', {typeNameIndex, constNameIndex}, {}, nullptr, false};
    }
    static ElementValueSpec classValue(uint16_t classInfoIndex) {
        return {'c', {classInfoIndex}, {}, nullptr, false};
    }
    static ElementValueSpec array(std::vector<ElementValueSpec> elements) {
        return {'[', {}, std::move(elements), nullptr, false};
    }
    static inline ElementValueSpec nested(const AnnotationSpec& a);
    /// Only the tag byte.
    static ElementValueSpec bare(uint8_t tag) { return {tag, {}, {}, nullptr, true}; }

    inline void writeTo(Bytes& out) const;
};

struct ElementValuePair {
    uint16_t nameIndex = 0;
    ElementValueSpec value;
};

/// An annotation: pool index of its type descriptor and its pairs.
struct AnnotationSpec {
    uint16_t typeIndex = 0;
    std::vector<ElementValuePair> pairs;

    void writeTo(Bytes& out) const {
        out.u2(typeIndex).u2(static_cast<uint32_t>(pairs.size()));
        for (const ElementValuePair& p : pairs) {
            out.u2(p.nameIndex);
            p.value.writeTo(out);
        }
    }
};

inline ElementValueSpec ElementValueSpec::nested(const AnnotationSpec& a) {
    return {'@', {}, {}, std::make_shared<AnnotationSpec>(a), false};
}

inline void ElementValueSpec::writeTo(Bytes& out) const {
    out.u1(tag);
    if (bareTag)
        return;
    if (tag == '@') {
        if (annotation)
            annotation->writeTo(out);
        return;
    }
    if (tag == '[') {
        out.u2(static_cast<uint32_t>(values.size()));
        for (const ElementValueSpec& v : values)
            v.writeTo(out);
        return;
    }
    for (uint16_t i : indices)
        out.u2(i);
}

/// Builds a class file. Pool helpers return the slot they fill and reuse an
/// identical entry written before (except rawEntry, which always appends).
///
/// Slots are numbered in the order the helpers run, and C++ leaves the order
/// of a call's arguments open: a call must not take two pool helpers as
/// arguments. Helpers that fill several slots write the later parts first,
/// the order in which the existing example files and tests were laid out.
class ClassWriter {
public:
    // Header values, written as set.
    uint32_t magic = 0xCAFEBABE;
    uint16_t minorVersion = 0;
    uint16_t majorVersion = 50;
    uint16_t accessFlags = 0x0021;
    uint16_t thisClass = 0;
    uint16_t superClass = 0;
    std::vector<uint16_t> interfaces;
    /// Written instead of the real constant_pool_count when set.
    std::optional<uint16_t> poolCountOverride;

    // ---- constant pool -------------------------------------------------

    uint16_t utf8(const std::string& text) {
        return entry(1, Bytes().u2(checkedU2(text.size())).raw(text));
    }
    /// Tag 2: a 4-byte length, then the bytes.
    uint16_t unicode(const std::string& bytes) {
        return entry(2, Bytes().u4(static_cast<uint32_t>(bytes.size())).raw(bytes));
    }
    uint16_t integer(int32_t value) { return entry(3, Bytes().u4(static_cast<uint32_t>(value))); }
    uint16_t floating(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return entry(4, Bytes().u4(bits));
    }
    uint16_t longValue(int64_t value) {
        return entry(5, Bytes().u8(static_cast<uint64_t>(value)), 2);
    }
    uint16_t doubleValue(double value) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return entry(6, Bytes().u8(bits), 2);
    }
    /// A class entry naming `internalName` ("a/b/C").
    uint16_t classNamed(const std::string& internalName) { return classEntry(utf8(internalName)); }
    uint16_t classEntry(uint16_t nameIndex) { return entry(7, Bytes().u2(nameIndex)); }
    uint16_t string(const std::string& text) { return entry(8, Bytes().u2(utf8(text))); }
    uint16_t nameAndType(const std::string& name, const std::string& descriptor) {
        const uint16_t descriptorIndex = utf8(descriptor);
        return nameAndTypeEntry(utf8(name), descriptorIndex);
    }
    uint16_t nameAndTypeEntry(uint16_t nameIndex, uint16_t descriptorIndex) {
        return entry(12, Bytes().u2(nameIndex).u2(descriptorIndex));
    }
    uint16_t fieldRef(const std::string& cls, const std::string& name, const std::string& desc) {
        return memberRef(9, cls, name, desc);
    }
    uint16_t methodRef(const std::string& cls, const std::string& name, const std::string& desc) {
        return memberRef(10, cls, name, desc);
    }
    uint16_t interfaceMethodRef(const std::string& cls, const std::string& name,
                                const std::string& desc) {
        return memberRef(11, cls, name, desc);
    }
    /// Tags 9, 10, 11 with raw indices.
    uint16_t refEntry(uint8_t tag, uint16_t classIndex, uint16_t nameAndTypeIndex) {
        return entry(tag, Bytes().u2(classIndex).u2(nameAndTypeIndex));
    }
    /// Appends a tag and payload as given, taking `slots` slots; never reused.
    uint16_t rawEntry(uint8_t tag, const Bytes& payload, unsigned slots = 1) {
        const uint16_t index = mNextSlot;
        mPool.u1(tag).raw(payload);
        advance(slots);
        return index;
    }

    // ---- attributes ----------------------------------------------------

    AttributeBytes attribute(const std::string& name, Bytes body) {
        return AttributeBytes{utf8(name), std::move(body), std::nullopt};
    }
    AttributeBytes code(uint16_t maxStack, uint16_t maxLocals, const std::vector<uint8_t>& bytecode,
                        const std::vector<ExceptionRow>& exceptionTable = {},
                        const AttributeBytesList& nested = {}) {
        Bytes b;
        b.u2(maxStack).u2(maxLocals).u4(static_cast<uint32_t>(bytecode.size())).raw(bytecode);
        b.u2(static_cast<uint32_t>(exceptionTable.size()));
        for (const ExceptionRow& r : exceptionTable)
            b.u2(r.startPc).u2(r.endPc).u2(r.handlerPc).u2(r.catchType);
        writeList(b, nested);
        return attribute("Code", std::move(b));
    }
    AttributeBytes constantValue(uint16_t constIndex) {
        return attribute("ConstantValue", Bytes().u2(constIndex));
    }
    AttributeBytes sourceFile(const std::string& fileName) {
        return attribute("SourceFile", Bytes().u2(utf8(fileName)));
    }
    AttributeBytes exceptions(const std::vector<uint16_t>& classIndices) {
        return table("Exceptions", classIndices, [](Bytes& b, uint16_t i) { b.u2(i); });
    }
    AttributeBytes innerClasses(const std::vector<InnerClassRow>& rows) {
        return table("InnerClasses", rows, [](Bytes& b, const InnerClassRow& r) {
            b.u2(r.innerClassInfo).u2(r.outerClassInfo).u2(r.innerName).u2(r.accessFlags);
        });
    }
    AttributeBytes synthetic() { return attribute("Synthetic", Bytes()); }
    AttributeBytes deprecated() { return attribute("Deprecated", Bytes()); }
    AttributeBytes lineNumberTable(const std::vector<LineNumberRow>& rows) {
        return table("LineNumberTable", rows,
                     [](Bytes& b, const LineNumberRow& r) { b.u2(r.startPc).u2(r.lineNumber); });
    }
    AttributeBytes localVariableTable(const std::vector<LocalVariableRow>& rows) {
        return table("LocalVariableTable", rows, [](Bytes& b, const LocalVariableRow& r) {
            b.u2(r.startPc).u2(r.length).u2(r.nameIndex).u2(r.descriptorIndex).u2(r.index);
        });
    }
    /// A local-variable row naming its variable and descriptor by text.
    LocalVariableRow local(uint16_t startPc, uint16_t length, const std::string& name,
                           const std::string& descriptor, uint16_t slot) {
        return LocalVariableRow{startPc, length, utf8(name), utf8(descriptor), slot};
    }
    AttributeBytes stackMap(const std::vector<StackMapFrame>& frames) {
        return table("StackMap", frames, [](Bytes& b, const StackMapFrame& f) {
            b.u2(f.offset);
            for (const auto* types : {&f.locals, &f.stack}) {
                b.u2(static_cast<uint32_t>(types->size()));
                for (const VerificationType& t : *types)
                    t.writeTo(b);
            }
        });
    }
    /// "RuntimeVisibleAnnotations" or, with visible false, the invisible kind.
    AttributeBytes annotations(const std::vector<AnnotationSpec>& list, bool visible = true) {
        return table(visible ? "RuntimeVisibleAnnotations" : "RuntimeInvisibleAnnotations", list,
                     [](Bytes& b, const AnnotationSpec& a) { a.writeTo(b); });
    }
    /// One annotation list per parameter.
    AttributeBytes parameterAnnotations(const std::vector<std::vector<AnnotationSpec>>& params,
                                        bool visible = true) {
        Bytes b;
        b.u1(static_cast<uint32_t>(params.size()));
        for (const auto& list : params) {
            b.u2(static_cast<uint32_t>(list.size()));
            for (const AnnotationSpec& a : list)
                a.writeTo(b);
        }
        return attribute(visible ? "RuntimeVisibleParameterAnnotations"
                                 : "RuntimeInvisibleParameterAnnotations",
                         std::move(b));
    }
    /// An annotation of type `descriptor` ("Lpkg/Name;") with pairs named by text.
    AnnotationSpec annotation(const std::string& descriptor,
                              const std::vector<std::pair<std::string, ElementValueSpec>>& pairs) {
        AnnotationSpec a;
        a.typeIndex = utf8(descriptor);
        for (const auto& p : pairs)
            a.pairs.push_back(ElementValuePair{utf8(p.first), p.second});
        return a;
    }

    // ---- members -------------------------------------------------------

    void addField(uint16_t access, const std::string& name, const std::string& descriptor,
                  const AttributeBytesList& attrs = {}) {
        const uint16_t descriptorIndex = utf8(descriptor);
        addField(access, utf8(name), descriptorIndex, attrs);
    }
    void addField(uint16_t access, uint16_t nameIndex, uint16_t descriptorIndex,
                  const AttributeBytesList& attrs) {
        writeMember(mFields, mFieldCount, access, nameIndex, descriptorIndex, attrs);
    }
    void addMethod(uint16_t access, const std::string& name, const std::string& descriptor,
                   const AttributeBytesList& attrs = {}) {
        const uint16_t descriptorIndex = utf8(descriptor);
        addMethod(access, utf8(name), descriptorIndex, attrs);
    }
    void addMethod(uint16_t access, uint16_t nameIndex, uint16_t descriptorIndex,
                   const AttributeBytesList& attrs) {
        writeMember(mMethods, mMethodCount, access, nameIndex, descriptorIndex, attrs);
    }
    void addAttribute(const AttributeBytes& a) {
        a.writeTo(mAttributes);
        ++mAttributeCount;
    }

    // ---- output --------------------------------------------------------

    /// The whole class file.
    Bytes build() const {
        Bytes out;
        out.u4(magic).u2(minorVersion).u2(majorVersion);
        out.u2(poolCountOverride ? *poolCountOverride : mNextSlot).raw(mPool);
        out.u2(accessFlags).u2(thisClass).u2(superClass);
        out.u2(static_cast<uint32_t>(interfaces.size()));
        for (uint16_t i : interfaces)
            out.u2(i);
        out.u2(mFieldCount).raw(mFields);
        out.u2(mMethodCount).raw(mMethods);
        out.u2(mAttributeCount).raw(mAttributes);
        return out;
    }
    std::string str() const { return build().str(); }

private:
    /// An attribute holding a u2 count of rows, then each row.
    template <typename Row, typename WriteRow>
    AttributeBytes table(const std::string& name, const std::vector<Row>& rows, WriteRow write) {
        Bytes b;
        b.u2(static_cast<uint32_t>(rows.size()));
        for (const Row& r : rows)
            write(b, r);
        return attribute(name, std::move(b));
    }
    static uint16_t checkedU2(size_t n) {
        if (n > 0xFFFF)
            throw std::length_error("class writer: value does not fit in 2 bytes");
        return static_cast<uint16_t>(n);
    }
    uint16_t memberRef(uint8_t tag, const std::string& cls, const std::string& name,
                       const std::string& desc) {
        const uint16_t nameAndTypeIndex = nameAndType(name, desc);
        return refEntry(tag, classNamed(cls), nameAndTypeIndex);
    }
    uint16_t entry(uint8_t tag, const Bytes& payload, unsigned slots = 1) {
        std::string key(1, static_cast<char>(tag));
        key += payload.str();
        const auto found = mInterned.find(key);
        if (found != mInterned.end())
            return found->second;
        const uint16_t index = rawEntry(tag, payload, slots);
        mInterned.emplace(std::move(key), index);
        return index;
    }
    void advance(unsigned slots) {
        if (mNextSlot + slots > 0xFFFF)
            throw std::length_error("class writer: constant pool full");
        mNextSlot = static_cast<uint16_t>(mNextSlot + slots);
    }
    static void writeList(Bytes& out, const AttributeBytesList& attrs) {
        out.u2(checkedU2(attrs.size()));
        for (const AttributeBytes& a : attrs)
            a.writeTo(out);
    }
    static void writeMember(Bytes& out, uint16_t& count, uint16_t access, uint16_t nameIndex,
                            uint16_t descriptorIndex, const AttributeBytesList& attrs) {
        out.u2(access).u2(nameIndex).u2(descriptorIndex);
        writeList(out, attrs);
        ++count;
    }

    Bytes mPool;
    uint16_t mNextSlot = 1;
    std::map<std::string, uint16_t> mInterned;
    Bytes mFields, mMethods, mAttributes;
    uint16_t mFieldCount = 0, mMethodCount = 0, mAttributeCount = 0;
};

} // namespace testsupport
