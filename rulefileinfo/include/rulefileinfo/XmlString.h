#pragma once

#include "zul/Object.h"

#include <string>

namespace rulefileinfo {

/// The XML text of any host object, fetched through its two-call buffer
/// protocol (size query, then the copy). Throws zulx::StatusException with the
/// object's status when it reports a failure.
std::string toXMLString(const zul::Object& object);

} // namespace rulefileinfo
