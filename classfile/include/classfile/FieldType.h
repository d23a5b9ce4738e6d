#pragma once

#include <string>
#include <vector>

namespace classfile {

/// Appends the type name of the field descriptor at the start of `descriptor`
/// to `names` ("int", "java.lang.String", "[[int", ...) and returns the rest
/// of the text after it. Fails with std::runtime_error on an unknown type
/// character, after writing a line to the standard error stream.
std::string parseFieldType(const std::string& descriptor, std::vector<std::string>& names);

} // namespace classfile
