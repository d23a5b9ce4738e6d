#pragma once

#include "zul/Export.h"

#include <cstdint>

namespace zul {

/// Result codes that the host's status-returning interfaces report.
enum Status : int32_t {
    STATUS_OK = 0,
    STATUS_UNSPECIFIED_ERROR = 1,
    STATUS_OUT_OF_MEM = 2,
    STATUS_NO_RULEFILE = 3,
    STATUS_ILLEGAL_ARGUMENT = 4,
    STATUS_FILE_NOT_FOUND = 5,
    STATUS_DECODER_NOT_FOUND = 17,
    STATUS_ENCODER_NOT_FOUND = 18,
    STATUS_BUFFER_TO_SMALL = 24,
    STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX = 31,
};

/// A short English description of a status code ("unknown status" for codes
/// the host does not know). The text lives for the whole process.
ZUL_CORE_API const char* getStatusDescription(int32_t status);

} // namespace zul
