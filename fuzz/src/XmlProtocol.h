#pragma once

#include "zul/Object.h"

#include <cstddef>
#include <string>

namespace fuzz {

/// Renders `object` through the two-call buffer protocol (size query, then a
/// buffer of the size reported), checks what the protocol promises and
/// returns the text. `what` names the object in findings.
std::string renderXml(const zul::Object& object, const char* what);

/// Calls toXML once more with a buffer of exactly `capacity` bytes (null for
/// 0) and checks the result against the full `text`: the returned pointer,
/// the size needed, status 0 or 24, the copied prefix, the terminator and the
/// zero fill up to the capacity.
void checkXmlCapacity(const zul::Object& object, const std::string& text, size_t capacity,
                      const char* what);

} // namespace fuzz
