#pragma once

// The steps of one translation, in the order the driver runs them.

#include "classfile/ClassInfo.h"
#include "rulefileinfo/RuleFileInfoImpl.h"
#include "zulx/SGB.h"

#include <memory>
#include <string>
#include <vector>

namespace sgb {

/// Problems found in a rule file: they are collected, not thrown.
struct Diagnostics {
    std::vector<std::wstring> errors;
    std::vector<std::wstring> warnings;

    /// Adds an error about a single method or variable and logs it at once
    /// at the detail level.
    void methodError(std::wstring message);
};

/// Maps every constant-pool entry that the interpreter meets in the bytecode
/// to a typed constant entry of `record`, building the method records, and
/// fills the own-field, enum type name and handle lists.
void translateConstants(const classfile::ClassInfo& cls, zulx::RuleData& record,
                        Diagnostics& diagnostics);

/// The rule file information: the file's annotations and its attribute and
/// rule entries, sorted.
std::unique_ptr<rulefileinfo::RuleFileInfoImpl> buildRuleFileInfo(const classfile::ClassInfo& cls);

/// Reads the compiler and language versions from the "@_VERSION" annotation
/// of `info` into `record` and checks the compiler version.
void checkVersions(const rulefileinfo::RuleFileInfoImpl& info, zulx::RuleData& record,
                   Diagnostics& diagnostics);

} // namespace sgb
