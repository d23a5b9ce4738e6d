#include "XmlWriter.h"

#include "XmlSink.h"
#include "util/Text.h"

#include <charconv>
#include <stdexcept>
#include <string>

namespace rulefileinfo {
namespace {

// Entity references of the characters that cannot stand in an attribute value.
constexpr wchar_t kAmp[] = L"&amp;";
constexpr wchar_t kQuot[] = L"&quot;";
constexpr wchar_t kApos[] = L"&apos;";
constexpr wchar_t kLt[] = L"&lt;";
constexpr wchar_t kGt[] = L"&gt;";
constexpr size_t kLongestEntity = sizeof kQuot / sizeof kQuot[0] - 1;

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

// Length of the text when it is all ASCII, else npos.
size_t asciiLength(const wchar_t* text) {
    size_t n = 0;
    for (; text[n] != 0; ++n)
        if (static_cast<unsigned long>(text[n]) >= 0x80)
            return std::string::npos;
    return n;
}

// Wide text as UTF-8. Names are nearly always ASCII, which is copied as is;
// anything else goes through util::toUTF8 so that both paths agree on what
// is dropped.
void writeUtf8(XmlSink& out, const wchar_t* text) {
    if (!text)
        return;
    const size_t n = asciiLength(text);
    if (n == std::string::npos) {
        const std::string utf8 = util::toUTF8(text);
        out.write(utf8.data(), utf8.size());
        return;
    }
    char* p = out.reserve(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = static_cast<char>(text[i]);
    out.commit(n);
}

// A string value: escaped, then UTF-8. The entities only replace ASCII
// characters, so ASCII text is escaped while it is copied.
void writeEscapedUtf8(XmlSink& out, const wchar_t* text) {
    if (!text)
        return;
    const size_t n = asciiLength(text);
    if (n == std::string::npos) {
        const std::string utf8 = util::toUTF8(escapeXML(text));
        out.write(utf8.data(), utf8.size());
        return;
    }
    char* const start = out.reserve(n * kLongestEntity);
    char* p = start;
    for (size_t i = 0; i < n; ++i) {
        if (const wchar_t* entity = entityFor(text[i])) {
            while (*entity)
                *p++ = static_cast<char>(*entity++);
        } else {
            *p++ = static_cast<char>(text[i]);
        }
    }
    out.commit(static_cast<size_t>(p - start));
}

// Like printf's %g with precision 6 in the "C" locale, which is what a
// narrow stream writes by default.
void writeFloat(XmlSink& out, double value) {
    char digits[32];
    const std::to_chars_result r =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6);
    if (r.ec != std::errc())
        throw std::runtime_error("cannot format a float value");
    out.write(digits, static_cast<size_t>(r.ptr - digits));
}

// Upper bounds of the leaves above for the measuring pass: one byte per
// ASCII character (or its entity), four per other character (the longest
// UTF-8 sequence), and the longest text of a float in %g form.
constexpr size_t kMaxUtf8PerUnit = 4;
constexpr size_t kMaxFloatText = 16; // "-1.79769e+308" has 13

size_t boundOf(wchar_t c) {
    return static_cast<unsigned long>(c) < 0x80 ? 1 : kMaxUtf8PerUnit;
}

void writeUtf8(XmlSize& out, const wchar_t* text) {
    for (; text && *text; ++text)
        out.add(boundOf(*text));
}

void writeEscapedUtf8(XmlSize& out, const wchar_t* text) {
    for (; text && *text; ++text) {
        const wchar_t* entity = entityFor(*text);
        out.add(entity ? std::char_traits<wchar_t>::length(entity) : boundOf(*text));
    }
}

void writeFloat(XmlSize& out, double) {
    out.add(kMaxFloatText);
}

// Names and keys go out as UTF-8 without escaping; only string values are
// escaped. `name` is the attribute name with its leading space and "=\"".
template <typename Sink, size_t N>
void writeAttribute(Sink& out, const char (&name)[N], const wchar_t* value) {
    out.literal(name);
    writeUtf8(out, value);
    out.put('"');
}

template <typename Sink, size_t N>
void writeTypeAttribute(Sink& out, const char (&name)[N], uint32_t type) {
    out.literal(name);
    out.write(typeName(type));
    out.put('"');
}

template <typename Sink>
void writeAnnotation(Sink& out, const zul::Annotation& annotation);
template <typename Sink>
void writeArgument(Sink& out, const zul::AnnotationArgument& argument);

// Files, entries and parameters all carry an annotation list; the element is
// written even when the list is empty.
template <typename Sink, typename Annotated>
void writeAnnotations(Sink& out, const Annotated& owner) {
    out.literal("<annotations>\n");
    const size_t n = owner.getNumAnnotations();
    for (size_t i = 0; i < n; ++i)
        writeAnnotation(out, *owner.getAnnotation(i));
    out.literal("</annotations>\n");
}

template <typename Sink>
void writeParameter(Sink& out, const zul::RuleFileInfo::Parameter& parameter) {
    out.literal("<parameter");
    writeTypeAttribute(out, " type=\"", parameter.getType());
    writeAttribute(out, " name=\"", parameter.getName());
    out.put('>');
    writeAnnotations(out, parameter);
    out.literal("</parameter>");
}

template <typename Sink>
void writeEntry(Sink& out, const zul::RuleFileInfo::Entry& entry) {
    out.literal("<entry");
    writeTypeAttribute(out, " returntype=\"", entry.getReturnType());
    writeAttribute(out, " name=\"", entry.getName());
    out.literal("><parameters>");
    const size_t n = entry.getNumParameters();
    for (size_t i = 0; i < n; ++i)
        writeParameter(out, *entry.getParameter(i));
    out.literal("</parameters>");
    writeAnnotations(out, entry);
    out.literal("</entry>");
}

template <typename Sink>
void writeAnnotation(Sink& out, const zul::Annotation& annotation) {
    out.literal("<annotation");
    writeAttribute(out, " name=\"", annotation.getName());
    out.literal("><arguments>");
    const size_t n = annotation.getNumArguments();
    for (size_t i = 0; i < n; ++i)
        writeArgument(out, *annotation.getArgument(i));
    out.literal("</arguments></annotation>");
}

template <typename Sink>
void writeArgument(Sink& out, const zul::AnnotationArgument& argument) {
    const zul::AnnotationArgumentType type = argument.getType();
    out.literal("<argument");
    writeTypeAttribute(out, " type=\"", type);
    const wchar_t* key = argument.getKey();
    if (key && *key)
        writeAttribute(out, " key=\"", key);
    out.literal(" value=\"");
    switch (type) {
    case zul::AAT_BOOL:
        if (argument.getBool())
            out.literal("true");
        else
            out.literal("false");
        break;
    case zul::AAT_FLOAT:
        writeFloat(out, argument.getFloat());
        break;
    case zul::AAT_STR:
        writeEscapedUtf8(out, argument.getStr());
        break;
    default:
        out.put('?');
        break;
    }
    out.literal("\"/>");
}

template <typename Sink>
void writeInfo(Sink& out, const zul::RuleFileInfo& info) {
    out.literal("<rulefileinfo><attributes>");
    const size_t numAttributes = info.getNumAttributes();
    for (size_t i = 0; i < numAttributes; ++i)
        writeEntry(out, *info.getAttribute(i));
    out.literal("</attributes><rules>");
    const size_t numRules = info.getNumRules();
    for (size_t i = 0; i < numRules; ++i)
        writeEntry(out, *info.getRule(i));
    out.literal("</rules>");
    writeAnnotations(out, info);
    out.literal("</rulefileinfo>");
}

// Measures first, then writes into text allocated at the measured length.
template <typename Write>
void writeDocument(std::string& text, const Write& write) {
    XmlSize size;
    write(size);
    XmlSink out(text, size.bytes);
    write(out);
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

void writeRuleFileInfo(std::string& text, const zul::RuleFileInfo& info) {
    writeDocument(text, [&info](auto& out) { writeInfo(out, info); });
}

void writeAnnotation(std::string& text, const zul::Annotation& annotation) {
    writeDocument(text, [&annotation](auto& out) { writeAnnotation(out, annotation); });
}

void writeArgument(std::string& text, const zul::AnnotationArgument& argument) {
    writeDocument(text, [&argument](auto& out) { writeArgument(out, argument); });
}

} // namespace rulefileinfo
