#pragma once

#include "zul/RuleFileInfo.h"

#include <cstdint>
#include <string>

namespace rulefileinfo {

/// The name of a type code in the XML: "void", "bool", "float", "str", or
/// "?" for every other code.
const char* typeName(uint32_t code);

/// Replaces the five XML special characters by their entity references.
std::wstring escapeXML(const std::wstring& text);

// Compact XML of the records, appended to `out`. Written through the host
// interfaces only, so any implementation of them renders the same way.
void writeRuleFileInfo(std::string& out, const zul::RuleFileInfo& info);
void writeAnnotation(std::string& out, const zul::Annotation& annotation);
void writeArgument(std::string& out, const zul::AnnotationArgument& argument);

} // namespace rulefileinfo
