#include "XmlProtocol.h"

#include "fuzz/Guard.h"
#include "fuzz/Targets.h"

#include "rulefileinfo/RuleFileInfoImpl.h"

#include <cstring>
#include <memory>
#include <string>

namespace fuzz {
namespace {

using rulefileinfo::AnnotationArgumentImpl;
using rulefileinfo::AnnotationImpl;
using rulefileinfo::EntryImpl;
using rulefileinfo::ParameterImpl;
using rulefileinfo::RuleFileInfoImpl;

// Small bounds keep one input fast; the variety is in the texts and types.
constexpr uint32_t kMaxItems = 5;
constexpr uint32_t kMaxText = 24;

/// Draws values from fuzz input, front to back. Once the input is used up
/// every draw yields zero, so any input builds a finite structure.
struct ByteSource {
    const uint8_t* data;
    size_t size;

    uint8_t byte() {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    /// A value in [0, bound) from two bytes; 0 when bound is 0.
    uint32_t below(uint32_t bound) {
        const uint32_t high = byte();
        return bound ? (high << 8 | byte()) % bound : 0;
    }
    /// Eight bytes as the bits of a double: NaNs, infinities and subnormals included.
    double rawDouble() {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | byte();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    /// Printable ASCII, control characters (NUL included), the XML special
    /// characters, non-ASCII and non-BMP code points and values that are no
    /// code points at all (a lone surrogate, one above 0x10FFFF).
    std::wstring text() {
        static const wchar_t kSpecial[] = {L'&',   L'"',   L'\'',   L'<',   L'>',
                                           L'%',   L'\\',  L'$',    0xE9,   0x20AC,
                                           0xFFFD, 0xFEFF, 0x1F600, 0xD800, 0x110000};
        std::wstring out(below(kMaxText + 1), L' ');
        for (wchar_t& c : out) {
            const uint8_t b = byte();
            c = b >= 0x80 ? kSpecial[b % (sizeof kSpecial / sizeof kSpecial[0])]
                          : static_cast<wchar_t>(b < 0x20 ? b : 0x20 + (b & 0x5F));
        }
        return out;
    }
    /// Mostly the six type codes, sometimes a value outside them ("?" in the XML).
    zul::AnnotationArgumentType type() {
        const uint8_t b = byte();
        return static_cast<zul::AnnotationArgumentType>(b < 224 ? b % 6 : b);
    }
};

/// `count` items of a fresh array, each filled by `fill`.
template <typename T, typename Fill>
void fillArray(size_t& count, std::unique_ptr<T[]>& items, ByteSource& in, Fill fill) {
    count = in.below(kMaxItems);
    items = std::make_unique<T[]>(count);
    for (size_t i = 0; i < count; ++i)
        fill(items[i]);
}

void fillAnnotations(size_t& count, std::unique_ptr<AnnotationImpl[]>& items, ByteSource& in) {
    fillArray(count, items, in, [&in](AnnotationImpl& annotation) {
        annotation.name = in.text();
        fillArray(annotation.numArguments, annotation.arguments, in,
                  [&in](AnnotationArgumentImpl& argument) {
                      argument.type = in.type();
                      if (in.byte() & 1)
                          argument.key = in.text();
                      argument.boolValue = in.byte() & 1;
                      argument.floatValue = in.rawDouble();
                      argument.strValue = in.text();
                  });
    });
}

void fillEntries(size_t& count, std::unique_ptr<EntryImpl[]>& entries, ByteSource& in) {
    fillArray(count, entries, in, [&in](EntryImpl& entry) {
        entry.returnType = in.type();
        entry.name = in.text();
        fillArray(entry.numParameters, entry.parameters, in, [&in](ParameterImpl& parameter) {
            parameter.type = in.type();
            parameter.name = in.text();
            fillAnnotations(parameter.numAnnotations, parameter.annotations, in);
        });
        fillAnnotations(entry.numAnnotations, entry.annotations, in);
    });
}

// Every capacity around the interesting edges, then a few from the input.
void exercise(const zul::Object& object, const char* what, ByteSource& in) {
    const std::string text = renderXml(object, what);
    const size_t needed = text.size() + 1;
    for (const size_t capacity : {size_t{0}, size_t{1}, needed - 1, needed + 1})
        checkXmlCapacity(object, text, capacity, what);
    for (int i = 0; i < 4 && in.size > 0; ++i)
        checkXmlCapacity(object, text, in.below(static_cast<uint32_t>(needed + 8)), what);
}

} // namespace

bool runToXml(const uint8_t* data, size_t size) {
    ByteSource in{data, size};
    RuleFileInfoImpl info;
    fillEntries(info.numAttributes, info.attributes, in);
    fillEntries(info.numRules, info.rules, in);
    fillAnnotations(info.numAnnotations, info.annotations, in);

    exercise(info, "RuleFileInfoImpl", in);
    if (info.numAnnotations > 0) {
        const AnnotationImpl& annotation =
            info.annotations[in.below(static_cast<uint32_t>(info.numAnnotations))];
        exercise(annotation, "AnnotationImpl", in);
        if (annotation.numArguments > 0)
            exercise(annotation.arguments[in.below(static_cast<uint32_t>(annotation.numArguments))],
                     "AnnotationArgumentImpl", in);
    }
    const std::unique_ptr<RuleFileInfoImpl> copy(info.clone());
    if (renderXml(*copy, "RuleFileInfoImpl (clone)") != renderXml(info, "RuleFileInfoImpl"))
        finding("the clone of a rule file information record renders other XML");
    return true;
}

} // namespace fuzz
