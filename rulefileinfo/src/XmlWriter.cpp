#include "XmlWriter.h"

#include "util/Text.h"

namespace rulefileinfo {
namespace {

// Entity references of the characters that cannot stand in an attribute value.
constexpr wchar_t kAmp[] = L"&amp;";
constexpr wchar_t kQuot[] = L"&quot;";
constexpr wchar_t kApos[] = L"&apos;";
constexpr wchar_t kLt[] = L"&lt;";
constexpr wchar_t kGt[] = L"&gt;";

const wchar_t* entityFor(wchar_t c) {
    switch (c) {
    case L'&':
        return kAmp;
    case L'"':
        return kQuot;
    case L'\'':
        return kApos;
    case L'<':
        return kLt;
    case L'>':
        return kGt;
    default:
        return nullptr;
    }
}

// Names and keys go out as UTF-8 without escaping; only string values are
// escaped (by the caller).
void writeAttribute(std::ostream& out, const char* attribute, const wchar_t* value) {
    out << ' ' << attribute << "=\"" << util::toUTF8(value ? value : L"") << '"';
}

void writeAttribute(std::ostream& out, const char* attribute, const char* value) {
    out << ' ' << attribute << "=\"" << value << '"';
}

// Files, entries and parameters all carry an annotation list; the element is
// written even when the list is empty.
template <typename Annotated>
void writeAnnotations(std::ostream& out, const Annotated& owner) {
    out << "<annotations>\n";
    const size_t n = owner.getNumAnnotations();
    for (size_t i = 0; i < n; ++i)
        writeAnnotation(out, *owner.getAnnotation(i));
    out << "</annotations>\n";
}

void writeParameter(std::ostream& out, const zul::RuleFileInfo::Parameter& parameter) {
    out << "<parameter";
    writeAttribute(out, "type", typeName(parameter.getType()));
    writeAttribute(out, "name", parameter.getName());
    out << '>';
    writeAnnotations(out, parameter);
    out << "</parameter>";
}

void writeEntry(std::ostream& out, const zul::RuleFileInfo::Entry& entry) {
    out << "<entry";
    writeAttribute(out, "returntype", typeName(entry.getReturnType()));
    writeAttribute(out, "name", entry.getName());
    out << "><parameters>";
    const size_t n = entry.getNumParameters();
    for (size_t i = 0; i < n; ++i)
        writeParameter(out, *entry.getParameter(i));
    out << "</parameters>";
    writeAnnotations(out, entry);
    out << "</entry>";
}

} // namespace

const char* typeName(uint32_t code) {
    switch (code) {
    case zul::AAT_VOID:
        return "void";
    case zul::AAT_BOOL:
        return "bool";
    case zul::AAT_FLOAT:
        return "float";
    case zul::AAT_STR:
        return "str";
    default:
        return "?";
    }
}

std::wstring escapeXML(const std::wstring& text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        if (const wchar_t* entity = entityFor(c))
            escaped += entity;
        else
            escaped += c;
    }
    return escaped;
}

void writeRuleFileInfo(std::ostream& out, const zul::RuleFileInfo& info) {
    out << "<rulefileinfo><attributes>";
    const size_t numAttributes = info.getNumAttributes();
    for (size_t i = 0; i < numAttributes; ++i)
        writeEntry(out, *info.getAttribute(i));
    out << "</attributes><rules>";
    const size_t numRules = info.getNumRules();
    for (size_t i = 0; i < numRules; ++i)
        writeEntry(out, *info.getRule(i));
    out << "</rules>";
    writeAnnotations(out, info);
    out << "</rulefileinfo>";
}

void writeAnnotation(std::ostream& out, const zul::Annotation& annotation) {
    out << "<annotation";
    writeAttribute(out, "name", annotation.getName());
    out << "><arguments>";
    const size_t n = annotation.getNumArguments();
    for (size_t i = 0; i < n; ++i)
        writeArgument(out, *annotation.getArgument(i));
    out << "</arguments></annotation>";
}

void writeArgument(std::ostream& out, const zul::AnnotationArgument& argument) {
    const zul::AnnotationArgumentType type = argument.getType();
    out << "<argument";
    writeAttribute(out, "type", typeName(type));
    const wchar_t* key = argument.getKey();
    if (key && *key)
        writeAttribute(out, "key", key);
    out << " value=\"";
    switch (type) {
    case zul::AAT_BOOL:
        out << (argument.getBool() ? "true" : "false");
        break;
    case zul::AAT_FLOAT:
        // The stream's default format: like %g with precision 6.
        out << argument.getFloat();
        break;
    case zul::AAT_STR: {
        const wchar_t* value = argument.getStr();
        out << util::toUTF8(escapeXML(value ? value : L""));
        break;
    }
    default:
        out << '?';
        break;
    }
    out << "\"/>";
}

} // namespace rulefileinfo
