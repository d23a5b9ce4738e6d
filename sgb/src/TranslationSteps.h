#pragma once

// The state of one translation and its steps, in the order the driver runs them.

#include "ExpansionBudget.h"
#include "Widen.h"

#include "classfile/ClassInfo.h"
#include "rulefileinfo/RuleFileInfoImpl.h"
#include "zulx/SGB.h"

#include <memory>
#include <string>
#include <string_view>
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

/// Everything one translation works with, handed to each step: the class
/// read from the stream, its pool, the bound on what the translation may
/// write, and the problems found so far.
struct Translation {
    explicit Translation(const classfile::ClassInfo& classInfo)
        : cls(classInfo), pool(classInfo.pool()), budget(classInfo.bytesRead) {}
    Translation(const Translation&) = delete;
    Translation& operator=(const Translation&) = delete;

    /// Pool text as wide text, charged to the budget.
    std::wstring widen(std::string_view text) { return sgb::widen(text, &budget); }

    const classfile::ClassInfo& cls;
    const classfile::ConstantPool& pool;
    ExpansionBudget budget;
    Diagnostics diagnostics;
};

/// Maps every constant-pool entry that the interpreter meets in the bytecode
/// to a typed constant entry of `record`, building the method records, and
/// fills the own-field, enum type name and handle lists.
void translateConstants(Translation& translation, zulx::RuleData& record);

/// The rule file information: the file's annotations and its attribute and
/// rule entries, sorted.
std::unique_ptr<rulefileinfo::RuleFileInfoImpl> buildRuleFileInfo(Translation& translation);

/// Reads the compiler and language versions from the "@_VERSION" annotation
/// of `info` into `record` and checks the compiler version.
void checkVersions(const rulefileinfo::RuleFileInfoImpl& info, zulx::RuleData& record,
                   Diagnostics& diagnostics);

} // namespace sgb
