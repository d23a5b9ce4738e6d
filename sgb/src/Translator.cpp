#include "sgb/Translator.h"

#include "TranslationSteps.h"

#include "util/Log.h"

namespace sgb {

void translate(zulx::RuleData& record, std::istream& stream) {
    const classfile::ClassInfo cls(stream);
    Translation translation(cls);

    translateConstants(translation, record);
    std::unique_ptr<rulefileinfo::RuleFileInfoImpl> info = buildRuleFileInfo(translation);
    Diagnostics& diagnostics = translation.diagnostics;
    checkVersions(*info, record, diagnostics);

    for (const std::wstring& error : diagnostics.errors)
        util::Log<zul::LOG_ERROR>("SGB file contains error '%s'") % error;
    for (const std::wstring& warning : diagnostics.warnings)
        util::Log<zul::LOG_WARNING>("SGB file contains warning '%s'") % warning;
    record.errors = std::move(diagnostics.errors);
    record.warnings = std::move(diagnostics.warnings);
    record.ruleFileInfo = info.release();
}

} // namespace sgb
