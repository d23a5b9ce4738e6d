#include "TranslationSteps.h"

#include "sgb/CompilerVersion.h"

namespace sgb {
namespace {

// The text of the last argument of `annotation` keyed `key`; empty if none.
std::wstring lastValue(const rulefileinfo::AnnotationImpl& annotation, const wchar_t* key) {
    std::wstring value;
    for (size_t i = 0; i < annotation.numArguments; ++i)
        if (annotation.arguments[i].key == key)
            value = annotation.arguments[i].strValue;
    return value;
}

} // namespace

void checkVersions(const rulefileinfo::RuleFileInfoImpl& info, zulx::RuleData& record,
                   Diagnostics& diagnostics) {
    std::wstring compilerText, languageText;
    for (size_t i = 0; i < info.numAnnotations; ++i) {
        if (info.annotations[i].name == L"@_VERSION") {
            compilerText = lastValue(info.annotations[i], L"sglc");
            languageText = lastValue(info.annotations[i], L"sgl");
            break;
        }
    }
    const CompilerVersion compiler = parseVersion(compilerText);
    const CompilerVersion language = parseVersion(languageText);
    record.compilerVersionMajor = static_cast<uint32_t>(compiler.major);
    record.compilerVersionMinor = static_cast<uint32_t>(compiler.minor);
    record.languageVersionMajor = static_cast<uint32_t>(language.major);
    record.languageVersionMinor = static_cast<uint32_t>(language.minor);
    checkCompilerVersion(compiler, diagnostics.errors, diagnostics.warnings);
}

} // namespace sgb
