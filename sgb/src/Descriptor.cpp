#include "sgb/Descriptor.h"

namespace sgb {
namespace {

bool endsWith(std::string_view text, size_t end, std::string_view suffix) {
    return end >= suffix.size() && text.substr(end - suffix.size(), suffix.size()) == suffix;
}

// Type code of the field type that starts at `pos`; moves `pos` past it.
// Returns false when the type is cut short.
bool readFieldType(std::string_view text, size_t& pos, zul::AnnotationArgumentType& code) {
    if (pos >= text.size())
        return false;
    const char c = text[pos];
    if (c == '[') {
        while (pos < text.size() && text[pos] == '[')
            ++pos;
        zul::AnnotationArgumentType element = zul::AAT_UNKNOWN;
        if (!readFieldType(text, pos, element))
            return false;
        code = zul::AAT_UNKNOWN;
        return true;
    }
    if (c == 'L') {
        const size_t semicolon = text.find(';', pos);
        if (semicolon == std::string_view::npos)
            return false;
        code = endsWith(text, semicolon, "String") ? zul::AAT_STR : zul::AAT_UNKNOWN;
        pos = semicolon + 1;
        return true;
    }
    ++pos;
    switch (c) {
    case 'V':
        code = zul::AAT_VOID;
        break;
    case 'Z':
        code = zul::AAT_BOOL;
        break;
    case 'D':
        code = zul::AAT_FLOAT;
        break;
    case 'I':
        code = zul::AAT_INT;
        break;
    default:
        code = zul::AAT_UNKNOWN;
        break;
    }
    return true;
}

} // namespace

zul::AnnotationArgumentType typeCode(std::string_view fieldDescriptor) {
    size_t pos = 0;
    zul::AnnotationArgumentType code = zul::AAT_UNKNOWN;
    if (!readFieldType(fieldDescriptor, pos, code) || pos != fieldDescriptor.size())
        return zul::AAT_UNKNOWN;
    return code;
}

zul::AnnotationArgumentType returnTypeCode(std::string_view methodDescriptor) {
    const size_t close = methodDescriptor.find(')');
    if (close == std::string_view::npos)
        return zul::AAT_UNKNOWN;
    return typeCode(methodDescriptor.substr(close + 1));
}

TypeCodes parameterTypeCodes(std::string_view methodDescriptor) {
    TypeCodes codes;
    if (methodDescriptor.empty() || methodDescriptor[0] != '(')
        return codes;
    size_t pos = 1;
    while (pos < methodDescriptor.size() && methodDescriptor[pos] != ')') {
        zul::AnnotationArgumentType code = zul::AAT_UNKNOWN;
        if (!readFieldType(methodDescriptor, pos, code))
            break;
        codes.push_back(code);
    }
    return codes;
}

int32_t localTypeCode(std::string_view descriptor) {
    if (descriptor == "I" || (!descriptor.empty() && descriptor[0] == 'Z'))
        return LOCAL_INT;
    if (descriptor == "D")
        return LOCAL_DOUBLE;
    if (!descriptor.empty() && descriptor[0] == 'L')
        return LOCAL_OBJECT;
    return -1;
}

int32_t localSlotWidth(int32_t localType) {
    return localType == LOCAL_DOUBLE ? 2 : 1;
}

} // namespace sgb
