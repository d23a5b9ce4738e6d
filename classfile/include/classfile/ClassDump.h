#pragma once

#include <iosfwd>

namespace classfile {

class ClassInfo;

/// What the whole-class dump leaves out.
struct DumpOptions {
    /// False: the Code attributes are dumped without their instruction listing.
    bool listCode = true;
};

/// Writes a readable dump of a parsed class: the header, one line per
/// non-empty constant-pool slot, each field and method with its attributes,
/// then the class attributes.
///
/// A record whose text cannot be produced (an index chain that leads nowhere,
/// an unknown descriptor character) is written as far as it goes, followed by
/// " <error: message>", and the dump continues with the next record; nothing
/// is thrown.
void dumpClass(std::ostream& out, const ClassInfo& cls, const DumpOptions& options = {});

} // namespace classfile
