#pragma once

#include "zul/RuleFileInfo.h"

#include <boost/container/small_vector.hpp>

#include <cstdint>
#include <string_view>

namespace sgb {

/// Type code (void, bool, float, string, int or unknown) of one field descriptor ("D",
/// "Ljava/lang/String;", ...).
zul::AnnotationArgumentType typeCode(std::string_view fieldDescriptor);

/// Type code of a method descriptor's return type (the text after ")");
/// zul::AAT_UNKNOWN when there is no ")".
zul::AnnotationArgumentType returnTypeCode(std::string_view methodDescriptor);

/// Type codes of a method descriptor's parameters, in order. An array
/// parameter counts as one parameter of zul::AAT_UNKNOWN; a descriptor cut
/// short ends the list with what could be read.
/// Parameter type codes; rule methods rarely take more than a handful, which
/// then need no heap block.
using TypeCodes = boost::container::small_vector<zul::AnnotationArgumentType, 8>;

TypeCodes parameterTypeCodes(std::string_view methodDescriptor);

/// Type codes of local variables as the rule interpreter stores them.
enum LocalType : int32_t {
    LOCAL_INT = 0,    ///< "I", or a descriptor beginning with "Z"
    LOCAL_DOUBLE = 1, ///< "D"
    LOCAL_OBJECT = 2, ///< a descriptor beginning with "L"
};

/// Local type code of a local variable's descriptor, or -1 when the
/// interpreter does not support it ("J", "F", arrays, ...).
int32_t localTypeCode(std::string_view descriptor);

/// Number of local slots a variable of `localType` occupies (2 for doubles).
int32_t localSlotWidth(int32_t localType);

} // namespace sgb
