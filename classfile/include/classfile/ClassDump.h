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
/// an unknown descriptor character) ends the dump with the std::runtime_error
/// of the record's text operation; what was written before it stays in `out`.
void dumpClass(std::ostream& out, const ClassInfo& cls, const DumpOptions& options = {});

} // namespace classfile
